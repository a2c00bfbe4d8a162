#include "batch/BatchRun.h"

#include "batch/BatchHost.h"
#include "core/Errors.h"
#include "core/NumberFormat.h"
#include "report/ReportFile.h"

#include <exception>

namespace kalvex::batch {

namespace {

constexpr char kSeparator = '.';  // the batch's fields use a point, whatever the locale

// Fills the host's fields from a loaded report, as Load fills the window's.
void fillFields(BatchHost& host, const ReportInput& loaded, int outputEvery)
{
    for (const auto& [control, text] : loaded.fields)
        host.setFieldText(control, text);
    host.setFieldText("Edit33", loaded.weaponName);
    host.setFieldText("Edit49", std::to_string(outputEvery));
}

}  // namespace

ReportInput loadReportInput(const std::string& path)
{
    const BallisticInput freshProgram;  // the stored set of a program just started
    const auto loaded = report::loadReportFile(path, freshProgram);
    if (!loaded)
        throw InputError(path + ": Soubor nenačten (not a readable report with all 43 input values)");
    return {loaded->weaponName, loaded->input.grainType, report::fieldTextsFor(loaded->input, kSeparator)};
}

ReportRun runReportInput(const BatchOptions& options, std::ostream& memo)
{
    const ReportInput loaded = loadReportInput(options.inputPath);
    ReportRun run{loaded.weaponName, BallisticInput{}, {}};
    BatchHost host(memo, loaded.grainType, options.heatTransfer,
                   SummaryOptions{options.showGrains, options.showEnergy});
    fillFields(host, loaded, options.outputEvery);
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
        const ReportRun run = runReportInput(options, out);
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
