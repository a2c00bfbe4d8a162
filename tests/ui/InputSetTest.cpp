// The parts of an input set no field shows, edited in the window (the burning law's segments,
// the charge temperature) and kept through the JSON input file.
#include "ScopedDataHome.h"
#include "SeriesHashes.h"
#include "WindowDriver.h"

#include "core/input/ChargeTemperature.h"
#include "ui/BurningLawDialog.h"
#include "ui/ChargeTableDialog.h"
#include "ui/GrainPage.h"
#include "ui/ChargeTemperatureDialog.h"
#include "ui/RadioGroup.h"
#include "ui/PropellantDialog.h"
#include "ui/Vstup1.h"
#include "ui/WorkingState.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

namespace {

// Columns of the charge table: the mass, the force, beta, the grain type and D.
enum ChargeColumn { massColumn = 0, forceColumn = 1, betaColumn = 6, grainTypeColumn = 11, diameterColumn = 12 };

// The series CSV of kalvex-batch run on `input` (a JSON input file or a report).
QByteArray batchSeries(const QString& input, const QString& csv)
{
    QProcess batch;
    batch.start(QStringLiteral(KALVEX_BATCH_PROGRAM), {input, QStringLiteral("--csv"), csv});
    EXPECT_TRUE(batch.waitForFinished(60000));
    EXPECT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    return bytesOf(csv);
}

QByteArray windowSeries(WindowUnderTest& ui, const QString& csv)
{
    ui.prompts.saveAnswer = csv;
    ui.window->findChild<QAction*>("ExportSeries1")->trigger();
    return bytesOf(csv);
}

}  // namespace

