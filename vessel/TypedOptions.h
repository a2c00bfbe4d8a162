#pragma once
// The vessel's heat loss and the reduction's choices in the units a user types (W/m^2/K, mm,
// °C, MPa), as kalvex-vessel's options and the Python keywords take them.
#include "vessel/Reduction.h"

#include <optional>
#include <vector>

namespace kalvex::vessel {

struct TypedHeatLoss {
    double coefficient = 0;       // W/m^2/K
    double innerDiameter = 50;    // mm
    double wallTemperature = 21;  // °C

    VesselHeatLoss heatLoss() const;
};

struct TypedReduction {
    std::vector<double> pLow;  // MPa, the bounds above the first segment (which starts at 0)
    int segments = 0;          // > 0: this many segments at bounds found
    std::optional<double> referenceTemperature;  // °C
    bool ignitionAtZero = false, ratesOnly = false, keepGas = false;
    ReductionSettings settings;
    TypedHeatLoss heatLoss;

    ReductionOptions options() const;
};

}  // namespace kalvex::vessel
