#pragma once
// A firing, the vessel's heat loss and the reduction's choices in the units a user types
// (cm^3, g, ms, W/m^2/K, mm, °C, MPa), as kalvex-vessel's options, the Closed Vessel window and
// the Python keywords take them.
#include "vessel/Reduction.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvex::vessel {

// What was loaded and which part of the trace counts; the trace itself comes apart.
struct TypedFiring {
    double volume = 0;  // cm^3
    double charge = 0;  // g
    std::optional<double> temperature;  // °C; none: the reference temperature
    std::optional<double> start, end;   // ms, the trim window; none: found on the trace

    // The firing in SI units, named `name`, its trace still empty.
    Firing firing(const std::string& name) const;
};

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
