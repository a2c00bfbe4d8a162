#pragma once
// Many independent runs in parallel, each to its outputs, in the order given.
#include "core/BallisticInput.h"
#include "study/Outputs.h"

#include <vector>

namespace kalvex::python {

// Runs every input on up to `threads` threads (0: every core), each thread with its own
// result buffer. A run that is refused or stops is a row with its message.
std::vector<study::RunOutputs> runMany(const std::vector<BallisticInput>& inputs, int threads);

}  // namespace kalvex::python
