#include "core/StartCommand.h"

#include "core/Errors.h"
#include "core/InputSet.h"
#include "core/NumberFormat.h"
#include "core/Solver.h"

#include <algorithm>
#include <utility>

namespace kalvex {

namespace {

constexpr double kSecondsToMilliseconds = 1000;

// A fresh buffer for the next run; the one used before is reused, so only the first
// runs of a session allocate.
RunResults& resetScratch(RunStore& runs)
{
    if (!runs.scratch)
        runs.scratch = std::make_unique<RunResults>();
    RunResults& r = *runs.scratch;
    for (ResultSeries& s : r.series)
        std::fill(s.begin(), s.end(), 0.0);
    r.stepCount = 0;
    r.pmaxRow = 0;
    r.burnoutRow = 0;
    r.grain = GrainGeometry{};
    r.Etot = r.Egas = r.Eunburned = 0;
    return r;
}

}  // namespace

void runStartCommand(StartHost& host, BallisticInput& stored, RunStore& runs)
{
    for (;;) {
        readBallisticInput(host, host.grainType(), host.heatTransfer(), host.decimalSeparator(), stored);
        validateBallisticInput(stored);
        RunResults& scratch = resetScratch(runs);
        const RunEnd end = runSolver(stored, scratch);
        if (end == RunEnd::StepLimit) {
            // Too many steps to reach the muzzle: try again with twice the step.
            host.appendLine(" Computation Step too short. Step was increased 2x.");
            host.appendLine("");
            stored.dt = 2 * stored.dt;
            host.setFieldText("Edit15", formatGeneral(stored.dt * kSecondsToMilliseconds, host.decimalSeparator()));
            continue;
        }
        if (end != RunEnd::MuzzleReached)
            throw InputError(runEndMessage(end));
        std::swap(runs.completed, runs.scratch);
        host.runCompleted(*runs.completed);
        writeRunSummary(stored, *runs.completed, host.summaryOptions(),
                        [&host](const std::string& line) { host.appendLine(line); });
        return;
    }
}

}  // namespace kalvex
