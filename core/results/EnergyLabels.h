#pragma once
// The energy balance at muzzle exit as the summary and the report print it: the seven losses
// in their printed order, each with its summary line (its blank counts are those the results
// area has always shown) and its report label (padded to the report's value column).
#include "core/results/RunResults.h"

#include <array>

namespace kalvex {

struct EnergyLossLine {
    SeriesId series;            // the energy recorded at each step, J
    const char* summaryFormat;  // energy and its share of the total, printf style
    const char* reportLabel;    // up to the value column
};

inline constexpr std::array<EnergyLossLine, 7> kEnergyLossLines{{
    {SeriesId::energyTranslation,
     " Energy Loss due to Projectile Translation [J]:          %9.0f    %9.1f%%",
     " Energy Loss due to Projectile Translation [J]:       "},
    {SeriesId::energyHeatLoss,
     " Energy Loss due to Heat Transfer [J]:                      %9.0f    %9.1f%%",
     " Energy Loss due to Heat Transfer [J]:                "},
    {SeriesId::energyChargeMotion,
     " Energy Loss due to Propellant+Igniter Motion [J]:    %9.0f     %9.1f%%",
     " Energy Loss due to Propellant+Igniter Motion [J]:    "},
    {SeriesId::energyFriction,
     " Energy Loss due to Friction [J]:                                 %9.0f     %9.1f%%",
     " Energy Loss due to Friction [J]:                     "},
    {SeriesId::energyRecoil,
     " Energy Loss due to Recoil [J]:                                   %9.0f    %9.1f%%",
     " Energy Loss due to Recoil [J]:                       "},
    {SeriesId::energyRotation,
     " Energy Loss due to Projectile Rotation [J]:                %9.0f    %9.1f%%",
     " Energy Loss due to Projectile Rotation [J]:          "},
    {SeriesId::energyAirResistance,
     " Energy Loss due to Air Resistance [J]:                       %9.0f    %9.1f%%",
     " Energy Loss due to Air Resistance [J]:               "},
}};

struct EnergyTotalLabel {
    const char* summaryFormat;
    const char* reportLabel;
};

inline constexpr EnergyTotalLabel kRemainingGasEnergy{
    " Remaining Energy of Propellant+Igniter Gas [J]:      %9.0f   %9.1f%%",
    " Remaining Energy of Propellant+Igniter Gas [J]:      "};
inline constexpr EnergyTotalLabel kUnburnedEnergy{
    " Remaining Energy of unburned Propellant [J]:          %9.0f   %9.1f%%",
    " Remaining Energy of unburned Propellant [J]:         "};
inline constexpr EnergyTotalLabel kTotalEnergy{
    " Total energy of Propellant+Igniter [J]:                      %9.0f  %9.1f%%",
    " Total energy of Propellant+Igniter [J]:              "};

}  // namespace kalvex
