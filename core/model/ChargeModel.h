#pragma once
// The model of a mixed charge: each component burns its own grains at its own rate under the
// common mean pressure, and the gas equations take the sums over the components. The gas and
// the forces are BallisticModel.h's phases, written once for every charge; what is here takes
// the components one by one. One run at a time: a mixed charge is not packed with others.
#include "core/model/BallisticModel.h"
#include "core/model/ChargeConstants.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace kalvex {

// The state of a mixed charge: today's state, then Z_k and e_k of each component after the
// first (StateVector.h); the components the charge does not hold stay at zero.
using ChargeStateVector = StateOf<double, kMaxComponents>;

// What the latest evaluation found for each component.
struct ComponentAuxiliaries {
    std::array<double, kMaxComponents> S{};   // burning surface of one grain, m^2
    std::array<double, kMaxComponents> eS{};  // burned thickness at its latest surface evaluation while burning, m
    std::array<double, kMaxComponents> r{};   // linear burning rate, m/s
};

// The sums of the gas equations over the components, in the order listed; each term grouped
// as oneComponentSums groups it, so that a component holding the whole charge gives its bits.
inline ChargeSums<double> chargeSums(const ChargeConstants& charge, const ChargeStateVector& y)
{
    ChargeSums<double> sums{0, 0, 0, 0, 0, 0, 0};
    for (int c = 0; c < charge.count; ++c) {
        const ComponentConstants& k = charge.components[static_cast<std::size_t>(c)];
        const double Z = y[static_cast<std::size_t>(burnedFractionIndex(c))];
        const double forceMass = k.forceMass * Z;
        sums.unburnedVolume += ((1 - Z) * k.C) / k.rho;
        sums.covolume += k.Cb * Z;
        sums.burnedMass += k.C * Z;
        sums.energy += forceMass / k.gammaMinus1;
        sums.cv += forceMass / k.cvDivisor;
        sums.cp += (k.cpFactor * Z) / k.cvDivisor;
        sums.forceByT0 += forceMass / k.T0;
    }
    return sums;
}

// The bounds of the state: today's, and no component's burned fraction above 1.
inline void clampChargeState(const ChargeConstants& charge, ChargeStateVector& y)
{
    clampStateOf<double>(y);
    for (int c = 1; c < charge.count; ++c) {
        double& Z = y[static_cast<std::size_t>(burnedFractionIndex(c))];
        Z = Z > 1 ? 1 : Z;
    }
}

// Phase 1 for each component, as modelSurface takes the grains of one: the surface of one of
// its grains while it burns; once that surface is gone, the component counts as burned. The
// charge's surface m.S is that of all its grains, m.eS the mean burned thickness over the
// charge's initial surface.
inline void chargeSurface(const ChargeConstants& charge, ChargeStateVector& y, ModelState& m,
                          ComponentAuxiliaries& parts)
{
    clampChargeState(charge, y);
    double S = 0, eS = 0;
    for (int c = 0; c < charge.count; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const ComponentConstants& k = charge.components[i];
        double& Z = y[static_cast<std::size_t>(burnedFractionIndex(c))];
        const double e = y[static_cast<std::size_t>(burnedThicknessIndex(c))];
        const bool burning = Z < 1;
        double Sc = burning ? grainSurface(k.shape, k.grain, e) : 0;
        if (burning)
            parts.eS[i] = e;
        if (!(Sc > 0)) {
            Sc = 0;
            Z = 1;
        }
        parts.S[i] = Sc;
        S += k.grains * Sc;
        eS += k.surfaceShare * parts.eS[i];
    }
    m.S = S;
    m.eS = eS;
}

// Phase 3 for each component: its own law at the common mean pressure; m.r is the mean rate
// over the charge's initial surface.
inline void chargeBurningRates(const ChargeConstants& charge, ModelState& m, ComponentAuxiliaries& parts)
{
    double r = 0;
    for (int c = 0; c < charge.count; ++c) {
        const auto i = static_cast<std::size_t>(c);
        parts.r[i] = segmentedBurningRate(charge.components[i].law, m.Pm);
        r += charge.components[i].surfaceShare * parts.r[i];
    }
    m.r = r;
}

// The whole evaluation of a mixed charge at y (the clamps are written back into y): the
// auxiliaries in m and parts, the derivatives in dydt. Stops at the first fault.
inline ModelFault evaluateChargeModel(const RunConstants& k, const ChargeConstants& charge, const BoreLoad& load,
                                      ChargeStateVector& y, ModelState& m, ComponentAuxiliaries& parts,
                                      ChargeStateVector& dydt)
{
    chargeSurface(charge, y, m, parts);
    const GasFaults faults = modelGas<double>(k, load, y, chargeSums(charge, y), m);
    if (faults.any())
        return faults.first();
    chargeBurningRates(charge, m, parts);
    modelForces<double>(k, load, y, m, dydt);
    for (int c = 0; c < charge.count; ++c) {
        const auto i = static_cast<std::size_t>(c);
        dydt[static_cast<std::size_t>(burnedFractionIndex(c))] =
            (parts.S[i] * parts.r[i]) / charge.components[i].initialGrainVolume;
        dydt[static_cast<std::size_t>(burnedThicknessIndex(c))] = parts.r[i];
    }
    return ModelFault::none;
}

// The burned fraction of the whole charge: the components' mass-weighted mean, exactly 1
// once every component is burnt.
inline double chargeBurnedFraction(const ChargeConstants& charge, const ChargeStateVector& y)
{
    double burned = 0;
    bool allBurnt = true;
    for (int c = 0; c < charge.count; ++c) {
        const double Z = y[static_cast<std::size_t>(burnedFractionIndex(c))];
        burned += charge.components[static_cast<std::size_t>(c)].C * Z;
        allBurnt = allBurnt && Z == 1;
    }
    return allBurnt ? 1 : burned / charge.mass;
}

// The state after a step's RK4 stages made final, as settleAfterStep makes it for one
// component: a component whose grains' surface is gone leaves no unburned mass.
inline void settleChargeAfterStep(const RunConstants& k, const ChargeConstants& charge,
                                  const ComponentAuxiliaries& parts, double previousTravel, ChargeStateVector& y,
                                  BoreLoad& load)
{
    clampChargeState(charge, y);
    for (int c = 0; c < charge.count; ++c)
        if (parts.S[static_cast<std::size_t>(c)] == 0)
            y[static_cast<std::size_t>(burnedFractionIndex(c))] = 1;
    settleLoad<double>(k, previousTravel, y[kTravel], load);
}

// The state as the recorded series and the end tests see the charge: the whole charge's
// burned fraction in the place of one component's.
inline StateVector chargeSeriesState(const ChargeConstants& charge, const ChargeStateVector& y)
{
    StateVector shown;
    std::copy(y.begin(), y.begin() + kStateSize, shown.begin());
    shown[kBurnedFraction] = chargeBurnedFraction(charge, y);
    return shown;
}

}  // namespace kalvex
