#include "core/StartSequence.h"

#include "core/InputSet.h"
#include "core/NumberFormat.h"
#include "core/Units.h"

#include <algorithm>

namespace kalvex {

void resetRunResults(RunResults& r)
{
    for (ResultSeries& s : r.series)
        std::fill(s.begin(), s.end(), 0.0);
    r.stepCount = 0;
    r.pmaxRow = 0;
    r.burnoutRow = 0;
    r.endStep = 0;
    r.grain = GrainGeometry{};
    r.Etot = r.Egas = r.Eunburned = 0;
}

double doubledStep(double dt)
{
    const std::string shown = formatGeneral(2 * dt * kSecondToMillisecond);
    return parseFloatField(shown) * kMillisecondToSecond;
}

std::string startEndMessage(const StartOutcome& outcome)
{
    const std::string message = runEndMessage(outcome.end);
    return outcome.stepTooLarge ? "Computation Step too large: " + message : message;
}

namespace {

// A fault within the first step says more about the step than about the weapon; a charge
// that leaves no free volume at ignition (end step 0) is the charge's fault.
bool failedWithinFirstStep(RunEnd end, const RunResults& results)
{
    return end != RunEnd::MuzzleReached && end != RunEnd::StepLimit && results.endStep == 1;
}

}  // namespace

StartOutcome runStartSequence(const BallisticInput& input, RunResults& results, const NoteSink& notes,
                              const std::function<void(double dt)>& stepChanged)
{
    validateBallisticInput(input);
    BallisticInput running = input;
    StartOutcome outcome;
    for (;;) {
        resetRunResults(results);
        const RunEnd end = runSolver(running, results);
        outcome.dt = running.dt;
        if (end == RunEnd::StepLimit && outcome.restarts == kMaxDoublings) {
            outcome.end = RunEnd::StepTooShort;
            return outcome;
        }
        if (end != RunEnd::StepLimit) {
            outcome.end = end;
            outcome.stepTooLarge = failedWithinFirstStep(end, results);
            if (end == RunEnd::MuzzleReached && results.stepCount < kFewestSteps)
                notes(" Computation Step too coarse: fewer than 50 steps.");
            return outcome;
        }
        // Too many steps to reach the muzzle: try again with twice the step.
        notes(" Computation Step too short. Step was increased 2x.");
        notes("");
        running.dt = doubledStep(running.dt);
        ++outcome.restarts;
        if (stepChanged)
            stepChanged(running.dt);
    }
}

}  // namespace kalvex
