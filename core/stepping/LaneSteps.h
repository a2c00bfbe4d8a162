#pragma once
// Steps of runs each on its own: the single run, and interleaved lanes that do not fill a
// pack, taken phase by phase across the lanes.
// Internal to the solver (Solver.cpp).
#include "core/model/BallisticModel.h"
#include "core/stepping/RunLanes.h"
#include "core/stepping/RungeKutta.h"
#include "core/stepping/StepRecords.h"

#include <array>
#include <cstddef>
#include <optional>

namespace kalvex::steps {

// What a run leaves when it ends in step `endStep`: the step count at the muzzle, and a zero
// entry after the last, so that a walk up the series ends where the run did, whatever a
// longer run left beyond it.
inline RunEnd endRun(RunLane& lane, RunEnd end, int endStep)
{
    lane.results->endStep = endStep;
    if (end == RunEnd::MuzzleReached)
        lane.results->stepCount = lane.last;
    clearEntry(*lane.results, lane.last + 1);
    return end;
}

// A stage of step i found no meaningful state.
inline RunEnd faultedRun(RunLane& lane)
{
    const ModelFault fault = lane.faults.first();
    const bool atIgnition = lane.i == 0 && fault == ModelFault::freeVolume && noFreeVolumeAtIgnition(lane.k);
    return endRun(lane, faultEnd(fault), atIgnition ? 0 : lane.i + 1);
}

// The rest of a step after the RK4 stages: settling (the friction work over the step from
// `previousTravel`, the travel before it), recording, end tests. True when the run ends, with
// its end in `end` (a flag and an end rather than an optional, which the compiler would
// assemble in memory on every step). With a block, the entry is held in it.
inline bool finishStep(RunLane& lane, StateVector& y, double previousTravel, EntryBlock* block, RunEnd& end)
{
    const int i = lane.i;
    settleAfterStep<double>(lane.k, lane.m, previousTravel, y, lane.load);
    uniformAtRest<double>(y, lane.m);
    const int k = i + 1;
    const Entry entry = stepEntry<double>(lane.k, y, lane.m, lane.load, i);
    if (block != nullptr) {
        holdEntry(*block, *lane.results, k, [&entry](std::size_t s) { return entry[s]; });
    } else {
        writeEntry(*lane.results, k, entry);
    }
    lane.last = k;
    lane.i = k;
    const std::optional<RunEnd> ended = stepEnd(lane.k, y, lane.m, lane.load, entry, k);
    if (!ended)
        return false;
    end = *ended;
    return true;
}

template <std::size_t L>
[[gnu::always_inline]] inline void forEachLane(unsigned mask, auto&& f)
{
    packs::forEachRun<L>(mask, f);
}

// The entry blocks of interleaved lanes; a run alone writes its entries as it goes.
template <std::size_t L>
using LaneBlocks = std::array<EntryBlock, L == 1 ? 0 : L>;

template <std::size_t L>
EntryBlock* blockOf(LaneBlocks<L>& blocks, std::size_t l)
{
    if constexpr (L == 1)
        return nullptr;
    else
        return &blocks[l];
}

// One step of every lane in `active`, whose states are y and steps h, each run on its own
// but phase by phase across the lanes; returns the lanes whose run ended.
template <std::size_t L>
unsigned stepOnce(std::array<RunLane, L>& lanes, std::array<StateVector, L>& y, const std::array<double, L>& h,
                  LaneBlocks<L>& blocks, unsigned active, std::array<RunEnd, L>& ends)
{
    // The model phase by phase across the lanes. Inlined into the stages: the derivatives
    // then stay in registers instead of a round trip through memory between the model and the
    // stage sums.
    const auto derivatives = [&lanes](std::array<StateVector, L>& Y, std::array<StateVector, L>& d,
                                      unsigned live) __attribute__((always_inline)) {
        return evaluateModelRuns<double, L>(
            [&lanes](std::size_t l) {
                RunLane& lane = lanes[l];
                return ModelRun<double>{lane.k, lane.load, lane.m, lane.faults};
            },
            Y, d, live);
    };
    std::array<double, L> previousTravel{};
    forEachLane<L>(active, [&](std::size_t l) { previousTravel[l] = y[l][kTravel]; });
    const unsigned stepped = rungeKutta4Lanes(y, h, active, derivatives);

    unsigned ended = active & ~stepped;
    forEachLane<L>(ended, [&](std::size_t l) { ends[l] = faultedRun(lanes[l]); });
    forEachLane<L>(stepped, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        if (RunEnd end; finishStep(lane, y[l], previousTravel[l], blockOf<L>(blocks, l), end)) {
            ends[l] = endRun(lane, end, lane.last);
            ended |= 1u << l;
        }
    });
    return ended;
}

// Steps until a run ends, each lane on its own (the single run, and lanes that do not fill
// a pack).
template <std::size_t L>
unsigned stepLanesAlone(std::array<RunLane, L>& lanes, unsigned active, std::array<RunEnd, L>& ends)
{
    // The lanes as locals while the steps go on: the compiler then knows that the writes of
    // the results do not change them, and keeps them in registers.
    // The states stay in one array for the whole loop: copied to and from the lanes on every
    // step, each copy would read two values at once that the step had just stored one by one.
    std::array<RunLane, L> local = lanes;
    std::array<StateVector, L> y{};
    std::array<double, L> h{};
    for (std::size_t l = 0; l < L; ++l) {
        if (active >> l & 1u) {
            y[l] = local[l].y;
            h[l] = local[l].input->dt;
        }
    }
    LaneBlocks<L> blocks;
    for (std::size_t l = 0; l < L; ++l)
        if (EntryBlock* block = blockOf<L>(blocks, l); block != nullptr && (active >> l & 1u))
            startBlock(*block, *local[l].results);
    unsigned ended = 0;
    unsigned steps = 0;
    while (ended == 0) {
        ended = stepOnce<L>(local, y, h, blocks, active, ends);
        if constexpr (L == 1) {
            // Only a run alone can be stopped: lanes of a study stop between runs.
            if (ended == 0 && ++steps % kStopCheckSteps == 0 && local[0].stop != nullptr &&
                local[0].stop->load(std::memory_order_relaxed)) {
                ends[0] = endRun(local[0], RunEnd::Interrupted, local[0].last);
                ended = 1;
            }
        }
    }
    for (std::size_t l = 0; l < L; ++l) {
        local[l].y = y[l];
        if (active >> l & 1u)
            if (EntryBlock* block = blockOf<L>(blocks, l))
                flushEntries(*block, *local[l].results, local[l].last);
    }
    simd::streamFence();  // the lines written past the caches are in place before the results are handed on
    lanes = local;
    return ended;
}


}  // namespace kalvex::steps
