#include "PlotTestSupport.h"
#include "plot/AxisTicks.h"
#include "plot/PlotState.h"
#include "plot/SeriesWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kalvex::plot;
using namespace kalvex::plot::test;

TEST(DecimalsForSpan, FollowsTheSpanAndKeepsThePreviousAtExactlyTen)
{
    struct Case {
        double span;
        int previous;
        int expected;
    };
    const Case cases[] = {
        {1e6, 3, 0},      {10.5, 3, 0},    {10.000001, 4, 0}, {10, 3, 3},     {10, 0, 0},
        {9.999999, 0, 1}, {1, 0, 1},       {0.999999, 0, 2},  {0.1, 0, 2},    {0.0999999, 0, 3},
        {0.01, 0, 3},     {0.009999, 0, 4}, {0.001, 0, 4},    {0.000999, 0, 5}, {1.05e-20, 2, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecimalsForSpan(c.span, c.previous), c.expected) << "span " << c.span;
}

TEST(Mappings, MapTheRangesOntoTheFrameAndBack)
{
    auto plot = newPlot();
    plot->xMin = 2;
    plot->xMax = 6;
    plot->yMin = -1;
    plot->yMax = 1;
    // frame: columns 35 to 227 (192 px wide), rows 191 (bottom) to 20 (171 px high)
    EXPECT_DOUBLE_EQ(ValueToPixelX(*plot, 2), 35);
    EXPECT_DOUBLE_EQ(ValueToPixelX(*plot, 6), 227);
    EXPECT_DOUBLE_EQ(ValueToPixelX(*plot, 4), 131);
    EXPECT_DOUBLE_EQ(ValueToPixelX(*plot, 10), 419);  // no clamping
    EXPECT_DOUBLE_EQ(ValueToPixelY(*plot, -1), 191);
    EXPECT_DOUBLE_EQ(ValueToPixelY(*plot, 1), 20);
    EXPECT_DOUBLE_EQ(ValueToPixelY(*plot, 0), 105.5);
    EXPECT_DOUBLE_EQ(PixelToValueX(*plot, 131), 4);
    EXPECT_DOUBLE_EQ(PixelToValueX(*plot, 0), 2 - 35.0 / 48);
    EXPECT_DOUBLE_EQ(PixelToValueY(*plot, 105.5), 0);
    EXPECT_DOUBLE_EQ(PixelToValueY(*plot, 20), 1);
}

TEST(InitPlot, SetsTheStartRangesAndDecimalsAndLeavesTheSlotsInactive)
{
    auto plot = newPlot();
    plot->dragActive = 1;
    InitPlot(*plot, kDesignWidth, kDesignHeight);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_EQ(plot->xMax, 1.05);
    EXPECT_EQ(plot->yMin, 0);
    EXPECT_EQ(plot->yMax, 1.05);
    EXPECT_EQ(plot->xDecimals, 2);
    EXPECT_EQ(plot->yDecimals, 2);
    EXPECT_EQ(plot->dragActive, 0);
    EXPECT_EQ(plot->surface.size(), QSize(kDesignWidth, kDesignHeight));
    for (const PlotSeries& s : plot->series)
        EXPECT_EQ(s.active, 0);
}

TEST(Autoscale, WithNoActiveSlotGivesZeroToOnePointOFiveWithOneDecimal)
{
    auto plot = newPlot();
    Autoscale(*plot);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_EQ(plot->yMin, 0);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05);
    EXPECT_EQ(plot->xDecimals, 1);
    EXPECT_EQ(plot->yDecimals, 1);
}

namespace {

void setConstantY(PlotState& plot, double y, int points)
{
    std::vector<double> xs(static_cast<std::size_t>(points));
    std::vector<double> ys(static_cast<std::size_t>(points), y);
    for (int i = 0; i < points; ++i)
        xs[static_cast<std::size_t>(i)] = 1 + i;
    SetSeries(plot, xs.data(), ys.data(), 0, points - 1, 1, 0);
}

}  // namespace

TEST(Autoscale, WidensAFlatPositiveCurveByFivePercentBothWays)
{
    auto plot = newPlot();
    setConstantY(*plot, 250, 10);
    EXPECT_DOUBLE_EQ(plot->yMin, 0.95 * 250);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05 * 250);
    EXPECT_EQ(plot->yDecimals, 0);  // span 25
    // the x range gets no such treatment: from the smallest x to 1.05 times the largest
    EXPECT_EQ(plot->xMin, 1);
    EXPECT_DOUBLE_EQ(plot->xMax, 10.5);
    EXPECT_EQ(plot->xDecimals, 1);  // span 9.5
}

