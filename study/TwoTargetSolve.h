#pragma once
// Two parameters that make two outputs hit their targets together (a solve with
// `parameters` and `targets`), within bounds on both. Runs as a whole on the calling thread.
#include "study/Executor.h"
#include "study/Solve.h"
#include "study/Study.h"

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace kalvex::study {

struct TwoTargetResult {
    std::array<double, 2> values{};  // in the order of TwoTargetSpec::parameters
    RunOutputs outputs;              // the run there
    std::vector<ConstraintCheck> constraints;
    std::vector<RowResult> history;  // every run of the search, in order
    int runs() const { return static_cast<int>(history.size()); }
};

// The accepted miss of a target: its tolerance, or 1e-6 of the target (at least of 1).
double targetTolerance(const OutputTarget& target);

// Minimises the sum of the squared misses, each in units of its tolerance, with NLopt's
// BOBYQA within the bounds, and stops as soon as both targets are within their tolerances.
// StudyError when the targets cannot be met together within the bounds (naming the nearest
// point found and its outputs), or when cancelled.
TwoTargetResult solveTwoTargets(const Study& study, const std::atomic<bool>* cancel = nullptr);

}  // namespace kalvex::study
