#include "core/input/StartCommand.h"

#include "core/results/Errors.h"
#include "core/input/InputFields.h"
#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/input/StartSequence.h"
#include "core/format/Units.h"

#include <utility>

namespace kalvex {

void runStartCommand(StartHost& host, BallisticInput& stored, RunStore& runs, const IntegratorChoice& integrator)
{
    const char separator = host.decimalSeparator();
    readBallisticInput(host, host.grainType(), host.heatTransfer(), separator, stored);
    // The buffer of the run before is reused, so only the first runs of a session allocate;
    // it is not cleared, so a short run touches only the pages of the entries it writes.
    if (!runs.scratch)
        runs.scratch = std::make_unique_for_overwrite<RunResults>();
    static constexpr const InputField* stepField = findInputField("dt");
    const auto showStep = [&](double dt) {
        stored.dt = dt;
        host.setFieldText(stepField->name, formatGeneral(dt * stepField->toShown, separator));
    };
    const StartOutcome outcome = runStart(
        stored, integrator, *runs.scratch, [&host](const std::string& line) { host.appendLine(line); }, showStep);
    if (outcome.end != RunEnd::MuzzleReached)
        throw InputError(startEndMessage(outcome));
    std::swap(runs.completed, runs.scratch);
    host.runCompleted(*runs.completed);
    writeRunSummary(stored, *runs.completed, host.summaryOptions(),
                    [&host](const std::string& line) { host.appendLine(line); });
}

}  // namespace kalvex
