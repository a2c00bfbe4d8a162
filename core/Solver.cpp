#include "core/Solver.h"

#include "core/Model.h"
#include "core/ModelPacks.h"
#include "core/ModelPhases.h"
#include "core/RunLanes.h"
#include "core/RungeKutta.h"
#include "core/Units.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

namespace kalvex {

namespace {

constexpr int kLastEntry = 40797;            // the step budget: entry 40797 is the last allowed
constexpr double kPressureLimit = 2000;      // MPa
constexpr double kVelocityLimit = 5000;      // m/s

double& at(RunResults& r, SeriesId id, int k)
{
    return r[id][static_cast<std::size_t>(k)];
}

// Zeros in every series at entry k.
void clearEntry(RunResults& r, int k)
{
    if (k < 0 || k >= kResultCapacity)
        return;
    for (ResultSeries& s : r.series)
        s[static_cast<std::size_t>(k)] = 0;
}

// Entry 0; the series not set here start at zero.
void recordIgnition(const BallisticInput& in, const RunConstants& c, RunResults& r)
{
    clearEntry(r, 0);
    const double atmosphereMpa = kAtmosphericPressure * kPascalToMegapascal;
    at(r, SeriesId::meanPressure, 0) = atmosphereMpa;
    at(r, SeriesId::meanTemperature, 0) = in.T0I;
    at(r, SeriesId::gasPressureAhead, 0) = atmosphereMpa;
    at(r, SeriesId::basePressure, 0) = atmosphereMpa;
    at(r, SeriesId::breechPressure, 0) = atmosphereMpa;
    at(r, SeriesId::wallTemperature, 0) = c.T0wKelvin;
    at(r, SeriesId::resistancePressure, 0) = in.px0 * kPascalToMegapascal;
    at(r, SeriesId::relativeSurface, 0) = 1;
    // The rate law at atmospheric pressure, shown without exponent and factors.
    at(r, SeriesId::burningRate, 0) = in.beta * kAtmosphericPressure * kMetreToMillimetre;
}

// One entry of every series.
using Entry = std::array<double, kSeriesCount>;

double& at(Entry& e, SeriesId id)
{
    return e[static_cast<std::size_t>(id)];
}

// The entry after a step: the auxiliaries are those of the last stage evaluation.
Entry stepEntry(const BallisticInput& in, const RunConstants& c, const StateVector& y, const ModelState& m,
                const BoreLoad& load, double t)
{
    Entry e;
    at(e, SeriesId::time) = t * kSecondToMillisecond;
    at(e, SeriesId::travel) = y[kTravel];
    at(e, SeriesId::velocity) = y[kVelocity];
    at(e, SeriesId::burnedFraction) = y[kBurnedFraction];
    at(e, SeriesId::meanPressure) = m.Pm * kPascalToMegapascal;
    at(e, SeriesId::meanTemperature) = m.Tm;
    at(e, SeriesId::gasPressureAhead) = m.Pg * kPascalToMegapascal;
    at(e, SeriesId::basePressure) = m.Pb * kPascalToMegapascal;
    at(e, SeriesId::breechPressure) = m.P0 * kPascalToMegapascal;
    at(e, SeriesId::wallTemperature) = in.heatTransfer ? m.Tc : c.T0wKelvin;
    at(e, SeriesId::recoilVelocity) = y[kRecoilVelocity];
    at(e, SeriesId::resistancePressure) = load.pr * kPascalToMegapascal;
    at(e, SeriesId::energyTranslation) = m.Ekin;
    at(e, SeriesId::energyRotation) = m.Erot;
    at(e, SeriesId::energyChargeMotion) = m.Eprop;
    at(e, SeriesId::energyFriction) = load.Efr;
    at(e, SeriesId::energyRecoil) = m.Erec;
    at(e, SeriesId::energyAirResistance) = m.Eair;
    at(e, SeriesId::energyHeatLoss) = m.Q;
    at(e, SeriesId::relativeSurface) = m.S / c.grain.initialGrainSurface;
    at(e, SeriesId::burningRate) = m.r * kMetreToMillimetre;
    at(e, SeriesId::burnedThickness) = m.eS * kMetreToMillimetre;
    at(e, SeriesId::acceleration) =
        y[kVelocity] > 0
            ? (m.Pb - in.fr * load.pr - m.Pg) * in.A / in.mp * kPerStandardGravity
            : 0;
    return e;
}

// Entry k of every series. The end tests then read the entry as computed, not back from 23
// pages of the results (92 with four lanes), more than the processor keeps addresses for.
void writeEntry(RunResults& r, int k, const Entry& e)
{
    for (std::size_t s = 0; s < e.size(); ++s)
        r.series[s][static_cast<std::size_t>(k)] = e[s];
}

// All finite: |v| <= the largest double, false for an infinity and for NaN. Tested two
// values at a time and the answers combined, one branch for the whole entry.
bool entryIsFinite(const Entry& e, const StateVector& y)
{
    const __m128d largest = _mm_set1_pd(std::numeric_limits<double>::max());
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    __m128d finite = _mm_castsi128_pd(_mm_set1_epi64x(-1));
    // Two loads of one value each: the entry was just stored value by value, and a load of
    // two at once would wait until those stores have left for the cache.
    const auto test = [&](const double& a, const double& b) {
        const __m128d pair = _mm_loadh_pd(_mm_load_sd(&a), &b);
        finite = _mm_and_pd(finite, _mm_cmple_pd(_mm_and_pd(pair, magnitude), largest));
    };
    for (std::size_t s = 0; s + 1 < e.size(); s += 2)
        test(e[s], e[s + 1]);
    test(e[e.size() - 1], y[0]);
    for (std::size_t j = 1; j + 1 < y.size(); j += 2)
        test(y[j], y[j + 1]);
    return _mm_movemask_pd(finite) == 3;
}

// After burnout, with projectile and barrel at rest, the gas can only trade heat with the
// wall: its temperature stays below the hotter of the two, and so its pressure stays below
// what that temperature gives. If even that pressure cannot push the projectile or the
// barrel, nothing will ever move again.
bool projectileStuck(const BallisticInput& in, const RunConstants& c, const StateVector& y,
                     const ModelState& m, const BoreLoad& load)
{
    if (y[kVelocity] != 0 || y[kRecoilVelocity] != 0 || y[kBurnedFraction] < 1)
        return false;
    const double hottest = in.heatTransfer && m.Tc > m.Tm ? m.Tc : m.Tm;
    const double pmBound = (c.propellantForceMass / in.T0 + c.igniterForceByT0I) * hottest / m.Vf;
    const double ahead = in.fr * load.pr + m.Pg;
    if (pmBound > ahead)
        return false;
    const double pbBound = (pmBound + ahead * c.Ctot / c.threeMp) / c.lagrangeDivisor;
    const double p0Bound = pbBound + (pbBound - ahead) * 0.5 * c.Ctot / in.mp;
    return p0Bound - in.RR / in.A - in.fr * load.pr <= 0;
}

RunEnd faultEnd(ModelFault fault)
{
    return fault == ModelFault::freeVolume ? RunEnd::FreeVolumeExhausted : RunEnd::TemperatureExhausted;
}

// True when the charge leaves no room for the gas before anything has moved: then the
// charge is at fault, whatever the step.
bool noFreeVolumeAtIgnition(const BallisticInput& in, const RunConstants& c)
{
    StateVector y{};
    StateVector dydt{};
    ModelState m;
    const BoreLoad load{in.px0, 0};
    return evaluateModel(in, c, load, y, m, dydt) == ModelFault::freeVolume;
}

// The end tests of entry k, in their order of precedence: a limit broken
// on the step that passes the muzzle still ends the run with its message, so a result drawn
// from an absurd step never looks complete. Nothing when the run goes on.
std::optional<RunEnd> stepEnd(const BallisticInput& in, const RunConstants& c, const StateVector& y,
                              const ModelState& m, const BoreLoad& load, const Entry& e, int k)
{
    const auto value = [&e](SeriesId id) { return e[static_cast<std::size_t>(id)]; };
    if (!entryIsFinite(e, y))
        return RunEnd::NotFinite;
    if (value(SeriesId::meanPressure) > kPressureLimit)
        return RunEnd::PressureLimit;
    if (value(SeriesId::velocity) > kVelocityLimit)
        return RunEnd::VelocityLimit;
    if (value(SeriesId::meanTemperature) <= 0)
        return RunEnd::TemperatureExhausted;
    // A barrel recoiling faster than the projectile moves turns the gas velocity of the heat
    // transfer negative, and the wall would then be cooled below absolute zero.
    if (value(SeriesId::wallTemperature) <= 0)
        return RunEnd::WallTemperatureExhausted;
    if (value(SeriesId::breechPressure) < 0)
        return RunEnd::BreechPressureNegative;
    if (y[kTravel] >= in.xm)
        return RunEnd::MuzzleReached;
    if (projectileStuck(in, c, y, m, load))
        return RunEnd::ProjectileStopped;
    if (k >= kLastEntry)
        return RunEnd::StepLimit;
    return std::nullopt;
}

// Code that ran before the solver in the same thread (the window's drawing, a wide memset in
// the C library) may leave the upper halves of the vector registers in use. The step loop is
// compiled for SSE; on x86 processors with AVX, every SSE instruction then pays a state
// transition penalty, and a run takes about twice as long. Clearing the upper halves once
// before the loop costs nothing where they are clean.
void clearUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
}

}  // namespace

