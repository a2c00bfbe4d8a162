#pragma once
// The Start sequence on an input record: run, and while the step budget runs out before the
// muzzle, double the step and run again. The window, the batch runner, the study engine and
// the Python module all start runs through it.
#include "core/BallisticInput.h"
#include "core/RunResults.h"
#include "core/Solver.h"

#include <functional>
#include <string>

namespace kalvex {

using NoteSink = std::function<void(const std::string&)>;

struct StartOutcome {
    RunEnd end = RunEnd::MuzzleReached;  // never StepLimit: that end restarts the run
    double dt = 0;                       // the step of the last run, s
    int restarts = 0;                    // how often the step was doubled
    bool stepTooLarge = false;           // the run failed within its first step
};

inline constexpr int kMaxDoublings = 30;     // beyond this the step was absurdly short
inline constexpr int kFewestSteps = 50;      // a run to the muzzle in fewer steps is too coarse

// The message of an outcome that did not reach the muzzle; "" for one that did.
std::string startEndMessage(const StartOutcome& outcome);

// Validates `input` (InputError with the rule's message) and runs it into `results`, which
// is reset first. Each restart sends its two note lines to `notes` and calls `stepChanged`
// with the new step, so a window can show it before the next run; after 30 doublings the
// sequence ends with StepTooShort. A run that reaches the muzzle in fewer than 50 steps
// sends a note that its step is too coarse. The record itself is not changed: the outcome
// carries the step the run ended with.
StartOutcome runStartSequence(const BallisticInput& input, RunResults& results, const NoteSink& notes,
                              const std::function<void(double dt)>& stepChanged = {});

// The step after a restart: twice the step, as the step field shows it (15 significant
// digits) and reads it back, so a run started from the field's text gives the same bits.
double doubledStep(double dt);

// Clears what a run writes before it starts.
void resetRunResults(RunResults& results);

}  // namespace kalvex
