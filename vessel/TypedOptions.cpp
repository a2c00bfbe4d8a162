#include "vessel/TypedOptions.h"

namespace kalvex::vessel {

namespace {
constexpr double kMegapascal = 1e6;  // Pa
constexpr double kMillimetre = 1e-3;  // m
}  // namespace

VesselHeatLoss TypedHeatLoss::heatLoss() const
{
    return {coefficient, innerDiameter * kMillimetre, wallTemperature};
}

ReductionOptions TypedReduction::options() const
{
    ReductionOptions options;
    options.trace = settings;
    // The first segment starts at 0, as the model's does; the bounds given are those above it.
    options.pLow.assign(1, 0.0);
    for (double p : pLow)
        if (p > 0)
            options.pLow.push_back(p * kMegapascal);
    options.foundSegments = segments;
    options.referenceTemperature = referenceTemperature;
    options.ignitionAtZero = ignitionAtZero;
    options.fitTraces = !ratesOnly;
    options.fitGas = !keepGas;
    options.heatLoss = heatLoss.heatLoss();
    return options;
}

}  // namespace kalvex::vessel
