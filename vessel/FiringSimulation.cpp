#include "vessel/FiringSimulation.h"

#include <algorithm>

namespace kalvex::vessel {

VesselTrace simulateFiring(const Firing& firing, const BallisticInput& propellant, const VesselHeatLoss& heatLoss,
                           double step, double afterBurnout, double until)
{
    VesselSetup setup;
    setup.heatLoss = heatLoss;
    setup.charge = propellant;
    setup.volume = firing.volume;
    setup.chargeMass = firing.chargeMass;
    setup.dt = step;
    setup.sampleInterval = step;
    return simulateVessel(setup, afterBurnout, 1.0, until);
}

double crossingTime(const std::vector<double>& t, const std::vector<double>& v, double level, std::size_t from)
{
    for (std::size_t i = std::max<std::size_t>(from, 1); i < v.size(); ++i)
        if (v[i] >= level && v[i - 1] < level)
            return t[i - 1] + (level - v[i - 1]) / (v[i] - v[i - 1]) * (t[i] - t[i - 1]);
    return t.back();
}

double interpolateAt(const std::vector<double>& t, const std::vector<double>& v, double at)
{
    if (at <= t.front())
        return v.front();
    if (at >= t.back())
        return v.back();
    const std::size_t j = static_cast<std::size_t>(std::upper_bound(t.begin(), t.end(), at) - t.begin());
    const double w = (at - t[j - 1]) / (t[j] - t[j - 1]);
    return v[j - 1] + w * (v[j] - v[j - 1]);
}

}  // namespace kalvex::vessel
