#include "core/input/ChargeTemperature.h"

#include "core/format/NumberFormat.h"
#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"

#include <cmath>
#include <vector>

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

// Components after the first that carry coefficients of their own get their factors from
// them ("Component k: ..." when the temperature lies outside their range); the others keep
// theirs. Nothing changes when a rule fails.
void applyChargeTemperature(double celsius, const TemperatureCoefficients& coefficients,
                            BallisticInput& input)
{
    const TemperatureFactors f = temperatureFactors(celsius, coefficients);
    // A component with coefficients of its own follows the same temperature by its own law.
    std::vector<TemperatureFactors> components(input.extraComponents.size());
    for (std::size_t k = 0; k < components.size(); ++k) {
        const ChargeComponent& c = input.extraComponents[k];
        if (!c.temperatureCoefficients)
            continue;
        try {
            components[k] = temperatureFactors(celsius, *c.temperatureCoefficients);
        } catch (const InputError& e) {
            throw InputError("Component " + std::to_string(k + 2) + ": " + e.what());
        }
    }
    input.fFT = f.force;
    input.fbetaT = f.burningRate;
    input.chargeTemperature = celsius;
    input.temperatureCoefficients = coefficients;
    for (std::size_t k = 0; k < components.size(); ++k) {
        if (input.extraComponents[k].temperatureCoefficients) {
            input.extraComponents[k].fFT = components[k].force;
            input.extraComponents[k].fbetaT = components[k].burningRate;
        }
    }
}

std::string chargeTemperatureLine(double celsius, const TemperatureCoefficients& c)
{
    const TemperatureFactors f = temperatureFactors(celsius, c);
    return " Charge temperature " + celsiusText(celsius) + ": fFT = " + formatGeneral(f.force) +
           ", fbetaT = " + formatGeneral(f.burningRate) + " (coefficients " + formatGeneral(c.force) +
           " 1/K, " + formatGeneral(c.burningRate) + " 1/K about " + celsiusText(c.reference) + ")";
}

}  // namespace kalvex