const char* runEndMessage(RunEnd end)
{
    switch (end) {
    case RunEnd::PressureLimit:
        return "Mean Pressure over 2000 MPa.";
    case RunEnd::VelocityLimit:
        return "Velocity of Projectile over 5000 m/s.";
    case RunEnd::FreeVolumeExhausted:
        return "Free Volume of Chamber less than or equal to 0 m^3.";
    case RunEnd::TemperatureExhausted:
        return "Mean Temperature less than or equal to 0 K.";
    case RunEnd::NotFinite:
        return "Computation diverged: a result is not a finite number.";
    case RunEnd::ProjectileStopped:
        return "Projectile stopped in the barrel.";
    case RunEnd::WallTemperatureExhausted:
        return "Wall Temperature less than or equal to 0 K.";
    case RunEnd::BreechPressureNegative:
        return "Breech Pressure less than 0 MPa.";
    case RunEnd::StepTooShort:
        return "Computation Step too short: more than 30 doublings needed.";
    case RunEnd::MuzzleReached:
    case RunEnd::StepLimit:
        break;
    }
    return "";
}

namespace {

// Entries of one run held back and written to its results a cache line of each series at a
// time. Written entry by entry, four interleaved runs touch 92 pages on every step, more than
// the processor keeps address translations for, and each line of the results is first read
// in to be changed. A full line goes out in one piece, past the caches: it is not read in,
// and the run does not read it back.
struct EntryBlock {
    static constexpr int kEntries = 8;  // a 64-byte line of doubles
    alignas(64) double v[kSeriesCount][kEntries];
    int from = -1;  // the first entry held; -1 when none is
    int last = -1;  // the last entry held, still readable here after its line went out
    int phase = 0;  // entry k lies in line (k + phase) / kEntries of every series

