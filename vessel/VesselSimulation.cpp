#include "vessel/VesselSimulation.h"

#include "core/stepping/ModelStepper.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

void record(const ModelStepper& s, VesselTrace& trace)
{
    trace.time.push_back(s.t);
    trace.pressure.push_back(s.m.Pm);
    trace.burnedFraction.push_back(s.y[kBurnedFraction]);
}

// dp/dt by central differences inside, one-sided at the ends.
std::vector<double> rateOf(const std::vector<double>& t, const std::vector<double>& p)
{
    const std::size_t n = p.size();
    std::vector<double> rate(n, 0.0);
    for (std::size_t i = 0; i < n && n > 1; ++i) {
        const std::size_t lo = i == 0 ? 0 : i - 1;
        const std::size_t hi = i + 1 == n ? i : i + 1;
        rate[i] = (p[hi] - p[lo]) / (t[hi] - t[lo]);
    }
    return rate;
}

}  // namespace

VesselTrace simulateVessel(const VesselSetup& setup, double afterBurnout, double timeLimit, double until)
{
    if (!(setup.dt > 0) || !(setup.sampleInterval >= setup.dt) || !(setup.volume > 0) || !(setup.chargeMass > 0))
        throw std::runtime_error("the vessel needs a positive volume, charge mass, step and sample interval");
    if (const std::string problem = setup.heatLoss.problem(); !problem.empty())
        throw std::runtime_error(problem);
    ModelStepper s(vesselInput(setup));
    // The state at ignition: the igniter's gas alone.
    StateVector derivatives{};
    if (evaluateModel(s.constants, s.load, s.y, s.m, derivatives) != ModelFault::none)
        throw std::runtime_error("the charge does not fit into the vessel");
    VesselTrace trace;
    record(s, trace);
    const long stepsPerSample = std::lround(setup.sampleInterval / setup.dt);
    double burnout = -1;
    for (long i = 1; burnout < 0 || s.t < std::max(burnout + afterBurnout, until); ++i) {
        if (!s.step(setup.dt))
            throw std::runtime_error("the model failed in the vessel");
        if (burnout < 0 && s.y[kBurnedFraction] >= 1)
            burnout = s.t;
        if (i % stepsPerSample == 0)
            record(s, trace);
        if (s.t > timeLimit)
            throw std::runtime_error("the charge did not burn out in the vessel");
    }
    trace.pressureRate = rateOf(trace.time, trace.pressure);
    return trace;
}

}  // namespace kalvex::vessel
