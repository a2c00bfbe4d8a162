#pragma once
// Report files on disk: a save that never destroys an existing file when it fails, and a
// load that refuses what is not a plain file.

#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "report/Report.h"
#include "report/SafeSave.h"

#include <optional>
#include <string>

namespace kalvex::report {

// writeReport into `path` through saveFileSafely. Throws SaveError, or
// std::invalid_argument (before any file is touched) when outputEvery < 1.
void saveReportFile(const std::string& path, const std::string& weaponName,
                    const BallisticInput& input, const RunResults& completedRun, int outputEvery,
                    const std::vector<std::string>& linesAfterTable = {});

// readReport from the file at `path`; nothing when it is not a readable regular file or
// ends before its 43rd value.
std::optional<LoadedReport> loadReportFile(const std::string& path, const BallisticInput& current);

// A report's input values for a program that has no earlier values to keep (kalvex-batch, a
// study's base, a script): nothing when the file is no complete report, and InputError
// "PATH:LINE: 'TEXT' is not a valid floating point value" for the first value that cannot be
// read, rather than a default run in its place; "PATH:LINE: MESSAGE" likewise when the block
// of an extended input set cannot be read.
std::optional<LoadedReport> loadReportForRun(const std::string& path);

// InputError "PATH:LINE: MESSAGE" when the block of an extended input set after the report's
// table cannot be read: its 43 values alone are not the input set the file describes, so a
// program refuses the file rather than run or show a part of it.
void refuseDamagedBlock(const std::string& path, const LoadedReport& loaded);

}  // namespace kalvex::report
