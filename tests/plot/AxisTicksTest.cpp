#include "PlotTestSupport.h"
#include "plot/AxisTicks.h"

#include <QFontMetrics>
#include <QString>

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include <string>
#include <vector>

using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

struct Expected {
    int pixel;
    const char* label;
};

void expectTicks(const std::vector<AxisTick>& ticks, const std::vector<Expected>& expected)
{
    ASSERT_EQ(ticks.size(), expected.size());
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].pixel, expected[i].pixel) << "tick " << i;
        EXPECT_EQ(ticks[i].label, expected[i].label) << "tick " << i;
    }
}

}  // namespace

TEST(AxisTicks, AfterInitPlotOnTheDesignSize)
{
    auto plot = newPlot();
    expectTicks(xAxisTicks(*plot), {{35, "0"}, {85, "0.27"}, {135, "0.55"}, {185, "0.82"}});
    expectTicks(yAxisTicks(*plot), {{191, "0"}, {166, "0.15"}, {141, "0.31"}, {116, "0.46"},
                                    {91, "0.61"}, {66, "0.77"}, {41, "0.92"}});
}

TEST(AxisTicks, LabelCornersSitUnderTheXTicksAndAtTheLeftEdgeForY)
{
    auto plot = newPlot();
    for (const AxisTick& tick : xAxisTicks(*plot)) {
        EXPECT_EQ(tick.labelLeft, tick.pixel - 5);
        EXPECT_EQ(tick.labelTop, kDesignHeight - 29);
    }
    for (const AxisTick& tick : yAxisTicks(*plot)) {
        EXPECT_EQ(tick.labelLeft, 5);
        EXPECT_EQ(tick.labelTop, tick.pixel);
    }
}

TEST(AxisTicks, SpanAboveTenShowsWholeNumbers)
{
    auto plot = newPlot();
    plot->xMin = 0;
    plot->xMax = 10.5;
    plot->xDecimals = DecimalsForSpan(10.5, plot->xDecimals);
    expectTicks(xAxisTicks(*plot), {{35, "0"}, {85, "3"}, {135, "5"}, {185, "8"}});
}

TEST(AxisTicks, AfterAutoscaleWithNoCurveOneDecimal)
{
    auto plot = newPlot();
    Autoscale(*plot);
    expectTicks(xAxisTicks(*plot), {{35, "0"}, {85, "0.3"}, {135, "0.5"}, {185, "0.8"}});
    expectTicks(yAxisTicks(*plot), {{191, "0"}, {166, "0.2"}, {141, "0.3"}, {116, "0.5"},
                                    {91, "0.6"}, {66, "0.8"}, {41, "0.9"}});
}

TEST(AxisTicks, UseTheUsersDecimalSeparatorAndScientificTextForTinyValues)
{
    auto plot = newPlot();
    plot->decimalSeparator = ',';
    EXPECT_EQ(xAxisTicks(*plot)[1].label, "0,27");
    plot->decimalSeparator = '.';
    plot->yMin = 0;
    plot->yMax = 1.05e-4;
    plot->yDecimals = DecimalsForSpan(1.05e-4, 2);  // five decimals
    // row 166 holds 25/171 of 1.05e-4 = 1.535e-5, rounded to 2E-5
    EXPECT_EQ(yAxisTicks(*plot)[1].label, "2E-5");
}

TEST(AxisTicks, GridFollowsTheSizeOfTheSurface)
{
    auto plot = newPlot(400, 300);  // frame 345 px wide, 245 px high
    const std::vector<AxisTick> x = xAxisTicks(*plot);
    const std::vector<AxisTick> y = yAxisTicks(*plot);
    ASSERT_EQ(x.size(), 7u);  // 0 to 300 px
    EXPECT_EQ(x.back().pixel, 335);
    ASSERT_EQ(y.size(), 10u);  // 0 to 225 px
    EXPECT_EQ(y.back().pixel, 40);
    auto exact = newPlot(255, 230);  // 200 x 175: the last grid line lies on the frame
    EXPECT_EQ(xAxisTicks(*exact).back().pixel, 235);
    EXPECT_EQ(yAxisTicks(*exact).back().pixel, 20);
}

