#pragma once
// The model evaluation in its four phases, for one run (V = double, with StateVector,
// ModelState and BoreLoad) or for the runs of a pack (V a pack of Packs.h, with the records
// of ModelPacks.h). Interleaved runs take each phase for all their runs before the next, so
// that the processor overlaps the runs' chains (surface -> gas -> pow -> forces). Every
// expression is one bracketing for all, and each packed operation rounds each run's element
// exactly as the scalar one: every run gets the bits it gets alone.
#include "core/model/GrainGeometry.h"
#include "core/model/Model.h"
#include "core/model/ModelNumbers.h"
#include "core/packs/Packs.h"
#include "core/model/Pi.h"

#include <cmath>
#include <type_traits>

namespace kalvex {

// True when every grain of the shape k.grainType has a packed surface at the burned
// thicknesses e: multi-perforated ones only while all burn as a whole.
template <class V>
bool polynomialSurfaceAt(const ModelNumbers<V>& k, V e)
{
    if (k.grainType != 6 && k.grainType != 7)
        return k.grainType != 0;
    return packs::bits<V>(e <= k.halfWeb) == (1u << kPackWidth<V>) - 1;
}

// The surfaces of the grains of the shape k.grainType after the burned thicknesses e, as
// grainSurface forms them (polynomialSurfaceAt must hold).
template <class V>
V polynomialGrainSurface(const ModelNumbers<V>& k, V e)
{
    const auto num = packs::num<V>;
    const V twoE = num(2) * e;
    const V De = k.D - twoE;
    const V Le = k.L - twoE;
    if (k.grainType == 6 || k.grainType == 7) {
        const double holes = k.grainType == 6 ? 7 : 19;       // perforations
        const double widening = k.grainType == 6 ? 12 : 36;   // of the summed perimeters per e
        const V u = k.P + twoE;
        return num(kPi) * Le * ((k.D + num(holes) * k.P) + num(widening) * e) +
               num(kPiOver2) * (De * De - num(holes) * u * u);
    }
    switch (k.grainType) {
    case 1:
        return num(kPi) * De * De;
    case 2: {
        const V Pe = k.P - twoE;
        return num(2) * ((De * Le + De * Pe) + Le * Pe);
    }
    case 3:
        return num(kPi) * (De * Le + num(0.5) * De * De);
    default: {
        const V u = k.P + twoE;
        return num(kPi) * (((De * Le + u * Le) + num(0.5) * De * De) - num(0.5) * u * u);
    }
    }
}

// The bounds of the state (clampState).
template <class V, class State>
void clampStateOf(State& y)
{
    const V zero = packs::num<V>(0);
    y[kVelocity] = packs::select<V>(y[kVelocity] < 0, zero, y[kVelocity]);
    y[kTravel] = packs::select<V>(y[kTravel] < 0, zero, y[kTravel]);
    y[kBurnedFraction] = packs::select<V>(y[kBurnedFraction] > 1, packs::num<V>(1), y[kBurnedFraction]);
    y[kRecoilVelocity] = packs::select<V>(y[kRecoilVelocity] > 0, zero, y[kRecoilVelocity]);
}

// Phase 1: the bounds of the stage state and the surface of one grain, taken while the
// charge burns; once the surface is gone the rest of the charge counts as burned. The grains
// of a pack in one go while their surface is a polynomial of the burned thickness, else each
// as grainSurface takes it.
template <class V, class State, class Model>
void modelSurface(const ModelNumbers<V>& k, State& Y, Model& m)
{
    clampStateOf<V>(Y);
    const V e = Y[kBurnedThickness];
    const PackMask<V> burning = Y[kBurnedFraction] < 1;
    V S;
    if constexpr (std::is_same_v<V, double>) {
        S = burning ? grainSurface(*k.in[0], *k.grain[0], e) : 0;
    } else if (polynomialSurfaceAt<V>(k, e)) {
        S = polynomialGrainSurface<V>(k, e);
    } else {
        S = packs::gather<V>([&](std::size_t r) {
            return burning[r] ? grainSurface(*k.in[r], *k.grain[r], packs::at(e, r)) : 0.0;
        });
    }
    S = packs::select<V>(burning, S, packs::num<V>(0));
    m.eS = packs::select<V>(burning, e, m.eS);
    const PackMask<V> gone = packs::isNot<V>(S > 0);
    m.S = packs::select<V>(gone, packs::num<V>(0), S);
    Y[kBurnedFraction] = packs::select<V>(gone, packs::num<V>(1), Y[kBurnedFraction]);
}

// The runs whose gas equations lose their meaning, bit r for run r.
struct GasFaults {
    unsigned freeVolume = 0;   // no room left for the gas
    unsigned temperature = 0;  // the losses took all the energy
    bool any() const { return (freeVolume | temperature) != 0; }
    ModelFault first() const  // of a run alone, in the order of the equations
    {
        return freeVolume != 0 ? ModelFault::freeVolume : temperature != 0 ? ModelFault::temperature : ModelFault::none;
    }
};

// Phase 2: free volume, heated wall, gas properties, kinetic energies, and from the energy
// balance the mean temperature and pressure. A run with a fault gets the values of its
// other fields too, which the step never reads.
template <class V, class Load, class State, class Model>
GasFaults modelGas(const ModelNumbers<V>& k, const Load& load, const State& y, Model& m)
{
    const auto num = packs::num<V>;
    const V vp = y[kVelocity];
    const V x = y[kTravel];
    const V Z = y[kBurnedFraction];
    const V vrp = y[kRecoilVelocity];

    // Noble-Abel gas: covolumes of the burned propellant and the igniter, and the solid
    // volume of the propellant still unburned, are not available to the gas.
    m.Vf = (((k.fixedVolume + k.A * x) - ((num(1) - Z) * k.C) / k.rho) - k.Cb * Z) - k.igniterCovolume;
    m.Aw = k.chamberWallArea + k.piBore * x;
    m.vg = num(0.5) * (vp + vrp);
    const V gasMass = k.C * Z + k.CI;
    m.rhog = gasMass / m.Vf;
    const V propellantCv = (k.propellantForceMass * Z) / k.propellantCvDivisor;
    m.cp = ((k.propellantCpFactor * Z) / k.propellantCvDivisor + k.igniterCp) / gasMass;
    const V vp2 = vp * vp;
    m.Ekin = k.halfMp * vp2;
    m.Erot = (k.piSquaredMp * vp2) / k.rotationDivisor;
    m.Eprop = k.sixthCtot * vp2;
    m.Erec = k.halfMrp * (vrp * vrp);
    m.Eair = y[kAirWork];
    m.Q = y[kHeatLoss];
    // Energy balance: the igniter counts as completely burned from the start; every loss
    // leaves the gas.
    const V energy = (((((((k.propellantForceMass * Z) / k.gammaMinus1 + k.igniterEnergy) - m.Ekin) - m.Erot) -
                        m.Eprop) -
                       load.Efr) -
                      m.Erec - m.Eair) -
                     m.Q;
    m.Tm = energy / (propellantCv + k.igniterCv);
    m.Pm = (((k.propellantForceMass * Z) / k.T0 + k.igniterForceByT0I) * m.Tm) / m.Vf;
    return {packs::faultBits<V>(m.Vf), packs::faultBits<V>(m.Tm)};
}

// Phase 3: the burning rate at the mean pressure; the C library's pow, run by run.
template <class V, class Model>
void modelBurningRate(const ModelNumbers<V>& k, Model& m)
{
    m.r = k.burningRateFactor * packs::gather<V>([&](std::size_t r) { return std::pow(packs::at(m.Pm, r), k.in[r]->alpha); });
}

// Phase 4: the air ahead of the projectile (the pressure behind a shock driven at Mach M; at
// rest the pressure of the previous evaluation stays), the Lagrange pressures, the wall, and
// the seven derivatives.
template <class V, class Load, class State, class Model>
void modelForces(const ModelNumbers<V>& k, const Load& load, const State& y, Model& m, State& dydt)
{
    const auto num = packs::num<V>;
    const V vp = y[kVelocity];
    const V vrp = y[kRecoilVelocity];
    m.M = vp / k.cair;
    const V g1 = k.gammaAir + num(1);
    const V M2 = m.M * m.M;
    const V shock = k.patm * (num(1) + (k.gammaAir * M2) * (num(0.25) * g1 + packs::sqrt<V>(num(0.0625) * (g1 * g1) +
                                                                                            num(1) / M2)));
    m.Pg = packs::select<V>(m.M > 0, shock, m.Pg);

    const V resisting = k.fr * load.pr;
    m.Pb = (m.Pm + ((resisting + m.Pg) * k.Ctot) / k.threeMp) / k.lagrangeDivisor;
    m.P0 = m.Pb + ((((m.Pb - resisting) - m.Pg) * num(0.5)) * k.Ctot) / k.mp;
    m.hT = packs::select<V>(k.heatTransfer, ((k.lambda * m.cp) * m.rhog) * m.vg + k.h0, num(0));
    m.Tc = k.T0wKelvin + (k.f * load.Efr + m.Q) / ((k.wallHeatCapacity * m.Aw) * k.Dw);

    dydt[kVelocity] = (((m.Pb - resisting) - m.Pg) * k.A) / k.mp;
    dydt[kTravel] = vp - vrp;
    dydt[kBurnedFraction] = (m.S * m.r) / k.initialGrainVolume;
    dydt[kAirWork] = (k.A * vp) * m.Pg;
    dydt[kHeatLoss] = (m.Aw * m.hT) * (m.Tm - m.Tc);
    dydt[kRecoilVelocity] = k.negRecoilAreaPerMass * ((m.P0 - k.recoilBrakePressure) - resisting);
    dydt[kBurnedThickness] = m.r;
}

// The state after a step's RK4 stages made final: the clamps (a grain whose surface is gone
// leaves no unburned mass), then the bore resistance at the new travel (resistancePressure,
// run by run) and the friction work done over the step from `previousTravel`.
template <class V, class State, class Model, class Load>
void settleAfterStep(const ModelNumbers<V>& k, const Model& m, V previousTravel, State& y, Load& load)
{
    clampStateOf<V>(y);
    y[kBurnedFraction] = packs::select<V>(m.S == 0, packs::num<V>(1), y[kBurnedFraction]);
    const V x = y[kTravel];
    load.pr = packs::gather<V>(
        [&](std::size_t r) { return resistancePressure(*k.in[r], packs::at(x, r), packs::at(load.pr, r)); });
    load.Efr = load.Efr + (k.Afr * load.pr) * (x - previousTravel);
}

// At rest the gas is uniform: base and breech see the mean pressure.
template <class V, class State, class Model>
void uniformAtRest(const State& y, Model& m)
{
    const PackMask<V> atRest = y[kVelocity] == 0;
    m.Pb = packs::select<V>(atRest, m.Pm, m.Pb);
    m.P0 = packs::select<V>(atRest, m.Pm, m.P0);
}

// The whole evaluation of one run, stopping at the first fault.
template <class Load, class State, class Model>
ModelFault evaluateModelOf(const ModelNumbers<double>& k, const Load& load, State& y, Model& m, State& dydt)
{
    modelSurface<double>(k, y, m);
    if (const GasFaults faults = modelGas<double>(k, load, y, m); faults.any())
        return faults.first();
    modelBurningRate<double>(k, m);
    modelForces<double>(k, load, y, m, dydt);
    return ModelFault::none;
}

}  // namespace kalvex
