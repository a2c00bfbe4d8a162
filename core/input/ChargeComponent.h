#pragma once
// A component of a mixed charge after the first: its own propellant, burning law and grain.
// The first component is the input set's own propellant and grain fields, so a charge of one
// component is an input set of today and a reader of only those fields runs the first
// component alone.
#include "core/input/BurningSegments.h"
#include "core/input/ChargeTemperature.h"

#include <optional>
#include <vector>

namespace kalvex {

struct ChargeComponent {
    // Propellant
    double C = 0;       // mass of this component, kg
    double F = 0;       // propellant force, J/kg
    double T0 = 0;      // adiabatic flame temperature, K
    double b = 0;       // covolume, m^3/kg
    double gamma = 0;   // ratio of specific heats of its gas
    double rho = 0;     // density, kg/m^3
    double beta = 0;    // burning-rate coefficient of the first segment, m/s/Pa^alpha
    double alpha = 0;   // burning-rate exponent of the first segment
    double fFT = 1;     // force temperature factor
    double fbeta = 1;   // burning-rate factor
    double fbetaT = 1;  // burning-rate temperature factor
    // The burning law's segments above the first, as BallisticInput::upperSegments.
    std::vector<BurningSegment> upperSegments;
    // The component's own temperature coefficients, when its fFT and fbetaT follow the
    // charge temperature of the input set.
    std::optional<TemperatureCoefficients> temperatureCoefficients;

    // Grain shape and sizes, as BallisticInput's
    int grainType = 2;
    double D = 0;
    double L = 0;
    double P = 0;
    double SW = 0;

    bool operator==(const ChargeComponent&) const = default;
};

// Components of a charge, the first included.
inline constexpr std::size_t kMaxChargeComponents = 8;

}  // namespace kalvex
