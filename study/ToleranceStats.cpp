#include "study/ToleranceStats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

namespace kalvex::study {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kZ95 = 1.959963984540054;  // two-sided 95 % quantile of the standard normal

OutputStatistics statisticsOf(std::vector<double> values)
{
    OutputStatistics s;
    std::erase_if(values, [](double v) { return std::isnan(v); });  // burnout past the muzzle
    s.count = values.size();
    if (values.empty()) {
        s.mean = s.standardDeviation = s.minimum = s.maximum = kNaN;
        s.p1 = s.p5 = s.p50 = s.p95 = s.p99 = kNaN;
        return s;
    }
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / n;
    double squares = 0;
    for (double v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.standardDeviation = values.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
    s.minimum = values.front();
    s.maximum = values.back();
    s.p1 = percentile(values, 1);
    s.p5 = percentile(values, 5);
    s.p50 = percentile(values, 50);
    s.p95 = percentile(values, 95);
    s.p99 = percentile(values, 99);
    return s;
}

OutputStatistics statisticsOf(const StreamingPercentiles& values)
{
    if (values.count() == 0)
        return statisticsOf(std::vector<double>{});
    OutputStatistics s;
    s.count = values.count();
    s.mean = values.mean();
    s.standardDeviation = values.standardDeviation();
    s.minimum = values.minimum();
    s.maximum = values.maximum();
    s.p1 = values.percentile(0);
    s.p5 = values.percentile(1);
    s.p50 = values.percentile(2);
    s.p95 = values.percentile(3);
    s.p99 = values.percentile(4);
    return s;
}

}  // namespace

double percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return kNaN;
    const double rank = (static_cast<double>(sorted.size()) - 1) * p / 100;
    const auto below = static_cast<std::size_t>(std::floor(rank));
    if (below + 1 >= sorted.size())
        return sorted.back();
    const double fraction = rank - static_cast<double>(below);
    // A zero fraction returns the order statistic itself, bit for bit.
    return fraction == 0 ? sorted[below] : sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

std::pair<double, double> wilsonInterval(std::size_t k, std::size_t n)
{
    if (n == 0)
        return {0, 1};
    const double nn = static_cast<double>(n), p = static_cast<double>(k) / nn, z2 = kZ95 * kZ95;
    const double centre = (p + z2 / (2 * nn)) / (1 + z2 / nn);
    const double half = kZ95 / (1 + z2 / nn) * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
    // At k = 0 and k = n the bounds are 0 and 1 exactly; the formula leaves a rounding error.
    return {k == 0 ? 0.0 : std::max(0.0, centre - half), k == n ? 1.0 : std::min(1.0, centre + half)};
}

ToleranceAccumulator::ToleranceAccumulator(std::optional<ExceedanceLimit> limit, std::size_t exactSamples)
    : limit_(std::move(limit)), exactSamples_(exactSamples)
{
    if (limit_)
        limitOutput_ = findOutput(limit_->output);
}

void ToleranceAccumulator::add(const RowResult& row)
{
    ++samples_;
    const RunOutputs& out = row.outputs;
    if (!out.reachedMuzzle()) {
        if (!out.inputRejected && out.end == RunEnd::PressureLimit)
            ++stoppedAtLimit_;  // counts as exceeding; its outputs do not exist
        else
            ++failures_[out.message];
        return;
    }
    ++reachedMuzzle_;
    if (streams_.empty()) {
        for (std::size_t c = 0; c < columns_.size(); ++c)
            columns_[c].push_back(out.values[c]);
        if (reachedMuzzle_ > exactSamples_)
            startStreaming();
    } else {
        for (std::size_t c = 0; c < columns_.size(); ++c)
            if (!std::isnan(out.values[c]))  // burnout past the muzzle
                streams_[c].add(out.values[c]);
    }
    if (limit_ && out[limitOutput_] > limit_->value)
        ++exceeding_;
}

// The kept values, in the order they came, become the start of each output's stream.
void ToleranceAccumulator::startStreaming()
{
    streams_.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        for (double v : columns_[c])
            if (!std::isnan(v))
                streams_[c].add(v);
        std::vector<double>().swap(columns_[c]);
    }
}

ToleranceSummary ToleranceAccumulator::summary() const
{
    ToleranceSummary summary;
    summary.samples = samples_;
    summary.percentilesEstimated = !streams_.empty();
    for (std::size_t c = 0; c < columns_.size(); ++c)
        summary.outputs[c] = streams_.empty() ? statisticsOf(columns_[c]) : statisticsOf(streams_[c]);
    summary.failures = failures_;
    if (limit_) {
        Exceedance e;
        e.limit = *limit_;
        e.exceeding = exceeding_ + stoppedAtLimit_;
        e.total = reachedMuzzle_ + stoppedAtLimit_;
        e.probability = e.total ? static_cast<double>(e.exceeding) / static_cast<double>(e.total) : 0.0;
        std::tie(e.lower, e.upper) = wilsonInterval(e.exceeding, e.total);
        summary.exceedance = e;
    } else if (stoppedAtLimit_ > 0) {
        // Without a limit to count them against, the stops are failures like the others.
        summary.failures[runEndMessage(RunEnd::PressureLimit)] += stoppedAtLimit_;
    }
    return summary;
}

}  // namespace kalvex::study