    double& at(std::size_t s, int k) { return v[s][(k + phase) % kEntries]; }
};

// The lines of every series of r lie alike: their length is a whole number of lines.
static_assert(sizeof(ResultSeries) % 64 == 0);

void startBlock(EntryBlock& block, const RunResults& r)
{
    block.from = -1;
    block.last = -1;
    block.phase = static_cast<int>(reinterpret_cast<std::uintptr_t>(r.series[0].data()) % 64 / sizeof(double));
}

// Entry k of series `id`, held or already written. The previous entry is read from the block:
// the results would give it only back from memory.
double entryValue(const RunResults& r, EntryBlock* block, SeriesId id, int k)
{
    if (block != nullptr && ((block->from >= 0 && k >= block->from) || k == block->last))
        return block->at(static_cast<std::size_t>(id), k);
    return r[id][static_cast<std::size_t>(k)];
}

// Writes the entries held up to `last` into the results.
void flushEntries(EntryBlock& block, RunResults& r, int last)
{
    if (block.from < 0)
        return;
    const std::size_t from = static_cast<std::size_t>(block.from);
    if (last - block.from + 1 == EntryBlock::kEntries) {
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            for (int j = 0; j < EntryBlock::kEntries; j += 2)
                _mm_stream_pd(&r.series[s][from + static_cast<std::size_t>(j)], _mm_load_pd(&block.v[s][j]));
    } else {
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            for (int k = block.from; k <= last; ++k)
                r.series[s][static_cast<std::size_t>(k)] = block.at(s, k);
    }
    block.from = -1;
}

// After entry k has been held: the line is full, or the run's last entry is held.
void entryHeld(EntryBlock& block, RunResults& r, int k)
{
    if (block.from < 0)
        block.from = k;
    block.last = k;
    if ((k + block.phase) % EntryBlock::kEntries == EntryBlock::kEntries - 1)
        flushEntries(block, r, k);
}

// What a run leaves when it ends in step `endStep`: the step count at the muzzle, and a zero
// entry after the last, so that a walk up the series ends where the run did, whatever a
// longer run left beyond it.
RunEnd endRun(RunLane& lane, RunEnd end, int endStep)
{
    lane.results->endStep = endStep;
    if (end == RunEnd::MuzzleReached)
        lane.results->stepCount = lane.last;
    clearEntry(*lane.results, lane.last + 1);
    return end;
}

// A stage of step i found no meaningful state.
RunEnd faultedRun(RunLane& lane)
{
    const bool atIgnition = lane.i == 0 && lane.fault == ModelFault::freeVolume &&
                            noFreeVolumeAtIgnition(*lane.input, lane.c);
    return endRun(lane, faultEnd(lane.fault), atIgnition ? 0 : lane.i + 1);
}

// The state after the RK4 stages made final: clamps, bore resistance and friction work, and
// at rest a uniform gas.
void settleStep(RunLane& lane, StateVector& y, EntryBlock* block)
{
    const BallisticInput& in = *lane.input;
    ModelState& m = lane.m;
    BoreLoad& load = lane.load;
    settleAfterStep(in, m, entryValue(*lane.results, block, SeriesId::travel, lane.i), y, load);
    if (y[kVelocity] == 0) {
        m.Pb = m.Pm;  // at rest the gas is uniform
        m.P0 = m.Pm;
    }
}

// The rest of a step after the RK4 stages: settling, recording, end tests. True when the run
// ends, with its end in `end` (a flag and an end rather than an optional, which the compiler
// would assemble in memory on every step).
// With a block, the entry is held in it.
bool finishStep(RunLane& lane, StateVector& y, EntryBlock* block, RunEnd& end)
{
    const BallisticInput& in = *lane.input;
    const double h = in.dt;
    const int i = lane.i;
    double t = i * h;
    t = t + 0.5 * h;  // the stage times, summed as the stages advance
    t = t + 0.5 * h;
    settleStep(lane, y, block);
    const int k = i + 1;
    const Entry entry = stepEntry(in, lane.c, y, lane.m, lane.load, t);
    if (block != nullptr) {
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            block->at(s, k) = entry[s];
        entryHeld(*block, *lane.results, k);
    } else {
        writeEntry(*lane.results, k, entry);
    }
    lane.last = k;
    lane.i = k;
    const std::optional<RunEnd> ended = stepEnd(in, lane.c, y, lane.m, lane.load, entry, k);
    if (!ended)
        return false;
    end = *ended;
    return true;
}

// The entries after a step of the runs of a pack, each element as stepEntry forms it.
template <class V>
struct EntryPack {
    V v[kSeriesCount];
};

template <class V>
EntryPack<V> stepEntryPack(const PackConstants<V>& k, const StatePack<V>& y, const ModelPack<V>& m,
                           const LoadPack<V>& load, V steps)
{
    const auto num = packs::num<V>;
    const auto set = [](EntryPack<V>& e, SeriesId id, V v) { e.v[static_cast<std::size_t>(id)] = v; };
    const V halfH = num(0.5) * k.dt;
    V t = steps * k.dt;
    t = t + halfH;  // the stage times, summed as the stages advance
    t = t + halfH;
    const V toMpa = num(kPascalToMegapascal);
    const V toMm = num(kMetreToMillimetre);
    const V vp = y[kVelocity];
    const V acceleration = ((((m.Pb - k.fr * load.pr) - m.Pg) * k.A) / k.mp) * num(kPerStandardGravity);
    EntryPack<V> e;
    set(e, SeriesId::time, t * num(kSecondToMillisecond));
    set(e, SeriesId::travel, y[kTravel]);
    set(e, SeriesId::velocity, vp);
    set(e, SeriesId::burnedFraction, y[kBurnedFraction]);
    set(e, SeriesId::meanPressure, m.Pm * toMpa);
    set(e, SeriesId::meanTemperature, m.Tm);
    set(e, SeriesId::gasPressureAhead, m.Pg * toMpa);
    set(e, SeriesId::basePressure, m.Pb * toMpa);
    set(e, SeriesId::breechPressure, m.P0 * toMpa);
    set(e, SeriesId::wallTemperature, packs::select<V>(k.heatTransfer, m.Tc, k.T0wKelvin));
    set(e, SeriesId::recoilVelocity, y[kRecoilVelocity]);
    set(e, SeriesId::resistancePressure, load.pr * toMpa);
    set(e, SeriesId::energyTranslation, m.Ekin);
    set(e, SeriesId::energyRotation, m.Erot);
    set(e, SeriesId::energyChargeMotion, m.Eprop);
    set(e, SeriesId::energyFriction, load.Efr);
    set(e, SeriesId::energyRecoil, m.Erec);
    set(e, SeriesId::energyAirResistance, m.Eair);
    set(e, SeriesId::energyHeatLoss, m.Q);
    set(e, SeriesId::relativeSurface, m.S / k.initialGrainSurface);
    set(e, SeriesId::burningRate, m.r * toMm);
    set(e, SeriesId::burnedThickness, m.eS * toMm);
    set(e, SeriesId::acceleration, packs::select<V>(vp > 0, acceleration, num(0)));
    return e;
}

// Bit r set for the run of the pack whose entry e or state y may end it: a superset of the
// end tests of stepEnd, taken for all runs at once, so that the steps that go on (nearly all)
// need no test of their own.
template <class V>
unsigned mayEndPack(const PackConstants<V>& k, const EntryPack<V>& e, const StatePack<V>& y)
{
    PackMask<V> finite = packs::isFinite<V>(e.v[0]);
    for (const V& v : e.v)
        finite &= packs::isFinite<V>(v);
    // The rest of the state is in the entry as it stands.
    for (const std::size_t j : {kBurnedThickness, kAirWork, kHeatLoss})
        finite &= packs::isFinite<V>(y[j]);
    const auto value = [&e](SeriesId id) { return e.v[static_cast<std::size_t>(id)]; };
    const V velocity = value(SeriesId::velocity);
    const PackMask<V> atRestBurnt =
        (velocity == 0) & (value(SeriesId::recoilVelocity) == 0) & (value(SeriesId::burnedFraction) >= 1);
    const PackMask<V> may = ~finite | (value(SeriesId::meanPressure) > kPressureLimit) |
                            (velocity > kVelocityLimit) | (value(SeriesId::meanTemperature) <= 0) |
                            (value(SeriesId::wallTemperature) <= 0) | (value(SeriesId::breechPressure) < 0) |
                            (value(SeriesId::travel) >= k.xm) | atRestBurnt;
    return packs::bits<V>(may);
}

template <std::size_t L>
[[gnu::always_inline]] inline void forEachLane(unsigned mask, auto&& f)
{
    for (std::size_t l = 0; l < L; ++l)
        if (mask >> l & 1u)
            f(l);
}

}  // namespace