TEST(Autoscale, AllZeroCurveGetsATinyPositiveTopWithFiveDecimals)
{
    auto plot = newPlot();
    setConstantY(*plot, 0, 10);
    EXPECT_EQ(plot->yMin, 0);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05e-20);
    EXPECT_EQ(plot->yDecimals, 5);
    for (const AxisTick& tick : yAxisTicks(*plot))
        EXPECT_EQ(tick.label, "0");
}

TEST(Autoscale, AllNegativeCurveKeepsTheTopAtAboutZero)
{
    auto plot = newPlot();
    setConstantY(*plot, -3, 10);
    EXPECT_EQ(plot->yMin, -3);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05e-20);
    EXPECT_EQ(plot->yDecimals, 1);
}

TEST(Autoscale, IgnoresPointsAfterTheFirstRepeatedXButTheDrawingWalkGoesOn)
{
    auto plot = newPlot();
    const double xs[] = {0, 0.5, 1, 1, 1};
    const double ys[] = {1, 0.5, 0.2, 7, 9};
    SetSeries(*plot, xs, ys, 0, 4, 1, 0);
    EXPECT_EQ(autoscaleWalkEnd(plot->series[0]), 2);
    EXPECT_EQ(drawingWalkEnd(plot->series[0]), 4);
    EXPECT_DOUBLE_EQ(plot->yMin, 0.2);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05);
}

TEST(Autoscale, SlotWithNothingCopiedStillContributesThePointZeroZero)
{
    auto plot = newPlot();
    const double unused[] = {5, 6};
    SetSeries(*plot, unused, unused, 1, 0, 1, 0);  // last < first: nothing copied
    EXPECT_EQ(plot->series[0].active, 1);
    EXPECT_EQ(drawingWalkEnd(plot->series[0]), kSlotCapacity - 1);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_EQ(plot->yMin, 0);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05e-20);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05e-20);
    EXPECT_EQ(plot->xDecimals, 5);
    EXPECT_EQ(plot->yDecimals, 5);
}

TEST(Autoscale, CoversEveryActiveSlotAndSkipsInactiveOnes)
{
    auto plot = newPlot();
    const double xa[] = {1, 2}, ya[] = {10, 20};
    const double xb[] = {0.5, 4}, yb[] = {-5, 15};
    const double xc[] = {0, 100}, yc[] = {-100, 100};
    SetSeries(*plot, xa, ya, 0, 1, 1, 0);
    SetSeries(*plot, xb, yb, 0, 1, 1, 1);
    SetSeries(*plot, xc, yc, 0, 1, 1, 2);
    ClearSeries(*plot, 2);
    EXPECT_EQ(plot->series[2].xValues[1], 100);  // clearing keeps the entries
    EXPECT_DOUBLE_EQ(plot->xMin, 0.5);
    EXPECT_DOUBLE_EQ(plot->xMax, 4.2);
    EXPECT_DOUBLE_EQ(plot->yMin, -5);
    EXPECT_DOUBLE_EQ(plot->yMax, 21);
}

TEST(SetSeries, CopiesEveryStepThPointUpToLast)
{
    auto plot = newPlot();
    std::vector<double> xs(40), ys(40);
    for (int i = 0; i < 40; ++i) {
        xs[static_cast<std::size_t>(i)] = i;
        ys[static_cast<std::size_t>(i)] = 100 + i;
    }
    SetSeries(*plot, xs.data(), ys.data(), 7, 20, 3, 1);  // 7, 10, 13, 16, 19; not 20
    EXPECT_EQ(slotX(*plot, 1), (std::vector<double>{7, 10, 13, 16, 19}));
    EXPECT_EQ(plot->series[1].yValues[4], 119);
    EXPECT_EQ(plot->series[1].xValues[5], 0);
    SetSeries(*plot, xs.data(), ys.data(), 7, 19, 3, 1);  // a multiple of the step: last copied
    EXPECT_EQ(slotX(*plot, 1), (std::vector<double>{7, 10, 13, 16, 19}));
}

