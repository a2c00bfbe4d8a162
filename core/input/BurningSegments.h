#pragma once
// The burning law by pressure segments: r = fbeta*fbetaT*beta_j*Pm^alpha_j for the segment j
// whose lower bound is the highest at or below the mean pressure Pm. The first segment is the
// input set's own beta and alpha from 0 Pa; the segments above it are listed here. Measured
// laws need not join at the bounds, and they are taken as given.
#include <cstddef>
#include <string>
#include <vector>

namespace kalvex {

struct BurningSegment {
    // Lower pressure bound, MPa: as files and fields give it, so that a file read and written
    // keeps every bit (the model converts it once, core/model/BallisticModel.cpp).
    double pLow = 0;
    double beta = 0;   // burning-rate coefficient, m/s/Pa^alpha
    double alpha = 0;  // burning-rate exponent
    bool operator==(const BurningSegment&) const = default;
};

// Segments of one law, the first included.
inline constexpr std::size_t kMaxBurningSegments = 8;

// The first rule the segments above the first break ("" when none): at most 8 segments in
// all, bounds that increase from 0, each beta above 0 and each alpha at least 0.5; the message
// names its segment, counted from 1 as the parameter names count.
std::string upperSegmentsProblem(const std::vector<BurningSegment>& segments);

}  // namespace kalvex
