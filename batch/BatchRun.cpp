#include "batch/BatchRun.h"

#include "batch/PropellantTable.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "core/propellant/PropellantLibrary.h"
#include "core/input/StartSequence.h"
#include "core/stepping/StepErrorEstimate.h"
#include "report/ReportFile.h"
#include "report/SeriesCsv.h"
#include "study/InputFile.h"
#include "study/StudyError.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <iostream>
#include <utility>

namespace kalvex::batch {

namespace {

// The propellant library, after warning on `err` of the rows it left out.
PropellantLibrary loadLibrary(const BatchOptions& options, std::ostream& err)
{
    PropellantLibrary library = loadPropellantLibrary(defaultPropellantFiles(options.programFolder));
    for (const std::string& problem : library.problems)
        err << "warning: " << problem << '\n';
    return library;
}

// The library row the options name. Throws InputError when there is no such row.
Propellant chosenPropellant(const BatchOptions& options, std::ostream& err)
{
    const PropellantLibrary library = loadLibrary(options, err);
    const Propellant* found = library.find(*options.propellant);
    if (found == nullptr) {
        throw InputError("Propellant " + *options.propellant +
                         " is not in the propellant library (kalvex-batch --list-propellants)");
    }
    return *found;
}

// The temperature coefficients the options give: the propellant row's, each replaced by an
// option given. Throws InputError when neither gives both coefficients.
TemperatureCoefficients chosenCoefficients(const BatchOptions& options, const Propellant* row)
{
    TemperatureCoefficients c;
    if (row && row->temperatureCoefficients)
        c = *row->temperatureCoefficients;
    else if (!options.forceCoefficient || !options.burningRateCoefficient)
        throw InputError((row ? "Propellant " + row->name + " has no temperature coefficients in the library; give "
                              : std::string("A charge temperature needs the propellant's temperature coefficients: give ")) +
                         "--force-temp-coeff and --rate-temp-coeff");
    if (options.forceCoefficient)
        c.force = *options.forceCoefficient;
    if (options.burningRateCoefficient)
        c.burningRate = *options.burningRateCoefficient;
    if (options.referenceTemperature)
        c.reference = *options.referenceTemperature;
    return c;
}

// An input file; its StudyError as the InputError every failure of a run is.
study::InputFile loadInputFile(const std::string& path)
{
    try {
        return study::loadInputFile(path);
    } catch (const study::StudyError& e) {
        throw InputError(e.what());
    }
}

}  // namespace

report::LoadedReport loadReportInput(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw InputError(path + ": no such file");
    auto loaded = report::loadReportForRun(path);
    if (!loaded)
        throw InputError(path + ": not a readable report with all 43 input values");
    return std::move(*loaded);
}

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo, std::ostream& err)
{
    // A report runs as its fields show it; an input file with every bit it holds.
    const bool inputFile = study::isInputFilePath(options.inputPath);
    report::LoadedReport loaded;
    if (inputFile) {
        study::InputFile file = loadInputFile(options.inputPath);
        loaded.weaponName = std::move(file.weaponName);
        loaded.input = std::move(file.input);
    } else {
        loaded = loadReportInput(options.inputPath);
    }
    std::optional<Propellant> propellant;
    if (options.propellant) {
        propellant = chosenPropellant(options, err);
        applyPropellant(*propellant, loaded.input);
        memo << propellantUsedLine(*propellant) << '\n';
    }
    ReportRun run{loaded.weaponName, inputFile ? loaded.input : asShownInFields(loaded.input), {}};
    if (options.chargeTemperature) {
        // After the fields' rounding: the factors are the law's own numbers, as a study sets them.
        const TemperatureCoefficients c = chosenCoefficients(options, propellant ? &*propellant : nullptr);
        applyChargeTemperature(*options.chargeTemperature, c, run.input);
    }
    if (run.input.chargeTemperature && run.input.temperatureCoefficients)  // given here or by the input file
        memo << chargeTemperatureLine(*run.input.chargeTemperature, *run.input.temperatureCoefficients) << '\n';
    run.input.heatTransfer = options.heatTransfer;
    run.runs.scratch = std::make_unique_for_overwrite<RunResults>();
    const auto toMemo = [&memo](const std::string& line) { memo << line << '\n'; };
    const StartOutcome outcome = runStart(run.input, options.integrator, *run.runs.scratch, toMemo);
    run.input.dt = outcome.dt;
    if (outcome.end != RunEnd::MuzzleReached)
        throw InputError(startEndMessage(outcome));
    std::swap(run.runs.completed, run.runs.scratch);
    writeRunSummary(run.input, *run.runs.completed, SummaryOptions{options.showGrains, options.showEnergy},
                    toMemo);
    if (options.errorEstimate && options.integrator.method == IntegratorMethod::adaptive)
        writeStepErrorEstimate(estimateToleranceError(run.input, options.integrator.adaptive, *run.runs.completed),
                               toMemo);
    else if (options.errorEstimate)
        writeStepErrorEstimate(estimateStepError(run.input, run.input.dt, *run.runs.completed), toMemo);
    return run;
}

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo)
{
    return runReportInput(options, memo, std::cerr);
}

void saveInputFile(const std::string& path, const ReportRun& run)
{
    study::InputFile file{run.weaponName, run.input};
    try {
        study::saveInputFile(path, file);
    } catch (const study::StudyError& e) {
        throw InputError(e.what());
    }
}

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    try {
        if (options.listPropellants) {
            printPropellantTable(loadLibrary(options, err), out);
            return 0;
        }
        const ReportRun run = runReportInput(options, out, err);
        if (options.reportPath) {
            report::saveReportFile(*options.reportPath, run.weaponName, run.input,
                                   *run.runs.completed, options.outputEvery, integrationNotes(options.integrator));
        }
        if (options.inputsPath)
            saveInputFile(*options.inputsPath, run);
        if (options.seriesPath) {
            report::streamFileSafely(*options.seriesPath,
                                       [&](std::ostream& csv) { report::writeSeriesCsv(csv, *run.runs.completed); });
        }
    } catch (const std::exception& e) {
        err << "kalvex-batch: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

int batchMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    BatchOptions options;
    try {
        options = parseBatchArguments(args);
    } catch (const UsageError& e) {
        err << "kalvex-batch: " << e.what() << "\nTry 'kalvex-batch --help' for more information.\n";
        return 1;
    }
    if (options.help) {
        out << batchUsage();
        return 0;
    }
    if (options.version) {
        out << "kalvex-batch " << KALVEX_VERSION << '\n';
        return 0;
    }
    try {
        return runBatch(options, out, err);
    } catch (const std::exception& e) {
        err << "kalvex-batch: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace kalvex::batch
