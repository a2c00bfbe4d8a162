#pragma once
// Saving a file so that a failure never harms what was there: every writer of the program
// (report, tables, studies, pictures) saves through these functions.

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvex::report {

// A file that could not be saved; the message names the file and the reason.
class SaveError : public std::runtime_error {
public:
    explicit SaveError(const std::string& message) : std::runtime_error(message) {}
};

// Saves what `write` puts on the stream to `path`, as it is written, so a long table (a
// study of a million runs) never has to fit in memory. A symbolic link is followed and its
// target saved. A regular file (or a new one) is written to a temporary file in the same
// folder (an unnamed one where the file system allows, so that a killed process leaves
// nothing) and renamed over the target only when everything was written and flushed to disk;
// an existing file keeps its permissions. Anything else at the target (a device such as
// /dev/null, a named pipe) is written in place and never replaced; a pipe without a reader
// fails at once. Throws SaveError; when `write` throws, its exception passes through. In
// both cases a regular target is as it was before.
void streamFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

// Writes a result that may stop short (a study stopped by Ctrl+C): `write` returns whether
// what it wrote is whole. A whole result is saved as streamFileSafely saves it; one that
// stopped short goes to `path` + ".partial" instead, so that a file at `path` always holds
// a whole result and an earlier one is never replaced by part of a new one; a whole result
// removes the ".partial" an earlier stopped run left. A device or a pipe is written in place
// either way. Returns what `write` returned.
inline constexpr std::string_view kPartialSuffix = ".partial";
using ResultWriter = std::function<bool(std::ostream&)>;
bool streamResultSafely(const std::string& path, const ResultWriter& write);

// streamFileSafely with bytes already in memory (an encoded picture).
void saveBytesSafely(const std::string& path, std::string_view bytes);

// streamFileSafely with the whole text produced first, so that a writer that refuses its
// input touches no file at all.
void saveFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace kalvex::report
