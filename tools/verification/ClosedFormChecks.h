#pragma once
// Checks of the model against cases with a known answer: each sets the input so that the
// model reduces to such a case and compares what the model computes with the closed form.
// The verification report prints them and the tests require them to pass; both call these.
#include "core/input/BallisticInput.h"

#include <string>
#include <vector>

namespace kalvex::verification {

// One compared quantity. The tolerance is relative to |expected| unless `absolute` is set.
struct CheckRow {
    std::string quantity;
    double expected = 0;
    double computed = 0;
    double tolerance = 0;
    bool absolute = false;
    bool passed() const;
    double deviation() const;  // relative (or absolute) difference
};

struct CheckResult {
    std::string name;
    std::string setup;      // how the input set reduces the model, one paragraph
    std::string tolerance;  // why the tolerance is what it is
    std::vector<CheckRow> rows;
    bool passed() const;
};

// A point of a curve for the figures.
struct CurvePoint {
    double x = 0;
    double y = 0;
};

// The gun every check starts from: the 155 mm howitzer of the examples.
BallisticInput referenceGun();

// The loss-free variant: no heat loss, no bore resistance, a barrel that cannot recoil, a
// twist so slow that the rotation takes no energy, and igniter gas with the propellant's
// ratio of specific heats, so that the gas expands adiabatically after burnout.
BallisticInput lossFreeGun();

struct ClosedChamber {
    CheckResult check;
    std::vector<CurvePoint> pressure;  // time ms, mean pressure MPa
    double nobleAbelPressure = 0;      // MPa
};
ClosedChamber closedChamberCheck();

// The work of the mean pressure on the projectile base against the kinetic energies plus the
// air work; Tm Vf^(gamma-1) after burnout; the Lagrange ratios of the pressures.
CheckResult workCheck();
CheckResult adiabaticCheck();
CheckResult pressureGradientCheck();

struct LimitingVelocity {
    CheckResult check;
    double limit = 0;                 // m/s
    std::vector<CurvePoint> computed;  // log10(travel m), velocity / limit
    std::vector<CurvePoint> closedForm;
};
LimitingVelocity limitingVelocityCheck();

struct Convergence {
    CheckResult check;
    std::vector<double> steps;        // h, s
    std::vector<double> values;       // f(h)
    std::vector<double> differences;  // |f(h) - f(h/2)|, one fewer
    double order = 0;                 // least-squares slope of log difference over log h
};
// Velocity at a fixed time before burnout, without bore resistance and recoil: fourth order.
Convergence smoothConvergenceCheck();
// The printed muzzle velocity of the reference gun, with bore resistance: first order.
Convergence muzzleConvergenceCheck();

}  // namespace kalvex::verification
