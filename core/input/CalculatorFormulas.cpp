#include "core/input/CalculatorFormulas.h"

#include "core/results/Errors.h"
#include "core/format/NumberFormat.h"
#include "core/format/Units.h"

#include <cmath>

namespace kalvex {

namespace {
constexpr double kQuarterPi = 0.7853981635;  // pi/4 to ten decimals, as the area has always used
constexpr int kAreaDecimals = 8;
constexpr int kRateDecimals = 14;
}  // namespace

double projectileBaseArea(double ratio, double grooveDiameterMm, double landDiameterMm)
{
    if (ratio == -1)
        throw InputError("Groove to Land Width Ratio must not be -1.");
    const double r = ratio;
    const double dg = grooveDiameterMm * kMillimetreToMetre;
    const double dl = landDiameterMm * kMillimetreToMetre;
    const double s = r * dg * dg / (r + 1) + dl * dl / (r + 1);
    return RoundDecimals(kQuarterPi * s, kAreaDecimals);
}

double pascalBurningRateCoefficient(double betaMPa, double alpha)
{
    const double betaPa = (kMegapascalToPascal / std::pow(kMegapascalToPascal, alpha)) * betaMPa * kPascalToMegapascal;
    return RoundDecimals(betaPa, kRateDecimals);
}

}  // namespace kalvex
