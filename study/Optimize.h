#pragma once
// The best design within limits: one output minimised or maximised over one to four bounded
// parameters, subject to constraints on outputs, by NLopt's COBYLA. Runs as a whole on the
// calling thread, as solve and fit do.
#include "study/Executor.h"
#include "study/Solve.h"
#include "study/Study.h"

#include <atomic>
#include <string>
#include <vector>

namespace kalvex::study {

struct OptimumConstraint {
    ConstraintCheck check;
    bool active = false;  // the optimum lies at the bound, within 1e-3 of it (at least of 1)
};

struct OptimizeResult {
    std::vector<double> values;  // the optimum, in the order of OptimizeSpec::parameters
    RunOutputs outputs;          // the run there
    std::vector<OptimumConstraint> constraints;
    std::size_t best = 0;        // the optimum's row in `history`
    std::vector<RowResult> history;  // every run of the search, in order
    std::string status;              // the optimiser's word on stopping
    int runs() const { return static_cast<int>(history.size()); }
};

// The run of the search with the best objective among those that reached the muzzle and meet
// every constraint within the tolerance. StudyError when no run does (naming the run nearest
// to meeting them and its outputs), or when cancelled.
OptimizeResult optimizeStudy(const Study& study, const std::atomic<bool>* cancel = nullptr);

// Whether a run of the search is feasible: it reached the muzzle and meets the constraints.
bool feasibleRun(const OptimizeSpec& spec, const RunOutputs& outputs);

}  // namespace kalvex::study
