#pragma once
// Reading a whole file that a user names, which may be a pipe or standard input: within a
// size bound, stopping when asked (Ctrl+C, SIGTERM), and refusing what cannot be a file of
// text (a device such as /dev/zero, a folder). A named pipe is waited on until its writer
// comes or the reading is stopped.
#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace kalvex::report {

// The file could not be read whole; the message names the file and the reason.
class ReadError : public std::runtime_error {
public:
    explicit ReadError(const std::string& message) : std::runtime_error(message) {}
};

// The bytes of `path`, at most `maxBytes` of them. ReadError when it does not exist, is a
// device or a folder, is larger, or `cancel` becomes true while waiting for it.
std::string readWholeFile(const std::string& path, std::size_t maxBytes, const std::atomic<bool>* cancel);

}  // namespace kalvex::report
