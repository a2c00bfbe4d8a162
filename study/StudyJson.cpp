#include "study/StudyJson.h"

#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "report/ReportFile.h"
#include "report/SafeSave.h"
#include "study/DesignJson.h"
#include "study/Parameters.h"
#include "study/StudyError.h"

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

namespace kalvex::study {

using nlohmann::json;

namespace {

const json& member(const json& object, const char* key, const std::string& where)
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

template <class T>
T optionalNumber(const json& object, const char* key, T fallback, const std::string& where)
{
    if (!object.contains(key))
        return fallback;
    return static_cast<T>(number(object.at(key), where + "." + key));
}

// A number the study may leave out (a constraint's bound, a measured pressure).
std::optional<double> maybeNumber(const json& object, const char* key, const std::string& where)
{
    if (!object.contains(key))
        return std::nullopt;
    return number(object.at(key), where + "." + key);
}

StudyKind kindOf(const std::string& name)
{
    for (StudyKind kind : kStudyKinds)
        if (name == studyKindName(kind))
            return kind;
    throw StudyError("kind: \"" + name + "\" is none of sweep, solve, fit, tolerance, optimize, sensitivity");
}

BallisticInput inputsFrom(const json& inputs)
{
    if (!inputs.is_object())
        throw StudyError("inputs must be an object of parameter values");
    BallisticInput input;
    for (const Parameter& p : allParameters()) {
        const std::string key = "inputs." + std::string(p.name);
        setParameterValue(input, p, number(member(inputs, std::string(p.name).c_str(), "inputs"), key));
    }
    for (const auto& [key, value] : inputs.items())
        findParameter(key);  // names an unknown key
    return input;
}

// The library the study's propellant names are looked up in, read at the first name.
class PropellantNames {
public:
    explicit PropellantNames(const PropellantLibrary* library) : library_(library) {}

