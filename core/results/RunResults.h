#pragma once
#include "core/model/GrainGeometry.h"

#include <array>
#include <cstddef>
#include <vector>

namespace kalvex {

inline constexpr int kResultCapacity = 41000;  // entries per series; the step limit keeps N <= 40797
using ResultSeries = std::array<double, kResultCapacity>;

// The recorded series, in storage order, each in display units.
enum class SeriesId : int {
    time,                 // ms
    travel,               // m
    velocity,             // m/s
    burnedFraction,       // Z, -
    meanPressure,         // MPa
    meanTemperature,      // K
    gasPressureAhead,     // MPa
    basePressure,         // MPa
    breechPressure,       // MPa
    wallTemperature,      // K
    recoilVelocity,       // m/s, rearward negative
    resistancePressure,   // bore resistance pr without the factor fr, MPa
    energyTranslation,    // J
    energyRotation,       // J
    energyChargeMotion,   // J, propellant and igniter gas motion
    energyFriction,       // J
    energyRecoil,         // J
    energyAirResistance,  // J
    energyHeatLoss,       // J
    relativeSurface,      // S/Sg, -
    burningRate,          // mm/s
    burnedThickness,      // mm
    acceleration,         // standard gravities
    count
};
inline constexpr int kSeriesCount = static_cast<int>(SeriesId::count);

// One run's results: entry 0 is ignition, entry k the state after step k, entry stepCount
// the muzzle exit. About 7.5 MB: keep instances on the heap.
// A run writes entries 0 to its last step and zeroes the entry after it; the entries beyond
// keep whatever an earlier run left, and no reader goes past stepCount + 1. A buffer made
// with std::make_unique_for_overwrite is therefore never cleared as a whole: a short run
// touches only the pages it writes.
struct RunResults {
    std::array<ResultSeries, kSeriesCount> series;  // left uninitialised by default-initialisation
    int stepCount = 0;   // N
    int pmaxRow = 0;     // entry of the first peak of the mean pressure
    int burnoutRow = 0;  // first entry with Z exactly 1; N + 1 when burning outlasts the barrel
    int endStep = 0;     // the step in which the last run ended, 1 for the first; 0 at ignition
    GrainGeometry grain;
    double Etot = 0;       // total energy of propellant and igniter, J
    double Egas = 0;       // energy left in the gas at muzzle exit, J
    double Eunburned = 0;  // energy of the propellant still unburned at muzzle exit, J
    // The burned fraction of each component of a mixed charge, entry by entry as the series
    // (component 1 first); empty for a charge of one component.
    std::vector<ResultSeries> componentBurnedFraction;

    ResultSeries& operator[](SeriesId id) { return series[static_cast<std::size_t>(id)]; }
    const ResultSeries& operator[](SeriesId id) const { return series[static_cast<std::size_t>(id)]; }
    // Entry k of series id.
    double& at(SeriesId id, int k) { return (*this)[id][static_cast<std::size_t>(k)]; }
    double at(SeriesId id, int k) const { return (*this)[id][static_cast<std::size_t>(k)]; }
};

}  // namespace kalvex
