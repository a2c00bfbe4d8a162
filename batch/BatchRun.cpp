#include "batch/BatchRun.h"

#include "batch/BatchHost.h"
#include "core/Errors.h"
#include "core/NumberFormat.h"
#include "core/PropellantLibrary.h"
#include "batch/PropellantTable.h"
#include "report/ReportFile.h"

#include <exception>

namespace kalvex::batch {

namespace {

constexpr char kSeparator = '.';  // the batch's fields use a point, whatever the locale

// Fills the host's fields from a loaded report, as Load fills the window's.
void fillFields(BatchHost& host, const report::LoadedReport& loaded, int outputEvery)
{
    for (const auto& [control, text] : report::fieldTextsFor(loaded.input, kSeparator))
        host.setFieldText(control, text);
    host.setFieldText("Edit33", loaded.weaponName);
    host.setFieldText("Edit49", std::to_string(outputEvery));
}

// The library row the options name, after reporting the library's malformed rows to `err`.
// Throws InputError when there is no such row.
Propellant chosenPropellant(const BatchOptions& options, std::ostream& err)
{
    const PropellantLibrary library =
        loadPropellantLibrary(defaultPropellantFiles(options.programFolder));
    for (const std::string& problem : library.problems)
        err << "warning: " << problem << '\n';
    const Propellant* found = library.find(*options.propellant);
    if (found == nullptr) {
        throw InputError("Propellant " + *options.propellant +
                         " is not in the propellant library (kalvex-batch --list-propellants)");
    }
    return *found;
}

}  // namespace

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo, std::ostream& err)
{
    const BallisticInput freshProgram;  // the stored set of a program just started
    auto loaded = report::loadReportFile(options.inputPath, freshProgram);
    if (!loaded) {
        throw InputError(options.inputPath +
                         ": Soubor nenačten (not a readable report with all 43 input values)");
    }
    if (options.propellant) {
        const Propellant propellant = chosenPropellant(options, err);
        applyPropellant(propellant, loaded->input);
        memo << propellantUsedLine(propellant) << '\n';
    }
    ReportRun run{loaded->weaponName, loaded->input, {}};
    BatchHost host(memo, loaded->input.grainType, options.heatTransfer,
                   SummaryOptions{options.showGrains, options.showEnergy});
    fillFields(host, *loaded, options.outputEvery);
    try {
        runStartCommand(host, run.input, run.runs);
    } catch (const RunAbandoned&) {
        // the silent end of the command
    }
    if (!run.runs.completed)
        throw InputError("The run did not reach the muzzle");
    return run;
}

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err)
{
    try {
        if (options.listPropellants) {
            const PropellantLibrary library =
                loadPropellantLibrary(defaultPropellantFiles(options.programFolder));
            for (const std::string& problem : library.problems)
                err << "warning: " << problem << '\n';
            printPropellantTable(library, out);
            return 0;
        }
        const ReportRun run = runReportInput(options, out, err);
        if (options.reportPath) {
            report::saveReportFile(*options.reportPath, run.weaponName, run.input,
                                   *run.runs.completed, options.outputEvery);
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
    try {
        return runBatch(options, out, err);
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}

}  // namespace kalvex::batch
