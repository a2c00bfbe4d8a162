#include "vessel/Resimulation.h"

#include "vessel/FiringSimulation.h"

#include <cmath>

namespace kalvex::vessel {

namespace {
constexpr double kSimulationStep = 1e-6;  // s, recorded at every step for the interpolation
constexpr double kAfterBurnout = 1e-3;    // s of plateau simulated after burnout
}  // namespace

ResimulatedTrace resimulateFiring(const std::vector<Firing>& firings, std::size_t index,
                                  const VesselReduction& reduction, const BallisticInput& propellant)
{
    const Firing& firing = firings.at(index);
    const FiringReduction& reduced = reduction.firings.at(index);
    BallisticInput propellantThen = reducedPropellant(reduction, propellant);
    if (reduction.temperature)
        applyChargeTemperature(reduced.temperature, reduction.temperature->coefficients, propellantThen);
    const VesselTrace simulation = simulateFiring(firing, propellantThen, reduction.heatLoss, kSimulationStep, kAfterBurnout);

    const ReducedTrace& r = reduced.reduced;
    const double half = 0.5 * r.maxPressure;
    ResimulatedTrace out;
    out.shift = crossingTime(firing.trace.time, r.smoothedPressure, half, r.start) -
                crossingTime(simulation.time, simulation.pressure, half);
    double squares = 0;
    for (std::size_t i = r.start; i <= r.end; ++i) {
        const double t = firing.trace.time[i];
        out.time.push_back(t);
        out.measured.push_back(firing.trace.pressure[i]);
        out.simulated.push_back(interpolateAt(simulation.time, simulation.pressure, t - out.shift));
        out.residual.push_back(out.measured.back() - out.simulated.back());
        squares += out.residual.back() * out.residual.back();
    }
    out.rmsResidual = std::sqrt(squares / static_cast<double>(out.time.size()));
    return out;
}

}  // namespace kalvex::vessel
