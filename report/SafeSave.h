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
// folder and renamed over the target only when everything was written and flushed to disk;
// an existing file keeps its permissions. Anything else at the target (a device such as
// /dev/null, a named pipe) is written in place and never replaced; a pipe without a reader
// fails at once. Throws SaveError; when `write` throws, its exception passes through. In
// both cases a regular target is as it was before.
void streamFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

// streamFileSafely with bytes already in memory (an encoded picture).
void saveBytesSafely(const std::string& path, std::string_view bytes);

// streamFileSafely with the whole text produced first, so that a writer that refuses its
// input touches no file at all.
void saveFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace kalvex::report
