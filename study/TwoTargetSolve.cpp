#include "study/TwoTargetSolve.h"

#include "study/BoxSearch.h"
#include "study/StudyError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalvex::study {

namespace {

constexpr double kInitialStep = 0.25;       // the first steps, as a share of each range
constexpr double kStagnantStep = 1e-10;     // a step this small in the unit square: no progress left
constexpr double kFailedRunPenalty = 4.0;   // a failed run counts as this many times the worst miss

// BOBYQA, not GSL's multiroot: it keeps every run inside the bounds (a multiroot step would
// have to be clamped, and then its Newton model no longer holds), and its quadratic model
// suits a sum of squares that is zero at the answer. The misses are in units of their
// tolerances, so that the sum is below 1 only when both targets are met.
struct Search {
    const TwoTargetSpec& spec;
    BoxRuns runs;
    std::array<OutputId, 2> outputs;
    std::array<double, 2> tolerances;
    double worst = 1;  // the largest sum of a run that reached the muzzle
    nlopt_opt opt = nullptr;
    std::exception_ptr error;

    double misses(const RunOutputs& out) const
    {
        double sum = 0;
        for (std::size_t i = 0; i < 2; ++i)
            sum += std::pow((out[outputs[i]] - spec.targets[i].target) / tolerances[i], 2);
        return sum;
    }

    double objectiveAt(const double* u)
    {
        const RunOutputs& out = runs.run(u).outputs;
        if (!out.reachedMuzzle())
            return kFailedRunPenalty * worst;
        const double sum = misses(out);
        worst = std::max(worst, sum);
        return sum;
    }
};

double objective(unsigned, const double* u, double*, void* data)
{
    auto& search = *static_cast<Search*>(data);
    return guardedCallback(search.opt, search.error, 0.0, [&] { return search.objectiveAt(u); });
}

bool met(const Search& search, const RunOutputs& out)
{
    if (!out.reachedMuzzle())
        return false;
    for (std::size_t i = 0; i < 2; ++i)
        if (!(std::fabs(out[search.outputs[i]] - search.spec.targets[i].target) <= search.tolerances[i]))
            return false;
    return true;
}

}  // namespace

double targetTolerance(const OutputTarget& target)
{
    return target.tolerance > 0 ? target.tolerance : 1e-6 * std::max(1.0, std::fabs(target.target));
}

TwoTargetResult solveTwoTargets(const Study& study, const std::atomic<bool>* cancel)
{
    validateStudy(study);
    if (!study.solve.pair)
        throw StudyError("solve: give two parameters and two targets to solve them together");
    const TwoTargetSpec& spec = *study.solve.pair;
    Search search{spec, BoxRuns(study, {spec.parameters.begin(), spec.parameters.end()}, cancel),
                  {findOutput(spec.targets[0].output), findOutput(spec.targets[1].output)},
                  {targetTolerance(spec.targets[0]), targetTolerance(spec.targets[1])}, 1.0, nullptr, nullptr};
    const NloptHandle opt = makeNlopt(NLOPT_LN_BOBYQA, 2);
    search.opt = opt.get();

    std::vector<double> u(2, 0.5), lower(2, 0.0), upper(2, 1.0), step(2, kInitialStep);
    nlopt_set_lower_bounds(opt.get(), lower.data());
    nlopt_set_upper_bounds(opt.get(), upper.data());
    nlopt_set_initial_step(opt.get(), step.data());
    nlopt_set_xtol_abs1(opt.get(), kStagnantStep);
    nlopt_set_stopval(opt.get(), 0.5);  // both misses within their tolerances, with room
    nlopt_set_maxeval(opt.get(), spec.maxRuns);
    nlopt_set_min_objective(opt.get(), objective, &search);
    double reached = 0;
    const nlopt_result status = nlopt_optimize(opt.get(), u.data(), &reached);
    if (search.error)
        std::rethrow_exception(search.error);
    if (status < 0 && status != NLOPT_ROUNDOFF_LIMITED)
        throw StudyError("solve: the optimiser failed (NLopt status " + std::to_string(static_cast<int>(status)) + ")");

    // The answer is the run nearest the targets, whatever point BOBYQA last stood on.
    const std::vector<RowResult>& history = search.runs.history();
    std::size_t nearest = 0;
    double least = std::numeric_limits<double>::infinity();
    for (const RowResult& row : history) {
        const double sum = row.outputs.reachedMuzzle() ? search.misses(row.outputs) : least;
        if (sum < least) {
            least = sum;
            nearest = row.index;
        }
    }
    if (!std::isfinite(least))
        throw StudyError("solve: no run within the bounds reached the muzzle");
    const RowResult& best = history[nearest];
    if (!met(search, best.outputs)) {
        std::string message = "solve: the targets " + outputText(search.outputs[0], spec.targets[0].target) + " and " +
                              outputText(search.outputs[1], spec.targets[1].target) +
                              " cannot be met together within the bounds (" + std::to_string(history.size()) +
                              " runs); the nearest point found, " + pointText(search.runs.parameters(), best.varied) +
                              ", gives " + outputText(search.outputs[0], best.outputs[search.outputs[0]]) + " and " +
                              outputText(search.outputs[1], best.outputs[search.outputs[1]]);
        throw StudyError(message);
    }
    TwoTargetResult result;
    result.values = {best.varied[0], best.varied[1]};
    result.outputs = best.outputs;
    result.constraints = checkConstraints(study.solve.constraints, best.outputs, 0.0);
    result.history = history;
    return result;
}

}  // namespace kalvex::study