namespace {

struct Source {
    std::vector<double> x, y;
};

Source risingSource(int size)
{
    Source s{std::vector<double>(static_cast<std::size_t>(size)),
             std::vector<double>(static_cast<std::size_t>(size))};
    for (int i = 0; i < size; ++i) {
        s.x[static_cast<std::size_t>(i)] = 1 + i;
        s.y[static_cast<std::size_t>(i)] = i % 7;
    }
    return s;
}

}  // namespace

TEST(SetSeries, Takes2110PointsAndRefuses2111)
{
    const Source src = risingSource(3 * 2111);
    auto plot = newPlot();
    SetSeries(*plot, src.x.data(), src.y.data(), 0, 2109, 1, 0);
    EXPECT_EQ(slotX(*plot, 0).size(), 2110u);
    SetSeries(*plot, src.x.data(), src.y.data(), 5, 5 + 2109 * 3 + 2, 3, 1);  // still 2110
    EXPECT_EQ(slotX(*plot, 1).size(), 2110u);

    try {
        SetSeries(*plot, src.x.data(), src.y.data(), 0, 2110, 1, 2);
        FAIL() << "2111 points were accepted";
    } catch (const TooManyPoints& e) {
        EXPECT_STREQ(e.what(), "P\xc5\x99\xc3\xadli\xc5\xa1 mnoho dat v grafu");
    }
    EXPECT_THROW(SetSeries(*plot, src.x.data(), src.y.data(), 3, 3 + 2110 * 3, 3, 2),
                 TooManyPoints);
}

TEST(SetSeries, RefusalLeavesTheSlotZeroedItsFlagAsItWasAndThePictureUntouched)
{
    const Source src = risingSource(3000);
    for (int wasActive = 0; wasActive <= 1; ++wasActive) {
        auto plot = newPlot();
        SetSeries(*plot, src.x.data(), src.y.data(), 0, 100, 1, 0);
        SetSeries(*plot, src.x.data(), src.y.data(), 0, 200, 1, 1);
        if (!wasActive)
            plot->series[1].active = 0;
        const QImage before = plot->surface.copy();
        const double xMax = plot->xMax;
        EXPECT_THROW(SetSeries(*plot, src.x.data(), src.y.data(), 0, 2500, 1, 1),
                     TooManyPoints);
        EXPECT_EQ(plot->series[1].active, wasActive);
        for (int i = 0; i < kSlotCapacity; ++i) {
            ASSERT_EQ(plot->series[1].xValues[static_cast<std::size_t>(i)], 0) << i;
            ASSERT_EQ(plot->series[1].yValues[static_cast<std::size_t>(i)], 0) << i;
        }
        EXPECT_EQ(plot->xMax, xMax);
        EXPECT_TRUE(plot->surface == before);
        EXPECT_EQ(slotX(*plot, 0).size(), 101u);  // other slots untouched
    }
}

TEST(SetSeries, ALongerEarlierCopyLeavesNoTailBehindAShorterOne)
{
    const Source src = risingSource(2200);
    auto plot = newPlot();
    SetSeries(*plot, src.x.data(), src.y.data(), 0, 2109, 1, 0);
    const double xs[] = {5, 5};
    const double ys[] = {1, 2};
    SetSeries(*plot, xs, ys, 0, -1, 1, 0);  // nothing copied: the slot is all zeros
    for (int i = 0; i < kSlotCapacity; ++i)
        ASSERT_EQ(plot->series[0].xValues[static_cast<std::size_t>(i)], 0) << i;
}

TEST(ResizePlot, NeedsEightyThreePixelsOnBothSidesAndKeepsTheRanges)
{
    auto plot = newPlot();
    plot->xMin = 0.2;  // as after a zoom
    plot->xMax = 0.4;
    const QImage before = plot->surface.copy();
    EXPECT_FALSE(ResizePlot(*plot, 82, 300));
    EXPECT_FALSE(ResizePlot(*plot, 300, 82));
    EXPECT_TRUE(plot->surface == before);

    EXPECT_TRUE(ResizePlot(*plot, 83, 83));
    EXPECT_EQ(plot->surface.size(), QSize(83, 83));
    EXPECT_EQ(plot->xMin, 0.2);
    EXPECT_EQ(plot->xMax, 0.4);
    // redrawn: the frame of an 83 px plot runs from (35, 20) to (63, 48)
    EXPECT_TRUE(isBlack(pixel(*plot, 63, 30)));
    EXPECT_TRUE(isBlack(pixel(*plot, 50, 48)));
    EXPECT_TRUE(isWhite(pixel(*plot, 80, 10)));
}
