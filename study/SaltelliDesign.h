#pragma once
// The input sets of a sensitivity study, by Saltelli's scheme on a Sobol' sequence: point
// j + 1 (the first point, all zeros, is skipped) of a sequence in 2k dimensions gives two
// samples of the k parameters, A_j from its first k coordinates and B_j from its last k, each
// coordinate mapped through its parameter's distribution. Base sample j gives k + 2 rows in
// the order A_j, AB_j^1 ... AB_j^k, B_j, where AB_j^i is A_j with parameter i taken from B_j.
// Any row can be made on its own, so shards and chunks can take any range of rows.
#include "study/Study.h"

#include <cstddef>
#include <vector>

namespace kalvex::study {

enum class SaltelliRole { a, ab, b };

struct SaltelliRow {
    std::size_t sample = 0;    // j, the base sample
    SaltelliRole role = SaltelliRole::a;
    std::size_t swapped = 0;   // for AB: the parameter i taken from B
};

// Row i of a design with k parameters.
SaltelliRow saltelliRow(std::size_t row, std::size_t parameters);

class SaltelliDesign {
public:
    SaltelliDesign(std::vector<ToleranceParameter> parameters, std::size_t samples);

    std::size_t size() const { return samples_ * (parameters_.size() + 2); }
    std::size_t samples() const { return samples_; }

    // The deviations from the base of row i, one per parameter, in the parameters' units.
    void deviations(std::size_t row, std::vector<double>& out) const;

private:
    std::vector<ToleranceParameter> parameters_;
    std::size_t samples_ = 0;
};

}  // namespace kalvex::study
