#pragma once
// The command line of kalvex-batch.

#include "core/stepping/Integrator.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::batch {

struct BatchOptions {
    std::string inputPath;                  // a report file or a JSON input file whose input values are run
    std::optional<std::string> reportPath;  // -o: where the new report is written
    std::optional<std::string> seriesPath;  // --csv: where the 23 series are written
    std::optional<std::string> inputsPath;  // --save-inputs: the run's whole input set as a JSON input file
    int outputEvery = 20;                   // --every: step interval of the report's time table
    bool showEnergy = false;                // --energy: energy lines in the summary
    bool showGrains = true;                 // --no-grains removes the number of grains
    bool heatTransfer = true;               // --no-heat-transfer: no heat loss to the wall
    bool errorEstimate = false;             // --error-estimate: run again at half the step
    IntegratorChoice integrator;            // --integrator, --rtol, --atol, --max-steps
    bool help = false;                      // --help: print the usage and do nothing else
    bool version = false;                   // --version: print the version and do nothing else
    std::optional<std::string> propellant;  // --propellant: a library row replaces the seven values
    bool listPropellants = false;           // --list-propellants: print the library, run nothing
    std::optional<double> chargeTemperature;     // --charge-temperature: °C, sets fFT and fbetaT
    std::optional<double> forceCoefficient;      // --force-temp-coeff: 1/K
    std::optional<double> burningRateCoefficient;  // --rate-temp-coeff: 1/K
    std::optional<double> referenceTemperature;  // --reference-temperature: °C
    std::string programFolder;  // where the shipped propellant library lies; empty: beside
                                // the running program (no option: for tests)
};

// A command line that cannot be run; the message says what is wrong.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// Parses the arguments after the program name. Throws UsageError.
BatchOptions parseBatchArguments(const std::vector<std::string>& args);

// The text that --help prints.
std::string batchUsage();

}  // namespace kalvex::batch
