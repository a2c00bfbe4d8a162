#include "PlotTestSupport.h"
#include "plot/AxisTicks.h"
#include "plot/MouseZoom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

// A plot whose frame is 525 px each way: after InitPlot (0 to 1.05) one pixel is 0.002, so
// the value v lies at column 35 + 500·v and at row 545 − 500·v.
constexpr int kSide = 580;
int column(double v) { return static_cast<int>(35 + 500 * v + 0.5); }
int row(double v) { return static_cast<int>(545 - 500 * v + 0.5); }

std::vector<std::string> labels(const std::vector<AxisTick>& ticks)
{
    std::vector<std::string> out;
    for (const AxisTick& t : ticks)
        out.push_back(t.label);
    return out;
}

}  // namespace

TEST(MousePress, ShowsTheValueUnderTheMouseWithFourMoreDecimals)
{
    auto plot = newPlot();
    const ReadOut out = mousePress(*plot, 85, 191, '.');
    EXPECT_EQ(out.x, "0.273438");  // 50 px of 192 of 1.05 = 0.2734375, six decimals
    EXPECT_EQ(out.y, "0");
    EXPECT_EQ(plot->dragActive, 1);
    EXPECT_DOUBLE_EQ(plot->dragX0, 0.2734375);  // unrounded
    EXPECT_EQ(plot->dragY0, 0);

    plot->xDecimals = 0;
    plot->yDecimals = 5;
    const ReadOut coarse = mousePress(*plot, 85, 100, ',');
    EXPECT_EQ(coarse.x, "0,2734");
    // 91 px of 171 of 1.05 = 0.558771929..., nine decimals: 0.558771930 without its last 0
    EXPECT_EQ(coarse.y, "0,55877193");
}

TEST(MouseZoom, ADragOfAtLeastTenPercentZoomsToTheRectangle)
{
    auto plot = newPlot(kSide, kSide);
    mousePress(*plot, column(0.2), row(0.1), '.');
    const RubberBand band = rubberBand(*plot, column(0.32), row(0.5));
    EXPECT_FALSE(band.belowThreshold);
    EXPECT_EQ(band.ax, column(0.2));
    EXPECT_EQ(band.ay, row(0.1));
    EXPECT_TRUE(mouseRelease(*plot, column(0.32), row(0.5)));
    EXPECT_DOUBLE_EQ(plot->xMin, 0.2);
    EXPECT_DOUBLE_EQ(plot->xMax, 0.32);
    EXPECT_DOUBLE_EQ(plot->yMin, 0.1);
    EXPECT_DOUBLE_EQ(plot->yMax, 0.5);
    EXPECT_EQ(plot->xDecimals, 2);
    EXPECT_EQ(plot->yDecimals, 2);
    EXPECT_EQ(plot->dragActive, 0);
    EXPECT_EQ(labels(xAxisTicks(*plot)).front(), "0.2");
}

TEST(MouseZoom, ADragBelowTenPercentOnEitherAxisIsRedAndZoomsNothing)
{
    struct Case {
        double x0, y0, x1, y1;
    };
    // 0.1 is below 0.1 × 1.05; each case is short on one axis only
    const Case cases[] = {{0.2, 0.1, 0.3, 0.5}, {0.2, 0.1, 0.5, 0.2}, {0.5, 0.5, 0.5, 0.5}};
    for (const Case& c : cases) {
        auto plot = newPlot(kSide, kSide);
        const QImage before = plot->surface.copy();
        mousePress(*plot, column(c.x0), row(c.y0), '.');
        EXPECT_TRUE(rubberBand(*plot, column(c.x1), row(c.y1)).belowThreshold);
        EXPECT_FALSE(mouseRelease(*plot, column(c.x1), row(c.y1)));
        EXPECT_EQ(plot->xMin, 0);
        EXPECT_EQ(plot->xMax, 1.05);
        EXPECT_EQ(plot->yMax, 1.05);
        EXPECT_EQ(plot->xDecimals, 2);
        EXPECT_EQ(plot->dragActive, 0);
        EXPECT_TRUE(plot->surface == before);
    }
    // exactly at the threshold the drag is no longer red: 0.21 of 0 to 2.1
    auto plot = newPlot(kSide, kSide);
    plot->xMax = plot->yMax = 2.1;  // one pixel is 0.004
    mousePress(*plot, 35, 545, '.');
    EXPECT_TRUE(rubberBand(*plot, 35 + 52, 545 - 52).belowThreshold);   // 0.208
    EXPECT_FALSE(rubberBand(*plot, 35 + 53, 545 - 53).belowThreshold);  // 0.212
}

