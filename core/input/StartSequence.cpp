#include "core/input/StartSequence.h"

#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/format/Units.h"

namespace kalvex {

void resetRunResults(RunResults& r)
{
    // The series need no clearing: the run writes every entry a reader can see.
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
    if (outcome.end == RunEnd::AdaptiveStepLimit)
        return adaptiveStepLimitMessage(outcome.stepBound);
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

StartSequence::StartSequence(const BallisticInput& input) : running_(input)
{
    validateBallisticInput(input);
}

bool StartSequence::runEnded(RunEnd end, const RunResults& results, const NoteSink& notes,
                             const std::function<void(double dt)>& stepChanged)
{
    outcome_.dt = running_.dt;
    if (end == RunEnd::StepLimit && outcome_.restarts == kMaxDoublings) {
        outcome_.end = RunEnd::StepTooShort;
        return true;
    }
    if (end != RunEnd::StepLimit) {
        outcome_.end = end;
        outcome_.stepTooLarge = failedWithinFirstStep(end, results);
        if (end == RunEnd::MuzzleReached && results.stepCount < kFewestSteps)
            notes(" Computation Step too coarse: fewer than 50 steps.");
        return true;
    }
    // Too many steps to reach the muzzle: try again with twice the step.
    notes(" Computation Step too short. Step was increased 2x.");
    notes("");
    running_.dt = doubledStep(running_.dt);
    ++outcome_.restarts;
    if (stepChanged)
        stepChanged(running_.dt);
    return false;
}

StartOutcome runStartSequence(const BallisticInput& input, RunResults& results, const NoteSink& notes,
                              const std::function<void(double dt)>& stepChanged, const std::atomic<bool>* stop)
{
    StartSequence sequence(input);
    for (;;) {
        resetRunResults(results);
        const RunEnd end = runSolver(sequence.running(), results, stop);
        if (sequence.runEnded(end, results, notes, stepChanged))
            return sequence.outcome();
    }
}

StartOutcome runStart(const BallisticInput& input, const IntegratorChoice& integrator, RunResults& results,
                      const NoteSink& notes, const std::function<void(double dt)>& stepChanged,
                      const std::atomic<bool>* stop)
{
    if (integrator.method == IntegratorMethod::fixedStep)
        return runStartSequence(input, results, notes, stepChanged, stop);
    validateBallisticInput(input);
    resetRunResults(results);
    const AdaptiveOutcome run = runAdaptive(input, integrator.adaptive, results, stop);
    StartOutcome outcome;
    outcome.end = run.end;
    outcome.dt = input.dt;
    outcome.integrator = IntegratorMethod::adaptive;
    outcome.stepBound = recordableStepBound(integrator.adaptive);
    if (run.end == RunEnd::MuzzleReached)
        outcome.peaks = run.peaks;
    return outcome;
}

}  // namespace kalvex
