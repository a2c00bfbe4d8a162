#include "CaseInput.h"
#include "PlotTestSupport.h"
#include "core/input/BallisticInput.h"
#include "core/results/RunSummary.h"
#include "core/stepping/Solver.h"
#include "plot/SeriesSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace kalvex;
using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

// The 155 mm howitzer reference case: 7-perforated grains, about 1500 steps.
std::unique_ptr<RunResults> howitzerRun()
{
    const BallisticInput input = kalvex::test::inputFromCase("gun155_7perf");
    auto run = std::make_unique<RunResults>();
    if (runSolver(input, *run) != RunEnd::MuzzleReached)
        return nullptr;
    computeRunCharacteristics(input, *run);
    return run;
}

double at(const RunResults& run, SeriesId id, int row)
{
    return run[id][static_cast<std::size_t>(row)];
}

double largest(const ResultSeries& s, int last)
{
    return *std::max_element(s.begin(), s.begin() + last + 1);
}

}  // namespace

TEST(RealRunPlot, PressureOverTimePeaksAtTheRunsPeakMeanPressure)
{
    const auto run = howitzerRun();
    ASSERT_NE(run, nullptr);
    const int n = run->stepCount;
    ASSERT_LT(n, 2000);  // every row is plotted
    auto plot = newPlot(900, 560);
    plotPressuresOverTime(*plot, *run);
    const PlotSeries& mean = plot->series[0];
    EXPECT_EQ(drawingWalkEnd(mean), n);
    const auto peak = std::max_element(mean.yValues.begin(), mean.yValues.begin() + n + 1);
    EXPECT_EQ(peak - mean.yValues.begin(), run->pmaxRow);
    EXPECT_EQ(plot->series[2].yValues[static_cast<std::size_t>(n)],
              at(*run, SeriesId::basePressure, n));
    // the breech pressure is the highest of the three; the top of the plot is 5 % above it
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05 * largest((*run)[SeriesId::breechPressure], n));
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05 * at(*run, SeriesId::time, n));
    EXPECT_DOUBLE_EQ(plot->yMin, 0.101325);  // atmospheric pressure at ignition
    // the red curve's highest pixel lies at its peak, under the blue breech curve
    const int peakColumn =
        static_cast<int>(ValueToPixelX(*plot, at(*run, SeriesId::time, run->pmaxRow)));
    const int peakRow = static_cast<int>(ValueToPixelY(*plot, *peak));
    bool redNearPeak = false;
    for (int dy = -2; dy <= 2; ++dy)
        redNearPeak = redNearPeak || isRed(pixel(*plot, peakColumn, peakRow + dy));
    EXPECT_TRUE(redNearPeak);
    for (int row = 0; row < peakRow - 3; ++row)
        ASSERT_FALSE(isRed(pixel(*plot, peakColumn, row))) << row;
}
