#pragma once
// The lumped-parameter interior ballistic model at one instant: from the state of the
// projectile, the charge and the chamber wall, the auxiliary quantities and the time
// derivatives. Every equation of the model is in this file, in four phases:
//   surface -> gas -> burning rate -> forces,
// written once for one run (V = double) and for the runs of a pack (V of Packs.h, run r in
// element r). Each expression has one bracketing for all, and each packed operation rounds each
// run's element exactly as the scalar one: every run gets the bits it gets alone.
// Nothing here knows of steps, lanes or recording.
#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"
#include "core/model/GrainSurfaces.h"
#include "core/model/RunConstants.h"
#include "core/model/StateVector.h"
#include "core/packs/Packs.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

namespace kalvex {

// The auxiliary quantities of the latest evaluation (SI units), of one run or of the runs of
// a pack. Every member is a V: a quantity added here with its formula in its phase below
// reaches the single run, the lanes and the packs with no other edit.
template <class V>
struct ModelStateOf {
    V S{};     // burning surface of one grain, m^2
    V eS{};    // burned thickness at the latest surface evaluation, m
    V Vf{};    // free volume for the gas, m^3
    V Aw{};    // heated surface of chamber and bore, m^2
    V vg{};    // mean gas velocity for heat transfer, m/s
    V rhog{};  // mean gas density, kg/m^3
    V cp{};    // specific heat of the gas mixture at constant pressure, J/kg/K
    V Ekin{}, Erot{}, Eprop{}, Erec{};  // kinetic energies, J
    V Eair{}, Q{};                      // copies of the state, J
    V Tm{};    // mean gas temperature, K
    V Pm = packs::num<V>(kAtmosphericPressure);  // mean gas pressure, Pa
    V r{};     // linear burning rate, m/s
    V M{};     // Mach number of the projectile in the air ahead
    V Pg = packs::num<V>(kAtmosphericPressure);  // pressure of the air ahead of the projectile, Pa
    V Pb = packs::num<V>(kAtmosphericPressure);  // pressure at the projectile base, Pa
    V P0{};    // pressure at the breech, Pa
    V hT{};    // heat-transfer coefficient, W/m^2/K
    V Tc{};    // chamber wall temperature, K
};
using ModelState = ModelStateOf<double>;

// What the step loop owns and the model only reads.
template <class V>
struct BoreLoadOf {
    V pr{};   // bore-resistance pressure at the current travel, Pa
    V Efr{};  // work done against bore friction so far, J
};
using BoreLoad = BoreLoadOf<double>;

// A state in which the gas equations lose their meaning.
enum class ModelFault { none, freeVolume, temperature };

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

// --- Pressures, shared by the forces and by the test of a projectile that cannot move again.

// Noble-Abel gas of the burned propellant, whose fFT*F*C*Z/T0 summed over the charge's
// components is forceByT0, and the whole igniter at the temperature T in the free volume Vf, Pa.
template <class V>
[[gnu::always_inline]] inline V gasPressure(const RunConstantsOf<V>& k, V forceByT0, V T, V Vf)
{
    return ((forceByT0 + k.igniterForceByT0I) * T) / Vf;
}

// --- What the charge adds to the gas equations.

// The sums over the charge's components that the gas equations take, at the burned fractions
// Z_k of the state. A quantity of the charge added to the gas phase is added here, for one
// component (oneComponentSums) and for a mixed charge (chargeSums, ChargeModel.h).
template <class V>
struct ChargeSums {
    V unburnedVolume;  // (1 - Z_k)*C_k/rho_k, solid volume of the propellant still unburned, m^3
    V covolume;        // C_k*b_k*Z_k, covolume of the burned propellant, m^3
    V burnedMass;      // C_k*Z_k, kg
    V energy;          // fFT_k*F_k*C_k*Z_k/(gamma_k - 1), J
    V cv;              // fFT_k*F_k*C_k*Z_k/((gamma_k - 1)*T0_k), J/K
    V cp;              // fFT_k*F_k*gamma_k*C_k*Z_k/((gamma_k - 1)*T0_k), J/K
    V forceByT0;       // fFT_k*F_k*C_k*Z_k/T0_k, J/K
};

// The sums of a charge of one component, from the run's constants: each term grouped as the
// equations have always grouped it.
template <class V>
[[gnu::always_inline]] inline ChargeSums<V> oneComponentSums(const RunConstantsOf<V>& k, V Z)
{
    const V forceMass = k.propellantForceMass * Z;
    return {((packs::num<V>(1) - Z) * k.C) / k.rho,
            k.Cb * Z,
            k.C * Z,
            forceMass / k.gammaMinus1,
            forceMass / k.propellantCvDivisor,
            (k.propellantCpFactor * Z) / k.propellantCvDivisor,
            forceMass / k.T0};
}

// What is left of the base pressure Pb to accelerate the projectile against the bore
// resistance and the air ahead, Pa.
template <class V>
[[gnu::always_inline]] inline V drivingPressure(V Pb, V resisting, V Pg)
{
    return (Pb - resisting) - Pg;
}

// The projectile's acceleration relative to the barrel under the base pressure m.Pb, m/s^2.
template <class V>
[[gnu::always_inline]] inline V projectileAcceleration(const RunConstantsOf<V>& k, const ModelStateOf<V>& m, V resisting)
{
    return (drivingPressure<V>(m.Pb, resisting, m.Pg) * k.A) / k.mp;
}

// The Lagrange gradient of a charge moving with the projectile: the pressure at the base and
// at the breech for the mean pressure Pm, Pa.
template <class V>
struct LagrangePressures {
    V base;
    V breech;
};

template <class V>
[[gnu::always_inline]] inline LagrangePressures<V> lagrangePressures(const RunConstantsOf<V>& k, V Pm, V resisting, V Pg)
{
    const V base = (Pm + ((resisting + Pg) * k.Ctot) / k.threeMp) / k.lagrangeDivisor;
    const V breech = base + ((drivingPressure<V>(base, resisting, Pg) * packs::num<V>(0.5)) * k.Ctot) / k.mp;
    return {base, breech};
}

// What is left of the breech pressure P0 to push the barrel back against its brake, Pa.
template <class V>
[[gnu::always_inline]] inline V recoilingPressure(const RunConstantsOf<V>& k, V P0, V resisting)
{
    return (P0 - k.recoilBrakePressure) - resisting;
}

// --- The four phases.

// True when every grain of the shape k.grainType has a polynomial surface at the burned
// thicknesses e: multi-perforated ones only while all burn as a whole.
template <class V>
[[gnu::always_inline]] inline bool polynomialSurfaceAt(const RunConstantsOf<V>& k, V e)
{
    if (!k.sharedPolynomialShape)
        return false;
    if (!isMultiPerforated(k.grainType))
        return true;
    return packs::bits<V>(e <= k.halfWeb) == (1u << kPackWidth<V>) - 1;
}

// Phase 1: the bounds of the stage state and the surface of one grain, taken while the
// charge burns; once the surface is gone the rest of the charge counts as burned. The grains
// of a pack in one go while their surface is a polynomial of the burned thickness, else each
// as grainSurface takes it.
template <class V>
[[gnu::always_inline]] inline void modelSurface(const RunConstantsOf<V>& k, StateOf<V>& Y, ModelStateOf<V>& m)
{
    clampStateOf<V>(Y);
    const V e = Y[kBurnedThickness];
    const PackMask<V> burning = Y[kBurnedFraction] < 1;
    V S;
    if constexpr (std::is_same_v<V, double>) {
        S = burning ? grainSurface(k.source.shape, k.source.grain, e) : 0;
    } else if (polynomialSurfaceAt<V>(k, e)) {
        S = polynomialGrainSurface<V>(k.grainType, k.D, k.L, k.P, e);
    } else {
        S = packs::gather<V>([&](std::size_t r) {
            const RunSource& run = runSource<V>(k, r);
            return burning[r] ? grainSurface(run.shape, run.grain, packs::at(e, r)) : 0.0;
        });
    }
    S = packs::select<V>(burning, S, packs::num<V>(0));
    m.eS = packs::select<V>(burning, e, m.eS);
    const PackMask<V> gone = packs::isNot<V>(S > 0);
    m.S = packs::select<V>(gone, packs::num<V>(0), S);
    Y[kBurnedFraction] = packs::select<V>(gone, packs::num<V>(1), Y[kBurnedFraction]);
}

// Phase 2: free volume, heated wall, gas properties, kinetic energies, and from the energy
// balance the mean temperature and pressure. A run with a fault gets the values of its
// other fields too, which the step never reads.
template <class V, class State>
[[gnu::always_inline]] inline GasFaults modelGas(const RunConstantsOf<V>& k, const BoreLoadOf<V>& load,
                                                 const State& y, const ChargeSums<V>& charge, ModelStateOf<V>& m)
{
    const auto num = packs::num<V>;
    const V vp = y[kVelocity];
    const V x = y[kTravel];
    const V vrp = y[kRecoilVelocity];

    // Noble-Abel gas: covolumes of the burned propellant and the igniter, and the solid
    // volume of the propellant still unburned, are not available to the gas.
    m.Vf = (((k.fixedVolume + k.A * x) - charge.unburnedVolume) - charge.covolume) - k.igniterCovolume;
    m.Aw = k.chamberWallArea + k.piBore * x;
    m.vg = num(0.5) * (vp + vrp);
    const V gasMass = charge.burnedMass + k.CI;
    m.rhog = gasMass / m.Vf;
    m.cp = (charge.cp + k.igniterCp) / gasMass;
    const V vp2 = vp * vp;
    m.Ekin = k.halfMp * vp2;
    m.Erot = (k.piSquaredMp * vp2) / k.rotationDivisor;
    m.Eprop = k.sixthCtot * vp2;
    m.Erec = k.halfMrp * (vrp * vrp);
    m.Eair = y[kAirWork];
    m.Q = y[kHeatLoss];
    // Energy balance: the igniter counts as completely burned from the start; every loss
    // leaves the gas.
    const V energy = ((((((charge.energy + k.igniterEnergy) - m.Ekin) - m.Erot) -
                        m.Eprop) -
                       load.Efr) -
                      m.Erec - m.Eair) -
                     m.Q;
    m.Tm = energy / (charge.cv + k.igniterCv);
    m.Pm = gasPressure<V>(k, charge.forceByT0, m.Tm, m.Vf);
    return {packs::faultBits<V>(m.Vf), packs::faultBits<V>(m.Tm)};
}

// Phase 3: the burning rate at the mean pressure; the C library's pow, run by run. A law by
// segments takes each run's segment at its pressure; one segment gives the same products.
template <class V>
[[gnu::always_inline]] inline void modelBurningRate(const RunConstantsOf<V>& k, ModelStateOf<V>& m)
{
    if (k.segmentedLaw) {
        m.r = packs::gather<V>(
            [&](std::size_t r) { return segmentedBurningRate(runSource(k, r).law, packs::at(m.Pm, r)); });
        return;
    }
    m.r = k.burningRateFactor *
          packs::gather<V>([&](std::size_t r) { return std::pow(packs::at(m.Pm, r), packs::at(k.alpha, r)); });
}

// Phase 4: the air ahead of the projectile (the pressure behind a shock driven at Mach M; at
// rest the pressure of the previous evaluation stays), the Lagrange pressures, the wall, and
// the derivatives.
template <class V, class State>
[[gnu::always_inline]] inline void modelForces(const RunConstantsOf<V>& k, const BoreLoadOf<V>& load,
                                               const State& y, ModelStateOf<V>& m, State& dydt)
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
    const LagrangePressures<V> lagrange = lagrangePressures<V>(k, m.Pm, resisting, m.Pg);
    m.Pb = lagrange.base;
    m.P0 = lagrange.breech;
    m.hT = packs::select<V>(k.heatTransfer, ((k.lambda * m.cp) * m.rhog) * m.vg + k.h0, num(0));
    m.Tc = k.T0wKelvin + (k.f * load.Efr + m.Q) / ((k.wallHeatCapacity * m.Aw) * k.Dw);

