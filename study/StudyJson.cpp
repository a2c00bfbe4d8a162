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
            study.base = inputsFromJson(keys.required("inputs"));
        }
        if (keys.has("propellant")) {
            study.propellant = keys.text("propellant");
            const Propellant& row = names.find(study.propellant, "propellant");
            applyPropellant(row, study.base);
            if (row.temperatureCoefficients)
                study.base.temperatureCoefficients = row.temperatureCoefficients;
        }
        if (keys.has(kCoefficientsKey))
            study.base.temperatureCoefficients = temperatureCoefficientsFrom(keys.required(kCoefficientsKey), kCoefficientsKey);
        if (study.base.chargeTemperature)  // the factors follow the coefficients finally taken
            setChargeTemperatureJson(study.base, *study.base.chargeTemperature);
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
        j["inputs"] = inputsToJson(study.base);
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
