#include "study/Optimize.h"

#include "study/BoxSearch.h"
#include "study/StudyError.h"

#include <cmath>
#include <limits>

namespace kalvex::study {

namespace {

// A constraint is active when the optimum lies this close to its bound, relative to the bound.
constexpr double kActiveShare = 1e-3;
// The first steps of the search, as a share of each parameter's range.
constexpr double kInitialStep = 0.25;

// COBYLA, not an augmented Lagrangian around it: it takes the constraints as they are, with
// linear models built from the same runs as the objective's, so each run serves all of them.
// An augmented Lagrangian would solve a whole unconstrained search per penalty update, many
// more runs of the model for 1 to 4 parameters. COBYLA needs no derivatives, which the model
// (an integration whose step count jumps with the inputs) gives only by costly differences.
struct Search {
    const OptimizeSpec& spec;
    BoxRuns runs;
    OutputId objective;
    std::vector<OutputId> constrained;
    double sign;   // +1 to minimise, -1 to maximise: NLopt minimises sign * output / scale
    double scale = 1;
    double worst = 0;  // the worst scaled objective of a run that reached the muzzle
    nlopt_opt opt = nullptr;
    std::exception_ptr error;

    double objectiveAt(const double* u)
    {
        const RunOutputs& out = runs.run(u).outputs;
        if (!out.reachedMuzzle())
            return worst;  // infeasible: the completion constraint keeps the search away
        const double f = sign * out[objective] / scale;
        worst = std::max(worst, f);
        return f;
    }
};

double objective(unsigned, const double* u, double*, void* data)
{
    auto& search = *static_cast<Search*>(data);
    return guardedCallback(search.opt, search.error, 0.0, [&] { return search.objectiveAt(u); });
}

// A run that stops before the muzzle counts as infeasible, not as an error: this constraint
// is violated there and met everywhere else.
double completion(unsigned, const double* u, double*, void* data)
{
    auto& search = *static_cast<Search*>(data);
    return guardedCallback(search.opt, search.error, 1.0,
                           [&] { return search.runs.run(u).outputs.reachedMuzzle() ? -1.0 : 1.0; });
}

struct Bound {
    Search* search;
    OutputId output;
    double bound;
    bool upper;
};

// The constraint relative to its bound: (value - max) / max(1, |max|) <= 0, or the same for a
// minimum; a failed run violates it by 1.
double bounded(unsigned, const double* u, double*, void* data)
{
    const auto& b = *static_cast<Bound*>(data);
    return guardedCallback(b.search->opt, b.search->error, 1.0, [&] {
        const RunOutputs& out = b.search->runs.run(u).outputs;
        if (!out.reachedMuzzle())
            return 1.0;
        const double excess = b.upper ? out[b.output] - b.bound : b.bound - out[b.output];
        return excess / std::max(1.0, std::fabs(b.bound));
    });
}

// The scale of the objective: its size at the start, so that COBYLA's merit function weighs
// it against the relative constraint violations.
double objectiveScale(Search& search, const std::vector<double>& start)
{
    const RunOutputs& out = search.runs.run(start.data()).outputs;
    const double value = out.reachedMuzzle() ? std::fabs(out[search.objective]) : 0.0;
    return value > 0 && std::isfinite(value) ? value : 1.0;
}

}  // namespace

bool feasibleRun(const OptimizeSpec& spec, const RunOutputs& outputs)
{
    if (!outputs.reachedMuzzle())
        return false;
    for (const ConstraintCheck& c : checkConstraints(spec.constraints, outputs, spec.constraintTolerance))
        if (!c.satisfied)
            return false;
    return true;
}

OptimizeResult optimizeStudy(const Study& study, const std::atomic<bool>* cancel)
{
    validateStudy(study);
    const OptimizeSpec& spec = study.optimize;
    Search search{spec, BoxRuns(study, spec.parameters, cancel), findOutput(spec.output), {},
                  spec.goal == Goal::minimize ? 1.0 : -1.0, 1.0, 0.0, nullptr, nullptr};
    const std::size_t n = spec.parameters.size();
    const NloptHandle opt = makeNlopt(NLOPT_LN_COBYLA, n);
    search.opt = opt.get();

    // The search starts at the middle of the box.
    std::vector<double> u(n, 0.5);
    search.scale = objectiveScale(search, u);
    if (const RunOutputs& first = search.runs.history().front().outputs; first.reachedMuzzle())
        search.worst = search.sign * first[search.objective] / search.scale;
    else
        search.worst = 1.0;

    std::vector<double> lower(n, 0.0), upper(n, 1.0), step(n, kInitialStep);
    nlopt_set_lower_bounds(opt.get(), lower.data());
    nlopt_set_upper_bounds(opt.get(), upper.data());
    nlopt_set_initial_step(opt.get(), step.data());
    nlopt_set_xtol_abs1(opt.get(), spec.stepTolerance);
    nlopt_set_maxeval(opt.get(), spec.maxRuns);
    nlopt_set_min_objective(opt.get(), objective, &search);
    nlopt_add_inequality_constraint(opt.get(), completion, &search, 0.0);
    std::vector<Bound> bounds;
    bounds.reserve(2 * spec.constraints.size());
    for (const Constraint& c : spec.constraints) {
        if (c.max)
            bounds.push_back({&search, findOutput(c.output), *c.max, true});
        if (c.min)
            bounds.push_back({&search, findOutput(c.output), *c.min, false});
    }
    for (Bound& b : bounds)
        nlopt_add_inequality_constraint(opt.get(), bounded, &b, spec.constraintTolerance);

    double reached = 0;
    const nlopt_result status = nlopt_optimize(opt.get(), u.data(), &reached);
    if (search.error)
        std::rethrow_exception(search.error);
    if (status < 0 && status != NLOPT_ROUNDOFF_LIMITED)
        throw StudyError("optimize: the optimiser failed (NLopt status " + std::to_string(static_cast<int>(status)) + ")");

    // The answer is the best feasible run, whatever point COBYLA last stood on.
    const std::vector<RowResult>& history = search.runs.history();
    std::optional<std::size_t> best;
    std::size_t nearest = 0;
    double nearestViolation = std::numeric_limits<double>::infinity();
    for (const RowResult& row : history) {
        if (feasibleRun(spec, row.outputs)) {
            const double f = search.sign * row.outputs[search.objective];
            if (!best || f < search.sign * history[*best].outputs[search.objective])
                best = row.index;
        }
        const double violation = constraintViolation(spec.constraints, row.outputs);
        if (violation < nearestViolation) {
            nearestViolation = violation;
            nearest = row.index;
        }
    }
    if (!best) {
        std::string message = "optimize: no run within the bounds meets the constraints after " +
                              std::to_string(history.size()) + " runs";
        if (std::isfinite(nearestViolation)) {
            const RowResult& row = history[nearest];
            message += "; the nearest: " + pointText(search.runs.parameters(), row.varied) + " gives";
            for (std::size_t k = 0; k < spec.constraints.size(); ++k)
                message += (k ? ", " : " ") +
                           outputText(findOutput(spec.constraints[k].output), row.outputs[findOutput(spec.constraints[k].output)]);
        }
        throw StudyError(message);
    }

    OptimizeResult result;
    result.best = *best;
    result.values = history[*best].varied;
    result.outputs = history[*best].outputs;
    const auto atBound = [](double value, std::optional<double> bound) {
        return bound && std::fabs(value - *bound) <= kActiveShare * std::max(1.0, std::fabs(*bound));
    };
    for (const ConstraintCheck& c : checkConstraints(spec.constraints, result.outputs, spec.constraintTolerance))
        result.constraints.push_back({c, atBound(c.value, c.constraint.min) || atBound(c.value, c.constraint.max)});
    result.history = history;
    result.status = nloptStatusText(status, spec.maxRuns);
    return result;
}

}  // namespace kalvex::study
