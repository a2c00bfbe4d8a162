#pragma once
// One run of kalvex-batch: load the input values of a report, run Start, print the summary,
// write the new report.

#include "batch/BatchOptions.h"

#include <ostream>

namespace kalvex::batch {

// Returns the exit status: 0 when the run reached the muzzle (and the report, if asked for,
// was written), 1 after a failure, whose message then stands in `err`.
int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

// The whole program: arguments after the program name in, exit status out.
int batchMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kalvex::batch