// A maximised plot spans 0 to 10.5 over 1865 px: with the span's no decimals two ticks 0.28
// apart would read alike ("0 0 1 1 1 2 ..."); a plot larger than its design size gives the
// labels the decimals of the grid's spacing, 0.2815 to a percent. At the design size the same
// ranges keep whole numbers.
TEST(AxisTicks, TheGridsSpacingNeedsItsDecimals)
{
    const std::pair<double, int> cases[] = {{50, 0}, {2.5, 1}, {0.5, 1}, {1.45, 2}, {1.4537, 2}, {0.25, 2},
                                            {0.0012, 4}, {-1.45, 2}, {0, 0}};
    for (const auto& [spacing, decimals] : cases)
        EXPECT_EQ(decimalsForTickSpacing(spacing), decimals) << spacing;
    // 1.45-ms steps on a larger window read as a scale, not "0 1 3 4 6 7"
    auto larger = newPlot(35 + 20 + 12 * 50, 226);
    larger->xMax = 12 * 1.45;
    larger->xDecimals = 0;
    const std::vector<AxisTick> ticks = xAxisTicks(*larger);
    ASSERT_EQ(ticks.size(), 13u);
    const char* labels[] = {"0", "1.45", "2.9", "4.35", "5.8", "7.25"};
    for (std::size_t i = 0; i < std::size(labels); ++i)
        EXPECT_EQ(ticks[i].label, labels[i]) << i;
}

TEST(AxisTicks, NeighboursThatWouldReadAlikeGetDecimalsUntilTheyDiffer)
{
    auto wide = newPlot(1920, 226);
    wide->xMax = 10.5;
    wide->xDecimals = 0;
    const std::vector<AxisTick> ticks = xAxisTicks(*wide);
    for (std::size_t i = 1; i < ticks.size(); ++i)
        EXPECT_NE(ticks[i].label, ticks[i - 1].label) << i;
    EXPECT_EQ(ticks[1].label, "0.28");
    EXPECT_EQ(ticks[2].label, "0.56");

    auto design = newPlot();
    design->xMax = 10.5;
    design->xDecimals = 0;
    expectTicks(xAxisTicks(*design), {{35, "0"}, {85, "3"}, {135, "5"}, {185, "8"}});
    // a span of no real size cannot be told apart: the labels keep the span's decimals
    design->yMax = 1.05e-20;
    design->yDecimals = 5;
    EXPECT_EQ(yAxisTicks(*design)[1].label, "0");
}

// A narrow plot whose spacing needs many decimals: the labels kept stand clear of each other,
// the first among them, and every label kept reads its own tick's value.
TEST(AxisTicks, LabelsOfANarrowPlotWithSmallSpacingsDoNotRunIntoEachOther)
{
    auto narrow = newPlot(35 + 20 + 8 * 50 + 1, 226);  // larger than the design: the spacing's decimals
    narrow->xMin = 0.0026;
    narrow->xMax = 0.0026 + 8 * 0.0000743;
    const std::vector<AxisTick> ticks = xAxisTicks(*narrow);
    const QFontMetrics metrics(labelFont());
    ASSERT_FALSE(ticks.front().label.empty());
    int lastRight = -1000;
    int labelled = 0;
    for (const AxisTick& tick : ticks) {
        if (tick.label.empty())
            continue;
        ++labelled;
        EXPECT_GT(tick.labelLeft, lastRight) << tick.label;
        lastRight = tick.labelLeft + metrics.horizontalAdvance(QString::fromStdString(tick.label));
    }
    EXPECT_GE(labelled, 2);
    EXPECT_LT(labelled, static_cast<int>(ticks.size()));
    // a plot at its design size keeps every label (see AfterInitPlotOnTheDesignSize)
}

// A tall plot: y labels take the spacing's decimals only while they keep clear of the frame
// (19.6-MPa steps above 789 read 809, 828, not 808.6 across the frame line); short values keep them.
TEST(AxisTicks, YLabelsOfATallPlotStayLeftOfTheFrame)
{
    auto tall = newPlot(247, 35 + 20 + 11 * 25);
    tall->yMin = 789;
    tall->yMax = 789 + 11 * 19.6;
    tall->yDecimals = 0;
    const std::vector<AxisTick> pressures = yAxisTicks(*tall);
    const QFontMetrics metrics(labelFont());
    for (const AxisTick& tick : pressures)
        EXPECT_LE(tick.labelLeft + metrics.horizontalAdvance(QString::fromStdString(tick.label)), 35) << tick.label;
    EXPECT_EQ(pressures[1].label, "809");
    tall->yMin = 0;
    tall->yMax = 11 * 0.25;
    EXPECT_EQ(yAxisTicks(*tall)[1].label, "0.25");
}
