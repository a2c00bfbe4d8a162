#pragma once
// One run of an input set reduced to the figures the validation compares.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "tools/verification/AgardComparison.h"

#include <string>

namespace kalvex::verification {

// Runs `input` through the Start sequence into `buffer`; std::runtime_error naming `what`
// when the input is refused or the run stops before the muzzle.
RunFigures runFiguresOf(const BallisticInput& input, RunResults& buffer, const std::string& what);

}  // namespace kalvex::verification
