#include "core/Solver.h"

#include "core/Model.h"
#include "core/ModelPairs.h"
#include "core/ModelPhases.h"
#include "core/RunLanes.h"
#include "core/RungeKutta.h"
#include "core/Units.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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

// The entries after a step of the two runs of a pair, each half as stepEntry forms it.
struct EntryPair {
    __m128d v[kSeriesCount];
};

EntryPair stepEntryPair(const PairConstants& k, const RunLane& a, const RunLane& b, const StateVector& ya,
                        const StateVector& yb)
{
    using namespace pairs;
    const ModelState& ma = a.m;
    const ModelState& mb = b.m;
    const auto state = [&](std::size_t j) { return pairOf(ya[j], yb[j]); };
    const auto model = [&](double ModelState::*f) { return pairOf(ma.*f, mb.*f); };
    const auto set = [](EntryPair& e, SeriesId id, __m128d v) { e.v[static_cast<std::size_t>(id)] = v; };
    const __m128d h = pairOf(a.input->dt, b.input->dt);
    const __m128d halfH = mul(num(0.5), h);
    __m128d t = mul(pairOf(a.i, b.i), h);
    t = add(t, halfH);  // the stage times, summed as the stages advance
    t = add(t, halfH);
    const __m128d toMpa = num(kPascalToMegapascal);
    const __m128d toMm = num(kMetreToMillimetre);
    const __m128d pr = pairOf(a.load.pr, b.load.pr);
    const __m128d Pb = model(&ModelState::Pb);
    const __m128d Pg = model(&ModelState::Pg);
    const __m128d vp = state(kVelocity);
    const __m128d acceleration =
        mul(div(mul(sub(sub(Pb, mul(k.fr, pr)), Pg), k.A), k.mp), num(kPerStandardGravity));
    EntryPair e;
    set(e, SeriesId::time, mul(t, num(kSecondToMillisecond)));
    set(e, SeriesId::travel, state(kTravel));
    set(e, SeriesId::velocity, vp);
    set(e, SeriesId::burnedFraction, state(kBurnedFraction));
    set(e, SeriesId::meanPressure, mul(model(&ModelState::Pm), toMpa));
    set(e, SeriesId::meanTemperature, model(&ModelState::Tm));
    set(e, SeriesId::gasPressureAhead, mul(Pg, toMpa));
    set(e, SeriesId::basePressure, mul(Pb, toMpa));
    set(e, SeriesId::breechPressure, mul(model(&ModelState::P0), toMpa));
    set(e, SeriesId::wallTemperature, select(k.heatTransfer, model(&ModelState::Tc), k.T0wKelvin));
    set(e, SeriesId::recoilVelocity, state(kRecoilVelocity));
    set(e, SeriesId::resistancePressure, mul(pr, toMpa));
    set(e, SeriesId::energyTranslation, model(&ModelState::Ekin));
    set(e, SeriesId::energyRotation, model(&ModelState::Erot));
    set(e, SeriesId::energyChargeMotion, model(&ModelState::Eprop));
    set(e, SeriesId::energyFriction, pairOf(a.load.Efr, b.load.Efr));
    set(e, SeriesId::energyRecoil, model(&ModelState::Erec));
    set(e, SeriesId::energyAirResistance, model(&ModelState::Eair));
    set(e, SeriesId::energyHeatLoss, model(&ModelState::Q));
    set(e, SeriesId::relativeSurface, div(model(&ModelState::S), k.initialGrainSurface));
    set(e, SeriesId::burningRate, mul(model(&ModelState::r), toMm));
    set(e, SeriesId::burnedThickness, mul(model(&ModelState::eS), toMm));
    set(e, SeriesId::acceleration, _mm_and_pd(_mm_cmpgt_pd(vp, _mm_setzero_pd()), acceleration));
    return e;
}

