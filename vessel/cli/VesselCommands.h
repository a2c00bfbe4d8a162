#pragma once
// The two commands of kalvex-vessel and their options, in the units a user types.
#include "vessel/BurningRate.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvex::vessel::cli {

// The vessel's heat loss (VesselSetup.h) as typed: W/m^2/K, mm, °C.
struct HeatLossOptions {
    double coefficient = 0;
    double innerDiameter = 50;
    double wallTemperature = 21;

    VesselHeatLoss heatLoss() const { return {coefficient, innerDiameter * 1e-3, wallTemperature}; }
};

struct SimulateOptions {
    std::string input, output;
    double volume = 200, charge = 30, step = 1, sample = 10;  // cm^3, g, us, us
    double igniter = -1;                      // g; negative: the input file's
    std::optional<double> temperature;        // °C, with the input file's coefficients
    HeatLossOptions heatLoss;
    double afterBurnout = 1;                  // ms recorded past burnout
    double noise = 0;                         // Gaussian noise, its deviation a fraction of p
    unsigned long seed = 1;                   // of the noise
    std::string pictures;                     // folder for pressure, dp/dt and Z pictures
    std::string pictureFormat = "png";        // png or svg
};

struct ReduceOptions {
    std::string input, timeUnit, pressureUnit;
    std::vector<std::string> firings;  // FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]]
    std::vector<double> pLow;          // MPa, the inner bounds
    int segments = 0;                  // > 0: bounds found
    double igniter = -1;               // g; negative: the input file's
    std::optional<double> referenceTemperature;  // °C
    bool ignitionAtZero = false, ratesOnly = false, keepGas = false;
    ReductionSettings settings;
    HeatLossOptions heatLoss;
    std::string pictures, pictureFormat = "png";
    std::string exportJson;            // the reduction as JSON
    std::string saveAs;                // a row of this name in the propellant library
    std::string library;               // the library file; empty: the user's
};

int simulate(const SimulateOptions& options);
int reduce(const ReduceOptions& options);

}  // namespace kalvex::vessel::cli
