#include "ui/ClosedVesselWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace kalvex::ui {
namespace {

const QString kExample = QStringLiteral(KALVEX_TEST_DATA "/../../examples/closed-vessel/");

void fillRow(QTableWidget* table, int row, const char* volume, const char* charge)
{
    table->item(row, 1)->setText(QString::fromUtf8(volume));
    table->item(row, 2)->setText(QString::fromUtf8(charge));
}

// The example's three firings at 21 °C reduced in the window, off the GUI thread: the
// results name the refined law, a picture is drawn, and saving becomes possible; a firing
// without its charge, or a heat loss below 0, is refused before anything runs.
TEST(ClosedVesselWindow, ReducesTheFiringsOfTheListOffTheGuiThread)
{
    ClosedVesselWindow window;
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("VesselFirings"));
    auto* reduce = window.findChild<QPushButton*>(QStringLiteral("VesselReduce"));
    auto* save = window.findChild<QPushButton*>(QStringLiteral("VesselSave"));
    window.findChild<QLineEdit*>(QStringLiteral("VesselInput"))->setText(kExample + QStringLiteral("propellant.json"));
    window.findChild<QLineEdit*>(QStringLiteral("VesselBounds"))->setText(QStringLiteral("40 100"));
    window.findChild<QCheckBox*>(QStringLiteral("VesselIgnitionAtZero"))->setChecked(true);
    window.addTraces({kExample + QStringLiteral("firing-20g-21C.csv"), kExample + QStringLiteral("firing-40g-21C.csv"),
                      kExample + QStringLiteral("firing-60g-21C.csv")});
    ASSERT_EQ(table->rowCount(), 3);
    fillRow(table, 0, "200", "20");
    fillRow(table, 1, "200", "40");
    EXPECT_THROW(window.firingsFromTable(), std::runtime_error);  // the third has no charge
    fillRow(table, 2, "200", "60");
    EXPECT_EQ(window.firingsFromTable().at(2).chargeMass, 0.06);
    EXPECT_EQ(window.optionsFromFields().pLow, (std::vector<double>{0, 40e6, 100e6}));
    // The heat loss as typed (W/m^2/K, mm, °C); a negative coefficient is refused.
    auto* heat = window.findChild<QLineEdit*>(QStringLiteral("VesselHeatLoss"));
    window.findChild<QLineEdit*>(QStringLiteral("VesselInnerDiameter"))->setText(QStringLiteral("100"));
    heat->setText(QStringLiteral("-1"));
    EXPECT_THROW(window.optionsFromFields(), std::runtime_error);
    heat->setText(QStringLiteral("2000"));
    EXPECT_EQ(window.optionsFromFields().heatLoss.coefficient, 2000);
    EXPECT_EQ(window.optionsFromFields().heatLoss.innerDiameter, 0.1);
    heat->setText(QStringLiteral("0"));

    QSignalSpy finished(&window, &ClosedVesselWindow::reductionFinished);
    QTest::mouseClick(reduce, Qt::LeftButton);
    EXPECT_TRUE(window.reducing());
    EXPECT_EQ(reduce->text(), QStringLiteral("Stop"));
    ASSERT_TRUE(finished.wait(100000));
    EXPECT_FALSE(window.reducing());
    const QString results = window.findChild<QPlainTextEdit*>(QStringLiteral("VesselResults"))->toPlainText();
    EXPECT_TRUE(results.contains(QStringLiteral("burning law refined on the traces"))) << results.toStdString();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(window.plotState().xTitle, "Time [ms]");
    EXPECT_EQ(window.plotState().series[2].active, 1);  // the third firing's trace
}

}  // namespace
}  // namespace kalvex::ui
