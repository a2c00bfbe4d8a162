#include "python/ScriptRun.h"

#include "core/results/RunSummary.h"
#include "core/stepping/Solver.h"

namespace kalvex::python {

ScriptRun runScript(const BallisticInput& input, ResultsPool& pool, const std::string& propellantLine)
{
    ScriptRun run{input, {}, pool.acquire(), {}, {}};
    const auto appendLine = [&run](const std::string& line) { run.memo.append(line).push_back('\n'); };
    if (!propellantLine.empty())
        appendLine(propellantLine);
    if (input.chargeTemperature && input.temperatureCoefficients)  // as kalvex-batch names it
        appendLine(chargeTemperatureLine(*input.chargeTemperature, *input.temperatureCoefficients));
    run.outcome = runStartSequence(input, *run.results, appendLine);
    if (run.outcome.end != RunEnd::MuzzleReached)
        throw RunStoppedError(startEndMessage(run.outcome));
    run.input.dt = run.outcome.dt;  // as the window holds it after restarts
    writeRunSummary(run.input, *run.results, SummaryOptions{}, appendLine);
    run.outputs = study::computeRunOutputs(input, *run.results, run.outcome);
    return run;
}

}  // namespace kalvex::python
