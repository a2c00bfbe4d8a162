#pragma once
// What a step leaves: the entry it records in every series, held in blocks for interleaved
// runs, and the end tests of that entry.
// Internal to the solver (Solver.cpp).
#include "core/input/BallisticInput.h"
#include "core/model/BallisticModel.h"
#include "core/packs/Packs.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"
#include "core/format/Units.h"

#include "core/packs/VectorInstructions.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace kalvex::steps {

inline constexpr int kLastEntry = 40797;            // the step budget: entry 40797 is the last allowed
inline constexpr double kPressureLimit = 2000;      // MPa
inline constexpr double kVelocityLimit = 5000;      // m/s

// Zeros in every series at entry k.
inline void clearEntry(RunResults& r, int k)
{
    if (k < 0 || k >= kResultCapacity)
        return;
    for (ResultSeries& s : r.series)
        s[static_cast<std::size_t>(k)] = 0;
}

// Entry 0; the series not set here start at zero.
inline void recordIgnition(const BallisticInput& in, const RunConstants& c, RunResults& r)
{
    clearEntry(r, 0);
    const double atmosphereMpa = kAtmosphericPressure * kPascalToMegapascal;
    r.at(SeriesId::meanPressure, 0) = atmosphereMpa;
    r.at(SeriesId::meanTemperature, 0) = in.T0I;
    r.at(SeriesId::gasPressureAhead, 0) = atmosphereMpa;
    r.at(SeriesId::basePressure, 0) = atmosphereMpa;
    r.at(SeriesId::breechPressure, 0) = atmosphereMpa;
    r.at(SeriesId::wallTemperature, 0) = c.T0wKelvin;
    r.at(SeriesId::resistancePressure, 0) = in.px0 * kPascalToMegapascal;
    r.at(SeriesId::relativeSurface, 0) = 1;
    // The rate law at atmospheric pressure, shown without exponent and factors.
    r.at(SeriesId::burningRate, 0) = in.beta * kAtmosphericPressure * kMetreToMillimetre;
}

// One entry of every series, of one run (V = double) or of the runs of a pack.
template <class V>
using EntryOf = std::array<V, kSeriesCount>;
using Entry = EntryOf<double>;

// The entry after step number `steps`: the auxiliaries are those of the last stage evaluation.
template <class V>
EntryOf<V> stepEntry(const RunConstantsOf<V>& k, const StateOf<V>& y, const ModelStateOf<V>& m, const BoreLoadOf<V>& load,
                     V steps)
{
    const auto num = packs::num<V>;
    const V halfH = num(0.5) * k.dt;
    V t = steps * k.dt;
    t = t + halfH;  // the stage times, summed as the stages advance
    t = t + halfH;
    const V toMpa = num(kPascalToMegapascal);
    const V toMm = num(kMetreToMillimetre);
    const V vp = y[kVelocity];
    const V acceleration = projectileAcceleration<V>(k, m, k.fr * load.pr) * num(kPerStandardGravity);
    EntryOf<V> e;
    const auto set = [&e](SeriesId id, V v) { e[static_cast<std::size_t>(id)] = v; };
    set(SeriesId::time, t * num(kSecondToMillisecond));
    set(SeriesId::travel, y[kTravel]);
    set(SeriesId::velocity, vp);
    set(SeriesId::burnedFraction, y[kBurnedFraction]);
    set(SeriesId::meanPressure, m.Pm * toMpa);
    set(SeriesId::meanTemperature, m.Tm);
    set(SeriesId::gasPressureAhead, m.Pg * toMpa);
    set(SeriesId::basePressure, m.Pb * toMpa);
    set(SeriesId::breechPressure, m.P0 * toMpa);
    set(SeriesId::wallTemperature, packs::select<V>(k.heatTransfer, m.Tc, k.T0wKelvin));
    set(SeriesId::recoilVelocity, y[kRecoilVelocity]);
    set(SeriesId::resistancePressure, load.pr * toMpa);
    set(SeriesId::energyTranslation, m.Ekin);
    set(SeriesId::energyRotation, m.Erot);
    set(SeriesId::energyChargeMotion, m.Eprop);
    set(SeriesId::energyFriction, load.Efr);
    set(SeriesId::energyRecoil, m.Erec);
    set(SeriesId::energyAirResistance, m.Eair);
    set(SeriesId::energyHeatLoss, m.Q);
    set(SeriesId::relativeSurface, m.S / k.initialGrainSurface);
    set(SeriesId::burningRate, m.r * toMm);
    set(SeriesId::burnedThickness, m.eS * toMm);
    set(SeriesId::acceleration, packs::select<V>(vp > 0, acceleration, num(0)));
    return e;
}

// Entry k of every series. The end tests then read the entry as computed, not back from 23
// pages of the results (92 with four lanes), more than the processor keeps addresses for.
inline void writeEntry(RunResults& r, int k, const Entry& e)
{
    for (std::size_t s = 0; s < e.size(); ++s)
        r.series[s][static_cast<std::size_t>(k)] = e[s];
}

