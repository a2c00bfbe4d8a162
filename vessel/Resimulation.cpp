#include "vessel/Resimulation.h"

#include "vessel/VesselSimulation.h"

#include <algorithm>
#include <cmath>

namespace kalvex::vessel {

namespace {

constexpr double kSimulationStep = 1e-6;  // s, recorded at every step for the interpolation

// The time a rising series first reaches `level`, linear between samples; the last time when
// it never does.
double crossing(const std::vector<double>& t, const std::vector<double>& p, double level, std::size_t from = 0)
{
    for (std::size_t i = std::max<std::size_t>(from, 1); i < p.size(); ++i)
        if (p[i] >= level && p[i - 1] < level)
            return t[i - 1] + (level - p[i - 1]) / (p[i] - p[i - 1]) * (t[i] - t[i - 1]);
    return t.back();
}

double interpolate(const std::vector<double>& t, const std::vector<double>& v, double at)
{
    if (at <= t.front())
        return v.front();
    if (at >= t.back())
        return v.back();
    const std::size_t j = static_cast<std::size_t>(std::upper_bound(t.begin(), t.end(), at) - t.begin());
    const double w = (at - t[j - 1]) / (t[j] - t[j - 1]);
    return v[j - 1] + w * (v[j] - v[j - 1]);
}

}  // namespace

ResimulatedTrace resimulateFiring(const std::vector<Firing>& firings, std::size_t index,
                                  const VesselReduction& reduction, const BallisticInput& propellant)
{
    const Firing& firing = firings.at(index);
    const FiringReduction& reduced = reduction.firings.at(index);
    VesselSetup setup;
    setup.charge = reducedPropellant(reduction, propellant);
    if (reduction.temperature)
        applyChargeTemperature(reduced.temperature, reduction.temperature->coefficients, setup.charge);
    setup.volume = firing.volume;
    setup.chargeMass = firing.chargeMass;
    setup.dt = kSimulationStep;
    setup.sampleInterval = kSimulationStep;
    const VesselTrace simulation = simulateVessel(setup);

    const ReducedTrace& r = reduced.reduced;
    const double half = 0.5 * r.maxPressure;
    ResimulatedTrace out;
    out.shift = crossing(firing.trace.time, r.smoothedPressure, half, r.start) -
                crossing(simulation.time, simulation.pressure, half);
    double squares = 0;
    for (std::size_t i = r.start; i <= r.end; ++i) {
        const double t = firing.trace.time[i];
        out.time.push_back(t);
        out.measured.push_back(firing.trace.pressure[i]);
        out.simulated.push_back(interpolate(simulation.time, simulation.pressure, t - out.shift));
        out.residual.push_back(out.measured.back() - out.simulated.back());
        squares += out.residual.back() * out.residual.back();
    }
    out.rmsResidual = std::sqrt(squares / static_cast<double>(out.time.size()));
    return out;
}

}  // namespace kalvex::vessel
