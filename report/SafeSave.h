#pragma once
// Saving a file so that a failure never harms what was there: every writer of the program
// (report, tables, pictures, libraries) saves through these two functions.

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

// Saves `bytes` to `path`. A symbolic link is followed and its target saved. A regular
// file (or a new one) is written to a temporary file in the same folder and renamed over
// the target only when everything was written and flushed to disk; an existing file keeps
// its permissions. Anything else at the target (a device such as /dev/null, a named pipe)
// is written in place and never replaced. Throws SaveError; a regular target is then as it
// was before.
void saveBytesSafely(const std::string& path, std::string_view bytes);

// saveBytesSafely with the text that `write` puts on a stream.
void saveFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace kalvex::report