TEST(ChargeTable, AThreeComponentChargeGoesThroughTheWindowItsFilesAndRunsAsKalvexBatchRunsIt)
{
    const ScopedDataHome home;
    QTemporaryDir folder;
    const QString json = folder.filePath("charge.json");
    const QString report = folder.filePath("charge.txt");
    FinishedRun first;
    QByteArray firstSeries;
    {
        WindowUnderTest ui;
        ui::Tvstup& w = *ui.window;
        enterCase(w, loadCase("gun155_7perf"));
        QAbstractButton* charge = button(w, "ChargeComponentsButton");
        EXPECT_EQ(charge->text(), "Charge Components\u2026");  // one component: the page as it always was

        std::vector<int> selectedAfterRefusal;
        answerModal<ui::ChargeTableDialog>([&selectedAfterRefusal](ui::ChargeTableDialog& d) {
            QTableWidget& table = *d.table();
            ASSERT_EQ(table.rowCount(), 1);
            EXPECT_EQ(table.item(0, massColumn)->text(), "11.5");  // row 1 is the fields
            d.findChild<QAbstractButton*>("AddComponentButton")->click();
            d.findChild<QAbstractButton*>("AddComponentButton")->click();
            ASSERT_EQ(table.rowCount(), 3);
            setCell(table, 0, massColumn, "8");  // row 1 edits the fields
            setCell(table, 1, massColumn, "2.5");
            setCell(table, 1, diameterColumn, "0");
            d.accept();  // refused: the row is named and selected, the dialog stays
            selectedAfterRefusal.push_back(table.selectedRanges().front().topRow());
            qobject_cast<QComboBox*>(table.cellWidget(1, grainTypeColumn))->setCurrentIndex(3);  // tube
            setCell(table, 1, diameterColumn, "4");
            setCell(table, 2, massColumn, "1");
            setCell(table, 2, forceColumn, "1150000");
            setCell(table, 2, betaColumn, "6e-9");
            // the third row up and down again: reordering keeps each row's values
            table.selectRow(2);
            d.findChild<QAbstractButton*>("MoveComponentUpButton")->click();
            EXPECT_EQ(table.item(1, massColumn)->text(), "1");
            d.findChild<QAbstractButton*>("MoveComponentDownButton")->click();
            EXPECT_EQ(table.item(2, forceColumn)->text(), "1150000");
            d.accept();
        });
        charge->click();
        ASSERT_EQ(ui.prompts.messages.size(), 1u);
        EXPECT_EQ(ui.prompts.messages[0], "Component 2: Size of Grain D less than or equal to 0 mm");
        EXPECT_EQ(selectedAfterRefusal, std::vector<int>{1});
        ui.prompts.messages.clear();

        const BallisticInput& shown = w.workingState().shown;
        EXPECT_EQ(field(w, "Edit19")->text(), "8");
        ASSERT_EQ(shown.extraComponents.size(), 2u);
        EXPECT_EQ(shown.extraComponents[0].C, 2.5);
        EXPECT_EQ(shown.extraComponents[0].grainType, 4);
        EXPECT_EQ(shown.extraComponents[0].D, 4 * 0.001);
        EXPECT_EQ(shown.extraComponents[1].F, 1150000);
        EXPECT_EQ(shown.extraComponents[1].beta, 6e-9);
        EXPECT_EQ(shown.extraComponents[1].D, shown.D);  // an unchanged cell keeps its value
        EXPECT_EQ(charge->text(), "3 Components\u2026");

        // the grain page shows another component's grain, read only, and opens its row
        ui::GrainPage& grains = *w.grainPage();
        auto* choice = grains.findChild<QComboBox*>("GrainComponentChoice");
        choice->setCurrentIndex(1);
        EXPECT_TRUE(grains.selector()->isHidden());
        EXPECT_TRUE(grains.pictureVisible(4));
        EXPECT_FALSE(grains.pictureVisible(6));
        EXPECT_EQ(grains.findChild<QLabel*>("OtherComponentGrain")->text(), "Component 2\nTube (4)\nD: 4 mm\nL: 22 mm\nP: 0.9 mm");
        int openedAt = -1;
        answerModal<ui::ChargeTableDialog>([&openedAt](ui::ChargeTableDialog& d) {
            openedAt = d.table()->selectedRanges().front().topRow();
            d.reject();
        });
        grains.findChild<QAbstractButton*>("EditComponentGrainButton")->click();
        EXPECT_EQ(openedAt, 1);
        choice->setCurrentIndex(0);
        EXPECT_FALSE(grains.selector()->isHidden());
        EXPECT_TRUE(grains.pictureVisible(6));

        // one step of the history: undone, the charge of one component; redone, all three
        w.findChild<QAction*>("Undo1")->trigger();
        EXPECT_TRUE(w.workingState().shown.extraComponents.empty());
        EXPECT_EQ(field(w, "Edit19")->text(), "11.5");
        w.findChild<QAction*>("Redo1")->trigger();
        EXPECT_EQ(w.workingState().shown.extraComponents.size(), 2u);

        button(w, "Button4")->click();
        ASSERT_NE(w.completedRun(), nullptr) << ui.prompts.messages.back().toStdString();
        EXPECT_TRUE(memoText(w).contains(" Component 3: ")) << memoText(w).toStdString();
        first = {ui::extendedInputsOf(w.completedInput()), w.completedInput(),
                 seriesHash(*w.completedRun(), StartOutcome{})};
        firstSeries = windowSeries(ui, folder.filePath("window.csv"));
        ui.prompts.saveAnswer = json;
        w.findChild<QAction*>("SaveInputSet1")->trigger();
        ui.prompts.saveAnswer = report;
        button(w, "Button5")->click();
        ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    }
    // kalvex-batch runs the window's files as the window ran them
    EXPECT_EQ(batchSeries(json, folder.filePath("batch-json.csv")), firstSeries);
    EXPECT_EQ(batchSeries(report, folder.filePath("batch-report.csv")), firstSeries);
    EXPECT_TRUE(firstSeries.contains("Z3 [-]"));

    for (const QString& path : {json, report}) {
        WindowUnderTest ui;
        ui::Tvstup& w = *ui.window;
        ui.prompts.openAnswer = path;
        button(w, "Button6")->click();
        ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
        EXPECT_EQ(ui::extendedInputsOf(w.workingState().shown), first.extended) << path.toStdString();
        EXPECT_TRUE(ui::sameInputs(w.workingState().shown, first.input)) << path.toStdString();
        EXPECT_FALSE(w.isWindowModified());
        button(w, "Button4")->click();
        ASSERT_NE(w.completedRun(), nullptr);
        EXPECT_EQ(seriesHash(*w.completedRun(), StartOutcome{}), first.hash) << path.toStdString();
        EXPECT_EQ(windowSeries(ui, folder.filePath("again.csv")), firstSeries) << path.toStdString();
    }
}

// "Use This Value" of a parameter no field holds sets it as a study does, and the window shows
// the charge it makes; a name the charge has not is refused with the study's message.
TEST(ChargeTable, AValueForALaterComponentOrTheSplitGoesIntoTheCharge)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    ui.prompts.openAnswer = testDataPath("../../examples/inputs/howitzer-155mm-two-component-input.json");
    button(w, "Button6")->click();
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    const double total = w.workingState().shown.C + w.workingState().shown.extraComponents.at(0).C;

    w.setParameterValue("split[2]", 0.25);
    const BallisticInput& shown = w.workingState().shown;
    EXPECT_NEAR(shown.extraComponents.at(0).C, 0.25 * total, 1e-12);
    EXPECT_NEAR(shown.C + shown.extraComponents[0].C, total, 1e-12);
    EXPECT_EQ(field(w, "Edit19")->text().toDouble(), shown.C);  // component 1 is the field
    w.setParameterValue("D[2]", 6);
    EXPECT_EQ(w.workingState().shown.extraComponents[0].D, 6 * 0.001);
    EXPECT_TRUE(w.isWindowModified());
    w.findChild<QAction*>("Undo1")->trigger();
    EXPECT_EQ(w.workingState().shown.extraComponents[0].D, 0.005);

    w.setParameterValue("C[3]", 1);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "C[3]: the charge has 2 components");
    EXPECT_EQ(w.workingState().shown.extraComponents.size(), 1u);
}
