#pragma once
// The complete set of numbers one run of the interior ballistic model needs,
// in SI units except the initial wall temperature and the charge temperature, which stay in
// degrees Celsius, and the segments' lower pressure bounds, in MPa.
#include "core/input/BurningSegments.h"
#include "core/input/ChargeComponent.h"
#include "core/input/ChargeTemperature.h"

#include <optional>
#include <vector>

namespace kalvex {

struct BallisticInput {
    // Weapon and cartridge
    double A = 0;     // area of the projectile base, m^2
    double mp = 0;    // projectile mass, kg
    double xm = 0;    // projectile travel at the muzzle, m
    double V0 = 0;    // volume of the empty chamber, m^3
    double Tw = 0;    // twist of rifling, calibres per turn
    double Vp = 0;    // parasitic volume, m^3
    double T0w = 0;   // initial chamber wall temperature, °C (kelvin only inside a run)
    double h0 = 0;    // free heat-transfer coefficient for air, W/m^2/K
    double Dw = 0;    // heated chamber wall thickness, m
    double rhow = 0;  // density of the chamber wall steel, kg/m^3
    double Cpw = 0;   // heat capacity of the wall steel, J/kg/K
    double f = 0;     // fraction of the friction work that heats the wall
    double mrp = 0;   // mass of the recoiling parts, kg
    double RR = 0;    // recoil resistance force, N
    double dt = 0;    // computation step, s

    // Propellant and igniter
    double C = 0;       // propellant mass, kg
    double F = 0;       // propellant force, J/kg
    double T0 = 0;      // adiabatic flame temperature of the propellant, K
    double b = 0;       // propellant covolume, m^3/kg
    double gamma = 0;   // ratio of specific heats of the propellant gas
    double rho = 0;     // propellant density, kg/m^3
    double beta = 0;    // burning-rate coefficient, m/s/Pa^alpha
    double alpha = 0;   // burning-rate exponent
    double CI = 0;      // igniter mass, kg
    double FI = 0;      // igniter force, J/kg
    double T0I = 0;     // adiabatic flame temperature of the igniter, K
    double bI = 0;      // igniter covolume, m^3/kg
    double gammaI = 0;  // ratio of specific heats of the igniter gas
    double fFT = 0;     // force temperature factor
    double fbeta = 0;   // burning-rate factor
    double fbetaT = 0;  // burning-rate temperature factor

    // Grain shape and sizes
    int grainType = 2;  // 1 spherical, 2 slab, 3 cylinder, 4 tube, 5 slotted stick, 6 7-perf., 7 19-perf.
    double D = 0;       // grain diameter or first slab edge, m
    double L = 0;       // grain length or second slab edge, m
    double P = 0;       // perforation diameter or third slab edge, m
    double SW = 0;      // slot width of a slotted stick, m

    // Bore resistance: a polyline through (0, px0), (xe0, pxe0), (xe, pxe), (xm, pxm)
    double fr = 0;    // down-tube resistance factor
    double xe0 = 0;   // travel at the resistance peak, m
    double xe = 0;    // travel at the end of the steep fall, m
    double px0 = 0;   // resistive pressure at x = 0, Pa
    double pxe0 = 0;  // resistive pressure at xe0, Pa
    double pxe = 0;   // resistive pressure at xe, Pa
    double pxm = 0;   // resistive pressure at the muzzle, Pa

    bool heatTransfer = true;  // heat loss to the chamber wall is part of the model

    // The burning law's segments above the first (which is beta, alpha from 0 Pa), by
    // increasing lower bound; empty: one segment, the law of the 43 input values.
    std::vector<BurningSegment> upperSegments;

    // Where fFT and fbetaT came from, when they were set from a charge temperature
    // (applyChargeTemperature): the model reads only the two factors.
    std::optional<double> chargeTemperature;                         // °C
    std::optional<TemperatureCoefficients> temperatureCoefficients;  // the propellant's

    // The charge's components after the first (which is the propellant and grain above), in
    // the order the user lists them; empty: a charge of one propellant.
    std::vector<ChargeComponent> extraComponents;
};

}  // namespace kalvex
