#pragma once
// The solver's step, for one run or for several independent runs advanced together in one
// thread (lanes). Interleaved, the runs' chains of dependent operations overlap in the
// processor; each lane performs exactly the operations of a run alone, in the same order,
// so its results keep every bit. The single run is the one-lane case of the same step, so
// the end tests of a step exist once.
#include "core/input/BallisticInput.h"
#include "core/model/BallisticModel.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace kalvex {

inline constexpr int kMaxLanes = 4;

// One run in progress: what the step loop owns.
struct RunLane {
    const BallisticInput* input = nullptr;
    RunResults* results = nullptr;
    RunConstants k;  // of input
    StateVector y{};
    ModelState m;
    BoreLoad load;
    GasFaults faults;  // of the latest evaluation
    int i = 0;     // the step taken next; it records entry i + 1
    int last = 0;  // the last recorded entry
    // A run alone ends with Interrupted once this turns true (checked every kStopCheckSteps).
    const std::atomic<bool>* stop = nullptr;
};

// Steps between two looks at a run's stop flag: a thousand steps take a few milliseconds even
// with denormal numbers, and the look costs nothing measurable.
inline constexpr unsigned kStopCheckSteps = 1024;

// Prepares `lane` for a run of `input` (validated) into `results` and records ignition.
// Both must outlive the run.
void startLane(RunLane& lane, const BallisticInput& input, RunResults& results);

// The vector instructions interleaved lanes may use: SSE2, which every x86-64 has, or the
// best the processor has (AVX for four lanes). Both give the same bits.
enum class LaneInstructions { best, sse2 };

// Steps the lanes of the bit mask `active` (bit l for lanes[l]) together until at least one
// run ends. Returns the mask of the lanes whose run ended in that step, with each end in
// `ends`; the results of an ended run are complete as runSolver leaves them.
template <std::size_t L>
unsigned stepLanes(std::array<RunLane, L>& lanes, unsigned active, std::array<RunEnd, L>& ends,
                   LaneInstructions use = LaneInstructions::best);

extern template unsigned stepLanes<1>(std::array<RunLane, 1>&, unsigned, std::array<RunEnd, 1>&, LaneInstructions);
extern template unsigned stepLanes<2>(std::array<RunLane, 2>&, unsigned, std::array<RunEnd, 2>&, LaneInstructions);
extern template unsigned stepLanes<3>(std::array<RunLane, 3>&, unsigned, std::array<RunEnd, 3>&, LaneInstructions);
extern template unsigned stepLanes<4>(std::array<RunLane, 4>&, unsigned, std::array<RunEnd, 4>&, LaneInstructions);

}  // namespace kalvex
