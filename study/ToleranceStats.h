#pragma once
// The statistics of a tolerance study. Samples that reached the muzzle enter the statistics;
// a sample that stopped at the pressure limit counts as exceeding the limit; samples that
// failed otherwise are counted per message and left out.
#include "study/Executor.h"
#include "study/StreamingPercentiles.h"
#include "study/Study.h"

#include <array>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kalvex::study {

struct OutputStatistics {
    std::size_t count = 0;
    double mean = 0, standardDeviation = 0, minimum = 0, maximum = 0;  // NaN when count = 0
    double p1 = 0, p5 = 0, p50 = 0, p95 = 0, p99 = 0;
};

struct Exceedance {
    ExceedanceLimit limit;
    std::size_t exceeding = 0;  // above the limit, or stopped at the pressure limit
    std::size_t total = 0;      // samples that reached the muzzle or stopped at the pressure limit
    double probability = 0;
    double lower = 0, upper = 0;  // Wilson 95 % interval
};

struct ToleranceSummary {
    std::size_t samples = 0;    // rows seen
    std::array<OutputStatistics, kOutputCount> outputs;
    std::optional<Exceedance> exceedance;
    std::map<std::string, std::size_t> failures;  // message -> samples left out
    bool percentilesEstimated = false;  // beyond kExactPercentileSamples: streamed estimates
};

// Up to this many samples that reach the muzzle the percentiles are exact order statistics
// (every value kept: 300 MB at most); beyond it every output's statistics stream (mean and
// deviation exact to rounding, percentiles P-square estimates), so memory stays bounded
// whatever the number of samples.
inline constexpr std::size_t kExactPercentileSamples = 1'000'000;

// Percentile p (0..100) of sorted values, interpolating linearly between order statistics
// at rank (n - 1) p / 100.
double percentile(const std::vector<double>& sorted, double p);

// Wilson score interval at 95 % of k successes in n trials.
std::pair<double, double> wilsonInterval(std::size_t k, std::size_t n);

// Collects the rows as they stream past: one double per output and sample.
class ToleranceAccumulator {
public:
    // StudyError when the limit names no output.
    explicit ToleranceAccumulator(std::optional<ExceedanceLimit> limit,
                                  std::size_t exactSamples = kExactPercentileSamples);
    void add(const RowResult& row);
    ToleranceSummary summary() const;

private:
    std::optional<ExceedanceLimit> limit_;
    OutputId limitOutput_ = OutputId::P0Max;  // the output the limit is compared with, looked up once
    void startStreaming();

    std::size_t exactSamples_;
    std::array<std::vector<double>, kOutputCount> columns_;  // while exact
    std::vector<StreamingPercentiles> streams_;              // one per output, once streaming
    std::size_t samples_ = 0, reachedMuzzle_ = 0, exceeding_ = 0, stoppedAtLimit_ = 0;
    std::map<std::string, std::size_t> failures_;
};

}  // namespace kalvex::study
