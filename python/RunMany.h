#pragma once
// Many independent runs in parallel, each to its outputs, in the order given.
#include "core/BallisticInput.h"
#include "study/Outputs.h"

#include <functional>
#include <vector>

namespace kalvex::python {

// Runs every input on up to `threads` threads (0: every core), each thread with its own
// result buffer. A run that is refused or stops is a row with its message. `keepGoing` is
// asked on the calling thread after each run it did itself; once it says no, no further run
// starts and the rows not run have no outputs.
std::vector<study::RunOutputs> runMany(const std::vector<BallisticInput>& inputs, int threads,
                                       const std::function<bool()>& keepGoing = {});

}  // namespace kalvex::python
