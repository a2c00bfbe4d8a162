#pragma once
// A set of closed-vessel firings reduced together: force and covolume from the firings at the
// reference temperature, the burning law fitted to their rates, and the temperature
// coefficients of the force and the burning rate from the firings at other temperatures.
#include "core/input/ChargeTemperature.h"
#include "vessel/BurningRate.h"
#include "vessel/ForceCovolume.h"

#include <atomic>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::vessel {

// One firing: its trace and what was loaded.
struct Firing {
    std::string name;  // the trace file's name, for messages and the library's source
    PressureTrace trace;
    double volume = 0;      // m^3
    double chargeMass = 0;  // kg
    std::optional<double> chargeTemperature;  // °C; none: the reference temperature
    TrimWindow trim;
};

struct ReductionOptions {
    ReductionSettings trace;       // smoothing and trimming
    std::vector<double> pLow{0};   // lower bounds of the law's segments, Pa, ascending, the first 0
    int foundSegments = 0;         // > 0: this many segments at bounds found (findSegmentBounds)
    bool fitTraces = true;         // refine the law on the traces themselves (TraceFit.h)
    bool joinSegments = true;      // the refined law's segments meet at their bounds
    bool fitGas = true;            // F and b refined on the traces with the law
    bool ignitionAtZero = false;   // the traces' clocks start at ignition, else each one's start is fitted
    // The temperature of the force, covolume and law, °C; none: 21 °C when a firing has no
    // temperature or is at 21 °C, else the firing temperature nearest 21 °C.
    std::optional<double> referenceTemperature;
    // The vessel's heat loss in every simulation of a firing (the law refined on the traces,
    // the re-simulations); the maximum pressures and the rates take none.
    VesselHeatLoss heatLoss;
    // Set from another thread to stop the reduction: reduceFirings then throws
    // ReductionStopped at its next simulation.
    const std::atomic<bool>* stop = nullptr;
};

struct ReductionStopped : std::runtime_error {
    ReductionStopped() : std::runtime_error("the reduction was stopped") {}
};

// Linear temperature coefficients in the form of ChargeTemperature.h, with their errors.
struct TemperatureFit {
    TemperatureCoefficients coefficients;  // range: the firings' lowest and highest temperature
    double forceError = 0;        // standard errors, 1/K (NaN with two temperatures)
    double burningRateError = 0;
};

struct FiringReduction {
    ReducedTrace reduced;
    double temperature = 0;  // °C
    double force = 0;        // J/kg: the force that gives this firing's pmax with the covolume b
    double rateFactor = 1;   // this firing's rates over the fitted law (geometric mean)
    // Pa by which the stated heat loss lowers this firing's maximum pressure (its simulation
    // without loss less with it), added to the measured maximum for the Noble-Abel line and
    // `force`; 0 without a stated loss.
    double peakHeatLoss = 0;
    bool reference = false;  // fired at the reference temperature
};

struct VesselReduction {
    ForceCovolume gas;      // F and b at the reference temperature: refined on the traces when asked
    ForceCovolume peakGas;  // from the maximum pressures alone (the Noble-Abel line)
    bool gasFromFirings = false;  // else the propellant's own (one loading density only)
    std::vector<LawSegment> law;      // the law reduced: refined on the traces when asked
    std::vector<LawSegment> rateLaw;  // the law fitted to the rates alone
    double lawResidual = 0;  // root mean square of log r about the law
    double traceResidual = NAN;  // root mean square of the relative pressure residual of the trace fit
    int traceFitIterations = 0;
    double referenceTemperature = kDefaultReferenceTemperature;  // °C
    std::optional<TemperatureFit> temperature;  // with firings at two or more temperatures
    std::vector<FiringReduction> firings;       // in the order given
    VesselHeatLoss heatLoss;                    // of the simulations, as the options gave it
};

// `propellant` gives the density, the igniter and the grain (and F, b when every reference
// firing has one loading density). Throws std::invalid_argument with no firing at the
// reference temperature or a trace that cannot be reduced (naming the firing).
VesselReduction reduceFirings(const std::vector<Firing>& firings, const BallisticInput& propellant,
                              const ReductionOptions& options);

// The reduced values in an input set: F, b, the law's segments and the temperature
// coefficients (factors at the reference temperature), the rest of `propellant` kept.
BallisticInput reducedPropellant(const VesselReduction& reduction, const BallisticInput& propellant);

}  // namespace kalvex::vessel
