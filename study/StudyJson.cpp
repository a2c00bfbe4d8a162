#include "study/StudyJson.h"

#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "report/BoundedRead.h"
#include "report/ReportFile.h"
#include "report/SafeSave.h"
#include "core/propellant/TemperatureCoefficientsJson.h"
#include "study/InputFile.h"
#include "study/JsonKeys.h"
#include "study/Parameters.h"
#include "study/SectionJson.h"
#include "study/StudyError.h"

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <limits>
#include <optional>
#include <sstream>

namespace kalvex::study {

using nlohmann::json;

namespace {

StudyKind kindOf(const std::string& name)
{
    for (StudyKind kind : kStudyKinds)
        if (name == studyKindName(kind))
            return kind;
    throw StudyError("kind: \"" + name + "\" is none of sweep, solve, fit, tolerance, optimize, sensitivity");
}

constexpr const char* kCoefficientsKey = "temperatureCoefficients";

constexpr const char* kSegmentsKey = "segments";



// The burning law's segments above the first, each {"pLow": MPa, "beta": m/s/Pa^alpha,
// "alpha": -}; the input rules check them with the rest of the input set.
std::vector<BurningSegment> segmentsFrom(const json& list)
{
    if (!list.is_array())
        throw StudyError("inputs.segments must be a list of {\"pLow\", \"beta\", \"alpha\"}");
    std::vector<BurningSegment> segments;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const JsonKeys keys(list[i], "inputs.segments (segment " + std::to_string(i + 2) + ")", {"pLow", "beta", "alpha"});
        segments.push_back({keys.number("pLow"), keys.number("beta"), keys.number("alpha")});
    }
    return segments;
}

json segmentsTo(const std::vector<BurningSegment>& segments)
{
    json list = json::array();
    for (const BurningSegment& s : segments)
        list.push_back({{"pLow", s.pLow}, {"beta", s.beta}, {"alpha", s.alpha}});
    return list;
}

TemperatureCoefficients coefficientsFrom(const json& object, const std::string& key)
{
    TemperatureCoefficients coefficients;
    if (std::string problem = readTemperatureCoefficients(object, key, coefficients); !problem.empty())
        throw StudyError(problem);
    return coefficients;
}

// Sets the charge temperature of the input set and the two factors it gives.
void setChargeTemperature(BallisticInput& input, double celsius)
{
    try {
        setParameterValue(input, findParameter(kChargeTemperatureParameter), celsius);
    } catch (const InputError& e) {
        throw StudyError(std::string("chargeTemperature: ") + e.what());
    }
}

BallisticInput inputsFrom(const json& inputs)
{
    if (!inputs.is_object())
        throw StudyError("inputs must be an object of parameter values");
    BallisticInput input;
    for (const Parameter& p : allParameters()) {
        if (p.kind == ParameterKind::chargeTemperature)
            continue;  // optional, read below
        const std::string name(p.name);
        if (!inputs.contains(name))
            throw StudyError("inputs: the key \"" + name + "\" is missing");
        setParameterValue(input, p, jsonNumber(inputs.at(name), "inputs." + name));
    }
    for (const auto& [key, value] : inputs.items())
        if (key != kCoefficientsKey && key != kSegmentsKey)
            findParameter(key);  // names an unknown key
    if (inputs.contains(kSegmentsKey))
        input.upperSegments = segmentsFrom(inputs.at(kSegmentsKey));
    if (inputs.contains(kCoefficientsKey))
        input.temperatureCoefficients = coefficientsFrom(inputs.at(kCoefficientsKey), "inputs.temperatureCoefficients");
    if (inputs.contains(std::string(kChargeTemperatureParameter)))
        setChargeTemperature(input, jsonNumber(inputs.at(std::string(kChargeTemperatureParameter)),
                                               "inputs.chargeTemperature"));
    return input;
}

json inputsTo(const BallisticInput& input)
{
    json inputs = json::object();
    for (const Parameter& p : allParameters())
        if (p.kind != ParameterKind::chargeTemperature)
            inputs[std::string(p.name)] = p.field ? valueReadingBack(input, *p.field) : parameterValue(input, p);
    if (!input.upperSegments.empty())
        inputs[kSegmentsKey] = segmentsTo(input.upperSegments);
    if (input.temperatureCoefficients)
        inputs[kCoefficientsKey] = temperatureCoefficientsJson(*input.temperatureCoefficients);
    if (input.chargeTemperature)
        inputs[std::string(kChargeTemperatureParameter)] = *input.chargeTemperature;
    return inputs;
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

// The study's sweep: one axis, or a list of axes crossed as a grid. A propellant axis's names,
// read by the mapping, become the library's rows.
std::vector<SweepAxis> sweepFrom(const json& section, PropellantNames& names)
{
    std::vector<SweepAxis> axes =
        section.is_array() ? section.get<std::vector<SweepAxis>>() : std::vector<SweepAxis>{section.get<SweepAxis>()};
    for (SweepAxis& axis : axes)
        for (Propellant& p : axis.propellants)
            p = names.find(p.name, "sweep (" + axis.parameter + ").values");
    return axes;
}

// The section named by the study's kind, read into its record.
void readSection(const json& section, PropellantNames& names, Study& study)
{
    switch (study.kind) {
    case StudyKind::sweep: study.sweep = sweepFrom(section, names); break;
    case StudyKind::solve: study.solve = section.get<SolveSpec>(); break;
    case StudyKind::fit: study.fit = section.get<FitSpec>(); break;
    case StudyKind::tolerance: study.tolerance = section.get<ToleranceSpec>(); break;
    case StudyKind::optimize: study.optimize = section.get<OptimizeSpec>(); break;
    case StudyKind::sensitivity: study.sensitivity = section.get<SensitivitySpec>(); break;
    }
}

// "integrator": {"method": "adaptive", "relativeTolerance": 1e-8, "absoluteTolerance": ...,
// "maxSteps": ...}; the fixed step when absent.
IntegratorChoice integratorFrom(const json& j)
{
    const JsonKeys keys(j, "integrator", {"method", "relativeTolerance", "absoluteTolerance", "maxSteps"});
    IntegratorChoice choice;
    const std::string method = keys.text("method");
    const std::optional<IntegratorMethod> known = integratorMethod(method);
    if (!known)
        throw StudyError("integrator.method: \"" + method + "\" is neither fixed nor adaptive");
    choice.method = *known;
    AdaptiveSettings& a = choice.adaptive;
    a.relativeTolerance = keys.number("relativeTolerance", a.relativeTolerance);
    a.absoluteTolerance = keys.number("absoluteTolerance", a.absoluteTolerance);
    if (!(a.relativeTolerance > 0 && a.relativeTolerance < 1) || !(a.absoluteTolerance >= 0 && a.absoluteTolerance < 1))
        throw StudyError("integrator: a tolerance must lie between 0 and 1");
    a.maxSteps = keys.whole<long>("maxSteps", kDefaultAdaptiveStepBound, 1, std::numeric_limits<long>::max());
    return choice;
}

json integratorTo(const IntegratorChoice& choice)
{
    json j{{"method", integratorName(choice.method)}, {"relativeTolerance", choice.adaptive.relativeTolerance}};
    if (choice.adaptive.absoluteTolerance > 0)
        j["absoluteTolerance"] = choice.adaptive.absoluteTolerance;
    if (choice.adaptive.maxSteps != kDefaultAdaptiveStepBound)
        j["maxSteps"] = choice.adaptive.maxSteps;
    return j;
}

// Reads the study; `library` nullptr: the default library, read when a name needs it. The
// base report is read, and the propellant looked up, before the section, so that a study
// with a wrong base says so first.
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
    try {
        const JsonKeys keys(j, "", {"kind", "description", "base", "inputs", "propellant", "temperatureCoefficients", "heatTransfer", "integrator", "sweep",
                                    "solve", "fit", "tolerance", "optimize", "sensitivity"});
        Study study;
        study.kind = kindOf(keys.text("kind"));
        study.description = keys.text("description", "");
        if (keys.has("base") == keys.has("inputs"))
            throw StudyError("give the base input set either as \"base\" (a report file) or as \"inputs\"");
        if (keys.has("base")) {
            study.basePath = keys.text("base");
            const std::filesystem::path report = baseFolder / study.basePath;
            std::error_code ec;
            if (!std::filesystem::exists(report, ec))
                throw StudyError("base: " + report.string() + ": no such file" +
                                 (std::filesystem::path(study.basePath).is_relative()
                                      ? " (\"" + study.basePath + "\" is taken relative to the study file's folder, " +
                                            (baseFolder.empty() ? std::string(".") : baseFolder.string()) + ")"
                                      : std::string()));
            study.base = readBaseReport(report);
        } else {
            study.base = inputsFrom(keys.required("inputs"));
        }
        if (keys.has("propellant")) {
            study.propellant = keys.text("propellant");
            const Propellant& row = names.find(study.propellant, "propellant");
            applyPropellant(row, study.base);
            if (row.temperatureCoefficients)
                study.base.temperatureCoefficients = row.temperatureCoefficients;
        }
        if (keys.has(kCoefficientsKey))
            study.base.temperatureCoefficients = coefficientsFrom(keys.required(kCoefficientsKey), kCoefficientsKey);
        if (study.base.chargeTemperature)  // the factors follow the coefficients finally taken
            setChargeTemperature(study.base, *study.base.chargeTemperature);
        if (keys.has("heatTransfer")) {
            if (!keys.required("heatTransfer").is_boolean())
                throw StudyError("heatTransfer must be true or false");
            study.heatTransfer = keys.required("heatTransfer").get<bool>();
        }
        if (keys.has("integrator"))
            study.integrator = integratorFrom(keys.required("integrator"));
        readSection(keys.required(studyKindName(study.kind)), names, study);
        validateStudy(study);
        return study;
    } catch (const json::exception& e) {
        throw StudyError(std::string("study: ") + e.what());
    }
}

}  // namespace

