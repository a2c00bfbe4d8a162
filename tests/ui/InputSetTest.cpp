// The parts of an input set no field shows, edited in the window (the burning law's segments,
// the charge temperature) and kept through the JSON input file.
#include "ScopedDataHome.h"
#include "SeriesHashes.h"
#include "WindowDriver.h"

#include "core/input/ChargeTemperature.h"
#include "ui/BurningLawDialog.h"
#include "ui/ChargeTemperatureDialog.h"
#include "ui/PropellantDialog.h"
#include "ui/Vstup1.h"
#include "ui/WorkingState.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace kalvex;
using namespace kalvex::test;

namespace {

// Answers the next modal dialog of type D, once it is shown.
template <class D>
void answerModal(const std::function<void(D&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

void setCell(QTableWidget& table, int row, int column, const QString& text)
{
    table.item(row, column)->setText(text);
}

void typeInto(QWidget& dialog, const char* name, const QString& text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromUtf8(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
}

struct FinishedRun {
    ui::ExtendedInputs extended;
    BallisticInput input;
    std::uint64_t hash = 0;
};

}  // namespace

TEST(InputSetFile, SegmentsAndChargeTemperatureGoThroughTheWindowAndItsJsonFile)
{
    const ScopedDataHome home;
    QTemporaryDir folder;
    const QString path = folder.filePath("gun.json");
    FinishedRun first;
    {
        WindowUnderTest ui;
        ui::Tvstup& w = *ui.window;
        enterCase(w, loadCase("gun155_7perf"));

        // a second segment, first refused for its bound with a message naming it, then faster
        answerModal<ui::BurningLawDialog>([](ui::BurningLawDialog& d) {
            d.findChild<QAbstractButton*>("AddSegmentButton")->click();
            QTableWidget& table = *d.table();
            ASSERT_EQ(table.rowCount(), 2);
            setCell(table, 1, 0, "0");
            d.accept();
            setCell(table, 1, 0, "200");
            setCell(table, 1, 1, QString::number(1.3 * table.item(0, 1)->text().toDouble(), 'g', 17));
            d.accept();
        });
        button(w, "BurningLawButton")->click();
        ASSERT_EQ(ui.prompts.messages.size(), 1u);
        EXPECT_EQ(ui.prompts.messages[0], "Lower Pressure Bound of Segment 2 not above that of Segment 1");
        ui.prompts.messages.clear();
        ASSERT_EQ(w.workingState().shown.upperSegments.size(), 1u);
        EXPECT_EQ(w.workingState().shown.upperSegments[0].pLow, 200);

        // a library row without coefficients: the dialog says so and takes typed ones
        answerModal<ui::PropellantDialog>([](ui::PropellantDialog& d) {
            d.table()->selectRow(d.table()->findItems("M30", Qt::MatchExactly).front()->row());
            d.accept();
        });
        button(w, "PropellantButton")->click();
        EXPECT_TRUE(w.workingState().shown.upperSegments.empty());  // the row's law has one segment
        answerModal<ui::BurningLawDialog>([](ui::BurningLawDialog& d) {
            d.findChild<QAbstractButton*>("AddSegmentButton")->click();
            d.accept();  // 100 MPa, as fast as the first
        });
        button(w, "BurningLawButton")->click();
        QString origin;
        answerModal<ui::ChargeTemperatureDialog>([&origin](ui::ChargeTemperatureDialog& d) {
            origin = d.findChild<QLabel*>("CoefficientOrigin")->text();
            typeInto(d, "ChargeTemperatureField", "90");  // outside -60..80 °C: named, dialog stays
            typeInto(d, "ForceCoefficientField", "0.0004");
            typeInto(d, "BurningRateCoefficientField", "0.0015");
            d.accept();
            typeInto(d, "ChargeTemperatureField", "49");
            d.accept();
        });
        button(w, "ChargeTemperatureButton")->click();
        EXPECT_EQ(origin, "The library row M30 has no temperature coefficients: type them.");
        ASSERT_EQ(ui.prompts.messages.size(), 1u);
        EXPECT_TRUE(ui.prompts.messages[0].contains("90")) << ui.prompts.messages[0].toStdString();
        const TemperatureFactors factors = temperatureFactors(49, TemperatureCoefficients{0.0004, 0.0015});
        EXPECT_EQ(w.workingState().shown.fFT, factors.force);
        EXPECT_EQ(w.workingState().shown.fbetaT, factors.burningRate);
        ASSERT_TRUE(w.workingState().shown.chargeTemperature.has_value());
        EXPECT_TRUE(memoText(w).contains(" Charge temperature 49")) << memoText(w).toStdString();

        button(w, "Button4")->click();
        ASSERT_NE(w.completedRun(), nullptr) << ui.prompts.messages.back().toStdString();
        first = {ui::extendedInputsOf(w.completedInput()), w.completedInput(),
                 seriesHash(*w.completedRun(), StartOutcome{})};
        ui.prompts.saveAnswer = path;
        w.findChild<QAction*>("SaveInputSet1")->trigger();
        EXPECT_FALSE(w.isWindowModified());
    }
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    ui.prompts.openAnswer = path;
    button(w, "Button6")->click();
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    EXPECT_EQ(ui::extendedInputsOf(w.workingState().shown), first.extended);
    EXPECT_TRUE(ui::sameInputs(w.workingState().shown, first.input));
    EXPECT_FALSE(w.isWindowModified());
    button(w, "Button4")->click();
    ASSERT_NE(w.completedRun(), nullptr);
    EXPECT_EQ(seriesHash(*w.completedRun(), StartOutcome{}), first.hash);

    // typing another factor leaves the temperature behind
    field(w, "Edit32")->setText("1");
    EXPECT_FALSE(w.workingState().shown.chargeTemperature.has_value());
    EXPECT_TRUE(w.isWindowModified());
}
