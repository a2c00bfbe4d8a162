#include "core/stepping/LaneRuns.h"

#include "core/input/MixedCharge.h"
#include "core/stepping/RunLanes.h"

#include <array>
#include <optional>
#include <stdexcept>

namespace kalvex {

std::span<RunResults* const> LaneBuffers::take(int lanes)
{
    while (static_cast<int>(owned_.size()) < lanes) {
        owned_.push_back(std::make_unique_for_overwrite<RunResults>());
        views_.push_back(owned_.back().get());
    }
    return std::span<RunResults* const>(views_).first(static_cast<std::size_t>(lanes));
}

SequenceSource sequencesOf(const std::vector<BallisticInput>& inputs)
{
    return [&inputs, next = std::size_t{0}](BallisticInput& input, std::size_t& id, bool) mutable {
        if (next == inputs.size())
            return false;
        id = next;
        input = inputs[next++];
        return true;
    };
}

namespace {

template <std::size_t L>
void runLanes(const SequenceSource& next, std::span<RunResults* const> buffers, const SequenceDone& done,
              const SequenceRejected& rejected, LaneInstructions use)
{
    std::array<std::optional<StartSequence>, L> sequences;
    std::array<RunLane, L> lanes;
    std::array<std::size_t, L> id{};
    std::array<RunEnd, L> ends{};
    const auto start = [&](std::size_t l) {
        resetRunResults(*buffers[l]);
        startLane(lanes[l], sequences[l]->running(), *buffers[l]);
    };
    const NoteSink noNotes = [](const std::string&) {};
    // A mixed charge is not packed with other runs: its whole sequence is run at once, alone,
    // in the buffer of the idle lane l.
    const auto runAlone = [&](std::size_t l) {
        StartSequence& sequence = *sequences[l];
        for (;;) {
            resetRunResults(*buffers[l]);
            if (sequence.runEnded(runSolver(sequence.running(), *buffers[l]), *buffers[l], noNotes))
                break;
        }
        done(id[l], sequence.outcome(), *buffers[l]);
        sequences[l].reset();
    };
    // Lane l takes the next sequence whose input set holds; false when there is none.
    const auto take = [&](std::size_t l, bool mayWait) {
        BallisticInput input;
        while (next(input, id[l], mayWait)) {
            try {
                sequences[l].emplace(input);
            } catch (const InputError& e) {
                rejected(id[l], e);
                continue;
            }
            if (isMixedCharge(input)) {
                runAlone(l);
                continue;
            }
            start(l);
            return true;
        }
        return false;
    };
    const auto fillIdle = [&](unsigned& active) {
        for (std::size_t l = 0; l < L; ++l)
            if (!(active >> l & 1u) && take(l, active == 0))
                active |= 1u << l;
    };

    unsigned active = 0;
    fillIdle(active);
    while (active != 0) {
        const unsigned ended = stepLanes<L>(lanes, active, ends, use);
        if (ended == 0)
            continue;
        for (std::size_t l = 0; l < L; ++l) {
            if (!(ended >> l & 1u))
                continue;
            StartSequence& sequence = *sequences[l];
            if (!sequence.runEnded(ends[l], *buffers[l], noNotes)) {
                start(l);  // the same sequence again, with the doubled step
                continue;
            }
            done(id[l], sequence.outcome(), *buffers[l]);
            sequences[l].reset();
            active &= ~(1u << l);
        }
        fillIdle(active);
    }
}

}  // namespace

void runSequencesInLanes(int lanes, const SequenceSource& next, LaneBuffers& buffers, const SequenceDone& done,
                         const SequenceRejected& rejected, LaneInstructions use)
{
    const std::span<RunResults* const> b = buffers.take(lanes);
    switch (lanes) {
    case 1: return runLanes<1>(next, b, done, rejected, use);
    case 2: return runLanes<2>(next, b, done, rejected, use);
    case 3: return runLanes<3>(next, b, done, rejected, use);
    case 4: return runLanes<4>(next, b, done, rejected, use);
    default: throw std::invalid_argument("lanes must be 1 to 4");
    }
}

}  // namespace kalvex
