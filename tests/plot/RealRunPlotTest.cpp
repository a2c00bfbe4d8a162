#include "PlotTestSupport.h"
#include "core/BallisticInput.h"
#include "core/FieldSource.h"
#include "core/InputSet.h"
#include "core/RunSummary.h"
#include "core/Solver.h"
#include "plot/SeriesSelection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

using namespace kalvex;
using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

// A 155 mm howitzer with 7-perforated grains, the field texts as a user types them.
class HowitzerFields : public FieldSource {
public:
    std::string fieldText(std::string_view control) const override
    {
        const auto it = texts_.find(std::string(control));
        return it == texts_.end() ? "0" : it->second;
    }

private:
    std::map<std::string, std::string> texts_ = {
        {"Edit1", "0.01922"}, {"Edit2", "43.5"},    {"Edit3", "5.08"},    {"Edit4", "0.0188"},
        {"Edit5", "20"},      {"Edit6", "0.0002"},  {"Edit7", "21"},      {"Edit8", "10"},
        {"Edit9", "0.0002"},  {"Edit10", "7850"},   {"Edit11", "460"},    {"Edit12", "0.2"},
        {"Edit13", "2500"},   {"Edit14", "150000"}, {"Edit15", "0.01"},   {"Edit19", "11.5"},
        {"Edit20", "1.08e6"}, {"Edit21", "3040"},   {"Edit22", "0.00102"}, {"Edit23", "1.24"},
        {"Edit24", "1660"},   {"Edit25", "4.8e-9"}, {"Edit26", "0.9"},    {"Edit27", "0.1"},
        {"Edit28", "3e5"},    {"Edit29", "2000"},   {"Edit30", "0.0005"}, {"Edit31", "1.25"},
        {"Edit32", "1.01"},   {"Edit34", "0.98"},   {"Edit35", "1.03"},   {"Edit16", "1"},
        {"Edit36", "0.03"},   {"Edit37", "0.2"},    {"Edit38", "5"},      {"Edit39", "30"},
        {"Edit40", "10"},     {"Edit41", "5"},      {"Edit42", "10"},     {"Edit43", "22"},
        {"Edit44", "0.9"},    {"Edit45", "0"},
    };
};

std::unique_ptr<RunResults> howitzerRun()
{
    BallisticInput input;
    readBallisticInput(HowitzerFields(), 6, true, '.', input);
    validateBallisticInput(input);
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