// All finite: |v| <= the largest double, false for an infinity and for NaN. Tested two
// values at a time and the answers combined, one branch for the whole entry.
inline bool entryIsFinite(const Entry& e, const StateVector& y)
{
    simd::FiniteTest finite;
    for (std::size_t s = 0; s + 1 < e.size(); s += 2)
        finite.pair(e[s], e[s + 1]);
    finite.pair(e[e.size() - 1], y[0]);
    for (std::size_t j = 1; j + 1 < y.size(); j += 2)
        finite.pair(y[j], y[j + 1]);
    return finite.all();
}

// After burnout, with projectile and barrel at rest, the gas can only trade heat with the
// wall: its temperature stays below the hotter of the two, and so its pressure stays below
// what that temperature gives. If even that pressure cannot push the projectile or the
// barrel, nothing will ever move again.
inline bool projectileStuck(const RunConstants& k, const StateVector& y, const ModelState& m, const BoreLoad& load)
{
    if (y[kVelocity] != 0 || y[kRecoilVelocity] != 0 || y[kBurnedFraction] < 1)
        return false;
    const double hottest = k.heatTransfer && m.Tc > m.Tm ? m.Tc : m.Tm;
    const double pmBound = gasPressure<double>(k, k.burntForceByT0, hottest, m.Vf);
    const double resisting = k.fr * load.pr;
    if (pmBound > resisting + m.Pg)
        return false;
    const LagrangePressures<double> bound = lagrangePressures<double>(k, pmBound, resisting, m.Pg);
    return recoilingPressure<double>(k, bound.breech, resisting) <= 0;
}

inline RunEnd faultEnd(ModelFault fault)
{
    return fault == ModelFault::freeVolume ? RunEnd::FreeVolumeExhausted : RunEnd::TemperatureExhausted;
}

// True when the charge leaves no room for the gas before anything has moved: then the
// charge is at fault, whatever the step.
inline bool noFreeVolumeAtIgnition(const RunConstants& k)
{
    StateVector y{};
    StateVector dydt{};
    ModelState m;
    const BoreLoad load{k.source.input->px0, 0};
    return evaluateModel(k, load, y, m, dydt) == ModelFault::freeVolume;
}

// The end tests of entry k, in their order of precedence: a limit broken
// on the step that passes the muzzle still ends the run with its message, so a result drawn
// from an absurd step never looks complete. Nothing when the run goes on.
inline std::optional<RunEnd> stepEnd(const RunConstants& c, const StateVector& y, const ModelState& m,
                                     const BoreLoad& load, const Entry& e, int k)
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
    if (y[kTravel] >= c.xm)
        return RunEnd::MuzzleReached;
    if (projectileStuck(c, y, m, load))
        return RunEnd::ProjectileStopped;
    if (k >= kLastEntry)
        return RunEnd::StepLimit;
    return std::nullopt;
}

// Entries of one run held back and written to its results a cache line of each series at a
// time. Written entry by entry, four interleaved runs touch 92 pages on every step, more than
// the processor keeps address translations for, and each line of the results is first read
// in to be changed. A full line goes out in one piece, past the caches: it is not read in,
// and the run does not read it back.
struct EntryBlock {
    static constexpr int kEntries = 8;  // a 64-byte line of doubles
    alignas(64) double v[kSeriesCount][kEntries];
    int from = -1;  // the first entry held; -1 when none is
    int phase = 0;  // entry k lies in line (k + phase) / kEntries of every series

    double& at(std::size_t s, int k) { return v[s][(k + phase) % kEntries]; }
};

// The lines of every series of r lie alike: their length is a whole number of lines.
static_assert(sizeof(ResultSeries) % 64 == 0);

inline void startBlock(EntryBlock& block, const RunResults& r)
{
    block.from = -1;
    block.phase = static_cast<int>(reinterpret_cast<std::uintptr_t>(r.series[0].data()) % 64 / sizeof(double));
}

// Writes the entries held up to `last` into the results.
inline void flushEntries(EntryBlock& block, RunResults& r, int last)
{
    if (block.from < 0)
        return;
    const std::size_t from = static_cast<std::size_t>(block.from);
    if (last - block.from + 1 == EntryBlock::kEntries) {
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            for (int j = 0; j < EntryBlock::kEntries; j += 2)
                simd::streamPair(&r.series[s][from + static_cast<std::size_t>(j)], &block.v[s][j]);
    } else {
        for (std::size_t s = 0; s < kSeriesCount; ++s)
            for (int k = block.from; k <= last; ++k)
                r.series[s][static_cast<std::size_t>(k)] = block.at(s, k);
    }
    block.from = -1;
}

// Holds entry k of every series, value(s) for series s, and writes the line out when it is
// full.
template <class Value>
void holdEntry(EntryBlock& block, RunResults& r, int k, Value&& value)
{
    for (std::size_t s = 0; s < kSeriesCount; ++s)
        block.at(s, k) = value(s);
    if (block.from < 0)
        block.from = k;
    if ((k + block.phase) % EntryBlock::kEntries == EntryBlock::kEntries - 1)
        flushEntries(block, r, k);
}

}  // namespace kalvex::steps
