// The last runs side by side: kept at each completed Start and from a saved report, named by
// what changed, their key results in a table, drawn together with a legend.
#include "CaseInput.h"
#include "WidgetDriving.h"
#include "WindowDriver.h"

#include "plot/PaintPlot.h"
#include "ui/RunsWindow.h"
#include "ui/Vstup1.h"
#include "ui/WorkingState.h"

#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;
using kalvex::ui::test_support::child;

TEST(RunsWindow, KeepsEachRunWithWhatChangedAndDrawsThemWithALegend)
{
    SavedRun ui;  // one completed run of the rifle
    ui::RunsWindow runs(ui.window.get());
    ui::linkRunsWindow(runs, ui.w());
    const QString report = ui.save(ui.folder.filePath("rifle.txt"));
    field(ui.w(), "Edit19")->setText("0.003");
    click(button(ui.w(), "Button4"));
    ui.prompts.openAnswer = report;
    click(child<QPushButton>(runs, "RunsAddReport"));
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();

    const std::deque<ui::KeptRun>& kept = ui.w().workingState().keptRuns;
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[1].label, "2 Rifle 7.62 mm: C = 0.003 kg");
    EXPECT_EQ(kept[2].label, "3 Rifle 7.62 mm (rifle.txt): C = 0.0029 kg");
    // the saved report runs to the very results of the run it was saved from
    EXPECT_EQ(kept[2].outputs[study::OutputId::vMuzzle], kept[0].outputs[study::OutputId::vMuzzle]);
    EXPECT_GT(kept[1].outputs[study::OutputId::vMuzzle], kept[0].outputs[study::OutputId::vMuzzle]);

    auto* table = child<QTableWidget>(runs, "RunsTable");
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, table->columnCount() - 1)->text(), "C");
    EXPECT_EQ(plot::namedCurveCount(runs.plotState()), 3);
    table->item(0, 0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(plot::namedCurveCount(runs.plotState()), 2);
}

TEST(RunsWindow, ChangedAndDifferingInputsNameTheParameters)
{
    const BallisticInput rifle = inputFromCase("rifle_tube");
    BallisticInput heavier = rifle;
    heavier.mp = 0.01;
    heavier.grainType = 6;
    EXPECT_EQ(ui::changedInputs(rifle, rifle), "");
    EXPECT_EQ(ui::changedInputs(rifle, heavier), "mp = 0.01 kg, grain type 6");
    std::deque<ui::KeptRun> runs(3);
    runs[0].input = rifle;
    runs[1].input = rifle;
    runs[2].input = heavier;
    EXPECT_EQ(ui::differingInputs(runs), (std::vector<std::string>{"mp", "grainType"}));
    // the burning law's segments and the charge temperature, which no field shows
    runs[1].input.upperSegments = {{200, 5e-9, 0.9}};
    runs[1].input.chargeTemperature = 63;
    EXPECT_EQ(ui::differingInputs(runs),
              (std::vector<std::string>{"mp", "grainType", "segments", "chargeTemperature"}));
    EXPECT_EQ(ui::changedInputs(rifle, runs[1].input), "burning law of 2 segments, charge temperature 63 \u00b0C");
}

TEST(RunsWindow, MoreThanFourRunsAreDrawnAtOnceAndTheTableRoundsForReading)
{
    SavedRun ui;
    ui::RunsWindow runs(ui.window.get());
    ui::linkRunsWindow(runs, ui.w());
    for (const char* charge : {"0.0028", "0.0027", "0.0026", "0.0025", "0.0024"}) {
        field(ui.w(), "Edit19")->setText(charge);
        click(button(ui.w(), "Button4"));
    }
    auto* table = child<QTableWidget>(runs, "RunsTable");
    ASSERT_EQ(table->rowCount(), 6);
    EXPECT_EQ(plot::namedCurveCount(runs.plotState()), 4);  // the newest, until others are ticked
    for (int row = 0; row < 2; ++row)
        table->item(row, 0)->setCheckState(Qt::Checked);
    EXPECT_EQ(plot::namedCurveCount(runs.plotState()), 6);
    // five significant digits, the value's every digit in the tooltip
    const QTableWidgetItem* velocity = table->item(0, 5);
    const double vMuzzle = ui.w().workingState().keptRuns[0].outputs[study::OutputId::vMuzzle];
    EXPECT_EQ(velocity->text(), QString::number(vMuzzle, 'f', 2));
    EXPECT_NEAR(velocity->toolTip().toDouble(), vMuzzle, 1e-12 * vMuzzle);
}
