#pragma once
// The lumped-parameter interior ballistic model evaluated at one instant: from the state of
// the projectile, the charge and the chamber wall, the auxiliary quantities and the seven
// time derivatives.
#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"

#include <array>

namespace kalvex {

// The integrated variables; the index is also the selector of the derivative.
enum StateIndex : int {
    kVelocity = 0,        // vp, projectile velocity, m/s (>= 0)
    kTravel = 1,          // x, travel relative to the barrel, m (>= 0)
    kBurnedFraction = 2,  // Z, burned mass fraction (<= 1)
    kAirWork = 3,         // Eair, work against the air column ahead of the projectile, J
    kHeatLoss = 4,        // Q, heat lost to the chamber wall, J
    kRecoilVelocity = 5,  // vrp, velocity of the recoiling parts, m/s (<= 0, rearward)
    kBurnedThickness = 6, // e, burned thickness of the grains, m
    kStateSize = 7
};
using StateVector = std::array<double, kStateSize>;

inline constexpr double kAtmosphericPressure = 101325;  // Pa, air ahead of the projectile at rest

// Per-run constants, computed once before the first step.
struct RunConstants {
    double Ctot = 0;          // propellant plus igniter mass, kg
    double T0wKelvin = 0;     // initial wall temperature, K
    double boreDiameter = 0;  // d, m
    double lambda = 0;        // heat-transfer constant 1/(13.2 + 4 log10(100 d))^2
    double patm = kAtmosphericPressure;  // Pa
    double gammaAir = 1.4;    // ratio of specific heats of the air ahead
    double cair = 340;        // speed of sound in that air, m/s
    GrainGeometry grain;

    // Input combinations that stay the same during a run, each grouped exactly as the model
    // equations group them, so that using them changes no digit of the results.
    double propellantForceMass = 0;   // fFT*F*C
    double propellantCpFactor = 0;    // fFT*F*gamma*C
    double propellantCvDivisor = 0;   // (gamma - 1)*T0
    double igniterEnergy = 0;         // FI*CI/(gammaI - 1)
    double igniterCv = 0;             // FI*CI/((gammaI - 1)*T0I)
    double igniterCp = 0;             // FI*gammaI*CI/((gammaI - 1)*T0I)
    double igniterForceByT0I = 0;     // FI*CI/T0I
    double burningRateFactor = 0;     // fbeta*fbetaT*beta
    double threeMp = 0;               // 3*mp, Lagrange gradient: the charge weighs a third
    double lagrangeDivisor = 0;       // 1 + Ctot/(3*mp)
    double rotationDivisor = 0;       // 4*Tw^2
    double fixedVolume = 0;           // V0 - Vp
    double igniterCovolume = 0;       // CI*bI
    double chamberWallArea = 0;       // (V0/A)*pi*d + 2*A
    double wallHeatCapacity = 0;      // Cpw*rhow (times Aw*Dw per evaluation)
    double recoilAreaPerMass = 0;     // A/mrp
    double recoilBrakePressure = 0;   // RR/A
};

RunConstants prepareRunConstants(const BallisticInput& input);

// The auxiliary quantities of the latest evaluation (SI units).
struct ModelState {
    double S = 0;     // burning surface of one grain, m^2
    double eS = 0;    // burned thickness at the latest surface evaluation, m
    double Vf = 0;    // free volume for the gas, m^3
    double Aw = 0;    // heated surface of chamber and bore, m^2
    double vg = 0;    // mean gas velocity for heat transfer, m/s
    double rhog = 0;  // mean gas density, kg/m^3
    double cp = 0;    // specific heat of the gas mixture at constant pressure, J/kg/K
    double Ekin = 0, Erot = 0, Eprop = 0, Erec = 0;  // kinetic energies, J
    double Eair = 0, Q = 0;                          // copies of the state, J
    double Tm = 0;    // mean gas temperature, K
    double Pm = kAtmosphericPressure;  // mean gas pressure, Pa
    double r = 0;     // linear burning rate, m/s
    double M = 0;     // Mach number of the projectile in the air ahead
    double Pg = kAtmosphericPressure;  // pressure of the air ahead of the projectile, Pa
    double Pb = kAtmosphericPressure;  // pressure at the projectile base, Pa
    double P0 = 0;    // pressure at the breech, Pa
    double hT = 0;    // heat-transfer coefficient, W/m^2/K
    double Tc = 0;    // chamber wall temperature, K
};

// What the step loop owns and the model only reads.
struct BoreLoad {
    double pr = 0;   // bore-resistance pressure at the current travel, Pa
    double Efr = 0;  // work done against bore friction so far, J
};

// A state in which the gas equations lose their meaning.
enum class ModelFault { none, freeVolume, temperature };

// Evaluates the whole model at `y` (the clamps are written back into `y`), leaves the
// auxiliaries in `m` and the seven time derivatives in `dydt`. Stops at the first fault.
ModelFault evaluateModel(const BallisticInput& input, const RunConstants& c, const BoreLoad& load,
                         StateVector& y, ModelState& m, StateVector& dydt);

// The bounds of the state: the projectile does not move back into the chamber, the burned
// fraction does not pass 1, the recoil brake does not push the barrel forward. Applied to
// every stage state and again after each step.
void clampState(StateVector& y);

// Bore-resistance pressure at travel x, a polyline through (0, px0), (xe0, pxe0), (xe, pxe)
// and (xm, pxm); exactly at xe the previous value is kept.
double resistancePressure(const BallisticInput& input, double x, double previous);

}  // namespace kalvex
