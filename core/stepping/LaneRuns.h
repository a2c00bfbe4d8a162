#pragma once
// Many Start sequences run in one thread, a few at a time in interleaved lanes: when a lane's
// run ends, the lane restarts it with the doubled step or takes the next sequence. Every
// sequence gives the results it gives alone, bit for bit.
#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"
#include "core/stepping/RunLanes.h"
#include "core/results/RunResults.h"
#include "core/input/StartSequence.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace kalvex {

// The next sequence to start: its input set and an id for the callbacks. `mayWait` is true
// when no lane is running, so the source may block until work comes; false means "nothing
// now" then, and the lanes ask again when one of them ends. Returns false when there is none.
using SequenceSource = std::function<bool(BallisticInput& input, std::size_t& id, bool mayWait)>;
// The input sets of `inputs` (which must outlive the source) in order, each with its index
// as id.
SequenceSource sequencesOf(const std::vector<BallisticInput>& inputs);

// A sequence ended; `results` holds its last run until the callback returns.
using SequenceDone = std::function<void(std::size_t id, const StartOutcome& outcome, RunResults& results)>;
// An input set broke a rule (the InputError runStartSequence would have thrown).
using SequenceRejected = std::function<void(std::size_t id, const InputError& error)>;

// Result buffers for the lanes, allocated once (not cleared) and reused.
class LaneBuffers {
public:
    std::span<RunResults* const> take(int lanes);

private:
    std::vector<std::unique_ptr<RunResults>> owned_;
    std::vector<RunResults*> views_;
};

// Runs the Start sequences `next` gives (without notes) in `lanes` interleaved lanes
// (1 to kMaxLanes) until it gives no more and every lane has ended, calling `done` or
// `rejected` for each sequence in the order they end.
void runSequencesInLanes(int lanes, const SequenceSource& next, LaneBuffers& buffers, const SequenceDone& done,
                         const SequenceRejected& rejected, LaneInstructions use = LaneInstructions::best);

}  // namespace kalvex
