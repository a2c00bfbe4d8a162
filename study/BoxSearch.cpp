#include "study/BoxSearch.h"

#include "report/SeriesCsv.h"
#include "study/StudyError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalvex::study {

BoxRuns::BoxRuns(const Study& study, std::vector<BoundedParameter> box, const std::atomic<bool>* cancel)
    : base_(baseInput(study)), integrator_(study.integrator), box_(std::move(box)), cancel_(cancel),
      buffer_(std::make_unique_for_overwrite<RunResults>())
{
    for (const BoundedParameter& p : box_)
        parameters_.push_back(findParameter(p.parameter));
}

std::vector<double> BoxRuns::values(const double* unit) const
{
    std::vector<double> v(box_.size());
    for (std::size_t k = 0; k < v.size(); ++k) {
        // NLopt keeps to the bounds; the clamp guards the last bit of the mapping.
        const double u = std::clamp(unit[k], 0.0, 1.0);
        v[k] = u == 1.0 ? box_[k].upper : box_[k].lower + u * (box_[k].upper - box_[k].lower);
    }
    return v;
}

std::vector<double> BoxRuns::unit(const std::vector<double>& values) const
{
    std::vector<double> u(box_.size());
    for (std::size_t k = 0; k < u.size(); ++k)
        u[k] = (values[k] - box_[k].lower) / (box_[k].upper - box_[k].lower);
    return u;
}

const RowResult& BoxRuns::run(const double* unit)
{
    std::vector<double> v = values(unit);
    if (const auto it = done_.find(v); it != done_.end())
        return history_[it->second];
    if (cancel_ && cancel_->load())
        throw StudyError("cancelled");
    BallisticInput input = base_;
    for (std::size_t k = 0; k < v.size(); ++k)
        setParameterValue(input, parameters_[k], v[k]);
    RowResult row{history_.size(), v, runForOutputs(input, *buffer_, integrator_)};
    done_.emplace(std::move(v), history_.size());
    history_.push_back(std::move(row));
    return history_.back();
}

namespace {

std::string withUnit(double value, std::string_view unit)
{
    std::string text = report::csvNumber(value);
    if (unit != "-")
        text.append(" ").append(unit);
    return text;
}

// A bound's scale: violations are compared relative to it, and to 1 near zero.
double boundScale(double bound)
{
    return std::max(1.0, std::fabs(bound));
}

}  // namespace

std::string pointText(const std::vector<Parameter>& parameters, const std::vector<double>& values)
{
    std::string text;
    for (std::size_t k = 0; k < parameters.size(); ++k)
        text += (k ? ", " : "") + std::string(parameters[k].name) + " = " + withUnit(values[k], parameters[k].unit);
    return text;
}

std::string outputText(OutputId output, double value)
{
    const OutputInfo& info = outputInfo(output);
    return std::string(info.name) + " = " + withUnit(value, info.unit);
}

std::vector<ConstraintCheck> checkConstraints(const std::vector<Constraint>& constraints, const RunOutputs& outputs,
                                              double tolerance)
{
    std::vector<ConstraintCheck> checks;
    for (const Constraint& c : constraints) {
        const double value = outputs[findOutput(c.output)];
        const bool ok = outputs.reachedMuzzle() && (!c.min || value >= *c.min - tolerance * boundScale(*c.min)) &&
                        (!c.max || value <= *c.max + tolerance * boundScale(*c.max));
        checks.push_back({c, value, ok});
    }
    return checks;
}

double constraintViolation(const std::vector<Constraint>& constraints, const RunOutputs& outputs)
{
    if (!outputs.reachedMuzzle())
        return std::numeric_limits<double>::infinity();
    double worst = 0;
    for (const Constraint& c : constraints) {
        const double value = outputs[findOutput(c.output)];
        if (c.min)
            worst = std::max(worst, (*c.min - value) / boundScale(*c.min));
        if (c.max)
            worst = std::max(worst, (value - *c.max) / boundScale(*c.max));
    }
    return worst;
}

NloptHandle makeNlopt(nlopt_algorithm algorithm, std::size_t dimension)
{
    NloptHandle opt(nlopt_create(algorithm, static_cast<unsigned>(dimension)), nlopt_destroy);
    if (!opt)
        throw StudyError("the optimiser could not be set up");
    return opt;
}

std::string nloptStatusText(nlopt_result result, int maxRuns)
{
    switch (result) {
    case NLOPT_SUCCESS:
    case NLOPT_XTOL_REACHED: return "converged (the last step was below the step tolerance)";
    case NLOPT_FTOL_REACHED: return "converged (the objective stopped changing)";
    case NLOPT_STOPVAL_REACHED: return "converged (every target within its tolerance)";
    case NLOPT_MAXEVAL_REACHED: return "stopped after " + std::to_string(maxRuns) + " runs (maxRuns)";
    case NLOPT_ROUNDOFF_LIMITED: return "stopped: round-off limits further progress";
    default: return "stopped (NLopt status " + std::to_string(static_cast<int>(result)) + ")";
    }
}

}  // namespace kalvex::study
