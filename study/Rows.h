#pragma once
// The rows of a sweep, tolerance or sensitivity study: row i's input set and varied values, computable on
// its own for any i, so that shards, chunks of a cluster and lanes of a thread can take any
// range of rows. Row i of a tolerance study draws from its own random stream seeded from
// (seed, i): the rows are the same for any thread count and any sharding.
#include "core/input/BallisticInput.h"
#include "study/Parameters.h"
#include "study/SaltelliDesign.h"
#include "study/Study.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalvex::study {

class RowSet {
public:
    // StudyError for a study that runs as a whole (solve, fit, optimize), or one that does
    // not validate.
    explicit RowSet(const Study& study);
    // Rows that are the given input sets, nothing varied: a list of runs such as a script's.
    explicit RowSet(std::vector<BallisticInput> inputs, const IntegratorChoice& integrator = {});

    std::size_t size() const { return size_; }
    const IntegratorChoice& integrator() const { return integrator_; }
    // The varied parameters, in the order of the values that row() gives; in a study with
    // propellants, followed by the propellant values each row records (usesPropellants), and
    // in a study over the charge temperature by the fFT and fbetaT it set.
    const std::vector<Parameter>& varied() const { return varied_; }

    // Row i (0-based, i < size()): its input set and the varied values in their units.
    void row(std::size_t i, BallisticInput& input, std::vector<double>& values) const;

private:
    // Fills the values of the recorded propellant columns from the row's input set.
    void recordValues(const BallisticInput& input, std::vector<double>& values) const;
    // Adds each drawn deviation to the stored value of its parameter.
    void applyDeviations(const std::vector<double>& deviations, BallisticInput& input, std::vector<double>& values) const;

    StudyKind kind_ = StudyKind::sweep;
    std::vector<BallisticInput> listed_;             // a list of runs: row i is listed_[i]
    BallisticInput base_;
    std::vector<Parameter> varied_;
    std::vector<SweepAxis> axes_;                    // sweep: each axis, its values made
    std::vector<std::size_t> axisSizes_;             // row by row, never all at once
    std::vector<std::vector<Propellant>> propellants_;  // sweep: a propellant axis's rows
    std::size_t set_ = 0;                            // varied_[0, set_) are set by the row;
                                                     // the rest record propellant values
    std::vector<ToleranceParameter> tolerances_;     // tolerance: what is drawn
    std::vector<double> nominal_;                    // tolerance, sensitivity: base values of the drawn
    std::optional<SaltelliDesign> design_;           // sensitivity: the Saltelli design
    std::uint64_t seed_ = 0;
    std::size_t size_ = 0;
    IntegratorChoice integrator_;
};

// The number of values of one sweep axis (list, linear or logarithmic range; 1 ... n for n
// propellants); StudyError when empty or when a range's ends are not finite.
std::size_t axisSize(const SweepAxis& axis);
// Value k (k < axisSize) of an axis, made on its own: a range of a billion values takes no
// memory. A linear range's value is from + (to - from) k / (n - 1), or, where to - from
// overflows, the same point through each end's share; the last value is `to` exactly.
double axisValue(const SweepAxis& axis, std::size_t k);
// All values of an axis, for a window that shows them.
std::vector<double> axisValues(const SweepAxis& axis);

// The first and one-past-last row of shard `index` (1-based) of `count` over `rows` rows:
// floor((index-1) * rows / count) .. floor(index * rows / count).
std::pair<std::size_t, std::size_t> shardRows(std::size_t rows, std::size_t index, std::size_t count);

}  // namespace kalvex::study
