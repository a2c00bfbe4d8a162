#pragma once
// Steps of the runs of full lanes held in packs (Packs.h), one pack per quantity: the
// model's phases, the RK4 stages, settling, the entry and its end screen for all runs at once.
// Internal to the solver (Solver.cpp).
#include "core/stepping/LaneSteps.h"
#include "core/model/BallisticModel.h"
#include "core/packs/PackRecords.h"
#include "core/packs/Packs.h"
#include "core/stepping/RungeKutta.h"
#include "core/stepping/StepRecords.h"

#include <array>
#include <cstddef>
#include <optional>

namespace kalvex::steps {

// Bit r set for the run of the pack whose entry e or state y may end it: a superset of the
// end tests of stepEnd, taken for all runs at once, so that the steps that go on (nearly all)
// need no test of their own. stepEnd stays the one place that decides; a new end test there
// needs its screen here, and its case in EarlyEndCases.h shows a missing one in every lane.
template <class V>
unsigned mayEndPack(const RunConstantsOf<V>& k, const EntryOf<V>& e, const StateOf<V>& y)
{
    PackMask<V> finite = packs::isFinite<V>(e[0]);
    for (const V& v : e)
        finite &= packs::isFinite<V>(v);
    // The rest of the state is in the entry as it stands.
    for (const std::size_t j : {kBurnedThickness, kAirWork, kHeatLoss})
        finite &= packs::isFinite<V>(y[j]);
    const auto value = [&e](SeriesId id) { return e[static_cast<std::size_t>(id)]; };
    const V velocity = value(SeriesId::velocity);
    const PackMask<V> atRestBurnt =
        (velocity == 0) & (value(SeriesId::recoilVelocity) == 0) & (value(SeriesId::burnedFraction) >= 1);
    const PackMask<V> may = ~finite | (value(SeriesId::meanPressure) > kPressureLimit) |
                            (velocity > kVelocityLimit) | (value(SeriesId::meanTemperature) <= 0) |
                            (value(SeriesId::wallTemperature) <= 0) | (value(SeriesId::breechPressure) < 0) |
                            (value(SeriesId::travel) >= k.xm) | atRestBurnt;
    return packs::bits<V>(may);
}

// The runs of full lanes held in packs, one pack per quantity (run r in element r), while
// their steps go on; the lanes themselves are brought up to date when a run may end.
template <class V>
struct PackedRuns {
    static constexpr std::size_t W = kPackWidth<V>;
    RunConstantsOf<V> k;
    StateOf<V> y;
    ModelStateOf<V> m;
    BoreLoadOf<V> load;
    GasFaults faults;  // of the latest evaluation
    V steps;           // the steps taken, lane.i of each run
};

template <class V>
PackedRuns<V> packRuns(const std::array<RunLane, kPackWidth<V>>& lanes)
{
    PackedRuns<V> p;
    std::array<const RunConstants*, PackedRuns<V>::W> constants;
    for (std::size_t r = 0; r < p.W; ++r)
        constants[r] = &lanes[r].k;
    p.k = gatherRunConstants<V>(constants);
    p.m = packRecords<V, ModelStateOf>([&lanes](std::size_t r) -> const ModelState& { return lanes[r].m; });
    p.load = packRecords<V, BoreLoadOf>([&lanes](std::size_t r) -> const BoreLoad& { return lanes[r].load; });
    for (std::size_t j = 0; j < kStateSize; ++j)
        p.y[j] = packs::gather<V>([&lanes, j](std::size_t r) { return lanes[r].y[j]; });
    p.steps = packs::gather<V>([&lanes](std::size_t r) { return static_cast<double>(lanes[r].i); });
    return p;
}

// Run r of the packs back into its lane (the step counts the lane keeps itself).
template <class V>
void unpackRun(const PackedRuns<V>& p, std::size_t r, RunLane& lane)
{
    for (std::size_t j = 0; j < kStateSize; ++j)
        lane.y[j] = packs::at(p.y[j], r);
    lane.m = unpackRecord<V, ModelStateOf>(p.m, r);
    lane.load = unpackRecord<V, BoreLoadOf>(p.load, r);
}

// The RK4 stages for all runs of the pack; false (the packs unchanged but for the model's
// fields) when a stage of any run has no meaningful state.
template <class V>
bool rungeKutta4Pack(PackedRuns<V>& p)
{
    std::array<StateOf<V>, 1> y{p.y};
    const unsigned stepped = rungeKutta4Lanes(
        y, std::array<V, 1>{p.k.dt}, 1u, [&p](auto& Y, auto& d, unsigned live) __attribute__((always_inline)) {
            return evaluateModelRuns<V, 1>([&p](std::size_t) { return ModelRun<V>{p.k, p.load, p.m, p.faults}; }, Y,
                                           d, live);
        });
    if (stepped == 0)
        return false;
    p.y = y[0];
    return true;
}

// One step of the lanes taken again each on its own, from the state they hold: a stage of
// some run found no meaningful state, and that run ends as it would alone. Not inlined: it
// is rare, and the packed step stays small; it sees no pack.
template <std::size_t W>
[[gnu::noinline]] unsigned stepOnceAlone(std::array<RunLane, W>& lanes, LaneBlocks<W>& blocks,
                                         std::array<RunEnd, W>& ends)
{
    std::array<StateVector, W> y;
    std::array<double, W> h;
    for (std::size_t r = 0; r < W; ++r) {
        y[r] = lanes[r].y;
        h[r] = lanes[r].input->dt;
    }
    const unsigned ended = stepOnce<W>(lanes, y, h, blocks, (1u << W) - 1, ends);
    for (std::size_t r = 0; r < W; ++r)
        lanes[r].y = y[r];
    return ended;
}

// One step of all runs of the pack, as finishStep takes it for each after the stages.
// Returns the lanes whose run ended, with their ends; a step in which a stage of any run
// finds no meaningful state is taken again lane by lane, which ends that run as alone.
template <class V>
unsigned stepPack(PackedRuns<V>& p, std::array<RunLane, kPackWidth<V>>& lanes, LaneBlocks<kPackWidth<V>>& blocks,
                  std::array<RunEnd, kPackWidth<V>>& ends)
{
    constexpr std::size_t W = kPackWidth<V>;
    const V previousTravel = p.y[kTravel];
    const V Pg = p.m.Pg;  // the fields an evaluation keeps from the one before
    const V eS = p.m.eS;
    if (!rungeKutta4Pack<V>(p)) {
        p.m.Pg = Pg;
        p.m.eS = eS;
        for (std::size_t r = 0; r < W; ++r)
            unpackRun<V>(p, r, lanes[r]);
        const unsigned ended = stepOnceAlone<W>(lanes, blocks, ends);
        p = packRuns<V>(lanes);
        return ended;
    }
    settleAfterStep<V>(p.k, p.m, previousTravel, p.y, p.load);
    uniformAtRest<V>(p.y, p.m);
    const EntryOf<V> e = stepEntry<V>(p.k, p.y, p.m, p.load, p.steps);
    p.steps = p.steps + packs::num<V>(1);
    for (std::size_t r = 0; r < W; ++r) {
        const int entry = lanes[r].i + 1;
        holdEntry(blocks[r], *lanes[r].results, entry, [&e, r](std::size_t s) { return e[s][r]; });
        lanes[r].i = entry;
        lanes[r].last = entry;
    }
    const unsigned may = mayEndPack<V>(p.k, e, p.y) | packs::bits<V>(p.steps >= kLastEntry);
    if (may == 0)
        return 0;
    unsigned ended = 0;
    for (std::size_t r = 0; r < W; ++r) {
        if (!(may >> r & 1u))
            continue;
        RunLane& lane = lanes[r];
        unpackRun<V>(p, r, lane);
        Entry entry;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            entry[s] = e[s][r];
        if (const std::optional<RunEnd> end = stepEnd(lane.k, lane.y, lane.m, lane.load, entry, lane.i)) {
            ends[r] = endRun(lane, *end, lane.last);
            ended |= 1u << r;
        }
    }
    return ended;
}

// Steps until a run ends, the runs of all lanes in one pack V.
template <class V>
[[gnu::always_inline]] inline unsigned stepLanesPacked(std::array<RunLane, kPackWidth<V>>& lanes,
                                                       std::array<RunEnd, kPackWidth<V>>& ends)
{
    constexpr std::size_t W = kPackWidth<V>;
    std::array<RunLane, W> local = lanes;
    PackedRuns<V> p = packRuns<V>(local);
    LaneBlocks<W> blocks;
    for (std::size_t r = 0; r < W; ++r)
        startBlock(blocks[r], *local[r].results);
    unsigned ended = 0;
    while (ended == 0)
        ended = stepPack<V>(p, local, blocks, ends);
    for (std::size_t r = 0; r < W; ++r) {
        unpackRun<V>(p, r, local[r]);
        flushEntries(blocks[r], *local[r].results, local[r].last);
    }
    simd::streamFence();  // the lines written past the caches are in place before the results are handed on
    lanes = local;
    return ended;
}

}  // namespace kalvex::steps
