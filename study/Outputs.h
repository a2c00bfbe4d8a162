#pragma once
// The outputs of one run of a study, as one table of columns that the CSV, the JSON, the
// Study window and the Python module all name the same way, and the record of one run.
//
// Muzzle values are interpolated to x = xm between the two entries around it, and the peaks
// come from a parabola through the three entries around the largest one, so the outputs
// change smoothly with a parameter (a root finder or a fit sees a curve, not steps). The
// printed summary keeps its values at sampled steps, so the two can differ in the last digits.
#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"
#include "core/input/StartSequence.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kalvex::study {

enum class OutputId : int {
    PmeanMax,     // largest mean pressure of the run, MPa
    tPmeanMax,    // its time, ms
    PbMax,        // largest pressure at the projectile base, MPa
    tPbMax,       // ms
    P0Max,        // largest breech pressure, MPa
    tP0Max,       // ms
    tBurnout,     // time of burnout (first entry with Z = 1), ms; empty past the muzzle
    xBurnout,     // travel at burnout, m; empty past the muzzle
    ZMuzzle,      // burned fraction at the muzzle, -
    tMuzzle,      // ms
    vMuzzle,      // m/s
    PmeanMuzzle,  // mean pressure at the muzzle, MPa
    efficiency,   // kinetic energy of the projectile at the muzzle / total charge energy, -
    steps,        // entries of the run that reached the muzzle
    restarts,     // times the step was doubled
    count
};
inline constexpr int kOutputCount = static_cast<int>(OutputId::count);

struct OutputInfo {
    OutputId id;
    std::string_view name;     // column name
    std::string_view unit;     // "-" for a pure number
    std::string_view caption;
    bool solvable;             // a smooth output that solve and fit may aim at
};

extern const std::array<OutputInfo, kOutputCount> kOutputInfo;

const OutputInfo& outputInfo(OutputId id);
// The output of a column name; StudyError naming the known names when there is none.
OutputId findOutput(std::string_view name);

// One run's outputs. Values that a run does not have (a failed run, burnout past the muzzle)
// are NaN and written as empty cells.
struct RunOutputs {
    std::array<double, kOutputCount> values{};
    RunEnd end = RunEnd::MuzzleReached;
    bool inputRejected = false;  // the input rules refused the record; `message` says why
    std::string message;         // empty for a run that reached the muzzle

    bool reachedMuzzle() const { return message.empty(); }
    double operator[](OutputId id) const { return values[static_cast<std::size_t>(id)]; }
    double& operator[](OutputId id) { return values[static_cast<std::size_t>(id)]; }
};

// The outputs of a completed run (`outcome.end == MuzzleReached`, stepCount set); computes
// the run characteristics into `results` on the way.
RunOutputs computeRunOutputs(const BallisticInput& input, RunResults& results, const StartOutcome& outcome);

// The row of an input set the rules refused.
RunOutputs rejectedOutputs(const InputError& error);

// The row of a finished Start sequence of `input` whose last run is in `results`: its
// outputs, or its end and message when it stopped before the muzzle.
RunOutputs sequenceOutputs(const BallisticInput& input, RunResults& results, const StartOutcome& outcome);

// Runs `input` through the Start sequence into `buffer` and returns its outputs; a run that
// is refused or stops early gives a row with its message, never an exception.
RunOutputs runForOutputs(const BallisticInput& input, RunResults& buffer, const IntegratorChoice& integrator = {});

}  // namespace kalvex::study
