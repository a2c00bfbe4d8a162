#pragma once

namespace kalvex {

// Area of the projectile base in m^2 from the groove-to-land width ratio r and the groove and
// land diameters in mm: grooves take r/(r+1) of the circumference and lands 1/(r+1), so the
// area is pi/4 (r dg^2 + dl^2) / (r+1), rounded to 8 decimals of m^2 (about four significant
// digits for small-arms bores). A ratio of -1 leaves no denominator and throws InputError.
double projectileBaseArea(double ratio, double grooveDiameterMm, double landDiameterMm);

// Burning-rate coefficient for pressures in Pa from the one for pressures in MPa:
// beta_Pa = beta_MPa × 10^(-6 alpha), so beta_Pa p^alpha with p in Pa gives the same rate as
// beta_MPa p^alpha with p in MPa. Rounded to 14 decimals (about six significant digits).
double pascalBurningRateCoefficient(double betaMPa, double alpha);

}  // namespace kalvex
