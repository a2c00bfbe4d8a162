#include "study/ResultsJson.h"

#include "study/OutputsJson.h"

#include "core/propellant/PropellantValues.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace kalvex::study {

using nlohmann::json;

namespace {

// The base propellant a study named, with the seven values its runs started from, so that a
// result can be checked against another library; nothing when it named none.
void addPropellant(json& j, const Study& study)
{
    if (study.propellant.empty())
        return;
    json propellant = {{"name", study.propellant}};
    for (const PropellantValue& value : kPropellantValues)
        propellant[value.name] = study.base.*value.quantity;
    j["propellant"] = propellant;
}

}  // namespace

std::string rowJson(const RowResult& row)
{
    json j = json::array({row.index + 1});
    for (double v : row.varied)
        j.push_back(numberOrNull(v));
    for (double v : row.outputs.values)
        j.push_back(numberOrNull(v));
    j.push_back(row.outputs.message);
    return j.dump();
}

std::string toleranceSummaryJson(const ToleranceSummary& summary)
{
    json outputs = json::object();
    for (const OutputInfo& info : kOutputInfo) {
        const OutputStatistics& s = summary.outputs[static_cast<std::size_t>(info.id)];
        outputs[std::string(info.name)] = {
            {"count", s.count}, {"mean", numberOrNull(s.mean)}, {"sd", numberOrNull(s.standardDeviation)},
            {"min", numberOrNull(s.minimum)}, {"max", numberOrNull(s.maximum)}, {"p1", numberOrNull(s.p1)},
            {"p5", numberOrNull(s.p5)}, {"p50", numberOrNull(s.p50)}, {"p95", numberOrNull(s.p95)}, {"p99", numberOrNull(s.p99)}};
    }
    json j = {{"samples", summary.samples}, {"outputs", outputs}, {"failures", summary.failures}};
    if (summary.percentilesEstimated)
        j["percentilesEstimated"] = true;
    if (summary.exceedance) {
        const Exceedance& e = *summary.exceedance;
        j["exceedance"] = {{"output", e.limit.output}, {"limit", e.limit.value}, {"exceeding", e.exceeding},
                           {"total", e.total}, {"probability", e.probability}, {"lower95", e.lower},
                           {"upper95", e.upper}};
    }
    return j.dump(2);
}

std::string solveResultJson(const Study& study, const SolveResult& result)
{
    json constraints = json::array();
    for (const ConstraintCheck& c : result.constraints) {
        json check = {{"output", c.constraint.output}, {"value", numberOrNull(c.value)}, {"satisfied", c.satisfied}};
        if (c.constraint.min)
            check["min"] = *c.constraint.min;
        if (c.constraint.max)
            check["max"] = *c.constraint.max;
        constraints.push_back(check);
    }
    json j{{"parameter", study.solve.parameter}, {"value", result.value}, {"runs", result.iterations},
           {"outputs", outputsJson(result.outputs)}, {"constraints", constraints}};
    addPropellant(j, study);
    return j.dump(2);
}

std::string fitResultJson(const Study& study, const FitResult& result)
{
    json parameters = json::array();
    for (std::size_t k = 0; k < result.values.size(); ++k)
        parameters.push_back({{"name", study.fit.parameters[k]}, {"value", result.values[k]},
                              {"standardError", numberOrNull(result.standardErrors[k])}});
    json firings = json::array();
    for (const FiringResidual& f : result.firings) {
        json row = {{"measuredVelocity", f.measuredVelocity}, {"modelVelocity", numberOrNull(f.modelVelocity)},
                    {"velocityResidual", numberOrNull(f.modelVelocity - f.measuredVelocity)},
                    {"modelPressure", numberOrNull(f.modelPressure)}, {"message", f.message}};
        if (f.measuredPressure) {
            row["measuredPressure"] = *f.measuredPressure;
            row["pressureResidual"] = numberOrNull(f.modelPressure - *f.measuredPressure);
        }
        firings.push_back(row);
    }
    json j{{"parameters", parameters}, {"firings", firings}, {"rmsVelocity", result.rmsVelocity},
           {"iterations", result.iterations}, {"status", result.status}};
    if (!std::isnan(result.rmsPressure))  // absent, not 0, when no pressure was measured
        j["rmsPressure"] = result.rmsPressure;
    addPropellant(j, study);
    return j.dump(2);
}

}  // namespace kalvex::study