    Propellant find(const std::string& name, const std::string& key)
    {
        if (library_ == nullptr) {
            loaded_ = loadPropellantLibrary(defaultPropellantFiles());
            library_ = &loaded_;
        }
        const Propellant* found = library_->find(name);
        if (found == nullptr) {
            std::string message = key + ": \"" + name + "\" is not in the propellant library";
            for (const std::string& problem : library_->problems)
                message += "; " + problem;
            throw StudyError(message);
        }
        return *found;
    }

private:
    const PropellantLibrary* library_;
    PropellantLibrary loaded_;
};

SweepAxis axisFrom(const json& j, PropellantNames& names)
{
    SweepAxis axis;
    axis.parameter = text(member(j, "parameter", "sweep"), "sweep.parameter");
    const std::string where = "sweep (" + axis.parameter + ")";
    if (axis.parameter == kPropellantParameter) {
        const json& values = member(j, "values", where);
        if (!values.is_array() || values.empty())
            throw StudyError(where + ".values must be a list of propellant names");
        for (const json& v : values)
            axis.propellants.push_back(names.find(text(v, where + ".values"), where + ".values"));
        return axis;
    }
    if (j.contains("values")) {
        if (!j.at("values").is_array())
            throw StudyError(where + ".values must be a list of numbers");
        for (const json& v : j.at("values"))
            axis.values.push_back(number(v, where + ".values"));
        if (axis.values.empty())
            throw StudyError(where + ": the list of values is empty");
    } else {
        axis.from = number(member(j, "from", where), where + ".from");
        axis.to = number(member(j, "to", where), where + ".to");
        axis.count = static_cast<int>(number(member(j, "count", where), where + ".count"));
        const std::string scale = j.contains("scale") ? text(j.at("scale"), where + ".scale") : "linear";
        if (scale != "linear" && scale != "log")
            throw StudyError(where + ".scale must be \"linear\" or \"log\"");
        axis.logarithmic = scale == "log";
    }
    return axis;
}

std::vector<std::pair<std::string, double>> valuesFrom(const json& object, const std::string& where)
{
    if (!object.is_object())
        throw StudyError(where + " must be an object of parameter values");
    std::vector<std::pair<std::string, double>> values;
    for (const auto& [key, value] : object.items())
        values.emplace_back(key, number(value, where + "." + key));
    return values;
}

SolveSpec solveFrom(const json& j)
{
    SolveSpec s;
    if (isTwoTargetSolve(j)) {
        s.pair = twoTargetFrom(j);
        s.constraints = constraintsFrom(j, "solve");
        return s;
    }
    s.parameter = text(member(j, "parameter", "solve"), "solve.parameter");
    const json& bracket = member(j, "bracket", "solve");
    if (!bracket.is_array() || bracket.size() != 2)
        throw StudyError("solve.bracket must be a list of two numbers");
    s.lower = number(bracket[0], "solve.bracket");
    s.upper = number(bracket[1], "solve.bracket");
    if (j.contains("output"))
        s.output = text(j.at("output"), "solve.output");
    s.target = number(member(j, "target", "solve"), "solve.target");
    s.tolerance = optionalNumber(j, "tolerance", 0.0, "solve");
    s.maxIterations = optionalNumber(j, "maxIterations", s.maxIterations, "solve");
    if (j.contains("constraints")) {
        for (const json& c : j.at("constraints")) {
            Constraint constraint;
            constraint.output = text(member(c, "output", "solve.constraints"), "solve.constraints.output");
            constraint.min = maybeNumber(c, "min", "solve.constraints");
            constraint.max = maybeNumber(c, "max", "solve.constraints");
            s.constraints.push_back(constraint);
        }
    }
    return s;
}

FitSpec fitFrom(const json& j)
{
    FitSpec f;
    const json& parameters = member(j, "parameters", "fit");
    if (!parameters.is_array())
        throw StudyError("fit.parameters must be a list of names");
    for (const json& p : parameters)
        f.parameters.push_back(text(p, "fit.parameters"));
    if (j.contains("start"))
        for (const json& v : j.at("start"))
            f.start.push_back(number(v, "fit.start"));
    if (j.contains("pressureOutput"))
        f.pressureOutput = text(j.at("pressureOutput"), "fit.pressureOutput");
    f.pressureWeight = optionalNumber(j, "pressureWeight", f.pressureWeight, "fit");
    const json& firings = member(j, "firings", "fit");
    if (!firings.is_array() || firings.empty())
        throw StudyError("fit.firings must be a list of at least one firing");
    for (const json& row : firings) {
        Firing firing;
        if (row.contains("inputs"))
            firing.inputs = valuesFrom(row.at("inputs"), "fit.firings.inputs");
        firing.velocity = number(member(row, "velocity", "fit.firings"), "fit.firings.velocity");
        firing.pressure = maybeNumber(row, "pressure", "fit.firings");
        f.firings.push_back(firing);
    }
    return f;
}

// The draws of a tolerance study, or of a sensitivity study (`section` names it).
ToleranceSpec toleranceFrom(const json& j, const std::string& section = "tolerance")
{
    ToleranceSpec t;
    const json& parameters = member(j, "parameters", section);
    if (!parameters.is_array())
        throw StudyError(section + ".parameters must be a list");
    for (const json& p : parameters) {
        ToleranceParameter tp;
        tp.parameter = text(member(p, "parameter", section + ".parameters"), section + ".parameters.parameter");
        const std::string where = section + ".parameters (" + tp.parameter + ")";
        const std::string distribution = p.contains("distribution") ? text(p.at("distribution"), where) : "normal";
        if (distribution == "uniform")
            tp.distribution = Distribution::uniform;
        else if (distribution != "normal")
            throw StudyError(where + ".distribution must be \"normal\" or \"uniform\"");
        // A normal spread is given as its sigma, a uniform one as its half-width.
        const char* spreadKey = tp.distribution == Distribution::normal ? "sigma" : "halfWidth";
        tp.spread = number(member(p, spreadKey, where), where + "." + spreadKey);
        if (tp.spread < 0)
            throw StudyError(where + "." + spreadKey + " must not be negative");
        t.parameters.push_back(tp);
    }
    const double samples = number(member(j, "samples", section), section + ".samples");
    if (!(samples >= 1) || samples != std::floor(samples))
        throw StudyError(section + ".samples (N) must be a positive whole number");
    t.samples = static_cast<long long>(samples);
    const double seed = optionalNumber(j, "seed", 1.0, section);
    if (!(seed >= 0) || seed != std::floor(seed))
        throw StudyError(section + ".seed must be a whole number, 0 or more");
    t.seed = static_cast<std::uint64_t>(seed);
    if (j.contains("limit")) {
        ExceedanceLimit limit;
        const json& l = j.at("limit");
        if (l.contains("output"))
            limit.output = text(l.at("output"), "tolerance.limit.output");
        limit.value = number(member(l, "value", "tolerance.limit"), "tolerance.limit.value");
        t.limit = limit;
    }
    return t;
}

json toleranceTo(const ToleranceSpec& t)
{
    json parameters = json::array();
    for (const ToleranceParameter& p : t.parameters) {
        if (p.distribution == Distribution::normal)
            parameters.push_back({{"parameter", p.parameter}, {"distribution", "normal"}, {"sigma", p.spread}});
        else
            parameters.push_back({{"parameter", p.parameter}, {"distribution", "uniform"}, {"halfWidth", p.spread}});
    }
    json section = {{"parameters", parameters}, {"samples", t.samples}, {"seed", t.seed}};
    if (t.limit)
        section["limit"] = {{"output", t.limit->output}, {"value", t.limit->value}};
    return section;
}

json inputsTo(const BallisticInput& input)
{
    json inputs = json::object();
    for (const Parameter& p : allParameters())
        inputs[std::string(p.name)] = parameterValue(input, p);
    return inputs;
}

}  // namespace

BallisticInput readBaseReport(const std::filesystem::path& path)
{
    std::optional<report::LoadedReport> loaded;
    try {
        loaded = report::loadReportForRun(path.string());
    } catch (const InputError& e) {
        throw StudyError(std::string("base: ") + e.what());  // a value that cannot be read
    }
    if (!loaded)
        throw StudyError("base: " + path.string() + ": not a readable report with all 43 input values");
    // As the window and kalvex-batch run a loaded report: the values its fields show.
    return asShownInFields(loaded->input);
}

namespace {

// Reads the study; `library` nullptr: the default library, read when a name needs it.
Study parseStudyText(const std::string& textIn, const std::filesystem::path& baseFolder,
                     const PropellantLibrary* library)
{
    PropellantNames names(library);
    json j;
    try {
        j = json::parse(textIn);
    } catch (const json::parse_error& e) {
        throw StudyError(std::string("the study is not JSON: ") + e.what());
    }
    if (!j.is_object())
        throw StudyError("the study must be a JSON object");
    try {
        Study study;
        study.kind = kindOf(text(member(j, "kind", "study"), "kind"));
        if (j.contains("description"))
            study.description = text(j.at("description"), "description");
        if (j.contains("base") == j.contains("inputs"))
            throw StudyError("give the base input set either as \"base\" (a report file) or as \"inputs\"");
        if (j.contains("base")) {
            study.basePath = text(j.at("base"), "base");
            study.base = readBaseReport(baseFolder / study.basePath);
        } else {
            study.base = inputsFrom(j.at("inputs"));
        }
        if (j.contains("propellant")) {
            study.propellant = text(j.at("propellant"), "propellant");
            applyPropellant(names.find(study.propellant, "propellant"), study.base);
        }
        if (j.contains("heatTransfer")) {
            if (!j.at("heatTransfer").is_boolean())
                throw StudyError("heatTransfer must be true or false");
            study.heatTransfer = j.at("heatTransfer").get<bool>();
        }
        const char* section = studyKindName(study.kind);
        const json& spec = member(j, section, "study");
        switch (study.kind) {
        case StudyKind::sweep:
            if (spec.is_array()) {
                for (const json& axis : spec)
                    study.sweep.push_back(axisFrom(axis, names));
            } else {
                study.sweep.push_back(axisFrom(spec, names));
            }
            break;
        case StudyKind::solve: study.solve = solveFrom(spec); break;
        case StudyKind::fit: study.fit = fitFrom(spec); break;
        case StudyKind::tolerance: study.tolerance = toleranceFrom(spec); break;
        case StudyKind::optimize: study.optimize = optimizeFrom(spec); break;
        case StudyKind::sensitivity:
            study.sensitivity.draws = toleranceFrom(spec, "sensitivity");
            sensitivityOptionsFrom(spec, study.sensitivity);
            break;
        }
        validateStudy(study);
        return study;
    } catch (const json::exception& e) {
        throw StudyError(std::string("study: ") + e.what());
    }
}

}  // namespace

Study studyFromJsonText(const std::string& textIn, const std::filesystem::path& baseFolder)
{
    return parseStudyText(textIn, baseFolder, nullptr);
}

Study studyFromJsonText(const std::string& textIn, const std::filesystem::path& baseFolder,
                        const PropellantLibrary& library)
{
    return parseStudyText(textIn, baseFolder, &library);
}

std::string studyToJsonText(const Study& study)
{
    json j;
    j["kind"] = studyKindName(study.kind);
    if (!study.description.empty())
        j["description"] = study.description;
    if (!study.basePath.empty())
        j["base"] = study.basePath;
    else
        j["inputs"] = inputsTo(study.base);
    if (!study.propellant.empty())
        j["propellant"] = study.propellant;
    j["heatTransfer"] = study.heatTransfer;
    switch (study.kind) {
    case StudyKind::sweep: {
        json axes = json::array();
        for (const SweepAxis& a : study.sweep) {
            json axis{{"parameter", a.parameter}};
            if (!a.propellants.empty()) {
                json names = json::array();
                for (const Propellant& p : a.propellants)
                    names.push_back(p.name);
                axis["values"] = names;
            } else if (!a.values.empty()) {
                axis["values"] = a.values;
            } else {
                axis["from"] = a.from;
                axis["to"] = a.to;
                axis["count"] = a.count;
                axis["scale"] = a.logarithmic ? "log" : "linear";
            }
            axes.push_back(axis);
        }
        j["sweep"] = axes;
        break;
    }
    case StudyKind::solve: {
        const SolveSpec& s = study.solve;
        if (s.pair) {
            j["solve"] = twoTargetTo(*s.pair, s.constraints);
            break;
        }
        json constraints = json::array();
        for (const Constraint& c : s.constraints) {
            json constraint{{"output", c.output}};
            if (c.min)
                constraint["min"] = *c.min;
            if (c.max)
                constraint["max"] = *c.max;
            constraints.push_back(constraint);
        }
        j["solve"] = {{"parameter", s.parameter}, {"bracket", {s.lower, s.upper}}, {"output", s.output},
                      {"target", s.target}, {"tolerance", s.tolerance}, {"maxIterations", s.maxIterations},
                      {"constraints", constraints}};
        break;
    }
    case StudyKind::fit: {
        const FitSpec& f = study.fit;
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
        j["fit"] = {{"parameters", f.parameters}, {"pressureOutput", f.pressureOutput},
                    {"pressureWeight", f.pressureWeight}, {"firings", firings}};
        if (!f.start.empty())
            j["fit"]["start"] = f.start;
        break;
    }
    case StudyKind::tolerance: j["tolerance"] = toleranceTo(study.tolerance); break;
    case StudyKind::optimize: j["optimize"] = optimizeTo(study.optimize); break;
    case StudyKind::sensitivity:
        j["sensitivity"] = toleranceTo(study.sensitivity.draws);
        sensitivityOptionsTo(study.sensitivity, j["sensitivity"]);
        break;
    }
    return j.dump(2) + "\n";
}

Study loadStudyFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw StudyError(path.string() + ": cannot read the study file");
    std::ostringstream text;
    text << in.rdbuf();
    return studyFromJsonText(text.str(), path.parent_path());
}

void saveStudyFile(const std::filesystem::path& path, const Study& study)
{
    const std::string text = studyToJsonText(study);
    try {
        report::saveBytesSafely(path.string(), text);
    } catch (const std::exception& e) {
        throw StudyError(e.what());
    }
}

}  // namespace kalvex::study
