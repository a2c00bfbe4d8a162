#include "study/Solve.h"

#include "report/SeriesCsv.h"
#include "study/Parameters.h"
#include "study/StudyError.h"

#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

namespace kalvex::study {

bool SolveResult::constraintsSatisfied() const
{
    for (const ConstraintCheck& c : constraints)
        if (!c.satisfied)
            return false;
    return true;
}

namespace {

std::string withUnit(double value, std::string_view unit)
{
    return report::csvNumber(value) + (unit == "-" ? "" : " " + std::string(unit));
}

void checkCancel(const std::atomic<bool>* cancel)
{
    if (cancel && cancel->load())
        throw StudyError("cancelled");
}

}  // namespace

SolveResult solveStudy(const Study& study, const std::atomic<bool>* cancel)
{
    validateStudy(study);
    if (study.solve.pair)
        throw StudyError("solve: two parameters for two targets are solved together by solveTwoTargets");
    const SolveSpec& spec = study.solve;
    const Parameter parameter = findParameter(spec.parameter);
    const OutputId output = findOutput(spec.output);
    const OutputInfo& info = outputInfo(output);
    const BallisticInput base = baseInput(study);
    auto buffer = std::make_unique_for_overwrite<RunResults>();

    SolveResult result;
    std::map<double, RunOutputs> done;  // the root finder's last points are asked for again
    const auto run = [&](double value) {
        if (const auto it = done.find(value); it != done.end())
            return it->second;
        checkCancel(cancel);
        BallisticInput input = base;
        setParameterValue(input, parameter, value);
        ++result.iterations;
        RunOutputs out = runForOutputs(input, *buffer, study.integrator);
        if (!out.reachedMuzzle())
            throw StudyError("solve: the run with " + spec.parameter + " = " + withUnit(value, parameter.unit) +
                             " failed: " + out.message);
        return done[value] = out;
    };
    const auto miss = [&](double value) { return run(value)[output] - spec.target; };

    const double atLower = miss(spec.lower), atUpper = miss(spec.upper);
    if (atLower * atUpper > 0) {
        throw StudyError("solve: the target " + std::string(info.name) + " = " + withUnit(spec.target, info.unit) +
                         " is not within the bracket: " + std::string(info.name) + " = " +
                         withUnit(atLower + spec.target, info.unit) + " at " + spec.parameter + " = " +
                         withUnit(spec.lower, parameter.unit) + " and " + withUnit(atUpper + spec.target, info.unit) +
                         " at " + spec.parameter + " = " + withUnit(spec.upper, parameter.unit));
    }
    const double tolerance = spec.tolerance > 0 ? spec.tolerance : 1e-6 * std::max(1.0, std::fabs(spec.target));
    double solution = spec.lower;
    std::uintmax_t iterations = 0;  // of the root finder, as maxIterations counts them
    if (atLower == 0 || atUpper == 0) {
        solution = atLower == 0 ? spec.lower : spec.upper;
    } else {
        // Stop as soon as the output is within the tolerance of the target, or the bracket has
        // shrunk to a few ulps of the parameter.
        double lastMiss = atLower;
        const auto f = [&](double value) { return lastMiss = miss(value); };
        const auto close = [&](double a, double b) {
            return std::fabs(lastMiss) <= tolerance || std::fabs(b - a) <= 4 * std::numeric_limits<double>::epsilon() * std::fabs(a);
        };
        iterations = static_cast<std::uintmax_t>(spec.maxIterations);
        const auto [a, b] = boost::math::tools::toms748_solve(f, spec.lower, spec.upper, atLower, atUpper, close, iterations);
        solution = std::fabs(miss(a)) <= std::fabs(miss(b)) ? a : b;
    }
    result.value = solution;
    result.outputs = run(solution);
    if (std::fabs(result.outputs[output] - spec.target) > tolerance)
        throw StudyError("solve: no solution within " + withUnit(tolerance, info.unit) + " of the target after " +
                         std::to_string(iterations) + " iterations of the root finder (maxIterations " +
                         std::to_string(spec.maxIterations) + "), " + std::to_string(result.iterations) +
                         " runs with the bracket's ends (a discontinuity in the bracket?)");
    for (const Constraint& c : spec.constraints) {
        const double value = result.outputs[findOutput(c.output)];
        const bool ok = (!c.min || value >= *c.min) && (!c.max || value <= *c.max);
        result.constraints.push_back({c, value, ok});
    }
    return result;
}

}  // namespace kalvex::study
