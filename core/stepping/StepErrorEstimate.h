#pragma once
// The numerical error of a completed run, estimated by running the same input at half the
// step: |f(h) - f(h/2)| of the printed characteristics. RK4 is fourth order where the model
// is smooth, but the muzzle values are taken at the first step past the muzzle and the bore
// resistance is updated once per step, so the printed values converge only to first order:
// the difference to the half-step run is then about the error of the run itself.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/results/RunSummary.h"
#include "core/stepping/AdaptiveRun.h"

namespace kalvex {

// One characteristic in both runs, in display units.
struct EstimatedValue {
    bool present = false;  // false when the characteristic exists in only one run
    double atStep = 0;     // f(h)
    double atHalfStep = 0; // f(h/2)
    double error() const;     // |f(h) - f(h/2)|
    double relative() const;  // error / |f(h/2)|
};

struct StepErrorEstimate {
    // false when the half-step run had to double its step (or stopped before the muzzle):
    // it then is no run at h/2 and says nothing about the error.
    bool available = false;
    double dt = 0;                 // h, s
    EstimatedValue peakPressure;   // MPa
    EstimatedValue muzzleVelocity; // m/s
    bool burnoutInBarrel = false;  // in at least one of the two runs
    EstimatedValue burnoutTime;    // ms
    EstimatedValue burnoutTravel;  // m
    double relativeTolerance = 0;  // of an adaptive run, compared with one at a hundredth of it; 0 for the fixed step
};

inline constexpr double kStepErrorAdviceLimit = 1e-3;  // relative error above which to advise

// Runs `input` at half of `dt`, the step the completed run `run` used (the step after any
// restarts). Computes the characteristics of `run` again (they are those the summary shows).
StepErrorEstimate estimateStepError(const BallisticInput& input, double dt, RunResults& run);
// The same with the half-step run written into `halfStep` (reset first), for callers that run
// many estimates and keep one buffer per thread rather than allocate 7.5 MB each time.
StepErrorEstimate estimateStepError(const BallisticInput& input, double dt, RunResults& run,
                                    RunResults& halfStep);

// The error of a completed adaptive run, estimated by running the same input at a hundredth
// of both tolerances: |f(tol) - f(tol/100)| of the same characteristics.
StepErrorEstimate estimateToleranceError(const BallisticInput& input, const AdaptiveSettings& settings,
                                         RunResults& run);

// The lines printed after the summary.
void writeStepErrorEstimate(const StepErrorEstimate& estimate, const LineSink& appendLine);

}  // namespace kalvex
