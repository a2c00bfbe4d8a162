#include "core/StartSequence.h"

#include "core/InputSet.h"
#include "core/NumberFormat.h"
#include "core/Units.h"

namespace kalvex {

void resetRunResults(RunResults& r)
{
    // The series need no clearing: the run writes every entry a reader can see.
    r.stepCount = 0;
    r.pmaxRow = 0;
    r.burnoutRow = 0;
    r.grain = GrainGeometry{};
    r.Etot = r.Egas = r.Eunburned = 0;
}

double doubledStep(double dt)
{
    const std::string shown = formatGeneral(2 * dt * kSecondToMillisecond);
    return parseFloatField(shown) * kMillisecondToSecond;
}

StartOutcome runStartSequence(const BallisticInput& input, RunResults& results, const NoteSink& notes,
                              const std::function<void(double dt)>& stepChanged)
{
    validateBallisticInput(input);
    BallisticInput running = input;
    StartOutcome outcome;
    for (;;) {
        resetRunResults(results);
        const RunEnd end = runSolver(running, results);
        if (end != RunEnd::StepLimit) {
            outcome.end = end;
            outcome.dt = running.dt;
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