    dydt[kVelocity] = projectileAcceleration<V>(k, m, resisting);
    dydt[kTravel] = vp - vrp;
    dydt[kBurnedFraction] = (m.S * m.r) / k.initialGrainVolume;
    dydt[kAirWork] = (k.A * vp) * m.Pg;
    dydt[kHeatLoss] = (m.Aw * m.hT) * (m.Tm - m.Tc);
    dydt[kRecoilVelocity] = k.negRecoilAreaPerMass * recoilingPressure<V>(k, m.P0, resisting);
    dydt[kBurnedThickness] = m.r;
}

// --- The phases in order.

// One run of the model (or one pack of runs): what it reads and where it leaves its results.
template <class V>
struct ModelRun {
    const RunConstantsOf<V>& k;
    const BoreLoadOf<V>& load;
    ModelStateOf<V>& m;
    GasFaults& faults;  // of the latest evaluation
};

// The model for the runs of the bit mask `live` (bit l for run(l), whose stage state is Y[l]),
// each phase for all of them before the next, so that the processor overlaps their chains
// (surface -> gas -> pow -> forces). The clamps are written back into Y; a run whose gas
// equations lose their meaning stops after phase 2 with its faults recorded. Returns the
// runs that got every derivative. The single run, the lanes and the packs all come here.
template <class V, std::size_t L, class Runs>
[[gnu::always_inline]] inline unsigned evaluateModelRuns(Runs&& run, std::array<StateOf<V>, L>& Y,
                                                         std::array<StateOf<V>, L>& dydt, unsigned live)
{
    packs::forEachRun<L>(live, [&](std::size_t l) {
        const ModelRun<V> one = run(l);
        modelSurface<V>(one.k, Y[l], one.m);
    });
    unsigned ok = 0;
    packs::forEachRun<L>(live, [&](std::size_t l) {
        const ModelRun<V> one = run(l);
        one.faults = modelGas<V>(one.k, one.load, Y[l], oneComponentSums<V>(one.k, Y[l][kBurnedFraction]), one.m);
        if (!one.faults.any())
            ok |= 1u << l;
    });
    packs::forEachRun<L>(ok, [&](std::size_t l) {
        const ModelRun<V> one = run(l);
        modelBurningRate<V>(one.k, one.m);
    });
    packs::forEachRun<L>(ok, [&](std::size_t l) {
        const ModelRun<V> one = run(l);
        modelForces<V>(one.k, one.load, Y[l], one.m, dydt[l]);
    });
    return ok;
}

