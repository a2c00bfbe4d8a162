#pragma once

// The fixed-step run of a mixed charge: RK4 on the state with every component's burned
// fraction and thickness, one run at a time.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"

#include <atomic>

namespace kalvex {

// Integrates a validated input set whose charge has several components, from ignition to
// the muzzle, as runSolver does a charge of one: the same steps, records and end tests, with
// the burned fraction of each component in results.componentBurnedFraction.
RunEnd runChargeSolver(const BallisticInput& input, RunResults& results, const std::atomic<bool>* stop = nullptr);

}  // namespace kalvex
