#include "core/input/ChargeTemperature.h"

#include "core/format/NumberFormat.h"
#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"

#include <cmath>

namespace kalvex {

namespace {

// The smallest factor the input rules of fFT and fbetaT admit.
constexpr double kSmallestFactor = 0.1;

std::string celsiusText(double celsius) { return formatGeneral(celsius) + " \u00b0C"; }

}  // namespace

std::string temperatureCoefficientsProblem(const TemperatureCoefficients& c)
{
    if (!std::isfinite(c.force) || !std::isfinite(c.burningRate))
        return "Temperature Coefficient not a finite number";
    if (!std::isfinite(c.lowest) || !std::isfinite(c.highest) || !(c.lowest < c.highest))
        return "Charge Temperature range: the lowest temperature must be below the highest";
    if (!std::isfinite(c.reference) || c.reference < c.lowest || c.reference > c.highest)
        return "Reference Temperature " + celsiusText(c.reference) + " outside the range " +
               celsiusText(c.lowest) + " to " + celsiusText(c.highest);
    return {};
}

TemperatureFactors temperatureFactors(double celsius, const TemperatureCoefficients& c)
{
    if (const std::string problem = temperatureCoefficientsProblem(c); !problem.empty())
        throw InputError(problem);
    if (!std::isfinite(celsius) || celsius < c.lowest || celsius > c.highest)
        throw InputError("Charge Temperature " + celsiusText(celsius) + " outside the range " +
                         celsiusText(c.lowest) + " to " + celsiusText(c.highest));
    // At the reference the difference is exactly 0 and both factors exactly 1.
    const double difference = celsius - c.reference;  // K
    const TemperatureFactors f{1 + c.force * difference, 1 + c.burningRate * difference};
    if (!(f.force >= kSmallestFactor))
        throw InputError("Charge Temperature " + celsiusText(celsius) +
                         " gives a Force Temperature Factor fFT less than 0.1");
    if (!(f.burningRate >= kSmallestFactor))
        throw InputError("Charge Temperature " + celsiusText(celsius) +
                         " gives a Burning Rate Temperature Factor fbetaT less than 0.1");
    return f;
}

void applyChargeTemperature(double celsius, const TemperatureCoefficients& coefficients,
                            BallisticInput& input)
{
    const TemperatureFactors f = temperatureFactors(celsius, coefficients);
    input.fFT = f.force;
    input.fbetaT = f.burningRate;
    input.chargeTemperature = celsius;
    input.temperatureCoefficients = coefficients;
}

std::string chargeTemperatureLine(double celsius, const TemperatureCoefficients& c)
{
    const TemperatureFactors f = temperatureFactors(celsius, c);
    return " Charge temperature " + celsiusText(celsius) + ": fFT = " + formatGeneral(f.force) +
           ", fbetaT = " + formatGeneral(f.burningRate) + " (coefficients " + formatGeneral(c.force) +
           " 1/K, " + formatGeneral(c.burningRate) + " 1/K about " + celsiusText(c.reference) + ")";
}

}  // namespace kalvex
