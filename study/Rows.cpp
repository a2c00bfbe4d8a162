#include "study/Rows.h"

#include "core/propellant/PropellantValues.h"
#include "study/StudyError.h"

#include <boost/random/mersenne_twister.hpp>
#include <boost/random/normal_distribution.hpp>
#include <boost/random/uniform_real_distribution.hpp>
#include <algorithm>
#include <cmath>

namespace kalvex::study {

std::size_t axisSize(const SweepAxis& axis)
{
    const std::string key = "sweep (" + axis.parameter + ")";
    if (!axis.propellants.empty())
        return axis.propellants.size();
    if (!axis.values.empty())
        return axis.values.size();
    if (axis.count <= 0)
        throw StudyError(key + ": the range is empty; give \"values\" or a positive \"count\"");
    if (!std::isfinite(axis.from) || !std::isfinite(axis.to))
        throw StudyError(key + ": the ends of the range must be finite numbers");
    if (axis.logarithmic && !(axis.from > 0 && axis.to > 0))
        throw StudyError(key + ": a logarithmic range needs positive ends");
    return static_cast<std::size_t>(axis.count);
}

double axisValue(const SweepAxis& axis, std::size_t k)
{
    if (!axis.propellants.empty())
        return static_cast<double>(k + 1);
    if (!axis.values.empty())
        return axis.values[k];
    const int n = axis.count;
    const int i = static_cast<int>(k);
    if (n == 1)
        return axis.from;
    if (i == n - 1)
        return axis.to;
    const double share = static_cast<double>(i) / (n - 1);
    if (axis.logarithmic) {
        const double ratio = axis.to / axis.from;
        if (std::isfinite(ratio) && ratio > 0)
            return axis.from * std::pow(ratio, share);
        // Ends so far apart that their ratio overflows: the same spacing through the logarithms.
        return std::exp(std::log(axis.from) + (std::log(axis.to) - std::log(axis.from)) * share);
    }
    const double span = axis.to - axis.from;
    if (std::isfinite(span))
        return axis.from + span * i / (n - 1);
    // Ends of opposite signs near the largest double: their difference overflows, while each
    // end's share of the value does not.
    return axis.from * (1 - share) + axis.to * share;
}

std::vector<double> axisValues(const SweepAxis& axis)
{
    std::vector<double> values(axisSize(axis));
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = axisValue(axis, k);
    return values;
}

std::pair<std::size_t, std::size_t> shardRows(std::size_t rows, std::size_t index, std::size_t count)
{
    // floor(k R / N) without forming k R: k = q N + r gives q R + floor(r R / N).
    const auto bound = [&](std::size_t k) { return k / count * rows + k % count * rows / count; };
    return {bound(index - 1), bound(index)};
}

namespace {

// SplitMix64: spreads (seed, row) over the whole seed space, so neighbouring rows and
// neighbouring seeds give unrelated streams.
std::uint64_t mix(std::uint64_t z)
{
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Appends the seven propellant values that are not varied already, so that every row says
// which propellant values its run used, whatever library the machine that ran it had.
void recordPropellantValues(std::vector<Parameter>& varied)
{
    for (const PropellantValue& value : kPropellantValues) {
        const bool already = std::any_of(varied.begin(), varied.end(),
                                         [&](const Parameter& p) { return p.name == value.name; });
        if (!already)
            varied.push_back(findParameter(value.name));
    }
}

bool variesChargeTemperature(const std::vector<Parameter>& varied)
{
    return std::any_of(varied.begin(), varied.end(),
                       [](const Parameter& p) { return p.kind == ParameterKind::chargeTemperature; });
}

// Appends fFT and fbetaT, so that every row of a study over the charge temperature says which
// factors its temperature gave (a study never varies them beside the temperature).
void recordTemperatureFactors(std::vector<Parameter>& varied)
{
    varied.push_back(findParameter("fFT"));
    varied.push_back(findParameter("fbetaT"));
}

}  // namespace

RowSet::RowSet(const Study& study) : kind_(study.kind), base_(baseInput(study)), integrator_(study.integrator)
{
    validateStudy(study);
    if (kind_ == StudyKind::sweep) {
        size_ = 1;
        for (const SweepAxis& axis : study.sweep) {
            varied_.push_back(axis.propellants.empty() ? findParameter(axis.parameter) : kPropellantAxis);
            propellants_.push_back(axis.propellants);
            axes_.push_back(axis);
            axisSizes_.push_back(axisSize(axis));
            size_ *= axisSizes_.back();
        }
    } else if (kind_ == StudyKind::tolerance) {
        tolerances_ = study.tolerance.parameters;
        for (const ToleranceParameter& p : tolerances_) {
            varied_.push_back(findParameter(p.parameter));
            nominal_.push_back(parameterValue(base_, varied_.back()));
        }
        seed_ = study.tolerance.seed;
        size_ = static_cast<std::size_t>(study.tolerance.samples);
    } else if (kind_ == StudyKind::sensitivity) {
        const SensitivitySpec& spec = study.sensitivity;
        for (const ToleranceParameter& p : spec.draws.parameters) {
            varied_.push_back(findParameter(p.parameter));
            nominal_.push_back(parameterValue(base_, varied_.back()));
        }
        design_.emplace(spec.draws.parameters, static_cast<std::size_t>(spec.draws.samples));
        size_ = design_->size();
    } else {
        throw StudyError(std::string("a ") + studyKindName(kind_) + " study has no rows to run in parallel");
    }
    set_ = varied_.size();
    if (usesPropellants(study))
        recordPropellantValues(varied_);
    if (variesChargeTemperature(varied_))
        recordTemperatureFactors(varied_);
}

RowSet::RowSet(std::vector<BallisticInput> inputs, const IntegratorChoice& integrator)
    : listed_(std::move(inputs)), size_(listed_.size()), integrator_(integrator)
{
}

void RowSet::row(std::size_t i, BallisticInput& input, std::vector<double>& values) const
{
    if (!listed_.empty()) {
        input = listed_[i];
        values.clear();
        return;
    }
    input = base_;
    values.resize(varied_.size());
    if (kind_ == StudyKind::sweep) {
        // The last axis runs fastest: row i = (i0, i1) with i = i0 * n1 + i1.
        std::size_t rest = i;
        for (std::size_t a = axes_.size(); a-- > 0;) {
            values[a] = axisValue(axes_[a], rest % axisSizes_[a]);
            rest /= axisSizes_[a];
        }
        for (std::size_t p = 0; p < set_; ++p) {
            if (propellants_[p].empty())
                setParameterValue(input, varied_[p], values[p]);
            else
                applyPropellant(propellants_[p][static_cast<std::size_t>(values[p]) - 1], input);
        }
        recordValues(input, values);
        return;
    }
    std::vector<double> deviations(nominal_.size());
    if (design_) {
        design_->deviations(i, deviations);
    } else {
        boost::random::mt19937_64 stream(mix(mix(seed_) ^ static_cast<std::uint64_t>(i)));
        for (std::size_t p = 0; p < tolerances_.size(); ++p) {
            const double spread = tolerances_[p].spread;
            // a uniform range of zero width draws nothing (Boost needs min < max)
            if (tolerances_[p].distribution == Distribution::normal)
                deviations[p] = boost::random::normal_distribution<double>(0, spread)(stream);
            else if (spread > 0)
                deviations[p] = boost::random::uniform_real_distribution<double>(-spread, spread)(stream);
        }
    }
    applyDeviations(deviations, input, values);
    recordValues(input, values);
}

void RowSet::applyDeviations(const std::vector<double>& deviations, BallisticInput& input,
                             std::vector<double>& values) const
{
    for (std::size_t p = 0; p < deviations.size(); ++p) {
        values[p] = nominal_[p] + deviations[p];
        if (!varied_[p].field) {  // the charge temperature sets its two factors
            setParameterValue(input, varied_[p], values[p]);
            continue;
        }
        // The deviation is added to the stored value, so a zero spread leaves the base's bits.
        double& stored = input.*(varied_[p].field->quantity);
        stored += deviations[p] * varied_[p].field->toStored;
    }
}

void RowSet::recordValues(const BallisticInput& input, std::vector<double>& values) const
{
    for (std::size_t p = set_; p < varied_.size(); ++p)
        values[p] = parameterValue(input, varied_[p]);
}

}  // namespace kalvex::study
