#pragma once
// The numbers of the model evaluation (ModelPhases.h) for one run or for a pack of runs.
#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"
#include "core/model/Model.h"
#include "core/packs/Packs.h"
#include "core/model/Pi.h"

#include <array>
#include <cstddef>

namespace kalvex {

// The numbers of the model that stay the same during a run, each the very product or
// difference the model's equations form, so computing it once changes nothing: for one run
// (T = double) or for the runs of a pack (Packs.h), run r in element r.
template <class V>
struct ModelNumbers {
    V A, C, rho, Cb, CI, fixedVolume, igniterCovolume, chamberWallArea, piBore;
    V propellantForceMass, propellantCvDivisor, propellantCpFactor, igniterCp;
    V halfMp, piSquaredMp, rotationDivisor, sixthCtot, halfMrp, gammaMinus1, igniterEnergy;
    V igniterCv, T0, igniterForceByT0I;
    V cair, gammaAir, patm, fr, Ctot, threeMp, lagrangeDivisor, mp, lambda, h0;
    PackMask<V> heatTransfer;
    V T0wKelvin, f, wallHeatCapacity, Dw, initialGrainVolume, negRecoilAreaPerMass, recoilBrakePressure;
    V D, L, P;   // grain sizes
    V halfWeb;   // multi-perforated grains burn as a whole up to this burned thickness
    V initialGrainSurface, xm;  // for the entry recorded after a step and its end tests
    V burningRateFactor, dt, Afr;  // Afr: A*fr, the friction work's first product
    int grainType;  // of all runs; 0 when they differ or the shape has no polynomial surface
    std::array<const BallisticInput*, kPackWidth<V>> in;  // for what each run computes alone
    std::array<const GrainGeometry*, kPackWidth<V>> grain;
};

// One pointer per run of a pack (one for a run alone).
template <class V, class T>
using PerRun = std::array<T*, kPackWidth<V>>;

// Shapes whose surface is a polynomial of the burned thickness: spherical, slab, cylinder and
// tube grains, and multi-perforated ones while they burn as a whole.
inline bool polynomialSurfaceShape(int type)
{
    return (type >= 1 && type <= 4) || type == 6 || type == 7;
}

template <class V>
ModelNumbers<V> modelNumbers(const PerRun<V, const BallisticInput>& in, const PerRun<V, const RunConstants>& rc)
{
    const auto p = [&](auto&& value) {
        return packs::gather<V>([&](std::size_t r) { return value(*in[r], *rc[r]); });
    };
    using I = const BallisticInput&;
    using C = const RunConstants&;
    ModelNumbers<V> k;
    k.A = p([](I i, C) { return i.A; });
    k.C = p([](I i, C) { return i.C; });
    k.rho = p([](I i, C) { return i.rho; });
    k.Cb = p([](I i, C) { return i.C * i.b; });
    k.CI = p([](I i, C) { return i.CI; });
    k.fixedVolume = p([](I, C c) { return c.fixedVolume; });
    k.igniterCovolume = p([](I, C c) { return c.igniterCovolume; });
    k.chamberWallArea = p([](I, C c) { return c.chamberWallArea; });
    k.piBore = p([](I, C c) { return kPi * c.boreDiameter; });
    k.propellantForceMass = p([](I, C c) { return c.propellantForceMass; });
    k.propellantCvDivisor = p([](I, C c) { return c.propellantCvDivisor; });
    k.propellantCpFactor = p([](I, C c) { return c.propellantCpFactor; });
    k.igniterCp = p([](I, C c) { return c.igniterCp; });
    k.halfMp = p([](I i, C) { return 0.5 * i.mp; });
    k.piSquaredMp = p([](I i, C) { return kPiSquared * i.mp; });
    k.rotationDivisor = p([](I, C c) { return c.rotationDivisor; });
    k.sixthCtot = p([](I, C c) { return 0.16666666666666666 * c.Ctot; });
    k.halfMrp = p([](I i, C) { return 0.5 * i.mrp; });
    k.gammaMinus1 = p([](I i, C) { return i.gamma - 1; });
    k.igniterEnergy = p([](I, C c) { return c.igniterEnergy; });
    k.igniterCv = p([](I, C c) { return c.igniterCv; });
    k.T0 = p([](I i, C) { return i.T0; });
    k.igniterForceByT0I = p([](I, C c) { return c.igniterForceByT0I; });
    k.cair = p([](I, C c) { return c.cair; });
    k.gammaAir = p([](I, C c) { return c.gammaAir; });
    k.patm = p([](I, C c) { return c.patm; });
    k.fr = p([](I i, C) { return i.fr; });
    k.Ctot = p([](I, C c) { return c.Ctot; });
    k.threeMp = p([](I, C c) { return c.threeMp; });
    k.lagrangeDivisor = p([](I, C c) { return c.lagrangeDivisor; });
    k.mp = p([](I i, C) { return i.mp; });
    k.lambda = p([](I, C c) { return c.lambda; });
    k.h0 = p([](I i, C) { return i.h0; });
    k.heatTransfer = p([](I i, C) { return i.heatTransfer ? 1.0 : 0.0; }) != 0;
    k.T0wKelvin = p([](I, C c) { return c.T0wKelvin; });
    k.f = p([](I i, C) { return i.f; });
    k.wallHeatCapacity = p([](I, C c) { return c.wallHeatCapacity; });
    k.Dw = p([](I i, C) { return i.Dw; });
    k.initialGrainVolume = p([](I, C c) { return c.grain.initialGrainVolume; });
    k.negRecoilAreaPerMass = p([](I, C c) { return -c.recoilAreaPerMass; });
    k.recoilBrakePressure = p([](I, C c) { return c.recoilBrakePressure; });
    k.D = p([](I i, C) { return i.D; });
    k.L = p([](I i, C) { return i.L; });
    k.P = p([](I i, C) { return i.P; });
    k.halfWeb = p([](I, C c) { return 0.5 * c.grain.web; });
    k.initialGrainSurface = p([](I, C c) { return c.grain.initialGrainSurface; });
    k.xm = p([](I i, C) { return i.xm; });
    k.burningRateFactor = p([](I, C c) { return c.burningRateFactor; });
    k.dt = p([](I i, C) { return i.dt; });
    k.Afr = p([](I i, C) { return i.A * i.fr; });
    for (std::size_t r = 0; r < kPackWidth<V>; ++r) {
        k.in[r] = in[r];
        k.grain[r] = &rc[r]->grain;
    }
    k.grainType = polynomialSurfaceShape(in[0]->grainType) ? in[0]->grainType : 0;
    for (std::size_t r = 1; r < kPackWidth<V>; ++r)
        if (in[r]->grainType != in[0]->grainType)
            k.grainType = 0;
    return k;
}

// The numbers of one run.
inline ModelNumbers<double> modelNumbers(const BallisticInput& in, const RunConstants& c)
{
    return modelNumbers<double>({&in}, {&c});
}

}  // namespace kalvex
