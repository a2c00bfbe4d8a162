#pragma once
// One vocabulary for the results of a run: the 23 recorded series with their short names
// and units, as the series exports, the studies and the Python module name them.
#include "core/results/RunResults.h"

#include <array>
#include <string>
#include <string_view>

namespace kalvex {

struct SeriesInfo {
    SeriesId id;
    std::string_view name;  // short symbol, also the column name of an export
    std::string_view unit;  // display unit of the recorded values; "-" for a pure number
    std::string_view caption;  // what the quantity is, in words
};

inline constexpr std::array<SeriesInfo, kSeriesCount> kSeriesInfo{{
    {SeriesId::time, "t", "ms", "Time"},
    {SeriesId::travel, "x", "m", "Travel of Projectile"},
    {SeriesId::velocity, "vp", "m/s", "Velocity of Projectile"},
    {SeriesId::burnedFraction, "Z", "-", "Burned Mass Fraction"},
    {SeriesId::meanPressure, "Pmean", "MPa", "Mean Pressure"},
    {SeriesId::meanTemperature, "Tmean", "K", "Mean Temperature"},
    {SeriesId::gasPressureAhead, "Pg", "MPa", "Pressure of Air ahead of Projectile"},
    {SeriesId::basePressure, "Pb", "MPa", "Pressure at Projectile Base"},
    {SeriesId::breechPressure, "P0", "MPa", "Pressure at Breech"},
    {SeriesId::wallTemperature, "Tc", "K", "Chamber Wall Temperature"},
    {SeriesId::recoilVelocity, "vrp", "m/s", "Velocity of Recoiling Parts"},
    {SeriesId::resistancePressure, "pr", "MPa", "Resistive Pressure"},
    {SeriesId::energyTranslation, "Ekin", "J", "Energy of Projectile Translation"},
    {SeriesId::energyRotation, "Erot", "J", "Energy of Projectile Rotation"},
    {SeriesId::energyChargeMotion, "Eprop", "J", "Energy of Propellant+Igniter Motion"},
    {SeriesId::energyFriction, "Efr", "J", "Work against Friction"},
    {SeriesId::energyRecoil, "Erec", "J", "Energy of Recoil"},
    {SeriesId::energyAirResistance, "Eair", "J", "Work against Air Resistance"},
    {SeriesId::energyHeatLoss, "Q", "J", "Heat Loss"},
    {SeriesId::relativeSurface, "S/Sg", "-", "Relative Burning Surface"},
    {SeriesId::burningRate, "r", "mm/s", "Burning Rate"},
    {SeriesId::burnedThickness, "e", "mm", "Burned Thickness"},
    {SeriesId::acceleration, "a", "g", "Acceleration of Projectile"},
}};

constexpr const SeriesInfo& seriesInfo(SeriesId id)
{
    return kSeriesInfo[static_cast<std::size_t>(id)];
}

// The burned fraction of component c of a mixed charge (0 for the first): "Z1", "Z2", ...,
// unit "-", as exports and the plot name it (RunResults::componentBurnedFraction).
inline std::string componentSeriesName(std::size_t c)
{
    return "Z" + std::to_string(c + 1);
}

}  // namespace kalvex
