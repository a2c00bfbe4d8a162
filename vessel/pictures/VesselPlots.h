#pragma once
// The pictures of closed-vessel firings and their reduction, drawn by the program's plot: the
// traces, each firing re-simulated beside its measurement, the residuals, the dynamic
// vivacity, and the burning rate against pressure with the fitted laws. Each function fills
// the plot's curves (at most kSlotCount: the first firings when there are more), its axis
// titles and legend names, and draws.
#include "plot/PlotState.h"
#include "vessel/Reduction.h"
#include "vessel/Resimulation.h"
#include "vessel/VesselSimulation.h"

#include <string>
#include <vector>

namespace kalvex::vessel {

// "t20.csv, 100 kg/m^3, 21 °C": a firing as the legends name it.
std::string firingLabel(const Firing& firing, double temperature);

void plotTraces(plot::PlotState& plot, const std::vector<Firing>& firings, const VesselReduction& reduction);
void plotResimulated(plot::PlotState& plot, const ResimulatedTrace& again);
void plotResiduals(plot::PlotState& plot, const std::vector<Firing>& firings,
                   const std::vector<ResimulatedTrace>& again);
void plotVivacity(plot::PlotState& plot, const std::vector<Firing>& firings, const VesselReduction& reduction);
void plotBurningRate(plot::PlotState& plot, const VesselReduction& reduction);

// A simulated firing: pressure, its rate, or the burned fraction over time.
enum class SimulatedQuantity { pressure, pressureRate, burnedFraction };
void plotSimulation(plot::PlotState& plot, const VesselTrace& trace, SimulatedQuantity quantity);

}  // namespace kalvex::vessel
