#include "python/ScriptRun.h"

#include "core/results/RunSummary.h"
#include "core/stepping/Solver.h"

namespace kalvex::python {

IntegratorChoice integratorChoice(const std::string& name, double relativeTolerance, double absoluteTolerance)
{
    const std::optional<IntegratorMethod> method = integratorMethod(name);
    if (!method)
        throw std::invalid_argument("integrator must be \"fixed\" or \"adaptive\", got \"" + name + "\"");
    if (!(relativeTolerance > 0 && relativeTolerance < 1) || !(absoluteTolerance >= 0 && absoluteTolerance < 1))
        throw std::invalid_argument("rtol and atol must lie between 0 and 1");
    IntegratorChoice choice;
    choice.method = *method;
    choice.adaptive.relativeTolerance = relativeTolerance;
    choice.adaptive.absoluteTolerance = absoluteTolerance;
    return choice;
}

ScriptRun runScript(const BallisticInput& input, ResultsPool& pool, const std::string& propellantLine,
                    const IntegratorChoice& integrator, const std::atomic<bool>* stop)
{
    ScriptRun run{input, {}, pool.acquire(), {}, {}};
    const auto appendLine = [&run](const std::string& line) { run.memo.append(line).push_back('\n'); };
    if (!propellantLine.empty())
        appendLine(propellantLine);
    if (input.chargeTemperature && input.temperatureCoefficients)  // as kalvex-batch names it
        appendLine(chargeTemperatureLine(*input.chargeTemperature, *input.temperatureCoefficients));
    run.outcome = runStart(input, integrator, *run.results, appendLine, {}, stop);
    if (run.outcome.end != RunEnd::MuzzleReached)
        throw RunStoppedError(startEndMessage(run.outcome));
    run.input.dt = run.outcome.dt;  // as the window holds it after restarts
    writeRunSummary(run.input, *run.results, SummaryOptions{}, appendLine);
    run.outputs = study::computeRunOutputs(input, *run.results, run.outcome);
    return run;
}

}  // namespace kalvex::python
