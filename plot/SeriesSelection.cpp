#include "plot/SeriesSelection.h"

#include "plot/SeriesWalk.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

namespace kalvex::plot {

const std::array<const char*, kYChoiceCount> kYAxisCaptions = {
    "Burned Mass  Z     [-]",      "Burned Thickness  [mm]",     "Rel. Surf. S/Sg       [-]",
    "Proj. Travel x          [m]", "Proj. Velocity vp     [m/s]", "Mean Pressure P    [MPa]",
    "Mean Temp. T        [K]",     "Temp. of Wall Tc    [K]",     "Recoil Velocity vrp  [m/s]",
    "Burn. Rate r            [mm/s]", "Friction in Barrel br  [MPa]", "Acceleration           [G]",
};

const std::array<SeriesId, kYChoiceCount> kYAxisSeries = {
    SeriesId::burnedFraction,  SeriesId::burnedThickness,    SeriesId::relativeSurface,
    SeriesId::travel,          SeriesId::velocity,           SeriesId::meanPressure,
    SeriesId::meanTemperature, SeriesId::wallTemperature,    SeriesId::recoilVelocity,
    SeriesId::burningRate,     SeriesId::resistancePressure, SeriesId::acceleration,
};

const std::array<const char*, 2> kXAxisCaptions = {"Time                      [ms]",
                                                    "Projectile Travel    [m]"};

namespace {

constexpr int kRowsPerStep = 1000;  // keeps a curve at 1000 to 2000 points
constexpr int kTravelChoice = 1;

// A caption of the radio pages without the spaces that align its unit: "Time [ms]".
std::string title(const char* caption)
{
    std::string text;
    for (const char* c = caption; *c; ++c)
        if (*c != ' ' || (!text.empty() && text.back() != ' '))
            text += *c;
    return text;
}

// What each slot shows, for the legend; the titles of both axes.
void nameCurves(PlotState& plot, std::string x, std::string y)
{
    plot.xTitle = std::move(x);
    plot.yTitle = std::move(y);
}

const double* rows(const RunResults& results, SeriesId id)
{
    return results[id].data();
}

// The curves over travel leave out the rows before the projectile moves.
int firstPlottedRow(const RunResults& results, int xChoice)
{
    return xChoice == kTravelChoice ? firstMovingRow(results) : 0;
}

void plotPressures(PlotState& plot, const RunResults& results, int xChoice)
{
    const int first = firstPlottedRow(results, xChoice);
    const int step = seriesStep(results.stepCount);
    const double* x = rows(results, xAxisSeries(xChoice));
    // The third curve is the pressure on the projectile base.
    constexpr int kPressureCurves = 3;  // slots 0, 1 and 2
    const SeriesId curves[kPressureCurves] = {SeriesId::meanPressure, SeriesId::breechPressure,
                                              SeriesId::basePressure};
    // named for what they are: the button's caption says "Pg", the third curve is the base's
    const char* names[kPressureCurves] = {"Pmean, mean pressure", "P0, breech pressure", "Pb, base pressure"};
    nameCurves(plot, title(kXAxisCaptions[static_cast<std::size_t>(xChoice)]), "Pressure [MPa]");
    for (int slot = 0; slot < kPressureCurves; ++slot) {
        plot.series[static_cast<std::size_t>(slot)].name = names[slot];
        plot.series[static_cast<std::size_t>(slot)].markers = false;
        SetSeries(plot, x, rows(results, curves[slot]), first, results.stepCount, step, slot);
    }
}

}  // namespace

SeriesId xAxisSeries(int xChoice)
{
    return xChoice == kTravelChoice ? SeriesId::travel : SeriesId::time;
}

int seriesStep(int stepCount)
{
    return std::max(1, stepCount / kRowsPerStep);
}

int firstMovingRow(const RunResults& results)
{
    const ResultSeries& travel = results[SeriesId::travel];
    for (int i = 1; i <= results.stepCount; ++i)
        if (travel[static_cast<std::size_t>(i)] > 0)
            return i;
    return results.stepCount + 1;
}

void plotSelection(PlotState& plot, const RunResults& results, int yChoice, int xChoice)
{
    const SeriesId y = kYAxisSeries.at(static_cast<std::size_t>(yChoice));
    nameCurves(plot, title(kXAxisCaptions.at(static_cast<std::size_t>(xChoice))),
               title(kYAxisCaptions[static_cast<std::size_t>(yChoice)]));
    plot.series[0].name = plot.yTitle;
    SetSeries(plot, rows(results, xAxisSeries(xChoice)), rows(results, y),
              firstPlottedRow(results, xChoice), results.stepCount,
              seriesStep(results.stepCount), 0);
}

void plotRelativeSurface(PlotState& plot, const RunResults& results)
{
    nameCurves(plot, title(kYAxisCaptions[0]), title(kYAxisCaptions[2]));
    plot.series[0].name = plot.yTitle;
    SetSeries(plot, rows(results, SeriesId::burnedFraction), rows(results, SeriesId::relativeSurface),
              0, results.stepCount, seriesStep(results.stepCount), 0);
}

void plotPressuresOverTime(PlotState& plot, const RunResults& results)
{
    plotPressures(plot, results, 0);
}

void plotPressuresOverTravel(PlotState& plot, const RunResults& results)
{
    plotPressures(plot, results, kTravelChoice);
}

void cloneCurve(PlotState& plot, int slot)
{
    // A copy of the moment: the x values stay what they were, whatever is chosen later.
    const PlotSeries& source = plot.series[0];
    const int last = drawingWalkEnd(source);
    std::array<double, kSlotCapacity> x{};
    std::array<double, kSlotCapacity> y{};
    std::copy_n(source.xValues.begin(), last + 1, x.begin());
    std::copy_n(source.yValues.begin(), last + 1, y.begin());
    PlotSeries& target = plot.series[static_cast<std::size_t>(slot)];
    target.name = source.name.empty() ? std::string() : source.name + (slot == 1 ? " (Clone I)" : " (Clone II)");
    SetSeries(plot, x.data(), y.data(), 0, last, 1, slot);
}

void clearOverlays(PlotState& plot)
{
    ClearSeries(plot, 1);
    ClearSeries(plot, 2);
}

void plotSavedRun(PlotState& plot, const std::vector<double>& x, const std::vector<double>& y)
{
    std::vector<double> keptX, keptY;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i)
        if (keptX.empty() || x[i] > keptX.back()) {
            keptX.push_back(x[i]);
            keptY.push_back(y[i]);
        }
    if (keptX.empty()) {
        ClearSeries(plot, kOverlaySlot);
        return;
    }
    const int last = static_cast<int>(keptX.size()) - 1;
    plot.series[kOverlaySlot].name = plot.yTitle.empty() ? "saved run" : plot.yTitle + " (saved run)";
    SetSeries(plot, keptX.data(), keptY.data(), 0, last, seriesStep(last), kOverlaySlot);
}

void hideSavedRun(PlotState& plot)
{
    if (plot.series[kOverlaySlot].active)
        ClearSeries(plot, kOverlaySlot);
}

}  // namespace kalvex::plot
