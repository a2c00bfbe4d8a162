#include "tools/verification/ClosedFormChecks.h"

#include "core/format/NumberFormat.h"
#include "core/model/Pi.h"
#include "core/results/RunSummary.h"
#include "core/stepping/Solver.h"
#include "core/input/StartSequence.h"
#include "core/format/Units.h"
#include "core/stepping/ModelStepper.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace kalvex::verification {

bool CheckRow::passed() const
{
    return deviation() <= tolerance;  // false for NaN
}

double CheckRow::deviation() const
{
    const double difference = std::fabs(computed - expected);
    return absolute ? difference : difference / std::fabs(expected);
}

bool CheckResult::passed() const
{
    return !rows.empty() && std::all_of(rows.begin(), rows.end(), [](const CheckRow& r) { return r.passed(); });
}

namespace {

constexpr double kUnreachable = 1e12;  // Pa or N: a resistance no gas pressure reaches
constexpr double kSlowTwist = 1e6;     // calibres per turn: the rotation takes ~1e-13 of the energy

std::unique_ptr<RunResults> runToMuzzle(const BallisticInput& in)
{
    auto results = std::make_unique<RunResults>();
    resetRunResults(*results);
    if (runSolver(in, *results) != RunEnd::MuzzleReached)
        throw std::runtime_error("a verification run did not reach the muzzle");
    return results;
}

// Energy of the propellant and the igniter, J.
double chargeEnergy(const BallisticInput& in)
{
    return in.fFT * in.F * in.C / (in.gamma - 1) + in.FI * in.CI / (in.gammaI - 1);
}

// Free volume once everything is burnt: only the covolumes are taken from the gas.
double burntFreeVolume(const BallisticInput& in, double x)
{
    return in.V0 - in.Vp + in.A * x - in.C * in.b - in.CI * in.bI;
}

// Projectile, rotation and charge motion share one velocity: the mass that moves with it.
double movingMass(const BallisticInput& in)
{
    return in.mp + kPiSquared * in.mp / (2 * in.Tw * in.Tw) + (in.C + in.CI) / 3;
}

}  // namespace

BallisticInput referenceGun()
{
    BallisticInput in;
    in.A = 0.01911;
    in.mp = 43.5;
    in.xm = 5.1;
    in.V0 = 0.0188;
    in.Tw = 20;
    in.Vp = 0;
    in.T0w = 21;
    in.h0 = 12;
    in.Dw = 0.0005;
    in.rhow = 7850;
    in.Cpw = 460;
    in.f = 0.05;
    in.mrp = 3800;
    in.RR = 150000;
    in.dt = 2e-6;
    in.C = 11.8;
    in.F = 1.09e6;
    in.T0 = 3000;
    in.b = 0.001;
    in.gamma = 1.24;
    in.rho = 1660;
    in.beta = 5.2e-9;
    in.alpha = 0.9;
    in.CI = 0.1;
    in.FI = 280000;
    in.T0I = 2000;
    in.bI = 0.0011;
    in.gammaI = 1.25;
    in.fFT = in.fbeta = in.fbetaT = 1;
    in.grainType = 6;
    in.D = 0.0115;
    in.L = 0.026;
    in.P = 0.0009;
    in.SW = 0;
    in.fr = 1;
    in.xe0 = 0.02;
    in.xe = 0.1;
    in.px0 = 20e6;
    in.pxe0 = 40e6;
    in.pxe = 15e6;
    in.pxm = 8e6;
    in.heatTransfer = true;
    return in;
}

BallisticInput lossFreeGun()
{
    BallisticInput in = referenceGun();
    in.heatTransfer = false;
    in.fr = 0;
    in.RR = kUnreachable;
    in.Tw = kSlowTwist;
    in.gammaI = in.gamma;
    in.xm = 10;  // without the bore resistance the charge burns out later: a longer barrel
    return in;
}

