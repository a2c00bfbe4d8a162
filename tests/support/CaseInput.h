#pragma once
// Input sets of the reference cases and rule messages, shared by the test programs.
#include "FakeHost.h"

#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"

#include <string>

namespace kalvex::test {

// The input set of a reference case, read and validated as the Start command does.
inline BallisticInput inputFromCase(const std::string& name)
{
    const FakeHost host = loadCase(name);
    BallisticInput in;
    readBallisticInput(host, host.grain, host.heat, '.', in);
    validateBallisticInput(in);
    return in;
}

// The message of the first rule that fails, or "" when all hold.
inline std::string validationMessage(const BallisticInput& in)
{
    try {
        validateBallisticInput(in);
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

}  // namespace kalvex::test