// The study as its file holds it; the section of its kind only.
void to_json(json& j, const Study& study)
{
    j = json::object();
    j["kind"] = studyKindName(study.kind);
    if (!study.description.empty())
        j["description"] = study.description;
    if (!study.basePath.empty()) {
        j["base"] = study.basePath;
        if (study.base.temperatureCoefficients)
            j[kCoefficientsKey] = temperatureCoefficientsJson(*study.base.temperatureCoefficients);
    } else
        j["inputs"] = inputsTo(study.base);
    if (!study.propellant.empty())
        j["propellant"] = study.propellant;
    j["heatTransfer"] = study.heatTransfer;
    if (study.integrator.method != IntegratorMethod::fixedStep)  // files of the fixed step keep their bytes
        j["integrator"] = integratorTo(study.integrator);
    json& section = j[studyKindName(study.kind)];
    switch (study.kind) {
    case StudyKind::sweep: section = study.sweep; break;
    case StudyKind::solve: section = study.solve; break;
    case StudyKind::fit: section = study.fit; break;
    case StudyKind::tolerance: section = study.tolerance; break;
    case StudyKind::optimize: section = study.optimize; break;
    case StudyKind::sensitivity: section = study.sensitivity; break;
    }
}

// The value in the field's unit that converts back to the stored value exactly, where a
// neighbour of the plain conversion does (x * 1e-6 * 1e6 need not be x): so that an input set
// written and read again runs with the same bits.
double valueReadingBack(const BallisticInput& input, const InputField& field)
{
    const double stored = input.*field.quantity;
    const double shown = stored * field.toShown;
    double below = shown, above = shown;
    for (int i = 0; i < 4; ++i) {
        if (below * field.toStored == stored)
            return below;
        if (above * field.toStored == stored)
            return above;
        below = std::nextafter(below, -INFINITY);
        above = std::nextafter(above, INFINITY);
    }
    return shown;
}

BallisticInput inputsFromJson(const json& inputs) { return inputsFrom(inputs); }

json inputsToJson(const BallisticInput& input) { return inputsTo(input); }

BallisticInput readBaseReport(const std::filesystem::path& path)
{
    if (isInputFilePath(path)) {
        try {
            return loadInputFile(path).input;
        } catch (const StudyError& e) {
            throw StudyError(std::string("base: ") + e.what());
        }
    }
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
    return json(study).dump(2) + "\n";
}

Study loadStudyFile(const std::filesystem::path& path, const std::atomic<bool>* cancel)
{
    std::string text;
    try {
        text = report::readWholeFile(path.string(), kMaxStudyFileBytes, cancel);
    } catch (const report::ReadError& e) {
        throw StudyError(std::string(e.what()) + " (the study file)");
    }
    return studyFromJsonText(text, path.parent_path());
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
