#include "core/format/UnitConversion.h"

#include <cmath>
#include <stdexcept>

namespace kalvex {

double roundHalfUp(double y, int decimals)
{
    const double s = std::pow(10.0, decimals);
    const double c = std::ceil(y * s) / s;  // the smallest multiple of 1/s not below y
    if (y + 0.5 / s >= c)
        return c;
    return c - 1 / s;
}

// Inch, foot, yard and bar are exact definitions. Grain, ounce, foot-pound and psi use
// shortened base values (0.0647989 g, 28.3495 g, 1.35582 J, 145.038 psi per MPa); each
// reverse factor is the reciprocal of the shortened value, so forth and back returns the
// starting number up to the rounding.
const std::array<UnitConversion, 18>& unitConversions()
{
    static const std::array<UnitConversion, 18> table{{
        {9, 9, 10, 0.39370078740157477, 3},   // cm -> in, 1 / 2.54
        {10, 10, 9, 2.54, 3},                 // in -> cm
        {11, 11, 12, 3.280839895013123, 3},   // m -> ft, 1 / 0.3048
        {12, 12, 11, 0.3048, 3},              // ft -> m
        {3, 3, 4, 1.0936132983377078, 3},     // m -> yd, 1 / 0.9144
        {4, 4, 3, 0.9144, 3},                 // yd -> m
        {2, 1, 2, 15.43236073451864, 4},      // g -> gr, 1 / 0.0647989
        {1, 2, 1, 0.0647989, 4},              // gr -> g
        {14, 13, 14, 0.03527399072294044, 3}, // g -> oz, 1 / 28.3495
        {13, 14, 13, 28.3495, 3},             // oz -> g
        {5, 5, 6, 3.280839895013123, 3},      // m/s -> ft/s, 1 / 0.3048
        {6, 6, 5, 0.3048, 3},                 // ft/s -> m/s
        {7, 7, 8, 0.7375610331754953, 3},     // J -> ft.lb, 1 / 1.35582
        {8, 8, 7, 1.35582, 3},                // ft.lb -> J
        {15, 15, 16, 145.038, 2},             // MPa -> psi
        {16, 16, 15, 0.006894744825494008, 2},// psi -> MPa, 1 / 145.038
        {17, 17, 18, 10, 2},                  // MPa -> bar
        {18, 18, 17, 0.1, 2},                 // bar -> MPa
    }};
    return table;
}

const UnitConversion& conversionOfButton(int button)
{
    for (const UnitConversion& c : unitConversions())
        if (c.button == button)
            return c;
    throw std::out_of_range("no conversion button " + std::to_string(button));
}

double convertUnits(const UnitConversion& conversion, double x)
{
    return roundHalfUp(conversion.factor * x, conversion.decimals);
}

}  // namespace kalvex
