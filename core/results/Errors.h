#pragma once
#include <stdexcept>
#include <string>

namespace kalvex {

// A field text that is not a number, a rule of the input set that does not hold,
// or a run that ended at a physical limit: the caller shows the message and ends the command.
class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kalvex
