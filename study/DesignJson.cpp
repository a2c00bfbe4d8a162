#include "study/DesignJson.h"

#include "study/StudyError.h"

#include <cmath>

namespace kalvex::study {

using nlohmann::json;

namespace {

const json& required(const json& object, const char* key, const std::string& where)
{
    if (!object.is_object() || !object.contains(key))
        throw StudyError(where + ": the key \"" + key + "\" is missing");
    return object.at(key);
}

double number(const json& value, const std::string& key)
{
    if (!value.is_number())
        throw StudyError(key + " must be a number");
    return value.get<double>();
}

std::string text(const json& value, const std::string& key)
{
    if (!value.is_string())
        throw StudyError(key + " must be a string");
    return value.get<std::string>();
}

int wholeNumber(const json& object, const char* key, int fallback, const std::string& where)
{
    if (!object.contains(key))
        return fallback;
    const double value = number(object.at(key), where + "." + key);
    if (value != std::floor(value) || !(std::fabs(value) < 1e9))
        throw StudyError(where + "." + key + " must be a whole number");
    return static_cast<int>(value);
}

double optionalNumber(const json& object, const char* key, double fallback, const std::string& where)
{
    return object.contains(key) ? number(object.at(key), where + "." + key) : fallback;
}

const json& list(const json& object, const char* key, const std::string& where)
{
    const json& value = required(object, key, where);
    if (!value.is_array())
        throw StudyError(where + "." + key + " must be a list");
    return value;
}

std::vector<BoundedParameter> boundedFrom(const json& section, const std::string& where)
{
    std::vector<BoundedParameter> parameters;
    for (const json& p : list(section, "parameters", where)) {
        BoundedParameter b;
        b.parameter = text(required(p, "parameter", where + ".parameters"), where + ".parameters.parameter");
        const std::string key = where + ".parameters (" + b.parameter + ").bounds";
        const json& bounds = required(p, "bounds", where + ".parameters (" + b.parameter + ")");
        if (!bounds.is_array() || bounds.size() != 2)
            throw StudyError(key + " must be a list of two numbers");
        b.lower = number(bounds[0], key);
        b.upper = number(bounds[1], key);
        parameters.push_back(b);
    }
    return parameters;
}

json boundedTo(const std::vector<BoundedParameter>& parameters)
{
    json list = json::array();
    for (const BoundedParameter& p : parameters)
        list.push_back({{"parameter", p.parameter}, {"bounds", {p.lower, p.upper}}});
    return list;
}

}  // namespace

std::vector<Constraint> constraintsFrom(const json& section, const std::string& where)
{
    std::vector<Constraint> constraints;
    if (!section.contains("constraints"))
        return constraints;
    for (const json& c : list(section, "constraints", where)) {
        Constraint constraint;
        constraint.output = text(required(c, "output", where + ".constraints"), where + ".constraints.output");
        if (c.contains("min"))
            constraint.min = number(c.at("min"), where + ".constraints.min");
        if (c.contains("max"))
            constraint.max = number(c.at("max"), where + ".constraints.max");
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

OptimizeSpec optimizeFrom(const json& section)
{
    OptimizeSpec spec;
    spec.parameters = boundedFrom(section, "optimize");
    if (section.contains("output"))
        spec.output = text(section.at("output"), "optimize.output");
    if (section.contains("goal")) {
        const std::string goal = text(section.at("goal"), "optimize.goal");
        if (goal != "minimize" && goal != "maximize")
            throw StudyError("optimize.goal must be \"minimize\" or \"maximize\"");
        spec.goal = goal == "minimize" ? Goal::minimize : Goal::maximize;
    }
    spec.constraints = constraintsFrom(section, "optimize");
    spec.constraintTolerance = optionalNumber(section, "constraintTolerance", spec.constraintTolerance, "optimize");
    spec.stepTolerance = optionalNumber(section, "stepTolerance", spec.stepTolerance, "optimize");
    spec.maxRuns = wholeNumber(section, "maxRuns", spec.maxRuns, "optimize");
    return spec;
}

json optimizeTo(const OptimizeSpec& spec)
{
    return {{"parameters", boundedTo(spec.parameters)},
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

TwoTargetSpec twoTargetFrom(const json& section)
{
    TwoTargetSpec spec;
    const std::vector<BoundedParameter> parameters = boundedFrom(section, "solve");
    const json& targets = list(section, "targets", "solve");
    if (parameters.size() != 2 || targets.size() != 2)
        throw StudyError("solve: give two parameters and two targets to solve them together");
    for (std::size_t i = 0; i < 2; ++i) {
        spec.parameters[i] = parameters[i];
        OutputTarget& t = spec.targets[i];
        t.output = text(required(targets[i], "output", "solve.targets"), "solve.targets.output");
        t.target = number(required(targets[i], "target", "solve.targets (" + t.output + ")"),
                          "solve.targets (" + t.output + ").target");
        t.tolerance = optionalNumber(targets[i], "tolerance", 0.0, "solve.targets (" + t.output + ")");
    }
    spec.maxRuns = wholeNumber(section, "maxRuns", spec.maxRuns, "solve");
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

void sensitivityOptionsFrom(const json& section, SensitivitySpec& spec)
{
    spec.resamples = wholeNumber(section, "resamples", spec.resamples, "sensitivity");
    spec.confidence = optionalNumber(section, "confidence", spec.confidence, "sensitivity");
}

void sensitivityOptionsTo(const SensitivitySpec& spec, json& section)
{
    section["resamples"] = spec.resamples;
    section["confidence"] = spec.confidence;
}

}  // namespace kalvex::study
