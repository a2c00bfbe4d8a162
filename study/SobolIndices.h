#pragma once
// First-order and total Sobol' indices from the rows of a Saltelli design (SaltelliDesign.h):
// Saltelli's 2010 estimator of the first-order index and Jansen's of the total one, with
// bootstrap intervals over the base samples. The estimator knows nothing of the model: it
// takes the outputs f(A_j), f(B_j) and f(AB_j^i).
#include "study/Executor.h"
#include "study/Outputs.h"
#include "study/Study.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kalvex::study {

// The outputs of one quantity at the rows of a design: a[j], b[j] and ab[i][j].
struct SaltelliOutputs {
    std::vector<double> a, b;
    std::vector<std::vector<double>> ab;
};

struct IndexEstimate {
    std::vector<double> first;  // S1_i = mean_j (f(B_j) - mean f) (f(AB_j^i) - f(A_j)) / V
    std::vector<double> total;  // ST_i = mean_j (f(A_j) - f(AB_j^i))^2 / (2 V)
};

// The variance (1/n) of the f(A_j) and f(B_j) of the base samples `picked`, together.
double saltelliVariance(const SaltelliOutputs& outputs, const std::vector<std::size_t>& picked);

// The estimates over the base samples `picked` (repeats allowed, as a bootstrap draws them);
// V and the mean are those of the f(A_j) and f(B_j) together. NaN when V = 0.
IndexEstimate estimateIndices(const SaltelliOutputs& outputs, const std::vector<std::size_t>& picked);

struct SobolIndex {
    double value = 0;
    double lower = 0, upper = 0;  // the bootstrap interval
};

struct ParameterIndices {
    SobolIndex first, total;
};

struct OutputIndices {
    std::size_t samples = 0;  // base samples whose k + 2 runs all gave the output
    double variance = 0;      // of the output over the A and B samples
    std::vector<ParameterIndices> parameters;
};

struct SensitivitySummary {
    std::vector<std::string> parameters;
    std::size_t samples = 0;  // base samples N
    std::size_t runs = 0;     // N (k + 2)
    int resamples = 0;
    double confidence = 0;
    std::array<OutputIndices, kOutputCount> outputs;
    std::size_t failedRuns = 0;  // runs that did not reach the muzzle
};

// The indices of several quantities at once: each resample of the base samples serves all.
// Intervals are the percentiles (1 -+ confidence) / 2 of `resamples` bootstrap estimates drawn
// with a Mersenne Twister seeded from `seed`.
std::vector<std::vector<ParameterIndices>> bootstrapIndices(const std::vector<SaltelliOutputs>& quantities,
                                                            int resamples, double confidence, std::uint64_t seed);

// Collects the rows of a sensitivity study, in any order, and reduces them to the indices
// of every output once all have come.
class SensitivityAccumulator {
public:
    explicit SensitivityAccumulator(const Study& study);
    void add(const RowResult& row);
    // StudyError when rows are missing (a shard alone: merge the shards first).
    SensitivitySummary summary() const;

private:
    const SensitivitySpec spec_;
    std::size_t parameters_ = 0;
    std::size_t seen_ = 0;
    std::size_t failed_ = 0;
    // values_[output][row] for every row of the design
    std::array<std::vector<double>, kOutputCount> values_;
};

}  // namespace kalvex::study
