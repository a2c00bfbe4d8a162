#include "study/SobolIndices.h"

#include "study/SaltelliDesign.h"
#include "study/StudyError.h"
#include "study/ToleranceStats.h"

#include <algorithm>
#include <boost/random/mersenne_twister.hpp>
#include <boost/random/uniform_int_distribution.hpp>
#include <cmath>
#include <limits>
#include <numeric>

namespace kalvex::study {

namespace {

struct Moments {
    double mean = 0, variance = 0;
};

Moments momentsOf(const SaltelliOutputs& outputs, const std::vector<std::size_t>& picked)
{
    const double n = static_cast<double>(picked.size());
    double sum = 0, squares = 0;
    for (std::size_t j : picked)
        sum += outputs.a[j] + outputs.b[j];
    const double mean = sum / (2 * n);
    for (std::size_t j : picked)
        squares += std::pow(outputs.a[j] - mean, 2) + std::pow(outputs.b[j] - mean, 2);
    return {mean, squares / (2 * n)};
}

}  // namespace

double saltelliVariance(const SaltelliOutputs& outputs, const std::vector<std::size_t>& picked)
{
    return momentsOf(outputs, picked).variance;
}

IndexEstimate estimateIndices(const SaltelliOutputs& outputs, const std::vector<std::size_t>& picked)
{
    const std::size_t k = outputs.ab.size();
    const double n = static_cast<double>(picked.size());
    const Moments m = momentsOf(outputs, picked);
    IndexEstimate e{std::vector<double>(k), std::vector<double>(k)};
    for (std::size_t i = 0; i < k; ++i) {
        double first = 0, total = 0;
        for (std::size_t j : picked) {
            const double change = outputs.ab[i][j] - outputs.a[j];
            // f(B_j) about the mean: the same index in the limit, but a peak pressure of 450 MPa
            // that spreads by 5 would otherwise bury the product in its mean's noise.
            first += (outputs.b[j] - m.mean) * change;
            total += change * change;
        }
        e.first[i] = m.variance > 0 ? first / n / m.variance : std::numeric_limits<double>::quiet_NaN();
        e.total[i] = m.variance > 0 ? total / (2 * n) / m.variance : std::numeric_limits<double>::quiet_NaN();
    }
    return e;
}

std::vector<std::vector<ParameterIndices>> bootstrapIndices(const std::vector<SaltelliOutputs>& quantities,
                                                            int resamples, double confidence, std::uint64_t seed)
{
    const std::size_t q = quantities.size();
    std::vector<std::vector<ParameterIndices>> result(q);
    // draws[quantity][parameter][first or total]: the bootstrap estimates
    std::vector<std::vector<std::array<std::vector<double>, 2>>> draws(q);
    for (std::size_t o = 0; o < q; ++o) {
        const std::size_t n = quantities[o].a.size(), k = quantities[o].ab.size();
        std::vector<std::size_t> all(n);
        std::iota(all.begin(), all.end(), std::size_t{0});
        const IndexEstimate point = n ? estimateIndices(quantities[o], all) : IndexEstimate{
            std::vector<double>(k, NAN), std::vector<double>(k, NAN)};
        for (std::size_t i = 0; i < k; ++i)
            result[o].push_back({{point.first[i], NAN, NAN}, {point.total[i], NAN, NAN}});
        draws[o].resize(k);
    }
    boost::random::mt19937_64 stream(seed);
    std::vector<std::size_t> picked;
    for (int r = 0; r < resamples; ++r) {
        for (std::size_t o = 0; o < q; ++o) {
            const std::size_t n = quantities[o].a.size();
            if (n == 0)
                continue;
            boost::random::uniform_int_distribution<std::size_t> any(0, n - 1);
            picked.resize(n);
            for (std::size_t& j : picked)
                j = any(stream);
            const IndexEstimate e = estimateIndices(quantities[o], picked);
            for (std::size_t i = 0; i < e.first.size(); ++i) {
                draws[o][i][0].push_back(e.first[i]);
                draws[o][i][1].push_back(e.total[i]);
            }
        }
    }
    const double tail = 50 * (1 - confidence);  // percent in each tail
    for (std::size_t o = 0; o < q; ++o) {
        for (std::size_t i = 0; i < draws[o].size(); ++i) {
            for (int kind = 0; kind < 2; ++kind) {
                std::vector<double>& d = draws[o][i][kind];
                SobolIndex& index = kind == 0 ? result[o][i].first : result[o][i].total;
                if (d.empty() || std::any_of(d.begin(), d.end(), [](double v) { return std::isnan(v); }))
                    continue;
                std::sort(d.begin(), d.end());
                index.lower = percentile(d, tail);
                index.upper = percentile(d, 100 - tail);
            }
        }
    }
    return result;
}

SensitivityAccumulator::SensitivityAccumulator(const Study& study)
    : spec_(study.sensitivity), parameters_(study.sensitivity.draws.parameters.size())
{
    if (study.kind != StudyKind::sensitivity)
        throw StudyError("the indices need a sensitivity study");
    for (std::vector<double>& column : values_)
        column.assign(sensitivityRuns(spec_), std::numeric_limits<double>::quiet_NaN());
}

void SensitivityAccumulator::add(const RowResult& row)
{
    if (row.index >= values_[0].size())
        throw StudyError("run " + std::to_string(row.index + 1) + " is not a row of the sensitivity study");
    ++seen_;
    if (!row.outputs.reachedMuzzle()) {
        ++failed_;
        return;  // its outputs stay NaN: its base sample is left out
    }
    for (std::size_t o = 0; o < values_.size(); ++o)
        values_[o][row.index] = row.outputs.values[o];
}

SensitivitySummary SensitivityAccumulator::summary() const
{
    const std::size_t runs = values_[0].size();
    if (seen_ != runs)
        throw StudyError("the indices need all " + std::to_string(runs) + " runs of the study, " +
                         std::to_string(seen_) + " were given: merge the shards first");
    SensitivitySummary s;
    for (const ToleranceParameter& p : spec_.draws.parameters)
        s.parameters.push_back(p.parameter);
    s.samples = static_cast<std::size_t>(spec_.draws.samples);
    s.runs = runs;
    s.resamples = spec_.resamples;
    s.confidence = spec_.confidence;
    s.failedRuns = failed_;

    const std::size_t k = parameters_, perSample = k + 2;
    std::vector<SaltelliOutputs> quantities(kOutputCount);
    for (std::size_t o = 0; o < values_.size(); ++o) {
        SaltelliOutputs& q = quantities[o];
        q.ab.resize(k);
        const std::vector<double>& v = values_[o];
        for (std::size_t j = 0; j < s.samples; ++j) {
            const double* rows = v.data() + j * perSample;
            // A base sample enters only when all of its runs gave the output.
            if (!std::all_of(rows, rows + perSample, [](double x) { return std::isfinite(x); }))
                continue;
            q.a.push_back(rows[0]);
            for (std::size_t i = 0; i < k; ++i)
                q.ab[i].push_back(rows[1 + i]);
            q.b.push_back(rows[k + 1]);
        }
    }
    const auto indices = bootstrapIndices(quantities, spec_.resamples, spec_.confidence, spec_.draws.seed);
    for (std::size_t o = 0; o < quantities.size(); ++o) {
        OutputIndices& out = s.outputs[o];
        out.samples = quantities[o].a.size();
        std::vector<std::size_t> all(out.samples);
        std::iota(all.begin(), all.end(), std::size_t{0});
        out.variance = saltelliVariance(quantities[o], all);  // NaN without samples
        out.parameters = indices[o];
    }
    return s;
}

}  // namespace kalvex::study