// Bit h set for the run of the pair whose entry e or state y may end it: a superset of the
// end tests of stepEnd, taken for both runs at once, so that the steps that go on (nearly all)
// need no test of their own.
int mayEndPair(const PairConstants& k, const EntryPair& e, const StateVector& ya, const StateVector& yb)
{
    const __m128d largest = _mm_set1_pd(std::numeric_limits<double>::max());
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7fffffffffffffff));
    const __m128d zero = _mm_setzero_pd();
    __m128d finite = _mm_castsi128_pd(_mm_set1_epi64x(-1));
    const auto test = [&](__m128d v) { finite = _mm_and_pd(finite, _mm_cmple_pd(_mm_and_pd(v, magnitude), largest)); };
    for (const __m128d& v : e.v)
        test(v);
    // The rest of the state is in the entry as it stands.
    for (const std::size_t j : {kBurnedThickness, kAirWork, kHeatLoss})
        test(pairOf(ya[j], yb[j]));
    const auto value = [&e](SeriesId id) { return e.v[static_cast<std::size_t>(id)]; };
    const __m128d velocity = value(SeriesId::velocity);
    const __m128d atRestBurnt =
        _mm_and_pd(_mm_and_pd(_mm_cmpeq_pd(velocity, zero), _mm_cmpeq_pd(value(SeriesId::recoilVelocity), zero)),
                   _mm_cmpge_pd(value(SeriesId::burnedFraction), _mm_set1_pd(1)));
    __m128d may = _mm_andnot_pd(finite, _mm_castsi128_pd(_mm_set1_epi64x(-1)));
    may = _mm_or_pd(may, _mm_cmpgt_pd(value(SeriesId::meanPressure), _mm_set1_pd(kPressureLimit)));
    may = _mm_or_pd(may, _mm_cmpgt_pd(velocity, _mm_set1_pd(kVelocityLimit)));
    may = _mm_or_pd(may, _mm_cmple_pd(value(SeriesId::meanTemperature), zero));
    may = _mm_or_pd(may, _mm_cmple_pd(value(SeriesId::wallTemperature), zero));
    may = _mm_or_pd(may, _mm_cmplt_pd(value(SeriesId::breechPressure), zero));
    may = _mm_or_pd(may, _mm_cmpge_pd(value(SeriesId::travel), k.xm));
    may = _mm_or_pd(may, atRestBurnt);
    return _mm_movemask_pd(may);
}