void startLane(RunLane& lane, const BallisticInput& in, RunResults& results)
{
    lane.input = &in;
    lane.results = &results;
    lane.c = prepareRunConstants(in);
    results.grain = lane.c.grain;
    lane.y = StateVector{};
    lane.m = ModelState{};
    lane.load = BoreLoad{in.px0, 0};
    lane.fault = ModelFault::none;
    lane.i = 0;
    lane.last = 0;
    recordIgnition(in, lane.c, results);
    clearUpperVectorState();
}

namespace {

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
    // The model phase by phase across the lanes, each lane as evaluateModel runs it.
    // Inlined into the stages: the derivatives then stay in registers instead of a round trip
    // through memory between the model and the stage sums.
    const auto derivatives = [&lanes](std::array<StateVector, L>& Y, std::array<StateVector, L>& d,
                                      unsigned live) __attribute__((always_inline)) {
        forEachLane<L>(live, [&](std::size_t l) { modelSurface(*lanes[l].input, lanes[l].c, Y[l], lanes[l].m); });
        unsigned ok = 0;
        forEachLane<L>(live, [&](std::size_t l) {
            RunLane& lane = lanes[l];
            lane.fault = modelGas(*lane.input, lane.c, lane.load, Y[l], lane.m);
            if (lane.fault == ModelFault::none)
                ok |= 1u << l;
        });
        forEachLane<L>(ok, [&](std::size_t l) { modelBurningRate(*lanes[l].input, lanes[l].c, lanes[l].m); });
        forEachLane<L>(ok, [&](std::size_t l) {
            RunLane& lane = lanes[l];
            modelForces(*lane.input, lane.c, lane.load, Y[l], lane.m, d[l]);
        });
        return ok;
    };
    const unsigned stepped = rungeKutta4Lanes(y, h, active, derivatives);