ClosedChamber closedChamberCheck()
{
    BallisticInput in = referenceGun();
    in.heatTransfer = false;
    in.px0 = in.pxe0 = in.pxe = in.pxm = kUnreachable;  // the projectile cannot move
    in.RR = kUnreachable;                               // nor can the barrel
    in.gammaI = in.gamma;  // one gas law for the mixture: the Noble-Abel value holds exactly
    in.T0I = in.T0;        // and its temperature after burnout is the flame temperature

    ClosedChamber out;
    ModelStepper s(in);
    constexpr int kStepLimit = 1000000;
    // While burning, nothing leaves the gas: its temperature stays T0, and the pressure is the
    // Noble-Abel value of the gas burnt so far in the volume the unburnt grains leave free.
    const auto nobleAbel = [&](double Z) {
        const double free = in.V0 - in.Vp - (1 - Z) * in.C / in.rho - Z * in.C * in.b - in.CI * in.bI;
        return (Z * in.C * in.F + in.CI * in.FI) / free * kPascalToMegapascal;
    };
    double worstBurning = 0, expectedAtWorst = 0;
    for (int i = 0; s.y[kBurnedFraction] < 1 && i < kStepLimit; ++i) {
        if (!s.step(in.dt))
            break;
        const double expected = nobleAbel(s.y[kBurnedFraction]);
        const double computed = s.m.Pm * kPascalToMegapascal;
        if (std::fabs(computed - expected) >= std::fabs(worstBurning - expectedAtWorst)) {
            worstBurning = computed;
            expectedAtWorst = expected;
        }
        if (i % 20 == 0)
            out.pressure.push_back({s.t * kSecondToMillisecond, computed});
    }
    out.pressure.push_back({s.t * kSecondToMillisecond, s.m.Pm * kPascalToMegapascal});
    const double pressure = (in.C * in.F + in.CI * in.FI) / burntFreeVolume(in, 0);
    out.nobleAbelPressure = pressure * kPascalToMegapascal;

    CheckResult& c = out.check;
    c.name = "Closed chamber";
    c.setup = "The 155 mm reference gun with a bore resistance of 1e12 Pa and a recoil resistance of "
              "1e12 N, which no gas pressure reaches, heat transfer off, force temperature factor 1, "
              "and an igniter with the propellant's flame temperature and ratio of specific heats. "
              "The integrator is stepped directly until the grains are consumed. Nothing leaves the "
              "gas, so at every step the mean pressure must be the Noble-Abel value of the gas burnt "
              "so far, (Z C F + CI FI) / (V0 - Vp - (1 - Z) C / rho - Z C b - CI bI), and once all "
              "is burnt (C F + CI FI) / (V0 - Vp - C b - CI bI) at the flame temperature T0.";
    c.tolerance = "The values follow from the energy balance and the gas law with no integrated "
                  "quantity but Z, which the closed form takes from the same state (and which is exactly "
                  "1 after burnout): they differ by rounding only, a few units in the 16th digit, so "
                  "1e-12 relative.";
    c.rows.push_back({"mean pressure while burning, worst step [MPa]", expectedAtWorst, worstBurning, 1e-12});
    c.rows.push_back({"mean pressure after burnout [MPa]", out.nobleAbelPressure, s.m.Pm * kPascalToMegapascal, 1e-12});
    c.rows.push_back({"mean temperature after burnout [K]", in.T0, s.m.Tm, 1e-12});
    c.rows.push_back({"projectile travel [m]", 0, s.y[kTravel], 0, true});
    return out;
}

CheckResult workCheck()
{
    const BallisticInput in = lossFreeGun();
    const auto r = runToMuzzle(in);
    const int N = r->stepCount;
    // Trapezoidal work of the recorded mean pressure over the recorded travel.
    double work = 0;
    for (int k = 0; k < N; ++k) {
        const double meanPressure = 0.5 * (r->at(SeriesId::meanPressure, k) + r->at(SeriesId::meanPressure, k + 1));
        work += meanPressure * kMegapascalToPascal * in.A *
                (r->at(SeriesId::travel, k + 1) - r->at(SeriesId::travel, k));
    }
    const double v = r->at(SeriesId::velocity, N);
    const double kinetic = 0.5 * in.mp * v * v + (in.C + in.CI) * v * v / 6;
    const double air = r->at(SeriesId::energyAirResistance, N);

    CheckResult c;
    c.name = "Work of the mean pressure";
    c.setup = "The loss-free gun (no heat loss, no bore resistance, no recoil, a twist of 1e6 calibres "
              "per turn) run by the solver to the muzzle. The work of the mean pressure on the "
              "projectile base, the integral of Pm A dx over the recorded series, must equal the "
              "kinetic energy of the projectile and of the charge, (mp/2 + (C + CI)/6) v^2, plus the "
              "work against the air ahead. The identity holds only if the base pressure carries the "
              "same Lagrange factor 1 + (C + CI)/(3 mp) as the charge's kinetic energy.";
    c.tolerance = "The trapezoidal rule over about 11000 recorded steps is of order h^2 where the pressure is "
                  "smooth, but when the last slivers vanish the model counts what is left of them (0.3 % "
                  "of the charge here) as burnt at once: the pressure jumps within one step, and the "
                  "trapezoid misses half the jump's work, an error of order h, 2e-7 of the work at this "
                  "step (1e-7 at half of it). 1e-5 relative leaves room for coarser steps and still sees "
                  "a Lagrange factor wrong by 1 % of the charge's share (8e-4).";
    c.rows.push_back({"work of Pm on the base [J]", kinetic + air, work, 1e-5});
    return c;
}

