#include "core/Solver.h"

#include "core/Model.h"
#include "core/ModelPairs.h"
#include "core/ModelPhases.h"
#include "core/RunLanes.h"
#include "core/RungeKutta.h"
#include "core/Units.h"

#include <emmintrin.h>

#include <cmath>
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

// Clamps after a step; a grain whose surface is gone leaves no unburned mass.
void clampAfterStep(StateVector& y, const ModelState& m)
{
    clampState(y);
    if (m.S == 0)
        y[kBurnedFraction] = 1;
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

// Write-prefetches the cache lines of every series a few lines ahead of the entry being
// written: interleaved lanes write 23 series each, more streams than the processor's
// prefetchers follow, and each new line would otherwise be fetched when it is first written.
void prefetchAhead(const RunResults& r, int k)
{
    constexpr int kEntriesPerLine = 8;   // 64-byte lines of doubles
    constexpr int kLinesAhead = 4;
    if (k % kEntriesPerLine != 0 || k + kLinesAhead * kEntriesPerLine >= kResultCapacity)
        return;
    for (const ResultSeries& s : r.series)
        __builtin_prefetch(&s[static_cast<std::size_t>(k + kLinesAhead * kEntriesPerLine)], 1, 3);
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

// The rest of a step after the RK4 stages: clamps, bore resistance and friction work,
// recording, end tests. True when the run ends, with its end in `end` (a flag and an end
// rather than an optional, which the compiler would assemble in memory on every step).
bool finishStep(RunLane& lane, StateVector& y, RunEnd& end)
{
    const BallisticInput& in = *lane.input;
    RunResults& results = *lane.results;
    ModelState& m = lane.m;
    BoreLoad& load = lane.load;
    const double h = in.dt;
    const int i = lane.i;
    double t = i * h;
    t = t + 0.5 * h;  // the stage times, summed as the stages advance
    t = t + 0.5 * h;
    clampAfterStep(y, m);
    load.pr = resistancePressure(in, y[kTravel], load.pr);
    load.Efr = load.Efr + in.A * in.fr * load.pr * (y[kTravel] - results[SeriesId::travel][static_cast<std::size_t>(i)]);
    if (y[kVelocity] == 0) {
        m.Pb = m.Pm;  // at rest the gas is uniform
        m.P0 = m.Pm;
    }
    const int k = i + 1;
    const Entry entry = stepEntry(in, lane.c, y, m, load, t);
    writeEntry(results, k, entry);
    lane.last = k;
    lane.i = k;
    const std::optional<RunEnd> ended = stepEnd(in, lane.c, y, m, load, entry, k);
    if (!ended)
        return false;
    end = *ended;
    return true;
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

// One step of every lane in `active`, whose states are y and steps h; returns the lanes whose
// run ended.
template <std::size_t L>
unsigned stepOnce(std::array<RunLane, L>& lanes, const LanePairs<L>& pairs, std::array<StateVector, L>& y,
                  const std::array<double, L>& h, unsigned active, std::array<RunEnd, L>& ends)
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
    forEachLane<L>(stepped, [&](std::size_t l) {
        RunLane& lane = lanes[l];
        if constexpr (L > 1)
            prefetchAhead(*lane.results, lane.i + 1);
        if (RunEnd end; finishStep(lane, y[l], end)) {
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
    unsigned ended = 0;
    while (ended == 0)
        ended = stepOnce<L>(local, pairs, y, h, active, ends);
    for (std::size_t l = 0; l < L; ++l)
        local[l].y = y[l];
    lanes = local;
    return ended;
}

template unsigned stepLanes<1>(std::array<RunLane, 1>&, unsigned, std::array<RunEnd, 1>&);
template unsigned stepLanes<2>(std::array<RunLane, 2>&, unsigned, std::array<RunEnd, 2>&);
template unsigned stepLanes<3>(std::array<RunLane, 3>&, unsigned, std::array<RunEnd, 3>&);
template unsigned stepLanes<4>(std::array<RunLane, 4>&, unsigned, std::array<RunEnd, 4>&);

RunEnd runSolver(const BallisticInput& in, RunResults& results)
{
    std::array<RunLane, 1> lane;
    startLane(lane[0], in, results);
    std::array<RunEnd, 1> end{};
    stepLanes<1>(lane, 1u, end);
    return end[0];
}

}  // namespace kalvex