// The whole evaluation of one run at y (the clamps are written back into y): the auxiliaries
// in m, the derivatives in dydt. Stops at the first fault.
ModelFault evaluateModel(const RunConstants& k, const BoreLoad& load, StateVector& y, ModelState& m, StateVector& dydt);

// --- After a step.

// Bore-resistance pressure at travel x, a polyline through (0, px0), (xe0, pxe0), (xe, pxe)
// and (xm, pxm); exactly at xe the previous value is kept.
double resistancePressure(const BallisticInput& input, double x, double previous);

// The bore resistance at the new travel x (resistancePressure, run by run) and the friction
// work done over the step from `previousTravel`.
template <class V>
[[gnu::always_inline]] inline void settleLoad(const RunConstantsOf<V>& k, V previousTravel, V x, BoreLoadOf<V>& load)
{
    load.pr = packs::gather<V>([&](std::size_t r) {
        return resistancePressure(*runSource<V>(k, r).input, packs::at(x, r), packs::at(load.pr, r));
    });
    load.Efr = load.Efr + (k.Afr * load.pr) * (x - previousTravel);
}

// The state after a step's RK4 stages made final: the clamps (a grain whose surface is gone
// leaves no unburned mass), then the bore resistance at the new travel (resistancePressure,
// run by run) and the friction work done over the step from `previousTravel`.
template <class V>
[[gnu::always_inline]] inline void settleAfterStep(const RunConstantsOf<V>& k, const ModelStateOf<V>& m,
                                                   V previousTravel, StateOf<V>& y, BoreLoadOf<V>& load)
{
    clampStateOf<V>(y);
    y[kBurnedFraction] = packs::select<V>(m.S == 0, packs::num<V>(1), y[kBurnedFraction]);
    settleLoad<V>(k, previousTravel, y[kTravel], load);
}

// At rest the gas is uniform: base and breech see the mean pressure.
template <class V, class State>
[[gnu::always_inline]] inline void uniformAtRest(const State& y, ModelStateOf<V>& m)
{
    const PackMask<V> atRest = y[kVelocity] == 0;
    m.Pb = packs::select<V>(atRest, m.Pm, m.Pb);
    m.P0 = packs::select<V>(atRest, m.Pm, m.P0);
}

}  // namespace kalvex
