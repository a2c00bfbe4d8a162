#pragma once
// One run started from a script: the Start sequence on an input record, with what the
// window's text area would receive.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/input/StartSequence.h"
#include "python/ResultsPool.h"
#include "study/Outputs.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace kalvex::python {

// A run that ended before the muzzle; the message is the one the window shows.
class RunStoppedError : public std::runtime_error {
public:
    explicit RunStoppedError(const std::string& message) : std::runtime_error(message) {}
};

struct ScriptRun {
    BallisticInput input;                  // as run: the step is the one the run ended with
    StartOutcome outcome;
    std::shared_ptr<RunResults> results;   // a completed run
    std::string memo;                      // restart notes and summary, one "\n" per line
    study::RunOutputs outputs;             // the run's row of a study
};

// Validates and runs `input` (InputError with the rule's message, RunStoppedError when the
// run stops early), writes the summary as the window shows it by default and computes the
// outputs a study gives for the same input. A propellant line, when given, comes first, as
// kalvex-batch --propellant writes it.
// A `stop` flag that turns true ends the run with RunStoppedError("Run interrupted.").
ScriptRun runScript(const BallisticInput& input, ResultsPool& pool, const std::string& propellantLine = {},
                    const IntegratorChoice& integrator = {}, const std::atomic<bool>* stop = nullptr);

// The integrator a script names ("fixed" or "adaptive") with its tolerances; ValueError for
// another name or a tolerance outside (0, 1).
IntegratorChoice integratorChoice(const std::string& name, double relativeTolerance, double absoluteTolerance);

}  // namespace kalvex::python
