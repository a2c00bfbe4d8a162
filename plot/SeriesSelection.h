#pragma once
#include "core/results/RunResults.h"
#include "plot/PlotState.h"

#include <array>
#include <vector>

namespace kalvex::plot {

// The y choices of the "Axis Y" page, in item order, with their captions.
inline constexpr int kYChoiceCount = 12;
extern const std::array<const char*, kYChoiceCount> kYAxisCaptions;
extern const std::array<SeriesId, kYChoiceCount> kYAxisSeries;
inline constexpr int kDefaultYChoice = 5;  // mean pressure
// The x choices of the "Axis X" page: 0 time, 1 projectile travel.
extern const std::array<const char*, 2> kXAxisCaptions;
// The series of an x choice.
SeriesId xAxisSeries(int xChoice);

// Decimation step that keeps a curve at no more than about 2000 points.
int seriesStep(int stepCount);
// First row with travel > 0, N + 1 when the projectile never moved.
int firstMovingRow(const RunResults& results);

// Slot 0 := the chosen y series over the chosen x series (RadioGroup3Click, RadioGroup2Click).
void plotSelection(PlotState& plot, const RunResults& results, int yChoice, int xChoice);
// Slot 0 := S/Sg over Z (Button1Click).
void plotRelativeSurface(PlotState& plot, const RunResults& results);
// Slots 0, 1, 2 := mean, breech and base pressure over time (Button3Click) or over travel
// from the first moving row (Button10Click).
void plotPressuresOverTime(PlotState& plot, const RunResults& results);
void plotPressuresOverTravel(PlotState& plot, const RunResults& results);
// Slot 1 ("Clone I") or slot 2 ("Clone II") := a copy of slot 0's curve.
void cloneCurve(PlotState& plot, int slot);
// "Clear": removes both overlays.
void clearOverlays(PlotState& plot);

// The saved run of a report (its time table's columns, display units) into the overlay slot:
// only rows whose x value rises above the last one kept, since the table's times have three
// decimals and repeat at small steps; thinned like a run to at most about 2000 points.
// Empty columns deactivate the slot. Rescales and redraws.
void plotSavedRun(PlotState& plot, const std::vector<double>& x, const std::vector<double>& y);
// Takes the saved run off the plot (rescaled and redrawn) when it is drawn; else nothing.
// The special plots (S/Sg, the pressures) show other quantities than the radio choices the
// saved run follows: it steps aside until the next choice.
void hideSavedRun(PlotState& plot);

}  // namespace kalvex::plot
