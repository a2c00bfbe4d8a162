#pragma once
// The charge temperature and the two factors it sets. A propellant burns faster and gives a
// hotter gas when it starts warmer; both effects are small and, over the service range of a
// gun, linear in the temperature: each factor is 1 + coefficient * (T - Tref), exactly 1 at
// the coefficients' reference temperature (docs/charge-temperature.md gives the sources).
#include <optional>
#include <string>

namespace kalvex {

struct BallisticInput;

// A propellant's temperature coefficients, as a source states them.
struct TemperatureCoefficients {
    double force = 0;        // relative change of the propellant force per kelvin, 1/K
    double burningRate = 0;  // relative change of the burning rate per kelvin, 1/K
    double reference = 21;   // temperature at which both factors are 1, °C
    // The temperatures the coefficients were measured over, °C; without a stated range the
    // law is used from -60 °C to +80 °C, wider than any service range of a gun.
    double lowest = -60;
    double highest = 80;
    bool operator==(const TemperatureCoefficients&) const = default;
};

inline constexpr double kDefaultLowestChargeTemperature = -60;   // °C
inline constexpr double kDefaultHighestChargeTemperature = 80;   // °C
inline constexpr double kDefaultReferenceTemperature = 21;       // °C

// The force temperature factor fFT and the burning-rate temperature factor fbetaT.
struct TemperatureFactors {
    double force = 1;        // fFT
    double burningRate = 1;  // fbetaT
};

// The factors at `celsius`: InputError naming the temperature when it lies outside the
// coefficients' range or when a factor would fall below 0.1 (the factors' own rules).
TemperatureFactors temperatureFactors(double celsius, const TemperatureCoefficients& coefficients);

// The first rule the coefficients break ("" when none): a range that is no range, a
// reference outside it, a coefficient that is no finite number.
std::string temperatureCoefficientsProblem(const TemperatureCoefficients& coefficients);

// Sets fFT and fbetaT of `input` from the charge temperature, and records the temperature
// and coefficients in it, so that a study or a file can show where the factors came from.
void applyChargeTemperature(double celsius, const TemperatureCoefficients& coefficients,
                            BallisticInput& input);

// " Charge temperature 63 °C: fFT = 1.0126, fbetaT = 1.0672 (coefficients 0.0003 1/K,
// 0.0016 1/K about 21 °C)", the line the results area and kalvex-batch show.
std::string chargeTemperatureLine(double celsius, const TemperatureCoefficients& coefficients);

}  // namespace kalvex
