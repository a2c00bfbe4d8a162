#pragma once
// Report files on disk: a save that never destroys an existing file when it fails, and a
// load that refuses what is not a plain file.

#include "core/BallisticInput.h"
#include "core/RunResults.h"
#include "report/Report.h"

#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace kalvex::report {

// A file that could not be written; the message names the file and the reason.
class ReportFileError : public std::runtime_error {
public:
    explicit ReportFileError(const std::string& message) : std::runtime_error(message) {}
};

// Writes the text produced by `write` to a temporary file in the folder of `path` and
// renames it over `path` only when everything was written and flushed to disk. An existing
// file keeps its permissions. Throws ReportFileError; then `path` is as it was before.
void saveTextFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

// As saveTextFileSafely, but the text goes to the temporary file as it is written, so a
// long table (a study of a million runs) never has to fit in memory. When `write` throws,
// the temporary file is removed and `path` is as it was.
void streamFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

// writeReport into `path` through saveTextFileSafely. Throws ReportFileError, or
// std::invalid_argument (before any file is touched) when outputEvery < 1.
void saveReportFile(const std::string& path, const std::string& weaponName,
                    const BallisticInput& input, const RunResults& completedRun, int outputEvery);

// readReport from the file at `path`; nothing when it is not a readable regular file or
// ends before its 43rd value.
std::optional<LoadedReport> loadReportFile(const std::string& path, const BallisticInput& current);

}  // namespace kalvex::report