TEST(MouseZoom, DragFromLowerRightToUpperLeftGivesTheSameRanges)
{
    auto plot = newPlot(kSide, kSide);
    mousePress(*plot, column(0.32), row(0.1), '.');
    const RubberBand band = rubberBand(*plot, column(0.2), row(0.5), 10, 200);
    EXPECT_EQ(band.ax, column(0.32) + 10);  // in window pixels
    EXPECT_EQ(band.ay, row(0.1) + 200);
    EXPECT_EQ(band.bx, column(0.2) + 10);
    EXPECT_EQ(band.by, row(0.5) + 200);
    EXPECT_TRUE(mouseRelease(*plot, column(0.2), row(0.5)));
    EXPECT_DOUBLE_EQ(plot->xMin, 0.2);
    EXPECT_DOUBLE_EQ(plot->xMax, 0.32);
    EXPECT_DOUBLE_EQ(plot->yMin, 0.1);
    EXPECT_DOUBLE_EQ(plot->yMax, 0.5);
}

TEST(MouseZoom, NestedZoomsNarrowFurtherAndADoubleClickRestores)
{
    auto plot = newPlot(kSide, kSide);
    const double xs[] = {0, 10, 20}, ys[] = {0, 50, 40};
    SetSeries(*plot, xs, ys, 0, 2, 1, 0);
    mousePress(*plot, 35, 545, '.');
    ASSERT_TRUE(mouseRelease(*plot, 35 + 100, 545 - 100));  // 0 to 4, 0 to 10
    EXPECT_EQ(plot->xDecimals, 1);
    EXPECT_EQ(plot->yMax, 10);
    EXPECT_EQ(plot->yDecimals, 0);  // a span of exactly 10 keeps the previous (of 0 to 52.5)
    mousePress(*plot, 35, 545, '.');
    ASSERT_TRUE(mouseRelease(*plot, 35 + 60, 545 - 60));
    EXPECT_NEAR(plot->xMax, 4 * 60.0 / 525, 1e-12);
    EXPECT_EQ(plot->xDecimals, 2);
    restoreAutomaticRanges(*plot);
    EXPECT_DOUBLE_EQ(plot->xMax, 21);
    EXPECT_DOUBLE_EQ(plot->yMax, 52.5);
    EXPECT_EQ(plot->xDecimals, 0);
}

TEST(MouseZoom, DoubleClickBeforeAnyRunGivesOneDecimal)
{
    auto plot = newPlot();
    restoreAutomaticRanges(*plot);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05);
    EXPECT_EQ(plot->xDecimals, 1);
    EXPECT_EQ(plot->yDecimals, 1);
    EXPECT_EQ(labels(xAxisTicks(*plot)), (std::vector<std::string>{"0", "0.3", "0.5", "0.8"}));
    EXPECT_EQ(labels(yAxisTicks(*plot)),
              (std::vector<std::string>{"0", "0.2", "0.3", "0.5", "0.6", "0.8", "0.9"}));
}

TEST(MouseZoom, AResizeKeepsTheZoom)
{
    auto plot = newPlot(kSide, kSide);
    mousePress(*plot, column(0.2), row(0.1), '.');
    ASSERT_TRUE(mouseRelease(*plot, column(0.32), row(0.5)));
    ASSERT_TRUE(ResizePlot(*plot, 300, 200));
    EXPECT_DOUBLE_EQ(plot->xMin, 0.2);
    EXPECT_DOUBLE_EQ(plot->xMax, 0.32);
}

TEST(MouseZoom, RubberBandCornerOfAPressFarOutsideTheNewRangesStaysFarOff)
{
    // After zooms far out, the second click of a double click presses at a value a million
    // million times the data, and the double click then rescales to the data: moving on
    // with the button held maps that press far beyond anything an int can hold.
    struct Case {
        int pressX, pressY;
        bool right, above;  // where the press corner must land: off which sides
    };
    const Case cases[] = {{246, 0, true, true}, {0, 225, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressX);
        auto plot = newPlot();
        plot->xMin = plot->yMin = -1e12;
        plot->xMax = plot->yMax = 1e12;
        mousePress(*plot, c.pressX, c.pressY, '.');
        restoreAutomaticRanges(*plot);  // 0 to 1.05 on both axes
        const RubberBand band = rubberBand(*plot, 100, 100, 10, 20);
        EXPECT_EQ(band.ax > 100000, c.right) << band.ax;
        EXPECT_EQ(band.ax < -100000, !c.right) << band.ax;
        EXPECT_EQ(band.ay < -100000, c.above) << band.ay;
        EXPECT_EQ(band.ay > 100000, !c.above) << band.ay;
        EXPECT_EQ(band.bx, 110);
        EXPECT_EQ(band.by, 120);
        EXPECT_FALSE(band.belowThreshold);
    }
}