CheckResult adiabaticCheck()
{
    const BallisticInput in = lossFreeGun();
    const auto r = runToMuzzle(in);
    const int N = r->stepCount;
    computeRunCharacteristics(in, *r);
    const int b = r->burnoutRow;
    if (b > N)
        throw std::runtime_error("the loss-free gun must burn out in the barrel");
    const auto invariant = [&](int k) {
        return r->at(SeriesId::meanTemperature, k) *
               std::pow(burntFreeVolume(in, r->at(SeriesId::travel, k)), in.gamma - 1);
    };
    // The row of burnout carries the auxiliaries of the step's last stage, which may still
    // have been burning: the expansion starts with the next row.
    const double first = invariant(b + 1);
    double worst = first;
    for (int k = b + 1; k <= N; ++k)
        if (std::fabs(invariant(k) - first) > std::fabs(worst - first))
            worst = invariant(k);

    CheckResult c;
    c.name = "Adiabatic expansion after burnout";
    c.setup = "The loss-free gun, whose igniter gas has the propellant's ratio of specific heats. "
              "After burnout no energy enters the gas and none leaves it but the work on the "
              "projectile: Tm Vf^(gamma - 1), with Vf = V0 - Vp + A x - C b - CI bI, must stay at "
              "its value at burnout all the way to the muzzle. A sign error in the energy balance "
              "or a wrong covolume term changes the exponent or adds a drift.";
    c.tolerance = "The recorded temperature belongs to the last Runge-Kutta stage of each step, whose "
                  "state differs from the step's end by O(h^3), and the RK4 error of the expansion is "
                  "O(h^4): about 1e-12 here. 1e-9 relative leaves a margin of a thousand.";
    c.rows.push_back({"Tm Vf^(gamma-1): largest departure from burnout value", first, worst, 1e-9});
    return c;
}

CheckResult pressureGradientCheck()
{
    const BallisticInput in = lossFreeGun();
    const auto r = runToMuzzle(in);
    const int N = r->stepCount;
    computeRunCharacteristics(in, *r);
    const double charge = in.C + in.CI;
    const double breechRatio = 1 + charge / (2 * in.mp);
    const double meanRatio = 1 + charge / (3 * in.mp);
    // The ratios over the pressure above the air ahead, at the peak and their worst row.
    const auto ratio = [&](SeriesId top, int k) {
        const double base = r->at(SeriesId::basePressure, k) - r->at(SeriesId::gasPressureAhead, k);
        return (r->at(top, k) - r->at(SeriesId::gasPressureAhead, k)) / base;
    };
    double worstBreech = breechRatio, worstMean = meanRatio;
    for (int k = 1; k <= N; ++k) {
        if (r->at(SeriesId::velocity, k) == 0)
            continue;  // at rest the gas is uniform
        if (std::fabs(ratio(SeriesId::breechPressure, k) - breechRatio) > std::fabs(worstBreech - breechRatio))
            worstBreech = ratio(SeriesId::breechPressure, k);
        if (std::fabs(ratio(SeriesId::meanPressure, k) - meanRatio) > std::fabs(worstMean - meanRatio))
            worstMean = ratio(SeriesId::meanPressure, k);
    }
    CheckResult c;
    c.name = "Pressure gradient";
    c.setup = "The loss-free gun (no friction, no recoil). In the Lagrange gradient the gas velocity "
              "grows linearly from the breech to the base, so with the charge-to-projectile mass "
              "ratio (C + CI)/mp = " + std::to_string(charge / in.mp).substr(0, 6) +
              " the breech pressure is (P0 - Pg) = (1 + (C + CI)/(2 mp)) (Pb - Pg) and the mean "
              "pressure (Pm - Pg) = (1 + (C + CI)/(3 mp)) (Pb - Pg), Pg being the air ahead. "
              "Checked on every recorded row with a moving projectile; the worst row is shown.";
    c.tolerance = "The three pressures of a row come from one model evaluation, so the ratios are exact "
                  "up to rounding: 1e-12 relative.";
    c.rows.push_back({"(P0 - Pg)/(Pb - Pg), worst row", breechRatio, worstBreech, 1e-12});
    c.rows.push_back({"(Pm - Pg)/(Pb - Pg), worst row", meanRatio, worstMean, 1e-12});
    c.rows.push_back({"(P0 - Pg)/(Pb - Pg) at the pressure peak", breechRatio, ratio(SeriesId::breechPressure, r->pmaxRow), 1e-12});
    return c;
}

