#pragma once
// The model evaluation in its four phases, in the order evaluateModel runs them. Interleaved
// runs take each phase for all their runs before the next, so that the processor overlaps the
// runs' chains (surface -> gas -> pow -> forces); each run still performs exactly the
// operations of a single evaluation, in the same order, and gets the same bits.
#include "core/GrainGeometry.h"
#include "core/Model.h"
#include "core/Pi.h"

#include <cmath>

namespace kalvex {

// The surface `S` of one grain at the burned thickness of the (clamped) stage state, taken
// while the charge burns; once the surface is gone the rest of the charge counts as burned.
inline void takeSurface(StateVector& y, ModelState& m, double S)
{
    m.S = 0;
    if (y[kBurnedFraction] < 1) {
        m.eS = y[kBurnedThickness];
        m.S = S;
    }
    if (!(m.S > 0)) {
        m.S = 0;
        y[kBurnedFraction] = 1;
    }
}

// Phase 1: the bounds of the stage state and the surface of one grain.
inline void modelSurface(const BallisticInput& in, const RunConstants& c, StateVector& y, ModelState& m)
{
    clampState(y);
    takeSurface(y, m, y[kBurnedFraction] < 1 ? grainSurface(in, c.grain, y[kBurnedThickness]) : 0);
}

// Phase 2: free volume, heated wall, gas properties, kinetic energies, and from the energy
// balance the mean temperature and pressure. Stops at the first fault.
inline ModelFault modelGas(const BallisticInput& in, const RunConstants& c, const BoreLoad& load,
                           const StateVector& y, ModelState& m)
{
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
    return ModelFault::none;
}

// Phase 3: the burning rate at the mean pressure.
inline void modelBurningRate(const BallisticInput& in, const RunConstants& c, ModelState& m)
{
    m.r = c.burningRateFactor * std::pow(m.Pm, in.alpha);
}

// Phase 4: the air ahead of the projectile (the pressure behind a shock driven at Mach M; at
// rest the pressure of the previous evaluation stays), the Lagrange pressures, the wall, and
// the seven derivatives.
inline void modelForces(const BallisticInput& in, const RunConstants& c, const BoreLoad& load,
                        const StateVector& y, ModelState& m, StateVector& dydt)
{
    const double vp = y[kVelocity];
    const double vrp = y[kRecoilVelocity];
    m.M = vp / c.cair;
    if (m.M > 0) {
        const double g1 = c.gammaAir + 1;
        const double M2 = m.M * m.M;
        m.Pg = c.patm * (1 + c.gammaAir * M2 * (0.25 * g1 + std::sqrt(0.0625 * (g1 * g1) + 1 / M2)));
    }

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
}

}  // namespace kalvex
