#pragma once
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"

#include <atomic>

namespace kalvex {

// How a run ended. Only MuzzleReached leaves a complete run in the results.
enum class RunEnd {
    MuzzleReached,
    PressureLimit,          // "Mean Pressure over 2000 MPa."
    VelocityLimit,          // "Velocity of Projectile over 5000 m/s."
    StepLimit,              // 40797 steps without reaching the muzzle: the caller doubles the step
    FreeVolumeExhausted,    // "Free Volume of Chamber less than or equal to 0 m^3."
    TemperatureExhausted,   // "Mean Temperature less than or equal to 0 K."
    NotFinite,              // state or recorded value not finite
    ProjectileStopped,      // "Projectile stopped in the barrel."
    WallTemperatureExhausted,  // "Wall Temperature less than or equal to 0 K."
    BreechPressureNegative,    // "Breech Pressure less than 0 MPa."
    StepTooShort,           // the Start sequence doubled the step 30 times without reaching the muzzle
    AdaptiveStepLimit,      // the adaptive integrator's step bound: adaptiveStepLimitMessage
    Interrupted,            // "Run interrupted.": the caller asked the run to stop
};

// The message shown for an end other than MuzzleReached and StepLimit.
const char* runEndMessage(RunEnd end);

// Integrates a validated input set from ignition to the muzzle with fixed-step RK4 and
// records every step into `results`: every series from entry 0 to the last step, and zeros
// in the entry after it, whatever the buffer held before.
// Sets stepCount only when the muzzle is reached, and endStep whatever the end.
// Allocates nothing. When `stop` is given and turns true, the run ends with Interrupted within
// a thousand steps.
RunEnd runSolver(const BallisticInput& input, RunResults& results, const std::atomic<bool>* stop = nullptr);

}  // namespace kalvex
