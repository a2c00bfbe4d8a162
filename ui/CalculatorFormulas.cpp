#include "ui/CalculatorFormulas.h"

#include "core/Errors.h"
#include "core/NumberFormat.h"

#include <cmath>

namespace kalvex::ui {

namespace {
constexpr double kQuarterPi = 0.7853981635;  // pi/4 to ten decimals, as the area has always used
constexpr double kMetresPerMm = 0.001;
constexpr double kPascalsPerMPa = 1000000;
constexpr double kMPaPerPascal = 0.000001;
constexpr int kAreaDecimals = 8;
constexpr int kRateDecimals = 14;
}  // namespace

double projectileBaseArea(double ratio, double grooveDiameterMm, double landDiameterMm)
{
    if (ratio == -1)
        throw InputError("Groove to Land Width Ratio must not be -1.");
    const double r = ratio;
    const double dg = grooveDiameterMm * kMetresPerMm;
    const double dl = landDiameterMm * kMetresPerMm;
    const double s = r * dg * dg / (r + 1) + dl * dl / (r + 1);
    return RoundDecimals(kQuarterPi * s, kAreaDecimals);
}

double pascalBurningRateCoefficient(double betaMPa, double alpha)
{
    const double betaPa = (kPascalsPerMPa / std::pow(kPascalsPerMPa, alpha)) * betaMPa * kMPaPerPascal;
    return RoundDecimals(betaPa, kRateDecimals);
}

}  // namespace kalvex::ui