// The rest of a step for both runs of a pair, as finishStep takes it for each: the entries
// formed, written and screened two at a time. Returns bit h for the run that ends, with its
// end in end[h].
unsigned finishStepPair(const PairConstants& k, const std::array<RunLane*, 2>& lane,
                        const std::array<StateVector*, 2>& y, const std::array<EntryBlock*, 2>& block,
                        std::array<RunEnd, 2>& end)
{
    settleStep(*lane[0], *y[0], block[0]);
    settleStep(*lane[1], *y[1], block[1]);
    const EntryPair e = stepEntryPair(k, *lane[0], *lane[1], *y[0], *y[1]);
    const int ka = lane[0]->i + 1;
    const int kb = lane[1]->i + 1;
    for (std::size_t s = 0; s < kSeriesCount; ++s) {
        _mm_store_sd(&block[0]->at(s, ka), e.v[s]);
        _mm_storeh_pd(&block[1]->at(s, kb), e.v[s]);
    }
    entryHeld(*block[0], *lane[0]->results, ka);
    entryHeld(*block[1], *lane[1]->results, kb);
    int may = mayEndPair(k, e, *y[0], *y[1]);
    unsigned ended = 0;
    for (std::size_t h = 0; h < 2; ++h) {
        RunLane& l = *lane[h];
        l.i = l.i + 1;
        l.last = l.i;
        if (!(may >> h & 1) && l.i < kLastEntry)
            continue;
        Entry entry;
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            entry[s] = h == 0 ? lowOf(e.v[s]) : highOf(e.v[s]);
        if (const std::optional<RunEnd> ended1 = stepEnd(*l.input, l.c, *y[h], l.m, l.load, entry, l.i)) {
            end[h] = *ended1;
            ended |= 1u << h;
        }
    }
    return ended;
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

// Lanes 2p and 2p + 1 form pair p; a pair whose two lanes run computes phases 2 and 4 in
// the halves of SSE2 registers (ModelPairs.h).
template <std::size_t L>
struct LanePairs {
    static constexpr std::size_t count = L / 2;
    std::array<PairConstants, count> constants;
    unsigned paired = 0;  // bit p: pair p runs both its lanes
};

template <std::size_t L>
LanePairs<L> pairLanes(const std::array<RunLane, L>& lanes, unsigned active)
{
    LanePairs<L> pairs;
    for (std::size_t p = 0; p < pairs.count; ++p) {
        if ((active >> (2 * p) & 3u) != 3u)
            continue;
        const RunLane& a = lanes[2 * p];
        const RunLane& b = lanes[2 * p + 1];
        pairs.constants[p] = pairConstants(*a.input, a.c, *b.input, b.c);
        pairs.paired |= 1u << p;
    }
    return pairs;
}

// Phase 1 of the lanes in `live`; the two grains of a pair whose shape allows it in one go.
template <std::size_t L>
void surfacePhase(std::array<RunLane, L>& lanes, const LanePairs<L>& pairs, std::array<StateVector, L>& Y,
                  unsigned live)
{
    unsigned single = live;
    for (std::size_t p = 0; p < pairs.count; ++p) {
        const PairConstants& k = pairs.constants[p];
        if (!(pairs.paired >> p & 1u) || k.grainType == 0 || (live >> (2 * p) & 3u) != 3u)
            continue;
        StateVector& ya = Y[2 * p];
        StateVector& yb = Y[2 * p + 1];
        const __m128d e = pairOf(ya[kBurnedThickness], yb[kBurnedThickness]);
        if (!pairedSurfaceAt(k, e))
            continue;
        clampState(ya);
        clampState(yb);
        const __m128d S = grainSurfacePair(k, e);
        takeSurface(ya, lanes[2 * p].m, lowOf(S));
        takeSurface(yb, lanes[2 * p + 1].m, highOf(S));
        single &= ~(3u << (2 * p));
    }
    forEachLane<L>(single, [&](std::size_t l) { modelSurface(*lanes[l].input, lanes[l].c, Y[l], lanes[l].m); });
}

// Phases 2 and 4 of the lanes in `live`, paired where both lanes of a pair run.
template <std::size_t L>
unsigned gasPhase(std::array<RunLane, L>& lanes, const LanePairs<L>& pairs, const std::array<StateVector, L>& Y,
                  unsigned live)
{
    unsigned ok = 0;
    unsigned single = live;
    for (std::size_t p = 0; p < pairs.count; ++p) {
        if (!(pairs.paired >> p & 1u) || !(live >> (2 * p) & 3u))
            continue;
        RunLane& a = lanes[2 * p];
        RunLane& b = lanes[2 * p + 1];
        const auto faults = modelGasPair(pairs.constants[p], {&a.load, &b.load}, {&Y[2 * p], &Y[2 * p + 1]}, {&a.m, &b.m});
        for (std::size_t h = 0; h < 2; ++h) {
            const std::size_t l = 2 * p + h;
            if (!(live >> l & 1u))
                continue;
            lanes[l].fault = faults[h];
            if (faults[h] == ModelFault::none)
                ok |= 1u << l;
        }
        single &= ~(3u << (2 * p));
    }
    forEachLane<L>(single, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        lane.fault = modelGas(*lane.input, lane.c, lane.load, Y[l], lane.m);
        if (lane.fault == ModelFault::none)
            ok |= 1u << l;
    });
    return ok;
}

template <std::size_t L>
void forcesPhase(std::array<RunLane, L>& lanes, const LanePairs<L>& pairs, const std::array<StateVector, L>& Y,
                 std::array<StateVector, L>& d, unsigned ok)
{
    unsigned single = ok;
    for (std::size_t p = 0; p < pairs.count; ++p) {
        // Both halves must be valid: a lane that faulted keeps the state the step never reads,
        // but its derivatives would be written over nothing that matters either.
        if (!(pairs.paired >> p & 1u) || (ok >> (2 * p) & 3u) != 3u)
            continue;
        RunLane& a = lanes[2 * p];
        RunLane& b = lanes[2 * p + 1];
        modelForcesPair(pairs.constants[p], {&a.load, &b.load}, {&Y[2 * p], &Y[2 * p + 1]}, {&a.m, &b.m},
                        {&d[2 * p], &d[2 * p + 1]});
        single &= ~(3u << (2 * p));
    }
    forEachLane<L>(single, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        modelForces(*lane.input, lane.c, lane.load, Y[l], lane.m, d[l]);
    });
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

