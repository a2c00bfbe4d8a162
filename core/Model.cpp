#include "core/Model.h"

#include "core/Pi.h"

#include <cmath>

namespace kalvex {

RunConstants prepareRunConstants(const BallisticInput& in)
{
    RunConstants c;
    c.Ctot = in.C + in.CI;
    c.T0wKelvin = in.T0w + 273.15;
    c.boreDiameter = 2 * std::sqrt(kOneOverPi * in.A);
    const double lambdaRoot = 13.2 + 4 * std::log10(100 * c.boreDiameter);  // diameter in cm
    c.lambda = 1 / (lambdaRoot * lambdaRoot);
    c.grain = prepareGrainGeometry(in);

    c.propellantForceMass = in.fFT * in.F * in.C;
    c.propellantCpFactor = in.fFT * in.F * in.gamma * in.C;
    c.propellantCvDivisor = (in.gamma - 1) * in.T0;
    c.igniterEnergy = in.FI * in.CI / (in.gammaI - 1);
    c.igniterCv = in.FI * in.CI / ((in.gammaI - 1) * in.T0I);
    c.igniterCp = in.FI * in.gammaI * in.CI / ((in.gammaI - 1) * in.T0I);
    c.igniterForceByT0I = in.FI * in.CI / in.T0I;
    c.burningRateFactor = in.fbeta * in.fbetaT * in.beta;
    c.threeMp = 3 * in.mp;
    c.lagrangeDivisor = 1 + c.Ctot / (3 * in.mp);
    c.rotationDivisor = 4 * (in.Tw * in.Tw);
    c.fixedVolume = in.V0 - in.Vp;
    c.igniterCovolume = in.CI * in.bI;
    c.chamberWallArea = (in.V0 / in.A) * kPi * c.boreDiameter + 2 * in.A;
    c.wallHeatCapacity = in.Cpw * in.rhow;
    c.recoilAreaPerMass = in.A / in.mrp;
    c.recoilBrakePressure = in.RR / in.A;
    return c;
}

namespace {


// Surface of one grain; once it is gone the rest of the charge counts as burned.
void updateSurface(const BallisticInput& in, const RunConstants& c, StateVector& y, ModelState& m)
{
    m.S = 0;
    if (y[kBurnedFraction] < 1) {
        m.eS = y[kBurnedThickness];
        m.S = grainSurface(in, c.grain, y[kBurnedThickness]);
    }
    if (!(m.S > 0)) {
        m.S = 0;
        y[kBurnedFraction] = 1;
    }
}

// Air column ahead of the projectile: the pressure behind a shock driven at Mach M.
// At rest the pressure of the previous evaluation stays.
void updateAirAhead(const RunConstants& c, double vp, ModelState& m)
{
    m.M = vp / c.cair;
    if (m.M > 0) {
        const double g1 = c.gammaAir + 1;
        const double M2 = m.M * m.M;
        m.Pg = c.patm * (1 + c.gammaAir * M2 * (0.25 * g1 + std::sqrt(0.0625 * (g1 * g1) + 1 / M2)));
    }
}

}  // namespace

void clampState(StateVector& y)
{
    if (y[kVelocity] < 0)
        y[kVelocity] = 0;  // the projectile does not move back into the chamber
    if (y[kTravel] < 0)
        y[kTravel] = 0;
    if (y[kBurnedFraction] > 1)
        y[kBurnedFraction] = 1;
    if (y[kRecoilVelocity] > 0)
        y[kRecoilVelocity] = 0;  // the recoil brake does not push the barrel forward
}

ModelFault evaluateModel(const BallisticInput& in, const RunConstants& c, const BoreLoad& load,
                         StateVector& y, ModelState& m, StateVector& dydt)
{
    clampState(y);
    updateSurface(in, c, y, m);
    const double vp = y[kVelocity];
    const double x = y[kTravel];
    const double Z = y[kBurnedFraction];
    const double vrp = y[kRecoilVelocity];

    // Noble-Abel gas: covolumes of the burned propellant and the igniter, and the solid
    // volume of the propellant still unburned, are not available to the gas.
    m.Vf = c.fixedVolume + in.A * x - (1 - Z) * in.C / in.rho - in.C * in.b * Z - c.igniterCovolume;
    if (!(m.Vf > 0) && !std::isnan(m.Vf))
        return ModelFault::freeVolume;
    m.Aw = c.chamberWallArea + kPi * c.boreDiameter * x;
    m.vg = 0.5 * (vp + vrp);
    const double gasMass = in.C * Z + in.CI;
    m.rhog = gasMass / m.Vf;
    const double propellantCv = c.propellantForceMass * Z / c.propellantCvDivisor;
    m.cp = (c.propellantCpFactor * Z / c.propellantCvDivisor + c.igniterCp) / gasMass;

    const double vp2 = vp * vp;
    m.Ekin = 0.5 * in.mp * vp2;
    m.Erot = kPiSquared * in.mp * vp2 / c.rotationDivisor;
    m.Eprop = 0.16666666666666666 * c.Ctot * vp2;
    m.Erec = 0.5 * in.mrp * (vrp * vrp);
    m.Eair = y[kAirWork];
    m.Q = y[kHeatLoss];

    // Energy balance: the igniter counts as completely burned from the start; every loss
    // leaves the gas.
    m.Tm = (c.propellantForceMass * Z / (in.gamma - 1) + c.igniterEnergy - m.Ekin - m.Erot - m.Eprop -
            load.Efr - m.Erec - m.Eair - m.Q) /
           (propellantCv + c.igniterCv);
    if (!(m.Tm > 0) && !std::isnan(m.Tm))
        return ModelFault::temperature;
    m.Pm = (c.propellantForceMass * Z / in.T0 + c.igniterForceByT0I) * m.Tm / m.Vf;
    m.r = c.burningRateFactor * std::pow(m.Pm, in.alpha);
    updateAirAhead(c, vp, m);

    const double resisting = in.fr * load.pr;
    m.Pb = (m.Pm + (resisting + m.Pg) * c.Ctot / c.threeMp) / c.lagrangeDivisor;
    m.P0 = m.Pb + (m.Pb - resisting - m.Pg) * 0.5 * c.Ctot / in.mp;
    m.hT = in.heatTransfer ? c.lambda * m.cp * m.rhog * m.vg + in.h0 : 0;
    m.Tc = c.T0wKelvin + (in.f * load.Efr + m.Q) / (c.wallHeatCapacity * m.Aw * in.Dw);

    dydt[kVelocity] = (m.Pb - resisting - m.Pg) * in.A / in.mp;
    dydt[kTravel] = vp - vrp;
    dydt[kBurnedFraction] = m.S * m.r / c.grain.initialGrainVolume;
    dydt[kAirWork] = in.A * vp * m.Pg;
    dydt[kHeatLoss] = m.Aw * m.hT * (m.Tm - m.Tc);
    dydt[kRecoilVelocity] = -c.recoilAreaPerMass * (m.P0 - c.recoilBrakePressure - resisting);
    dydt[kBurnedThickness] = m.r;
    return ModelFault::none;
}

double resistancePressure(const BallisticInput& in, double x, double previous)
{
    if (x < in.xe0)
        return in.px0 + (in.pxe0 - in.px0) * x / in.xe0;
    if (x < in.xe)
        return in.pxe0 - (x - in.xe0) / (in.xe - in.xe0) * (in.pxe0 - in.pxe);
    if (x > in.xe) {
        if (in.xe == in.xm)
            return in.pxm;  // no last segment: beyond the muzzle the muzzle value holds
        return in.pxe - (x - in.xe) / (in.xm - in.xe) * (in.pxe - in.pxm);
    }
    return previous;
}

}  // namespace kalvex
