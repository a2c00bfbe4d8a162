#include "study/DesignJson.h"

#include "study/SectionJson.h"

#include <limits>

namespace kalvex::study {

using nlohmann::json;

namespace {

constexpr int kIntLowest = std::numeric_limits<int>::min();
constexpr int kIntHighest = std::numeric_limits<int>::max();

json boundedTo(const std::vector<BoundedParameter>& parameters)
{
    json list = json::array();
    for (const BoundedParameter& p : parameters)
        list.push_back({{"parameter", p.parameter}, {"bounds", {p.lower, p.upper}}});
    return list;
}

OutputTarget targetFrom(const json& item)
{
    const JsonKeys target(item, JsonKeys::named(item, "solve.targets", "output"), {"output", "target", "tolerance"});
    OutputTarget t;
    t.output = jsonText(target.required("output"), "solve.targets.output");
    t.target = target.number("target");
    t.tolerance = target.number("tolerance", 0.0);
    return t;
}

}  // namespace

std::vector<BoundedParameter> boundedFrom(const JsonKeys& section)
{
    std::vector<BoundedParameter> parameters;
    for (const json& item : section.list("parameters")) {
        const std::string list = section.path("parameters");
        const JsonKeys p(item, JsonKeys::named(item, list, "parameter"), {"parameter", "bounds"});
        BoundedParameter b;
        b.parameter = jsonText(p.required("parameter"), list + ".parameter");
        const json& bounds = p.required("bounds");
        if (!bounds.is_array() || bounds.size() != 2)
            throw StudyError(p.path("bounds") + " must be a list of two numbers");
        b.lower = jsonNumber(bounds[0], p.path("bounds"));
        b.upper = jsonNumber(bounds[1], p.path("bounds"));
        parameters.push_back(b);
    }
    return parameters;
}

std::vector<Constraint> constraintsFrom(const JsonKeys& section)
{
    std::vector<Constraint> constraints;
    if (!section.has("constraints"))
        return constraints;
    for (const json& item : section.list("constraints")) {
        JsonKeys c(item, section.path("constraints"), {"output", "min", "max"});
        Constraint constraint;
        constraint.output = c.text("output");
        constraint.min = c.maybeNumber("min");
        constraint.max = c.maybeNumber("max");
        constraints.push_back(constraint);
    }
    return constraints;
}

json constraintsTo(const std::vector<Constraint>& constraints)
{
    json list = json::array();
    for (const Constraint& c : constraints) {
        json constraint{{"output", c.output}};
        if (c.min)
            constraint["min"] = *c.min;
        if (c.max)
            constraint["max"] = *c.max;
        list.push_back(constraint);
    }
    return list;
}

void from_json(const json& j, OptimizeSpec& spec)
{
    const JsonKeys section(j, "optimize", {"parameters", "output", "goal", "constraints", "constraintTolerance",
                                           "stepTolerance", "maxRuns"});
    spec = OptimizeSpec{};
    spec.parameters = boundedFrom(section);
    spec.output = section.text("output", spec.output);
    if (section.has("goal")) {
        const std::string goal = section.text("goal");
        if (goal != "minimize" && goal != "maximize")
            throw StudyError("optimize.goal must be \"minimize\" or \"maximize\"");
        spec.goal = goal == "minimize" ? Goal::minimize : Goal::maximize;
    }
    spec.constraints = constraintsFrom(section);
    spec.constraintTolerance = section.number("constraintTolerance", spec.constraintTolerance);
    spec.stepTolerance = section.number("stepTolerance", spec.stepTolerance);
    spec.maxRuns = section.whole("maxRuns", spec.maxRuns, kIntLowest, kIntHighest);
}

void to_json(json& j, const OptimizeSpec& spec)
{
    j = {{"parameters", boundedTo(spec.parameters)},
         {"output", spec.output},
         {"goal", spec.goal == Goal::minimize ? "minimize" : "maximize"},
         {"constraints", constraintsTo(spec.constraints)},
         {"constraintTolerance", spec.constraintTolerance},
         {"stepTolerance", spec.stepTolerance},
         {"maxRuns", spec.maxRuns}};
}

bool isTwoTargetSolve(const json& section)
{
    return section.is_object() && (section.contains("parameters") || section.contains("targets"));
}

TwoTargetSpec twoTargetFrom(const JsonKeys& section)
{
    TwoTargetSpec spec;
    const std::vector<BoundedParameter> parameters = boundedFrom(section);
    const json& targets = section.list("targets");
    if (parameters.size() != 2 || targets.size() != 2)
        throw StudyError("solve: give two parameters and two targets to solve them together");
    for (std::size_t i = 0; i < 2; ++i) {
        spec.parameters[i] = parameters[i];
        spec.targets[i] = targetFrom(targets[i]);
    }
    spec.maxRuns = section.whole("maxRuns", spec.maxRuns, kIntLowest, kIntHighest);
    return spec;
}

json twoTargetTo(const TwoTargetSpec& spec, const std::vector<Constraint>& constraints)
{
    json targets = json::array();
    for (const OutputTarget& t : spec.targets)
        targets.push_back({{"output", t.output}, {"target", t.target}, {"tolerance", t.tolerance}});
    return {{"parameters", boundedTo({spec.parameters.begin(), spec.parameters.end()})},
            {"targets", targets},
            {"maxRuns", spec.maxRuns},
            {"constraints", constraintsTo(constraints)}};
}

}  // namespace kalvex::study
