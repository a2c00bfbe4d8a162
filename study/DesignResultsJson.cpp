#include "study/DesignResultsJson.h"

#include "study/OutputsJson.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace kalvex::study {

using nlohmann::json;

namespace {

json checkJson(const ConstraintCheck& c)
{
    json check = {{"output", c.constraint.output}, {"value", numberOrNull(c.value)}, {"satisfied", c.satisfied}};
    if (c.constraint.min)
        check["min"] = *c.constraint.min;
    if (c.constraint.max)
        check["max"] = *c.constraint.max;
    return check;
}

json parametersJson(const std::vector<BoundedParameter>& box, const std::vector<double>& values)
{
    json parameters = json::array();
    for (std::size_t k = 0; k < box.size(); ++k)
        parameters.push_back({{"name", box[k].parameter}, {"value", values[k]}});
    return parameters;
}

// The runs of a search, as the rows of a study: [run, parameters..., outputs..., message].
json historyJson(const std::vector<RowResult>& history)
{
    json rows = json::array();
    for (const RowResult& row : history) {
        json r = json::array({row.index + 1});
        for (double v : row.varied)
            r.push_back(numberOrNull(v));
        for (double v : row.outputs.values)
            r.push_back(numberOrNull(v));
        r.push_back(row.outputs.message);
        rows.push_back(r);
    }
    return rows;
}

json indexJson(const SobolIndex& index)
{
    return {{"value", numberOrNull(index.value)}, {"lower", numberOrNull(index.lower)}, {"upper", numberOrNull(index.upper)}};
}

}  // namespace

std::string optimizeResultJson(const Study& study, const OptimizeResult& result)
{
    const OptimizeSpec& spec = study.optimize;
    json constraints = json::array();
    for (const OptimumConstraint& c : result.constraints) {
        json check = checkJson(c.check);
        check["active"] = c.active;
        constraints.push_back(check);
    }
    json feasible = json::array();
    for (const RowResult& row : result.history)
        feasible.push_back(feasibleRun(spec, row.outputs));
    json j{{"output", spec.output},
           {"goal", spec.goal == Goal::minimize ? "minimize" : "maximize"},
           {"parameters", parametersJson(spec.parameters, result.values)},
           {"outputs", outputsJson(result.outputs)},
           {"constraints", constraints},
           {"runs", result.runs()},
           {"bestRun", result.best + 1},
           {"status", result.status},
           {"history", historyJson(result.history)},
           {"feasible", feasible}};
    return j.dump(2);
}

std::string twoTargetResultJson(const Study& study, const TwoTargetResult& result)
{
    const TwoTargetSpec& spec = *study.solve.pair;
    json targets = json::array();
    for (const OutputTarget& t : spec.targets) {
        const double value = result.outputs[findOutput(t.output)];
        targets.push_back({{"output", t.output}, {"target", t.target}, {"value", numberOrNull(value)},
                           {"tolerance", targetTolerance(t)}});
    }
    json constraints = json::array();
    for (const ConstraintCheck& c : result.constraints)
        constraints.push_back(checkJson(c));
    json j{{"parameters", parametersJson({spec.parameters.begin(), spec.parameters.end()},
                                         {result.values.begin(), result.values.end()})},
           {"targets", targets},
           {"outputs", outputsJson(result.outputs)},
           {"constraints", constraints},
           {"runs", result.runs()},
           {"history", historyJson(result.history)}};
    return j.dump(2);
}

std::string sensitivitySummaryJson(const SensitivitySummary& summary)
{
    json outputs = json::object();
    for (const OutputInfo& info : kOutputInfo) {
        const OutputIndices& o = summary.outputs[static_cast<std::size_t>(info.id)];
        json parameters = json::object();
        for (std::size_t k = 0; k < summary.parameters.size(); ++k)
            parameters[summary.parameters[k]] = {{"S1", indexJson(o.parameters[k].first)},
                                                 {"ST", indexJson(o.parameters[k].total)}};
        outputs[std::string(info.name)] = {{"samples", o.samples}, {"variance", numberOrNull(o.variance)},
                                           {"indices", parameters}};
    }
    json j{{"parameters", summary.parameters}, {"samples", summary.samples}, {"runs", summary.runs},
           {"failedRuns", summary.failedRuns}, {"resamples", summary.resamples},
           {"confidence", summary.confidence}, {"outputs", outputs}};
    return j.dump(2);
}

}  // namespace kalvex::study
