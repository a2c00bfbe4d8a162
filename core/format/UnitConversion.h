#pragma once
#include <array>

namespace kalvex {

// Rounds y to the nearest multiple of 10^-decimals. A value exactly halfway goes to the upper
// multiple (towards plus infinity, also for negative numbers), unlike RoundDecimals, which
// rounds halves away from zero. Both are kept: the conversion window rounds this way.
double roundHalfUp(double y, int decimals);

// One arrow button of the conversion window: it reads one field, multiplies by a fixed
// factor, rounds and writes the other field of its group.
struct UnitConversion {
    int button;     // n of the arrow button BitBtn<n>
    int source;     // n of the field read, Edit<n>
    int target;     // n of the field written
    double factor;  // target units per source unit
    int decimals;   // decimals kept in the result
};

// The eighteen conversions, in the order of the groups: cm/in, m/ft, m/yd, g/gr, g/oz,
// m/s and ft/s, J and ft.lb, MPa/psi, MPa/bar, each first down (upper to lower), then up.
const std::array<UnitConversion, 18>& unitConversions();

// The conversion behind BitBtn<button>, 1..18.
const UnitConversion& conversionOfButton(int button);

// factor × x, rounded half up to the conversion's decimals.
double convertUnits(const UnitConversion& conversion, double x);

}  // namespace kalvex