LimitingVelocity limitingVelocityCheck()
{
    BallisticInput in = lossFreeGun();
    ModelStepper s(in);
    s.constants.patm = 0;  // a vacuum ahead: no air work, so the whole energy can reach the projectile
    s.m.Pg = 0;
    LimitingVelocity out;
    const double mass = movingMass(in);
    out.limit = std::sqrt(2 * chargeEnergy(in) / mass);

    while (s.y[kBurnedFraction] < 1)
        if (!s.step(in.dt))
            throw std::runtime_error("the loss-free gun failed before burnout");
    // From burnout on, Tm Vf^(gamma-1) is constant: the energy left in the gas follows the
    // free volume, and the rest is kinetic.
    const double burnoutTemperature = s.m.Tm;
    const double burnoutVolume = burntFreeVolume(in, s.y[kTravel]);
    const double gasEnergyPerKelvin =  // cv of the whole charge
        in.fFT * in.F * in.C / ((in.gamma - 1) * in.T0) + in.FI * in.CI / ((in.gammaI - 1) * in.T0I);
    const auto closedForm = [&](double x) {
        const double T = burnoutTemperature * std::pow(burnoutVolume / burntFreeVolume(in, x), in.gamma - 1);
        return std::sqrt(2 * (chargeEnergy(in) - gasEnergyPerKelvin * T) / mass);
    };

    CheckResult& c = out.check;
    c.name = "Limiting velocity";
    c.setup = "The loss-free gun with a vacuum ahead of the projectile, stepped directly far beyond "
              "its muzzle; after burnout the step grows with the time (1/400 of it), where the "
              "solution is smooth. The whole energy of the charge, C F/(gamma - 1) + CI FI/(gamma - 1), "
              "would give the limit v = sqrt(2 E / (mp + (C + CI)/3)); at a finite travel the gas keeps "
              "the energy its adiabatic expansion leaves, cv T_burnout (Vf_burnout/Vf)^(gamma - 1).";
    c.tolerance = "Between burnout and the point compared, RK4 integrates a smooth expansion: the "
                  "velocity agrees with the adiabatic closed form to about 1e-12; 1e-9 relative.";
    const double nextTravels[] = {in.xm, 10 * in.xm, 100 * in.xm, 1000 * in.xm, 10000 * in.xm};
    const double burnoutTravel = s.y[kTravel];
    constexpr double kFigureSpacing = 1.25;  // travel factor between the points of the figure
    for (double x = burnoutTravel; x < nextTravels[4] * 1.0001; x *= kFigureSpacing)
        out.closedForm.push_back({std::log10(x), closedForm(x) / out.limit});
    out.computed.push_back({std::log10(burnoutTravel), s.y[kVelocity] / out.limit});
    double nextPoint = burnoutTravel * kFigureSpacing;
    for (double target : nextTravels) {
        while (s.y[kTravel] < target) {
            if (!s.step(std::max(in.dt, s.t / 400)))
                throw std::runtime_error("the loss-free gun failed during the expansion");
            if (s.y[kTravel] >= nextPoint) {
                out.computed.push_back({std::log10(s.y[kTravel]), s.y[kVelocity] / out.limit});
                nextPoint = s.y[kTravel] * kFigureSpacing;
            }
        }
        c.rows.push_back({"velocity at x = " + formatGeneral(target) + " m [m/s]",
                          closedForm(s.y[kTravel]), s.y[kVelocity], 1e-9});
    }
    return out;
}

}  // namespace kalvex::verification
