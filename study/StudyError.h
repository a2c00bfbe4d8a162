#pragma once
#include <stdexcept>
#include <string>

namespace kalvex::study {

// A study that cannot be run as described: the message names the key, the parameter or the
// file at fault. The command line prints it and exits with status 1.
class StudyError : public std::runtime_error {
public:
    explicit StudyError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kalvex::study
