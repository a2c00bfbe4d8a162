#pragma once
// What the optimiser and the two-target solve share: the bounded parameters mapped onto the
// unit cube NLopt works in (so a charge in kg and a web in mm take steps of the same size),
// every run of the search kept in order as a row, and NLopt's handle and callbacks.
#include "study/Executor.h"
#include "study/Parameters.h"
#include "study/Solve.h"
#include "study/Study.h"

#include <atomic>
#include <exception>
#include <map>
#include <memory>
#include <nlopt.h>
#include <string>
#include <vector>

namespace kalvex::study {

class BoxRuns {
public:
    // StudyError when a bounded parameter is unknown or not continuous.
    BoxRuns(const Study& study, std::vector<BoundedParameter> box, const std::atomic<bool>* cancel);

    std::size_t dimension() const { return box_.size(); }
    const std::vector<Parameter>& parameters() const { return parameters_; }

    // The parameter values, in their units, of a point of the unit cube, and back.
    std::vector<double> values(const double* unit) const;
    std::vector<double> unit(const std::vector<double>& values) const;

    // The run at a point of the unit cube; a point already run is not run again. A run that
    // fails is a row with its message, not an error. StudyError "cancelled" when cancelled.
    const RowResult& run(const double* unit);

    // Every run so far, in order; a row's `varied` are its parameter values.
    const std::vector<RowResult>& history() const { return history_; }

private:
    BallisticInput base_;
    IntegratorChoice integrator_;
    std::vector<BoundedParameter> box_;
    std::vector<Parameter> parameters_;
    const std::atomic<bool>* cancel_;
    std::unique_ptr<RunResults> buffer_;
    std::vector<RowResult> history_;
    std::map<std::vector<double>, std::size_t> done_;  // parameter values -> row of history_
};

// "C = 0.0029 kg, D = 0.81 mm"
std::string pointText(const std::vector<Parameter>& parameters, const std::vector<double>& values);
// "vMuzzle = 830 m/s"
std::string outputText(OutputId output, double value);

// Each constraint at a run: met when within `tolerance` x max(1, |bound|) of its bound;
// a failed run meets none.
std::vector<ConstraintCheck> checkConstraints(const std::vector<Constraint>& constraints, const RunOutputs& outputs,
                                              double tolerance);

// How far a run is from meeting the constraints: the largest violation, each relative to
// max(1, |bound|); 0 when all are met exactly, infinite for a failed run.
double constraintViolation(const std::vector<Constraint>& constraints, const RunOutputs& outputs);

using NloptHandle = std::unique_ptr<nlopt_opt_s, decltype(&nlopt_destroy)>;
NloptHandle makeNlopt(nlopt_algorithm algorithm, std::size_t dimension);

// Runs `work` inside an NLopt callback: an exception must not unwind through NLopt's C
// frames, so it is kept in `error`, the search is stopped, and `fallback` is returned.
template <class Work>
double guardedCallback(nlopt_opt opt, std::exception_ptr& error, double fallback, Work&& work)
{
    if (error)
        return fallback;
    try {
        return work();
    } catch (...) {
        error = std::current_exception();
        nlopt_force_stop(opt);
        return fallback;
    }
}

// NLopt's reason to stop, in words.
std::string nloptStatusText(nlopt_result result, int maxRuns);

}  // namespace kalvex::study
