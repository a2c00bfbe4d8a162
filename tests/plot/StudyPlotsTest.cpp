#include "PlotTestSupport.h"
#include "plot/StudyPlots.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kalvex::plot;
using namespace kalvex::plot::test;

TEST(StudyPlots, HistogramCountsEveryValueOnceWithTheLargestInTheLastClass)
{
    const std::vector<double> values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, std::nan("")};
    EXPECT_EQ(histogramCounts(values, 5, 0, 9), (std::vector<int>{2, 2, 2, 2, 2}));
    EXPECT_EQ(histogramCounts({4, 4, 4}, 3, 4, 4), (std::vector<int>{3, 0, 0}));
}

// The outline repeats each inner edge; edges that drift by a rounding would stop the drawing
// walk after the first bar. Every bar is drawn, and the limit stands inside the ranges.
TEST(StudyPlots, HistogramOutlineRunsOverEveryBarAndTheLimitIsMarked)
{
    std::vector<double> values;
    for (int i = 0; i < 997; ++i)
        values.push_back(409.97 + 0.0893 * i);  // edges of no round size
    auto plot = newPlot(600, 300);
    plotHistogram(*plot, values, 23, 500.0);
    EXPECT_EQ(drawingWalkEnd(plot->series[0]), 2 * 23 + 1);
    ASSERT_EQ(plot->series[1].active, 1);
    EXPECT_EQ(plot->series[1].xValues[0], 500.0);
    EXPECT_LT(plot->xMin, 409.97);
    EXPECT_GT(plot->xMax, 500.0);
    EXPECT_EQ(plot->yMin, 0);
}

TEST(StudyPlots, CurvesLeaveOutFailedRunsAndFollowX)
{
    auto plot = newPlot();
    plotCurves(*plot, {{{3, 1, std::nan(""), 2}, {30, 10, 99, 20}}});
    EXPECT_EQ(slotX(*plot, 0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(plot->series[1].active, 0);
}
