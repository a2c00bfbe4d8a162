#include "vessel/TypedOptions.h"

#include "core/format/Units.h"

namespace kalvex::vessel {

Firing TypedFiring::firing(const std::string& name) const
{
    Firing f;
    f.name = name;
    f.volume = volume * kCubicCentimetreToCubicMetre;
    f.chargeMass = charge * kGramToKilogram;
    f.chargeTemperature = temperature;
    if (start)
        f.trim.start = *start * kMillisecondToSecond;
    if (end)
        f.trim.end = *end * kMillisecondToSecond;
    return f;
}

VesselHeatLoss TypedHeatLoss::heatLoss() const
{
    return {coefficient, innerDiameter * kMillimetreToMetre, wallTemperature};
}

ReductionOptions TypedReduction::options() const
{
    ReductionOptions options;
    options.trace = settings;
    // The first segment starts at 0, as the model's does; the bounds given are those above it.
    options.pLow.assign(1, 0.0);
    for (double p : pLow)
        if (p > 0)
            options.pLow.push_back(p * kMegapascalToPascal);
    options.foundSegments = segments;
    options.referenceTemperature = referenceTemperature;
    options.ignitionAtZero = ignitionAtZero;
    options.fitTraces = !ratesOnly;
    options.fitGas = !keepGas;
    options.heatLoss = heatLoss.heatLoss();
    return options;
}

}  // namespace kalvex::vessel
