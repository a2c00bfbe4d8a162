#include "batch/BatchRun.h"

#include "batch/PropellantTable.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "core/propellant/PropellantLibrary.h"
#include "core/input/StartSequence.h"
#include "core/stepping/StepErrorEstimate.h"
#include "report/ReportFile.h"
#include "report/SeriesCsv.h"

#include <exception>
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

}  // namespace

report::LoadedReport loadReportInput(const std::string& path)
{
    auto loaded = report::loadReportForRun(path);
    if (!loaded)
        throw InputError(path + ": Soubor nenačten (not a readable report with all 43 input values)");
    return std::move(*loaded);
}

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo, std::ostream& err)
{
    report::LoadedReport loaded = loadReportInput(options.inputPath);
    if (options.propellant) {
        const Propellant propellant = chosenPropellant(options, err);
        applyPropellant(propellant, loaded.input);
        memo << propellantUsedLine(propellant) << '\n';
    }
    ReportRun run{loaded.weaponName, asShownInFields(loaded.input), {}};
    run.input.heatTransfer = options.heatTransfer;
    run.runs.scratch = std::make_unique_for_overwrite<RunResults>();
    const auto toMemo = [&memo](const std::string& line) { memo << line << '\n'; };
    const StartOutcome outcome = runStartSequence(run.input, *run.runs.scratch, toMemo);
    run.input.dt = outcome.dt;
    if (outcome.end != RunEnd::MuzzleReached)
        throw InputError(startEndMessage(outcome));
    std::swap(run.runs.completed, run.runs.scratch);
    writeRunSummary(run.input, *run.runs.completed, SummaryOptions{options.showGrains, options.showEnergy},
                    toMemo);
    if (options.errorEstimate)
        writeStepErrorEstimate(estimateStepError(run.input, run.input.dt, *run.runs.completed), toMemo);
    return run;
}

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo)
{
    return runReportInput(options, memo, std::cerr);
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
                                   *run.runs.completed, options.outputEvery);
        }
        if (options.seriesPath) {
            report::streamFileSafely(*options.seriesPath,
                                       [&](std::ostream& csv) { report::writeSeriesCsv(csv, *run.runs.completed); });
        }
    } catch (const std::exception& e) {
        err << e.what() << '\n';
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
        err << e.what() << '\n';
        return 1;
    }
}

}  // namespace kalvex::batch
