#include "study/SectionJson.h"

#include "study/DesignJson.h"
#include "study/JsonKeys.h"
#include "study/Parameters.h"

#include <limits>

namespace kalvex::study {

using nlohmann::json;

namespace {

constexpr int kIntLowest = std::numeric_limits<int>::min();
constexpr int kIntHighest = std::numeric_limits<int>::max();

// Each drawn parameter, given by its sigma (normal) or half-width (uniform).
ToleranceParameter drawnFrom(const json& item, const std::string& section)
{
    const std::string list = section + ".parameters";
    const JsonKeys p(item, JsonKeys::named(item, list, "parameter"), {"parameter", "distribution", "sigma", "halfWidth"});
    ToleranceParameter tp;
    tp.parameter = jsonText(p.required("parameter"), list + ".parameter");
    const std::string distribution = p.has("distribution") ? jsonText(p.required("distribution"), p.where()) : "normal";
    if (distribution == "uniform")
        tp.distribution = Distribution::uniform;
    else if (distribution != "normal")
        throw StudyError(p.path("distribution") + " must be \"normal\" or \"uniform\"");
    // A normal spread is given as its sigma, a uniform one as its half-width.
    const char* spreadKey = tp.distribution == Distribution::normal ? "sigma" : "halfWidth";
    tp.spread = p.number(spreadKey);
    if (tp.spread < 0)
        throw StudyError(p.path(spreadKey) + " must not be negative");
    return tp;
}

// The draws of a tolerance study, or of a sensitivity study (`keys` names its section).
ToleranceSpec drawsFrom(const JsonKeys& keys)
{
    ToleranceSpec t;
    for (const json& item : keys.list("parameters"))
        t.parameters.push_back(drawnFrom(item, keys.where()));
    t.samples = keys.whole("samples", 1LL, std::numeric_limits<long long>::max(),
                           "(N) must be a positive whole number");
    t.seed = keys.whole("seed", std::uint64_t{1}, std::uint64_t{0}, std::numeric_limits<std::uint64_t>::max());
    if (keys.has("limit")) {
        const JsonKeys limit(keys.required("limit"), keys.path("limit"), {"output", "value"});
        ExceedanceLimit l;
        l.output = limit.text("output", l.output);
        l.value = limit.number("value");
        t.limit = l;
    }
    return t;
}

std::vector<std::pair<std::string, double>> valuesFrom(const json& object, const std::string& where)
{
    if (!object.is_object())
        throw StudyError(where + " must be an object of parameter values");
    std::vector<std::pair<std::string, double>> values;
    for (const auto& [key, value] : object.items())
        values.emplace_back(key, jsonNumber(value, where + "." + key));
    return values;
}

Firing firingFrom(const json& item)
{
    const JsonKeys row(item, "fit.firings", {"inputs", "velocity", "pressure"});
    Firing firing;
    if (row.has("inputs"))
        firing.inputs = valuesFrom(row.required("inputs"), "fit.firings.inputs");
    firing.velocity = row.number("velocity");
    firing.pressure = row.maybeNumber("pressure");
    return firing;
}

}  // namespace

void from_json(const json& j, SweepAxis& axis)
{
    const JsonKeys keys(j, JsonKeys::named(j, "sweep", "parameter"), {"parameter", "values", "from", "to", "count", "scale"});
    axis = SweepAxis{};
    axis.parameter = jsonText(keys.required("parameter"), "sweep.parameter");
    if (axis.parameter == kPropellantParameter) {
        const json& values = keys.required("values");
        if (!values.is_array() || values.empty())
            throw StudyError(keys.path("values") + " must be a list of propellant names");
        for (const json& v : values) {
            Propellant named;
            named.name = jsonText(v, keys.path("values"));
            axis.propellants.push_back(named);
        }
        return;
    }
    if (keys.has("values")) {
        const json& values = keys.required("values");
        if (!values.is_array())
            throw StudyError(keys.path("values") + " must be a list of numbers");
        for (const json& v : values)
            axis.values.push_back(jsonNumber(v, keys.path("values")));
        if (axis.values.empty())
            throw StudyError(keys.where() + ": the list of values is empty");
        return;
    }
    axis.from = keys.number("from");
    axis.to = keys.number("to");
    axis.count = keys.whole("count", kIntLowest, kIntHighest);
    const std::string scale = keys.text("scale", "linear");
    if (scale != "linear" && scale != "log")
        throw StudyError(keys.path("scale") + " must be \"linear\" or \"log\"");
    axis.logarithmic = scale == "log";
}

void to_json(json& j, const SweepAxis& a)
{
    j = {{"parameter", a.parameter}};
    if (!a.propellants.empty()) {
        json names = json::array();
        for (const Propellant& p : a.propellants)
            names.push_back(p.name);
        j["values"] = names;
    } else if (!a.values.empty()) {
        j["values"] = a.values;
    } else {
        j["from"] = a.from;
        j["to"] = a.to;
        j["count"] = a.count;
        j["scale"] = a.logarithmic ? "log" : "linear";
    }
}

void from_json(const json& j, SolveSpec& s)
{
    s = SolveSpec{};
    if (isTwoTargetSolve(j)) {
        const JsonKeys keys(j, "solve", {"parameters", "targets", "maxRuns", "constraints"});
        s.pair = twoTargetFrom(keys);
        s.constraints = constraintsFrom(keys);
        return;
    }
    const JsonKeys keys(j, "solve",
                        {"parameter", "bracket", "output", "target", "tolerance", "maxIterations", "constraints"});
    s.parameter = keys.text("parameter");
    const json& bracket = keys.required("bracket");
    if (!bracket.is_array() || bracket.size() != 2)
        throw StudyError("solve.bracket must be a list of two numbers");
    s.lower = jsonNumber(bracket[0], "solve.bracket");
    s.upper = jsonNumber(bracket[1], "solve.bracket");
    s.output = keys.text("output", s.output);
    s.target = keys.number("target");
    s.tolerance = keys.number("tolerance", 0.0);
    s.maxIterations = keys.whole("maxIterations", s.maxIterations, kIntLowest, kIntHighest);
    s.constraints = constraintsFrom(keys);
}

void to_json(json& j, const SolveSpec& s)
{
    if (s.pair) {
        j = twoTargetTo(*s.pair, s.constraints);
        return;
    }
    j = {{"parameter", s.parameter}, {"bracket", {s.lower, s.upper}}, {"output", s.output},
         {"target", s.target}, {"tolerance", s.tolerance}, {"maxIterations", s.maxIterations},
         {"constraints", constraintsTo(s.constraints)}};
}

void from_json(const json& j, FitSpec& f)
{
    const JsonKeys keys(j, "fit", {"parameters", "start", "pressureOutput", "pressureWeight", "firings"});
    f = FitSpec{};
    const json& parameters = keys.required("parameters");
    if (!parameters.is_array())
        throw StudyError("fit.parameters must be a list of names");
    for (const json& p : parameters)
        f.parameters.push_back(jsonText(p, "fit.parameters"));
    if (keys.has("start"))
        for (const json& v : keys.list("start"))
            f.start.push_back(jsonNumber(v, "fit.start"));
    f.pressureOutput = keys.text("pressureOutput", f.pressureOutput);
    f.pressureWeight = keys.number("pressureWeight", f.pressureWeight);
    const json& firings = keys.required("firings");
    if (!firings.is_array() || firings.empty())
        throw StudyError("fit.firings must be a list of at least one firing");
    for (const json& row : firings)
        f.firings.push_back(firingFrom(row));
}

void to_json(json& j, const FitSpec& f)
{
    json firings = json::array();
    for (const Firing& firing : f.firings) {
        json row{{"velocity", firing.velocity}};
        json inputs = json::object();
        for (const auto& [name, value] : firing.inputs)
            inputs[name] = value;
        row["inputs"] = inputs;
        if (firing.pressure)
            row["pressure"] = *firing.pressure;
        firings.push_back(row);
    }
    j = {{"parameters", f.parameters}, {"pressureOutput", f.pressureOutput},
         {"pressureWeight", f.pressureWeight}, {"firings", firings}};
    if (!f.start.empty())
        j["start"] = f.start;
}

void from_json(const json& j, ToleranceSpec& t)
{
    t = drawsFrom(JsonKeys(j, "tolerance", {"parameters", "samples", "seed", "limit"}));
}

void to_json(json& j, const ToleranceSpec& t)
{
    json parameters = json::array();
    for (const ToleranceParameter& p : t.parameters) {
        if (p.distribution == Distribution::normal)
            parameters.push_back({{"parameter", p.parameter}, {"distribution", "normal"}, {"sigma", p.spread}});
        else
            parameters.push_back({{"parameter", p.parameter}, {"distribution", "uniform"}, {"halfWidth", p.spread}});
    }
    j = {{"parameters", parameters}, {"samples", t.samples}, {"seed", t.seed}};
    if (t.limit)
        j["limit"] = {{"output", t.limit->output}, {"value", t.limit->value}};
}

void from_json(const json& j, SensitivitySpec& s)
{
    const JsonKeys keys(j, "sensitivity", {"parameters", "samples", "seed", "limit", "resamples", "confidence"});
    s = SensitivitySpec{};
    s.draws = drawsFrom(keys);
    s.resamples = keys.whole("resamples", s.resamples, kIntLowest, kIntHighest);
    s.confidence = keys.number("confidence", s.confidence);
}

void to_json(json& j, const SensitivitySpec& s)
{
    j = s.draws;
    j["resamples"] = s.resamples;
    j["confidence"] = s.confidence;
}

}  // namespace kalvex::study