// One step of every lane in `active`, whose states are y and steps h; returns the lanes whose
// run ended.
template <std::size_t L>
unsigned stepOnce(std::array<RunLane, L>& lanes, const LanePairs<L>& pairs, std::array<StateVector, L>& y,
                  const std::array<double, L>& h, LaneBlocks<L>& blocks, unsigned active, std::array<RunEnd, L>& ends)
{
    // The model phase by phase across the lanes, each lane as evaluateModel runs it.
    // Inlined into the stages: the derivatives then stay in registers instead of a round trip
    // through memory between the model and the stage sums.
    const auto derivatives = [&lanes, &pairs](std::array<StateVector, L>& Y, std::array<StateVector, L>& d,
                                              unsigned live) __attribute__((always_inline)) {
        surfacePhase<L>(lanes, pairs, Y, live);
        const unsigned ok = gasPhase<L>(lanes, pairs, Y, live);
        forEachLane<L>(ok, [&](std::size_t l) { modelBurningRate(*lanes[l].input, lanes[l].c, lanes[l].m); });
        forcesPhase<L>(lanes, pairs, Y, d, ok);
        return ok;
    };
    const unsigned stepped = rungeKutta4Lanes(y, h, active, derivatives);

    unsigned ended = active & ~stepped;
    forEachLane<L>(ended, [&](std::size_t l) { ends[l] = faultedRun(lanes[l]); });
    unsigned single = stepped;
    for (std::size_t p = 0; p < pairs.count; ++p) {
        if (!(pairs.paired >> p & 1u) || (stepped >> (2 * p) & 3u) != 3u)
            continue;
        RunLane& a = lanes[2 * p];
        RunLane& b = lanes[2 * p + 1];
        std::array<RunEnd, 2> end{};
        const unsigned pairEnded = finishStepPair(pairs.constants[p], {&a, &b}, {&y[2 * p], &y[2 * p + 1]},
                                                  {blockOf<L>(blocks, 2 * p), blockOf<L>(blocks, 2 * p + 1)}, end);
        for (std::size_t h = 0; h < 2; ++h) {
            if (pairEnded >> h & 1u) {
                ends[2 * p + h] = endRun(lanes[2 * p + h], end[h], lanes[2 * p + h].last);
                ended |= 1u << (2 * p + h);
            }
        }
        single &= ~(3u << (2 * p));
    }
    forEachLane<L>(single, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        if (RunEnd end; finishStep(lane, y[l], blockOf<L>(blocks, l), end)) {
            ends[l] = endRun(lane, end, lane.last);
            ended |= 1u << l;
        }
    });
    return ended;
}

}  // namespace

template <std::size_t L>
unsigned stepLanes(std::array<RunLane, L>& lanes, unsigned active, std::array<RunEnd, L>& ends)
{
    // The lanes as locals while the steps go on: the compiler then knows that the writes of
    // the results do not change them, and keeps them in registers.
    // The states stay in one array for the whole loop: copied to and from the lanes on every
    // step, each copy would read two values at once that the step had just stored one by one.
    std::array<RunLane, L> local = lanes;
    const LanePairs<L> pairs = pairLanes<L>(local, active);
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
        ended = stepOnce<L>(local, pairs, y, h, blocks, active, ends);
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

template unsigned stepLanes<1>(std::array<RunLane, 1>&, unsigned, std::array<RunEnd, 1>&);
template unsigned stepLanes<2>(std::array<RunLane, 2>&, unsigned, std::array<RunEnd, 2>&);
template unsigned stepLanes<3>(std::array<RunLane, 3>&, unsigned, std::array<RunEnd, 3>&);
template unsigned stepLanes<4>(std::array<RunLane, 4>&, unsigned, std::array<RunEnd, 4>&);

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
