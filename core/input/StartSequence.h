#pragma once
// The Start sequence on an input record: run, and while the step budget runs out before the
// muzzle, double the step and run again. The window, the batch runner, the study engine and
// the Python module all start runs through it.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/stepping/Integrator.h"
#include "core/stepping/Solver.h"

#include <functional>
#include <optional>
#include <string>

namespace kalvex {

using NoteSink = std::function<void(const std::string&)>;

struct StartOutcome {
    RunEnd end = RunEnd::MuzzleReached;  // never StepLimit: that end restarts the run
    double dt = 0;                       // the step of the last run, s
    int restarts = 0;                    // how often the step was doubled
    bool stepTooLarge = false;           // the run failed within its first step
    IntegratorMethod integrator = IntegratorMethod::fixedStep;
    long stepBound = 0;                  // adaptive: the step bound its limit message names
    std::optional<LocatedPeaks> peaks;   // adaptive: the pressure maxima on the dense output
};

inline constexpr int kMaxDoublings = 30;     // beyond this the step was absurdly short
inline constexpr int kFewestSteps = 50;      // a run to the muzzle in fewer steps is too coarse

// The message of an outcome that did not reach the muzzle; "" for one that did.
std::string startEndMessage(const StartOutcome& outcome);

// One Start sequence taken run by run, for callers that interleave the runs of several
// sequences; runStartSequence is its loop.
class StartSequence {
public:
    // Validates `input` (InputError with the rule's message).
    explicit StartSequence(const BallisticInput& input);

    // The input set of the next run: the record with the step of the latest doubling.
    const BallisticInput& running() const { return running_; }

    // After a run of running() into `results` ended with `end`: true when the sequence is
    // over and outcome() final; false when the step was doubled (the two note lines sent,
    // `stepChanged` called) and running() is to be run again into reset results.
    bool runEnded(RunEnd end, const RunResults& results, const NoteSink& notes,
                  const std::function<void(double dt)>& stepChanged = {});

    const StartOutcome& outcome() const { return outcome_; }

private:
    BallisticInput running_;
    StartOutcome outcome_;
};

// Validates `input` (InputError with the rule's message) and runs it into `results`, which
// is reset first. Each restart sends its two note lines to `notes` and calls `stepChanged`
// with the new step, so a window can show it before the next run; after 30 doublings the
// sequence ends with StepTooShort. A run that reaches the muzzle in fewer than 50 steps
// sends a note that its step is too coarse. The record itself is not changed: the outcome
// carries the step the run ended with.
// A `stop` flag that turns true ends the run under way with Interrupted, and the sequence with it.
StartOutcome runStartSequence(const BallisticInput& input, RunResults& results, const NoteSink& notes,
                              const std::function<void(double dt)>& stepChanged = {},
                              const std::atomic<bool>* stop = nullptr);

// Validates `input` and runs it with the chosen integrator into `results` (reset first): the
// Start sequence above for the fixed step; one adaptive run, which has no restarts and ignores
// the step, for the adaptive one.
StartOutcome runStart(const BallisticInput& input, const IntegratorChoice& integrator, RunResults& results,
                      const NoteSink& notes, const std::function<void(double dt)>& stepChanged = {},
                      const std::atomic<bool>* stop = nullptr);

// The step after a restart: twice the step, as the step field shows it (15 significant
// digits) and reads it back, so a run started from the field's text gives the same bits.
double doubledStep(double dt);

// Clears the run's step count, characteristic entries, grain and energies before it starts.
void resetRunResults(RunResults& results);

}  // namespace kalvex
