#include "PlotTestSupport.h"
#include "plot/SeriesSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kalvex;
using namespace kalvex::plot;
using namespace kalvex::plot::test;

namespace {

constexpr int kTimeChoice = 0;
constexpr int kTravelChoice = 1;
constexpr int kVelocityChoice = 4;

std::vector<double> rowsOf(const RunResults& run, SeriesId id, std::vector<int> rows)
{
    std::vector<double> values;
    for (int r : rows)
        values.push_back(run[id][static_cast<std::size_t>(r)]);
    return values;
}

std::vector<int> rowRange(int first, int last, int step)
{
    std::vector<int> rows;
    for (int r = first; r <= last; r += step)
        rows.push_back(r);
    return rows;
}

}  // namespace

TEST(SeriesSelection, CaptionsAndSeriesOfTheYChoices)
{
    struct Choice {
        const char* caption;  // blanks included: they line the units up on the page
        SeriesId series;
    };
    const Choice choices[kYChoiceCount] = {
        {"Burned Mass  Z     [-]", SeriesId::burnedFraction},
        {"Burned Thickness  [mm]", SeriesId::burnedThickness},
        {"Rel. Surf. S/Sg       [-]", SeriesId::relativeSurface},
        {"Proj. Travel x          [m]", SeriesId::travel},
        {"Proj. Velocity vp     [m/s]", SeriesId::velocity},
        {"Mean Pressure P    [MPa]", SeriesId::meanPressure},
        {"Mean Temp. T        [K]", SeriesId::meanTemperature},
        {"Temp. of Wall Tc    [K]", SeriesId::wallTemperature},
        {"Recoil Velocity vrp  [m/s]", SeriesId::recoilVelocity},
        {"Burn. Rate r            [mm/s]", SeriesId::burningRate},
        {"Friction in Barrel br  [MPa]", SeriesId::resistancePressure},
        {"Acceleration           [G]", SeriesId::acceleration},
    };
    for (int i = 0; i < kYChoiceCount; ++i) {
        SCOPED_TRACE(i);
        const auto item = static_cast<std::size_t>(i);
        EXPECT_STREQ(kYAxisCaptions[item], choices[i].caption);
        EXPECT_EQ(kYAxisSeries[item], choices[i].series);
    }
    EXPECT_STREQ(kXAxisCaptions[0], "Time                      [ms]");
    EXPECT_STREQ(kXAxisCaptions[1], "Projectile Travel    [m]");
    EXPECT_EQ(kYAxisSeries[kDefaultYChoice], SeriesId::meanPressure);
}

TEST(SeriesSelection, DecimationKeepsCurvesAtAboutTwoThousandPoints)
{
    struct Case {
        int stepCount;
        int step;
        int lastRow;
    };
    const Case cases[] = {{1, 1, 1}, {999, 1, 999}, {1999, 1, 1999}, {2000, 2, 2000},
                          {2001, 2, 2000}, {2999, 2, 2998}, {3000, 3, 3000}, {40797, 40, 40760}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stepCount);
        EXPECT_EQ(seriesStep(c.stepCount), c.step);
        auto run = syntheticRun(c.stepCount);
        auto plot = newPlot();
        plotSelection(*plot, *run, kDefaultYChoice, kTimeChoice);
        const std::vector<int> rows = rowRange(0, c.lastRow, c.step);
        EXPECT_EQ(slotX(*plot, 0), rowsOf(*run, SeriesId::time, rows));
        const PlotSeries& slot = plot->series[0];
        EXPECT_EQ(slot.yValues[rows.size() - 1], (*run)[SeriesId::meanPressure][static_cast<std::size_t>(c.lastRow)]);
    }
    EXPECT_EQ(rowRange(0, 1999, 1).size(), 2000u);
    EXPECT_EQ(rowRange(0, 2000, 2).size(), 1001u);
}

TEST(SeriesSelection, FirstMovingRowIsTheFirstRowWithPositiveTravel)
{
    auto run = syntheticRun(50, 6);  // travel 0 up to row 6
    EXPECT_EQ(firstMovingRow(*run), 7);
    auto fromStart = syntheticRun(50, 0);
    (*fromStart)[SeriesId::travel][0] = 0.5;  // row 0 is never tested
    EXPECT_EQ(firstMovingRow(*fromStart), 1);
    auto still = syntheticRun(50, 1000);
    EXPECT_EQ(firstMovingRow(*still), 51);
}

TEST(SeriesSelection, PlotOverTravelStartsAtTheFirstMovingRow)
{
    auto run = syntheticRun(3500, 6);  // i0 = 7, k = 3
    auto plot = newPlot();
    plotSelection(*plot, *run, kVelocityChoice, kTravelChoice);
    const std::vector<int> rows = rowRange(7, 3500, 3);
    EXPECT_EQ(slotX(*plot, 0), rowsOf(*run, SeriesId::travel, rows));
    EXPECT_EQ(plot->series[0].yValues[0], (*run)[SeriesId::velocity][7]);
    EXPECT_GT(plot->xMin, 0);
}

TEST(SeriesSelection, PlotOverTravelOfAProjectileThatNeverMovedShowsNothing)
{
    auto run = syntheticRun(100, 1000);
    auto plot = newPlot();
    plotSelection(*plot, *run, kDefaultYChoice, kTravelChoice);
    EXPECT_EQ(plot->series[0].active, 1);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05e-20);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05e-20);
    EXPECT_EQ(plot->xDecimals, 5);
    EXPECT_EQ(plot->yDecimals, 5);
}

