#pragma once
// One run of kalvex-batch: load the input values of a report, run Start, print the summary,
// write the new report.

#include "batch/BatchOptions.h"
#include "core/input/BallisticInput.h"
#include "core/input/StartCommand.h"
#include "report/Report.h"

#include <ostream>
#include <string>

namespace kalvex::batch {

// The input values of a report as kalvex-batch reads them, before they pass through the
// fields (asShownInFields). Throws InputError with the message to show when the file is no
// complete report or holds a value that cannot be read.
report::LoadedReport loadReportInput(const std::string& path);

// A report's input values after the Start command ran them.
struct ReportRun {
    std::string weaponName;  // UTF-8
    BallisticInput input;    // the stored set, with the step the run finally used
    RunStore runs;           // runs.completed is the run that reached the muzzle
};

// Loads the input values of a report as Load does and runs the Start command on them
// (restarts included), writing what Memo1 would receive to `memo`. With a propellant named,
// its seven values replace the report's and a line naming it and its source comes first;
// malformed rows of the library are warned about on `err`. Throws InputError with the
// message to show when the file is no complete report, the propellant is not in the library
// or the run stops early.
ReportRun runReportInput(const BatchOptions& options, std::ostream& memo, std::ostream& err);
// The same with the library's warnings on standard error.
ReportRun runReportInput(const BatchOptions& options, std::ostream& memo);

// Writes the run's whole input set as a JSON input file; InputError when it cannot.
void saveInputFile(const std::string& path, const ReportRun& run);

// Returns the exit status: 0 when the run reached the muzzle (and the report, if asked for,
// was written), 1 after a failure, whose message then stands in `err`.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

// The whole program: arguments after the program name in, exit status out.
int batchMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kalvex::batch
