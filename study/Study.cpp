#include "study/Study.h"

#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/Rows.h"
#include "study/StudyError.h"

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
    }
    return "";
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
        BallisticInput scratch;
        for (double value : axisValues(axis))
            setParameterValue(scratch, parameter, value);  // refuses grain types outside 1..7
    }
    if (study.sweep.size() == 2 && study.sweep[0].parameter == study.sweep[1].parameter)
        throw StudyError("sweep: the two parameters of a grid must differ");
}

void validateSolve(const SolveSpec& solve)
{
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

void validateTolerance(const ToleranceSpec& tolerance)
{
    if (tolerance.parameters.empty())
        throw StudyError("tolerance.parameters: give at least one parameter");
    for (const ToleranceParameter& p : tolerance.parameters) {
        continuousParameter(p.parameter, "tolerance.parameters");
        if (!(p.spread >= 0))
            throw StudyError("tolerance.parameters: the spread of " + p.parameter + " must not be negative");
    }
    if (tolerance.samples <= 0)
        throw StudyError("tolerance.samples (N) must be positive");
    if (tolerance.limit)
        findOutput(tolerance.limit->output);
}

}  // namespace

void validateStudy(const Study& study)
{
    switch (study.kind) {
    case StudyKind::sweep: validateSweep(study); break;
    case StudyKind::solve: validateSolve(study.solve); break;
    case StudyKind::fit: validateFit(study.fit); break;
    case StudyKind::tolerance: validateTolerance(study.tolerance); break;
    }
}

}  // namespace kalvex::study