    unsigned ended = active & ~stepped;
    forEachLane<L>(ended, [&](std::size_t l) { ends[l] = faultedRun(lanes[l]); });
    forEachLane<L>(stepped, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        if (RunEnd end; finishStep(lane, y[l], blockOf<L>(blocks, l), end)) {
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
    while (ended == 0)
        ended = stepOnce<L>(local, y, h, blocks, active, ends);
    for (std::size_t l = 0; l < L; ++l) {
        local[l].y = y[l];
        if (active >> l & 1u)
            if (EntryBlock* block = blockOf<L>(blocks, l))
                flushEntries(*block, *local[l].results, local[l].last);
    }
    _mm_sfence();  // the lines written past the caches are in place before the results are handed on
    lanes = local;
    return ended;
}

// The runs of full lanes held in packs, one pack per quantity (run r in element r), while
// their steps go on; the lanes themselves are brought up to date when a run may end.
template <class V>
struct PackedRuns {
    static constexpr std::size_t W = kPackWidth<V>;
    PackConstants<V> k;
    StatePack<V> y;
    ModelPack<V> m;
    LoadPack<V> load;
    V steps;  // the steps taken, lane.i of each run
};

template <class V>
PackedRuns<V> packRuns(const std::array<RunLane, kPackWidth<V>>& lanes)
{
    PackedRuns<V> p;
    PerRun<V, const BallisticInput> inputs;
    PerRun<V, const RunConstants> constants;
    for (std::size_t r = 0; r < p.W; ++r) {
        inputs[r] = lanes[r].input;
        constants[r] = &lanes[r].c;
    }
    p.k = packConstants<V>(inputs, constants);
    const auto runs = [&](auto&& value) { return packs::gather<V>([&](std::size_t r) { return value(lanes[r]); }); };
    for (std::size_t j = 0; j < kStateSize; ++j)
        p.y[j] = runs([j](const RunLane& l) { return l.y[j]; });
    for (const auto& [scalar, packed] : kModelPackFields<V>)
        p.m.*packed = runs([scalar](const RunLane& l) { return l.m.*scalar; });
    p.load.pr = runs([](const RunLane& l) { return l.load.pr; });
    p.load.Efr = runs([](const RunLane& l) { return l.load.Efr; });
    p.steps = runs([](const RunLane& l) { return static_cast<double>(l.i); });
    return p;
}

// Run r of the packs back into its lane (the step counts the lane keeps itself).
template <class V>
void unpackRun(const PackedRuns<V>& p, std::size_t r, RunLane& lane)
{
    for (std::size_t j = 0; j < kStateSize; ++j)
        lane.y[j] = p.y[j][r];
    for (const auto& [scalar, packed] : kModelPackFields<V>)
        lane.m.*scalar = (p.m.*packed)[r];
    lane.load.pr = p.load.pr[r];
    lane.load.Efr = p.load.Efr[r];
}

// The RK4 stages for all runs of the pack; false (the packs unchanged but for the model's
// fields) when a stage of any run has no meaningful state.
template <class V>
bool rungeKutta4Pack(PackedRuns<V>& p)
{
    std::array<StatePack<V>, 1> y{p.y};
    const unsigned stepped =
        rungeKutta4Lanes(y, std::array<V, 1>{p.k.dt}, 1u, [&p](auto& Y, auto& d, unsigned) __attribute__((always_inline)) {
            modelSurfacePack<V>(p.k, Y[0], p.m);
            if (modelGasPack<V>(p.k, p.load, Y[0], p.m) != 0)
                return 0u;
            modelBurningRatePack<V>(p.k, p.m);
            modelForcesPack<V>(p.k, p.load, Y[0], p.m, d[0]);
            return 1u;
        });
    if (stepped == 0)
        return false;
    p.y = y[0];
    return true;
}

// settleStep for all runs of the pack: clamps, bore resistance and friction work (each run's
// resistance as resistancePressure gives it), and at rest a uniform gas.
template <class V>
void settlePack(PackedRuns<V>& p, V previousTravel)
{
    clampPack<V>(p.y);
    p.y[kBurnedFraction] = packs::select<V>(p.m.S == 0, packs::num<V>(1), p.y[kBurnedFraction]);
    const V x = p.y[kTravel];
    p.load.pr = packs::gather<V>([&](std::size_t r) { return resistancePressure(*p.k.in[r], x[r], p.load.pr[r]); });
    p.load.Efr = p.load.Efr + (p.k.Afr * p.load.pr) * (x - previousTravel);
    const PackMask<V> atRest = p.y[kVelocity] == 0;
    p.m.Pb = packs::select<V>(atRest, p.m.Pm, p.m.Pb);
    p.m.P0 = packs::select<V>(atRest, p.m.Pm, p.m.P0);
}

// The step of the packed runs taken again lane by lane, from the state `p` holds (at the
// step's start): a stage of some run found no meaningful state, and that run ends as it
// would alone. Not inlined: it is rare, and the packed step stays small.
template <class V>
[[gnu::noinline]] unsigned stepAlone(PackedRuns<V>& p, std::array<RunLane, kPackWidth<V>>& lanes,
                                     LaneBlocks<kPackWidth<V>>& blocks, std::array<RunEnd, kPackWidth<V>>& ends)
{
    constexpr std::size_t W = kPackWidth<V>;
    std::array<StateVector, W> y;
    std::array<double, W> h;
    for (std::size_t r = 0; r < W; ++r) {
        unpackRun<V>(p, r, lanes[r]);
        y[r] = lanes[r].y;
        h[r] = lanes[r].input->dt;
    }
    const unsigned ended = stepOnce<W>(lanes, y, h, blocks, (1u << W) - 1, ends);
    for (std::size_t r = 0; r < W; ++r)
        lanes[r].y = y[r];
    p = packRuns<V>(lanes);
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
        return stepAlone<V>(p, lanes, blocks, ends);
    }
    settlePack<V>(p, previousTravel);
    const EntryPack<V> e = stepEntryPack<V>(p.k, p.y, p.m, p.load, p.steps);
    p.steps = p.steps + packs::num<V>(1);
    for (std::size_t r = 0; r < W; ++r) {
        const int entry = lanes[r].i + 1;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            blocks[r].at(s, entry) = e.v[s][r];
        entryHeld(blocks[r], *lanes[r].results, entry);
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
            entry[s] = e.v[s][r];
        if (const std::optional<RunEnd> end = stepEnd(*lane.input, lane.c, lane.y, lane.m, lane.load, entry, lane.i)) {
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
    _mm_sfence();  // the lines written past the caches are in place before the results are handed on
    lanes = local;
    return ended;
}

// Four runs in the quarters of AVX registers: the same operations as in two SSE2 halves, each
// rounded alike, with half the instructions. The whole step is compiled for AVX here,
// everything it calls inlined into it (flatten), so that no code outside this function uses
// AVX and a processor without it never comes here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"  // no pack crosses a call out of this function
[[gnu::target("avx"), gnu::flatten]] unsigned stepFourLanesAvx(std::array<RunLane, 4>& lanes,
                                                                std::array<RunEnd, 4>& ends)
{
    return stepLanesPacked<Pack4>(lanes, ends);
}
#pragma GCC diagnostic pop

// The same without AVX: each operation on four runs is two SSE2 operations on two.
[[gnu::flatten]] unsigned stepFourLanesSse2(std::array<RunLane, 4>& lanes, std::array<RunEnd, 4>& ends)
{
    return stepLanesPacked<Pack2x2>(lanes, ends);
}

[[gnu::flatten]] unsigned stepTwoLanes(std::array<RunLane, 2>& lanes, std::array<RunEnd, 2>& ends)
{
    return stepLanesPacked<Pack2>(lanes, ends);
}

bool processorHasAvx()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx");
    return has;
#else
    return false;
#endif
}

}  // namespace

template <std::size_t L>
unsigned stepLanes(std::array<RunLane, L>& lanes, unsigned active, std::array<RunEnd, L>& ends, LaneInstructions use)
{
    constexpr unsigned all = (1u << L) - 1;
    if constexpr (L == 4) {
        if (active == all)
            return use == LaneInstructions::best && processorHasAvx() ? stepFourLanesAvx(lanes, ends)
                                                                      : stepFourLanesSse2(lanes, ends);
    } else if constexpr (L == 2) {
        if (active == all)
            return stepTwoLanes(lanes, ends);
    }
    return stepLanesAlone<L>(lanes, active, ends);
}

template unsigned stepLanes<1>(std::array<RunLane, 1>&, unsigned, std::array<RunEnd, 1>&, LaneInstructions);
template unsigned stepLanes<2>(std::array<RunLane, 2>&, unsigned, std::array<RunEnd, 2>&, LaneInstructions);
template unsigned stepLanes<3>(std::array<RunLane, 3>&, unsigned, std::array<RunEnd, 3>&, LaneInstructions);
template unsigned stepLanes<4>(std::array<RunLane, 4>&, unsigned, std::array<RunEnd, 4>&, LaneInstructions);

// Flattened: the single run gets its stages inlined wherever it is linked. In a program that
// also runs lanes, or in the Python module, the model's functions have several callers and
// would otherwise stay calls in the single run's loop.
[[gnu::flatten]] RunEnd runSolver(const BallisticInput& in, RunResults& results)
{
    std::array<RunLane, 1> lane;
    startLane(lane[0], in, results);
    std::array<RunEnd, 1> end{};
    stepLanes<1>(lane, 1u, end);
    return end[0];
}

}  // namespace kalvex
