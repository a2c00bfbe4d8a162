#pragma once
// A run integrated by an embedded Runge-Kutta pair (Dormand-Prince 5(4)) with error control,
// which ends its steps exactly where the model changes form: shot start, the end of
// whole-grain burning and the sliver corners, all burnt, the corners of the bore-resistance
// profile and the muzzle. Within a run the model is continuous: the bore resistance is taken
// inside the derivatives and the friction work is integrated with the state.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"

#include <atomic>
#include <string>

namespace kalvex {

inline constexpr long kDefaultAdaptiveStepBound = 1'000'000;

struct AdaptiveSettings {
    double relativeTolerance = 1e-8;
    // On the state measured in its natural sizes (travel in barrel lengths, velocities in the
    // charge's ideal velocity, energies in the charge's energy, burned thickness in the grain's
    // volume-to-surface length); 0 takes the relative tolerance.
    double absoluteTolerance = 0;
    long maxSteps = kDefaultAdaptiveStepBound;
};

// A maximum of a pressure located on the dense output (dP/dt = 0), or at the muzzle for a
// pressure that rises up to it.
struct PeakValue {
    double value = 0;  // MPa
    double time = 0;   // ms
};

struct LocatedPeaks {
    PeakValue meanPressure, basePressure, breechPressure;
};

struct AdaptiveOutcome {
    RunEnd end = RunEnd::MuzzleReached;
    long steps = 0;        // accepted steps
    long evaluations = 0;  // of the model's derivatives, events and peaks included
    LocatedPeaks peaks;    // of a run that reached the muzzle
};

// Validated input; `results` is written as the fixed-step run writes it: entry 0 at ignition,
// then one entry per accepted step or event, the last at the muzzle, no two at one time.
// A run that needs more steps than the bound (or than the results hold) ends with
// RunEnd::AdaptiveStepLimit. `dt` is not used.
// A `stop` flag that turns true ends the run with Interrupted after the step under way.
AdaptiveOutcome runAdaptive(const BallisticInput& input, const AdaptiveSettings& settings, RunResults& results,
                            const std::atomic<bool>* stop = nullptr);

// The absolute tolerance the run uses: the settings' one, else the relative tolerance.
double absoluteToleranceOf(const AdaptiveSettings& settings);

// "Adaptive Integration: more than N steps needed."
std::string adaptiveStepLimitMessage(long bound);

// The step bound a run into `RunResults` can keep: the settings' bound, or the entries the
// results hold.
long recordableStepBound(const AdaptiveSettings& settings);

}  // namespace kalvex
