#include "study/Study.h"

#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/Rows.h"
#include "study/StudyError.h"
#include "core/results/Errors.h"

#include <limits>
#include <algorithm>
#include <cmath>

namespace kalvex::study {

const char* studyKindName(StudyKind kind)
{
    switch (kind) {
    case StudyKind::sweep: return "sweep";
    case StudyKind::solve: return "solve";
    case StudyKind::fit: return "fit";
    case StudyKind::tolerance: return "tolerance";
    case StudyKind::optimize: return "optimize";
    case StudyKind::sensitivity: return "sensitivity";
    }
    return "";
}

bool runsAsWhole(StudyKind kind)
{
    return kind == StudyKind::solve || kind == StudyKind::fit || kind == StudyKind::optimize;
}

std::size_t sensitivityRuns(const SensitivitySpec& spec)
{
    return static_cast<std::size_t>(spec.draws.samples) * (spec.draws.parameters.size() + 2);
}

std::size_t residualCount(const FitSpec& fit)
{
    std::size_t n = 0;
    for (const Firing& firing : fit.firings)
        n += firing.pressure ? 2 : 1;
    return n;
}

bool usesPropellants(const Study& study)
{
    if (!study.propellant.empty())
        return true;
    return std::any_of(study.sweep.begin(), study.sweep.end(),
                       [](const SweepAxis& axis) { return !axis.propellants.empty(); });
}

BallisticInput baseInput(const Study& study)
{
    BallisticInput input = study.base;
    input.heatTransfer = study.heatTransfer;
    return input;
}

namespace {

// A parameter that solve, fit and tolerance can move continuously.
Parameter continuousParameter(const std::string& name, const std::string& key)
{
    const Parameter parameter = findParameter(name);
    if (!parameter.continuous())
        throw StudyError(key + ": grainType is a shape number and can only be swept");
    return parameter;
}

void validateSweep(const Study& study)
{
    if (study.sweep.empty() || study.sweep.size() > 2)
        throw StudyError("sweep: give one parameter, or two for a grid");
    for (const SweepAxis& axis : study.sweep) {
        if (axis.parameter == kPropellantParameter) {
            if (axis.propellants.empty())
                throw StudyError("sweep (propellant): name at least one propellant");
            continue;
        }
        const Parameter parameter = findParameter(axis.parameter);
        const std::size_t size = axisSize(axis);
        // Seven grain types: a longer range repeats one or takes a fraction, refused without
        // going through what may be a billion values.
        if (!parameter.continuous() && axis.values.empty() && size > 7)
            throw StudyError("sweep (grainType): at most 7 values, the grain types 1 to 7");
        // A range's values lie between its ends, so for a continuous parameter its two ends
        // stand for all of them; a list, and a grain-type range, are checked value by value.
        const bool endsOnly = parameter.continuous() && axis.values.empty();
        BallisticInput scratch = baseInput(study);
        for (std::size_t k = 0; k < size; k = endsOnly && k == 0 && size > 1 ? size - 1 : k + 1) {
            try {
                setParameterValue(scratch, parameter, axisValue(axis, k));  // refuses grain types outside 1..7
            } catch (const InputError& e) {  // a charge temperature outside its range
                throw StudyError("sweep (" + axis.parameter + "): " + e.what());
            }
        }
    }
    if (study.sweep.size() == 2 && study.sweep[0].parameter == study.sweep[1].parameter)
        throw StudyError("sweep: the two parameters of a grid must differ");
}

// Bounds of a parameter moved continuously: a continuous parameter, lower below upper.
void validateBounds(const BoundedParameter& p, const std::string& key)
{
    continuousParameter(p.parameter, key);
    if (!(p.lower < p.upper))
        throw StudyError(key + " (" + p.parameter + "): the lower bound must be below the upper bound");
}

// An output that a solver may aim at or optimise: smooth in the parameters.
void requireSmooth(const std::string& output, const std::string& key)
{
    if (!outputInfo(findOutput(output)).solvable)
        throw StudyError(key + ": " + output + " is a value at a step and cannot be a target");
}

void validateConstraints(const std::vector<Constraint>& constraints, const std::string& key)
{
    for (const Constraint& c : constraints) {
        findOutput(c.output);
        if (!c.min && !c.max)
            throw StudyError(key + " (" + c.output + "): give \"min\", \"max\" or both");
    }
}

void validateTwoTargets(const TwoTargetSpec& pair)
{
    for (const BoundedParameter& p : pair.parameters)
        validateBounds(p, "solve.parameters");
    if (pair.parameters[0].parameter == pair.parameters[1].parameter)
        throw StudyError("solve.parameters: the two parameters must differ");
    for (const OutputTarget& t : pair.targets) {
        requireSmooth(t.output, "solve.targets");
        if (t.tolerance < 0)
            throw StudyError("solve.targets (" + t.output + "): the tolerance must not be negative");
    }
    if (pair.targets[0].output == pair.targets[1].output)
        throw StudyError("solve.targets: the two outputs must differ");
    if (pair.maxRuns <= 0)
        throw StudyError("solve.maxRuns must be positive");
}

void validateSolve(const SolveSpec& solve)
{
    if (solve.pair) {
        validateTwoTargets(*solve.pair);
        validateConstraints(solve.constraints, "solve.constraints");
        return;
    }
    continuousParameter(solve.parameter, "solve.parameter");
    if (!outputInfo(findOutput(solve.output)).solvable)
        throw StudyError("solve.output: " + solve.output + " is a value at a step and cannot be a target");
    if (!(solve.lower < solve.upper))
        throw StudyError("solve.bracket: the lower end must be below the upper end");
    if (solve.tolerance < 0)
        throw StudyError("solve.tolerance must not be negative");
    if (solve.maxIterations <= 0)
        throw StudyError("solve.maxIterations must be positive");
    for (const Constraint& c : solve.constraints)
        findOutput(c.output);
}

void validateOptimize(const OptimizeSpec& optimize)
{
    if (optimize.parameters.empty() || optimize.parameters.size() > 4)
        throw StudyError("optimize.parameters: give one to four parameters");
    for (std::size_t i = 0; i < optimize.parameters.size(); ++i) {
        validateBounds(optimize.parameters[i], "optimize.parameters");
        for (std::size_t j = 0; j < i; ++j)
            if (optimize.parameters[j].parameter == optimize.parameters[i].parameter)
                throw StudyError("optimize.parameters: " + optimize.parameters[i].parameter + " is named twice");
    }
    requireSmooth(optimize.output, "optimize.output");
    validateConstraints(optimize.constraints, "optimize.constraints");
    if (!(optimize.constraintTolerance >= 0))
        throw StudyError("optimize.constraintTolerance must not be negative");
    if (!(optimize.stepTolerance > 0))
        throw StudyError("optimize.stepTolerance must be positive");
    if (optimize.maxRuns <= 0)
        throw StudyError("optimize.maxRuns must be positive");
}

void validateFit(const FitSpec& fit)
{
    if (fit.parameters.empty() || fit.parameters.size() > 2)
        throw StudyError("fit.parameters: give one or two parameters");
    for (const std::string& name : fit.parameters)
        continuousParameter(name, "fit.parameters");
    if (!fit.start.empty() && fit.start.size() != fit.parameters.size())
        throw StudyError("fit.start: give one starting value per parameter");
    if (!outputInfo(findOutput(fit.pressureOutput)).solvable)
        throw StudyError("fit.pressureOutput: " + fit.pressureOutput + " cannot be fitted");
    for (const Firing& firing : fit.firings)
        for (const auto& [name, value] : firing.inputs)
            findParameter(name);
    if (residualCount(fit) < fit.parameters.size())
        throw StudyError("fit.firings: at least as many measurements as fitted parameters are needed");
}

void validateTolerance(const ToleranceSpec& tolerance, const std::string& section = "tolerance")
{
    if (tolerance.parameters.empty())
        throw StudyError(section + ".parameters: give at least one parameter");
    for (const ToleranceParameter& p : tolerance.parameters) {
        continuousParameter(p.parameter, section + ".parameters");
        if (!(p.spread >= 0))
            throw StudyError(section + ".parameters: the spread of " + p.parameter + " must not be negative");
    }
    if (tolerance.samples <= 0)
        throw StudyError(section + ".samples (N) must be positive");
    if (tolerance.limit)
        findOutput(tolerance.limit->output);
}

void validateSensitivity(const SensitivitySpec& sensitivity)
{
    validateTolerance(sensitivity.draws, "sensitivity");
    if (sensitivity.draws.parameters.size() > kMaxSensitivityParameters)
        throw StudyError("sensitivity.parameters: at most " + std::to_string(kMaxSensitivityParameters) +
                         " parameters (the Sobol' sequence has twice as many dimensions)");
    for (std::size_t i = 0; i < sensitivity.draws.parameters.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (sensitivity.draws.parameters[j].parameter == sensitivity.draws.parameters[i].parameter)
                throw StudyError("sensitivity.parameters: " + sensitivity.draws.parameters[i].parameter + " is named twice");
    // samples x (parameters + 2), counted without overflow: samples may be any whole number.
    const auto samples = static_cast<unsigned long long>(sensitivity.draws.samples);
    const std::size_t perSample = sensitivity.draws.parameters.size() + 2;
    if (samples > kMaxSensitivityRuns / perSample)
        throw StudyError("sensitivity.samples: " + std::to_string(samples) + " samples of " +
                         std::to_string(perSample - 2) + (perSample == 3 ? " parameter" : " parameters") + " need " +
                         (samples > std::numeric_limits<std::size_t>::max() / perSample
                              ? std::string("more runs than can be counted")
                              : std::to_string(samples * perSample) + " runs") +
                         ", more than the " + std::to_string(kMaxSensitivityRuns) +
                         " whose outputs the indices keep in memory");
    if (sensitivity.resamples < 10)
        throw StudyError("sensitivity.resamples must be at least 10");
    if (!(sensitivity.confidence > 0 && sensitivity.confidence < 1))
        throw StudyError("sensitivity.confidence must lie between 0 and 1");
}

// The names of the parameters a study moves.
std::vector<std::string> variedNames(const Study& study)
{
    std::vector<std::string> names;
    switch (study.kind) {
    case StudyKind::sweep:
        for (const SweepAxis& axis : study.sweep)
            names.push_back(axis.parameter);
        break;
    case StudyKind::solve:
        if (study.solve.pair)
            for (const BoundedParameter& p : study.solve.pair->parameters)
                names.push_back(p.parameter);
        else
            names.push_back(study.solve.parameter);
        break;
    case StudyKind::fit:
        names = study.fit.parameters;
        for (const Firing& firing : study.fit.firings)
            for (const auto& [name, value] : firing.inputs)
                names.push_back(name);
        break;
    case StudyKind::tolerance:
        for (const ToleranceParameter& p : study.tolerance.parameters)
            names.push_back(p.parameter);
        break;
    case StudyKind::optimize:
        for (const BoundedParameter& p : study.optimize.parameters)
            names.push_back(p.parameter);
        break;
    case StudyKind::sensitivity:
        for (const ToleranceParameter& p : study.sensitivity.draws.parameters)
            names.push_back(p.parameter);
        break;
    }
    return names;
}

// The charge temperature sets fFT and fbetaT: moving either beside it would be undone or
// would undo it, depending on the order the values are set in.
void refuseTemperatureWithFactors(const Study& study)
{
    const std::vector<std::string> names = variedNames(study);
    if (std::find(names.begin(), names.end(), kChargeTemperatureParameter) == names.end())
        return;
    for (const std::string& name : names)
        if (isTemperatureFactor(name))
            throw StudyError("chargeTemperature sets fFT and fbetaT and cannot be varied together with " + name);
}

}  // namespace

void validateStudy(const Study& study)
{
    refuseTemperatureWithFactors(study);
    switch (study.kind) {
    case StudyKind::sweep: validateSweep(study); break;
    case StudyKind::solve: validateSolve(study.solve); break;
    case StudyKind::fit: validateFit(study.fit); break;
    case StudyKind::tolerance: validateTolerance(study.tolerance); break;
    case StudyKind::optimize: validateOptimize(study.optimize); break;
    case StudyKind::sensitivity: validateSensitivity(study.sensitivity); break;
    }
}

}  // namespace kalvex::study
