#pragma once
// The two commands of kalvex-vessel and their options, in the units a user types.
#include "vessel/TypedOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace kalvex::vessel::cli {

struct SimulateOptions {
    std::string input, output;
    double volume = 200, charge = 30, step = 1, sample = 10;  // cm^3, g, us, us
    double igniter = -1;                      // g; negative: the input file's
    std::optional<double> temperature;        // °C, with the input file's coefficients
    TypedHeatLoss heatLoss;
    double afterBurnout = 1;                  // ms recorded past burnout
    double noise = 0;                         // Gaussian noise, its deviation a fraction of p
    unsigned long seed = 1;                   // of the noise
    std::string pictures;                     // folder for pressure, dp/dt and Z pictures
    std::string pictureFormat = "png";        // png or svg
};

struct ReduceOptions {
    std::string input, timeUnit, pressureUnit;
    std::vector<std::string> firings;  // FILE,VOLUME_CM3,CHARGE_G[,TEMPERATURE_C[,START_MS,END_MS]]
    double igniter = -1;               // g; negative: the input file's
    TypedReduction reduction;
    std::string pictures, pictureFormat = "png";
    std::string exportJson;            // the reduction as JSON
    std::string saveAs;                // a row of this name in the propellant library
    std::string library;               // the library file; empty: the user's
};

int simulate(const SimulateOptions& options);
int reduce(const ReduceOptions& options);

}  // namespace kalvex::vessel::cli
