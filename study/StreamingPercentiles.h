#pragma once
// The statistics of one output of a tolerance study too large to keep: mean and standard
// deviation, extremes, and the 1st, 5th, 50th, 95th and 99th percentiles estimated as the
// values stream past (the P-square algorithm), in a few hundred bytes whatever their number.
#include <array>
#include <cstddef>
#include <memory>

namespace kalvex::study {

inline constexpr std::array<double, 5> kReportedPercentiles = {1, 5, 50, 95, 99};

class StreamingPercentiles {
public:
    StreamingPercentiles();
    ~StreamingPercentiles();
    StreamingPercentiles(StreamingPercentiles&&) noexcept;
    StreamingPercentiles& operator=(StreamingPercentiles&&) noexcept;

    void add(double value);

    std::size_t count() const;
    double mean() const;
    double standardDeviation() const;  // of a sample: n - 1 in the divisor
    double minimum() const;
    double maximum() const;
    // The estimate of kReportedPercentiles[i].
    double percentile(std::size_t i) const;

private:
    struct Accumulators;
    std::unique_ptr<Accumulators> acc_;
};

}  // namespace kalvex::study