TEST(SeriesSelection, RelativeSurfaceOverBurnedFractionInSlotZeroOnly)
{
    auto run = syntheticRun(100);
    auto plot = newPlot();
    plotRelativeSurface(*plot, *run);
    EXPECT_EQ(plot->series[0].xValues[10], (*run)[SeriesId::burnedFraction][10]);
    EXPECT_EQ(plot->series[0].yValues[10], (*run)[SeriesId::relativeSurface][10]);
    EXPECT_EQ(plot->series[1].active, 0);
    // Z stays at 1 after all-burnt: the ranges end at the first 1, the drawing goes on
    EXPECT_EQ(autoscaleWalkEnd(plot->series[0]), 50);
    EXPECT_EQ(drawingWalkEnd(plot->series[0]), 100);
}

TEST(SeriesSelection, PressurePlotsPutMeanBreechAndBasePressureIntoTheThreeSlots)
{
    auto run = syntheticRun(4000, 100);  // k = 4, i0 = 101
    auto plot = newPlot();
    plotPressuresOverTime(*plot, *run);
    const std::vector<int> timeRows = rowRange(0, 4000, 4);
    const SeriesId expected[3] = {SeriesId::meanPressure, SeriesId::breechPressure,
                                  SeriesId::basePressure};
    for (int s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        const PlotSeries& slot = plot->series[static_cast<std::size_t>(s)];
        EXPECT_EQ(slot.active, 1);
        EXPECT_EQ(slotX(*plot, s), rowsOf(*run, SeriesId::time, timeRows));
        EXPECT_EQ(slot.yValues[250], (*run)[expected[s]][1000]);
    }
    plotPressuresOverTravel(*plot, *run);
    const std::vector<int> travelRows = rowRange(101, 4000, 4);
    for (int s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(slotX(*plot, s), rowsOf(*run, SeriesId::travel, travelRows));
        EXPECT_EQ(plot->series[static_cast<std::size_t>(s)].yValues[0], (*run)[expected[s]][101]);
    }
}

TEST(SeriesSelection, NewChoiceReplacesSlotZeroAndKeepsThePressureCurvesInTheRanges)
{
    auto run = syntheticRun(1000);
    auto plot = newPlot();
    plotPressuresOverTime(*plot, *run);
    plotSelection(*plot, *run, kVelocityChoice, kTimeChoice);
    EXPECT_EQ(plot->series[0].yValues[1000], 900);
    EXPECT_EQ(plot->series[1].yValues[500], (*run)[SeriesId::breechPressure][500]);
    EXPECT_EQ(plot->series[2].active, 1);
    EXPECT_DOUBLE_EQ(plot->yMax, 900 * 1.05);
    EXPECT_DOUBLE_EQ(plot->yMin, 0);
}

TEST(SeriesSelection, CloneKeepsItsTimeValuesAfterTheXChoiceChangesToTravel)
{
    auto run = syntheticRun(1500, 10);
    auto plot = newPlot();
    plotSelection(*plot, *run, kVelocityChoice, kTimeChoice);
    const std::vector<double> timeX = slotX(*plot, 0);
    cloneCurve(*plot, 1);
    EXPECT_EQ(plot->series[1].active, 1);
    EXPECT_EQ(slotX(*plot, 1), timeX);
    plotSelection(*plot, *run, kVelocityChoice, kTravelChoice);
    EXPECT_EQ(slotX(*plot, 1), timeX);
    EXPECT_EQ(slotX(*plot, 0), rowsOf(*run, SeriesId::travel, rowRange(11, 1500, 1)));
    // the ranges cover the travel curve and the time-valued clone on the same axes:
    // the travel curve starts above 0, the clone at the time 0
    EXPECT_GT((*run)[SeriesId::travel][11], 0);
    EXPECT_EQ(plot->xMin, 0);
    EXPECT_DOUBLE_EQ(plot->xMax, 1.05 * (*run)[SeriesId::travel][1500]);
}

TEST(SeriesSelection, CloneCopiesTheWholeDrawnCurveWithoutDecimation)
{
    auto run = syntheticRun(100);
    auto plot = newPlot();
    plotRelativeSurface(*plot, *run);  // x repeats after all-burnt
    cloneCurve(*plot, 2);
    EXPECT_EQ(slotX(*plot, 2), slotX(*plot, 0));
    EXPECT_EQ(slotX(*plot, 2).size(), 101u);
    EXPECT_EQ(plot->series[2].yValues[100], plot->series[0].yValues[100]);
}

TEST(SeriesSelection, ClearRemovesBothOverlaysAndRescalesToSlotZero)
{
    auto run = syntheticRun(1000, 20);
    auto plot = newPlot();
    plotPressuresOverTravel(*plot, *run);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05 * (*run)[SeriesId::breechPressure][500]);
    clearOverlays(*plot);
    EXPECT_EQ(plot->series[0].active, 1);
    EXPECT_EQ(plot->series[1].active, 0);
    EXPECT_EQ(plot->series[2].active, 0);
    EXPECT_DOUBLE_EQ(plot->yMax, 1.05 * (*run)[SeriesId::meanPressure][500]);
}
