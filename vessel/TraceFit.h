#pragma once
// The burning law refined on the pressure traces themselves: the law whose simulated firings
// come closest to the measured pressures. The rates of BurningRate.h come from differences of
// a smoothed trace, which amplify the noise; the pressures carry it as measured, so their
// least squares pins the exponents down much more tightly (and beta with them).
#include "vessel/Reduction.h"

#include <vector>

namespace kalvex::vessel {

struct TraceFitOptions {
    // The segments meet at their bounds (the rate a continuous function of pressure): the
    // unknowns are log r at the bounds and at the ends of the pressures compared, and each
    // segment's alpha and beta follow. Else each segment has its own rate at its middle
    // pressure and its own exponent.
    bool joined = true;
    bool fitShifts = true;  // else the traces' zero is the ignition
    // Force and covolume fitted with the law, the samples after the peak up to the trim end
    // included (the plateau carries them); else they stay as given.
    bool fitGas = true;
    const std::atomic<bool>* stop = nullptr;  // set: ReductionStopped at the next simulation
    VesselHeatLoss heatLoss;  // of every simulated firing
};

struct TraceFitResult {
    std::vector<LawSegment> law;  // at the same bounds, with standard errors from the fit
    ForceCovolume gas;            // as given, or fitted with their standard errors
    std::vector<double> shifts;   // s, per fitted firing: its ignition on the trace's clock
    double rmsRelativeResidual = 0;  // of (p measured - p simulated) / p measured
    int iterations = 0;
    bool converged = false;
};

// Least squares (GSL, trust region) of (p measured - p simulated)/p measured over the samples
// of each firing from where its smoothed pressure passes the low fraction of `settings` to
// the peak (to the trim end when the gas is fitted); the unknowns are the law's (see
// TraceFitOptions), F and b when asked, and a shift of the simulation's clock per firing when
// asked. `firings` and `reduced` pair up; `propellant` carries F, b, the igniter and the
// grain. Throws std::runtime_error when the solver fails.
TraceFitResult fitLawToTraces(const std::vector<const Firing*>& firings, const std::vector<const ReducedTrace*>& reduced,
                              const BallisticInput& propellant,
                              const std::vector<LawSegment>& start, const ReductionSettings& settings,
                              const TraceFitOptions& options = {});

// The propellant's law set to `law` (first segment in beta and alpha, the rest as segments).
void setLaw(BallisticInput& propellant, const std::vector<LawSegment>& law);

}  // namespace kalvex::vessel
