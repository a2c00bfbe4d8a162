// The plot selection pages after a run: the radio choices, the special plots and overlays.
#include "WindowDriver.h"

#include "core/results/RunResults.h"
#include "plot/PlotState.h"
#include "ui/RadioGroup.h"
#include "ui/Vstup1.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct RunWindow : WindowUnderTest {
    RunWindow()
    {
        enterCase(*window, loadCase("rifle_tube"));
        click(button(*window, "Button4"));
    }
    ui::Tvstup& w() { return *window; }
    const plot::PlotSeries& slot(int i) { return window->plotState().series[static_cast<std::size_t>(i)]; }
    void showPlotPage(int page) { window->findChild<QTabWidget*>("PageControl2")->setCurrentIndex(page); }
    void choose(const char* group, int item)
    {
        clickRadio(window->findChild<ui::RadioGroup*>(group)->item(item));
    }
};

}  // namespace

TEST(PlotPages, RadioChoicesReplotSlotZeroFromTheLastRun)
{
    RunWindow ui;
    ASSERT_NE(ui.w().completedRun(), nullptr);
    const RunResults& run = *ui.w().completedRun();
    const int N = run.stepCount;
    const auto step = static_cast<std::size_t>(std::max(1, N / 1000));
    // the run ends with the mean pressure over time, every step-th row
    EXPECT_DOUBLE_EQ(ui.slot(0).xValues[1], run[SeriesId::time][step]);
    EXPECT_DOUBLE_EQ(ui.slot(0).yValues[1], run[SeriesId::meanPressure][step]);

    ui.showPlotPage(0);
    ui.choose("RadioGroup3", 4);  // velocity
    ui.showPlotPage(1);
    ui.choose("RadioGroup2", 1);  // over travel
    // the first point is the first row where the projectile has moved
    int firstMoving = 1;
    while (run[SeriesId::travel][static_cast<std::size_t>(firstMoving)] <= 0)
        ++firstMoving;
    EXPECT_DOUBLE_EQ(ui.slot(0).xValues[0], run[SeriesId::travel][static_cast<std::size_t>(firstMoving)]);
    EXPECT_DOUBLE_EQ(ui.slot(0).yValues[0], run[SeriesId::velocity][static_cast<std::size_t>(firstMoving)]);
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(PlotPages, PressurePlotsCloneAndClearUseTheOverlaySlots)
{
    RunWindow ui;
    ui.showPlotPage(2);
    click(button(ui.w(), "Button3"));
    EXPECT_EQ(ui.slot(1).active, 1);
    EXPECT_EQ(ui.slot(2).active, 1);
    click(button(ui.w(), "Button9"));
    EXPECT_EQ(ui.slot(0).active, 1);
    EXPECT_EQ(ui.slot(1).active, 0);
    EXPECT_EQ(ui.slot(2).active, 0);

    click(button(ui.w(), "Button7"));
    EXPECT_EQ(ui.slot(1).active, 1);
    EXPECT_EQ(ui.slot(1).yValues, ui.slot(0).yValues);
    click(button(ui.w(), "Button8"));
    EXPECT_EQ(ui.slot(2).active, 1);

    // a clone survives a new run with other inputs, which re-plots only slot 0
    const auto cloned = ui.slot(1).yValues;
    field(ui.w(), "Edit19")->setText("0.0031");
    click(button(ui.w(), "Button4"));
    EXPECT_EQ(ui.slot(1).yValues, cloned);
    EXPECT_NE(ui.slot(0).yValues, cloned);
    EXPECT_TRUE(ui.prompts.messages.empty());
}
