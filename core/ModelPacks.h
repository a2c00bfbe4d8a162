#pragma once
// Phases 1, 2 and 4 of the model (see ModelPhases.h) for two or four runs at once in a pack
// (Packs.h). Every expression keeps the bracketing of the single evaluation, and each packed
// operation rounds each element exactly as the scalar one, so every run gets the bits it gets
// alone; the runs share each division, which limits the interleaved runs most.
#include "core/Model.h"
#include "core/Packs.h"
#include "core/Pi.h"

#include <array>
#include <cmath>
#include <utility>

namespace kalvex {

// The per-run numbers of phases 2 and 4 for the runs of a pack, each the very product or
// difference the model forms, so computing it once changes nothing.
template <class V>
struct PackConstants {
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
    int grainType;  // of all runs; 0 when they differ or the shape has no packed surface
    std::array<const BallisticInput*, kPackWidth<V>> in;  // for what each run computes alone
    std::array<const GrainGeometry*, kPackWidth<V>> grain;
};

// One pointer per run of a pack.
template <class V, class T>
using PerRun = std::array<T*, kPackWidth<V>>;

// Shapes whose surface is a polynomial of the burned thickness: spherical, slab, cylinder and
// tube grains, and multi-perforated ones while they burn as a whole.
inline bool packedSurfaceShape(int type)
{
    return (type >= 1 && type <= 4) || type == 6 || type == 7;
}

template <class V>
PackConstants<V> packConstants(const PerRun<V, const BallisticInput>& in, const PerRun<V, const RunConstants>& rc)
{
    const auto p = [&](auto&& value) {
        return packs::gather<V>([&](std::size_t r) { return value(*in[r], *rc[r]); });
    };
    using I = const BallisticInput&;
    using C = const RunConstants&;
    PackConstants<V> k;
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
    k.grainType = packedSurfaceShape(in[0]->grainType) ? in[0]->grainType : 0;
    for (std::size_t r = 1; r < kPackWidth<V>; ++r)
        if (in[r]->grainType != in[0]->grainType)
            k.grainType = 0;
    return k;
}

// The state of the runs of a pack, one pack per variable.
template <class V>
using StatePack = std::array<V, kStateSize>;

// ModelState of the runs of a pack, field by field.
template <class V>
struct ModelPack {
    V S, eS, Vf, Aw, vg, rhog, cp, Ekin, Erot, Eprop, Erec, Eair, Q, Tm, Pm, r, M, Pg, Pb, P0, hT, Tc;
};

// BoreLoad of the runs of a pack.
template <class V>
struct LoadPack {
    V pr, Efr;
};

// The fields of ModelState and of ModelPack side by side, for moving runs into packs and out.
template <class V>
inline constexpr std::pair<double ModelState::*, V ModelPack<V>::*> kModelPackFields[] = {
    {&ModelState::S, &ModelPack<V>::S},       {&ModelState::eS, &ModelPack<V>::eS},
    {&ModelState::Vf, &ModelPack<V>::Vf},     {&ModelState::Aw, &ModelPack<V>::Aw},
    {&ModelState::vg, &ModelPack<V>::vg},     {&ModelState::rhog, &ModelPack<V>::rhog},
    {&ModelState::cp, &ModelPack<V>::cp},     {&ModelState::Ekin, &ModelPack<V>::Ekin},
    {&ModelState::Erot, &ModelPack<V>::Erot}, {&ModelState::Eprop, &ModelPack<V>::Eprop},
    {&ModelState::Erec, &ModelPack<V>::Erec}, {&ModelState::Eair, &ModelPack<V>::Eair},
    {&ModelState::Q, &ModelPack<V>::Q},       {&ModelState::Tm, &ModelPack<V>::Tm},
    {&ModelState::Pm, &ModelPack<V>::Pm},     {&ModelState::r, &ModelPack<V>::r},
    {&ModelState::M, &ModelPack<V>::M},       {&ModelState::Pg, &ModelPack<V>::Pg},
    {&ModelState::Pb, &ModelPack<V>::Pb},     {&ModelState::P0, &ModelPack<V>::P0},
    {&ModelState::hT, &ModelPack<V>::hT},     {&ModelState::Tc, &ModelPack<V>::Tc},
};
static_assert(sizeof(ModelState) == 22 * sizeof(double), "every field of ModelState is packed");

// True when every grain of the shape k.grainType has a packed surface at the burned
// thicknesses e: multi-perforated ones only while all burn as a whole.
template <class V>
bool packedSurfaceAt(const PackConstants<V>& k, V e)
{
    if (k.grainType != 6 && k.grainType != 7)
        return k.grainType != 0;
    return packs::bits<V>(e <= k.halfWeb) == (1u << kPackWidth<V>) - 1;
}

// The surfaces of the grains of the shape k.grainType after the burned thicknesses e, as
// grainSurface forms them (packedSurfaceAt must hold).
template <class V>
V grainSurfacePack(const PackConstants<V>& k, V e)
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

// clampState for the runs of a pack.
template <class V>
void clampPack(StatePack<V>& y)
{
    const V zero = packs::num<V>(0);
    y[kVelocity] = packs::select<V>(y[kVelocity] < 0, zero, y[kVelocity]);
    y[kTravel] = packs::select<V>(y[kTravel] < 0, zero, y[kTravel]);
    y[kBurnedFraction] = packs::select<V>(y[kBurnedFraction] > 1, packs::num<V>(1), y[kBurnedFraction]);
    y[kRecoilVelocity] = packs::select<V>(y[kRecoilVelocity] > 0, zero, y[kRecoilVelocity]);
}

// Phase 1 (modelSurface) for the runs of a pack: the grains of one shape in one go while
// its surface is a polynomial, else each as grainSurface takes it.
template <class V>
void modelSurfacePack(const PackConstants<V>& k, StatePack<V>& Y, ModelPack<V>& m)
{
    clampPack<V>(Y);
    const V e = Y[kBurnedThickness];
    const PackMask<V> burning = Y[kBurnedFraction] < 1;
    V S;
    if (packedSurfaceAt<V>(k, e)) {
        S = grainSurfacePack<V>(k, e);
    } else {
        S = packs::gather<V>([&](std::size_t r) {
            return burning[r] ? grainSurface(*k.in[r], *k.grain[r], e[r]) : 0.0;
        });
    }
    // takeSurface: a burnt charge has no surface; once the surface is gone the rest of the
    // charge counts as burned.
    S = packs::select<V>(burning, S, packs::num<V>(0));
    m.eS = packs::select<V>(burning, e, m.eS);
    const PackMask<V> gone = ~(S > 0);
    m.S = packs::select<V>(gone, packs::num<V>(0), S);
    Y[kBurnedFraction] = packs::select<V>(gone, packs::num<V>(1), Y[kBurnedFraction]);
}

// Phase 2 (modelGas) for the runs of a pack; returns the bits of the runs with a fault.
// A run with a fault gets the values of its other fields too, which the step never reads.
template <class V>
unsigned modelGasPack(const PackConstants<V>& k, const LoadPack<V>& load, const StatePack<V>& y, ModelPack<V>& m)
{
    const auto num = packs::num<V>;
    const V vp = y[kVelocity];
    const V x = y[kTravel];
    const V Z = y[kBurnedFraction];
    const V vrp = y[kRecoilVelocity];

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
    const V energy = (((((((k.propellantForceMass * Z) / k.gammaMinus1 + k.igniterEnergy) - m.Ekin) - m.Erot) -
                        m.Eprop) -
                       load.Efr) -
                      m.Erec - m.Eair) -
                     m.Q;
    m.Tm = energy / (propellantCv + k.igniterCv);
    m.Pm = (((k.propellantForceMass * Z) / k.T0 + k.igniterForceByT0I) * m.Tm) / m.Vf;
    return packs::faultBits<V>(m.Vf) | packs::faultBits<V>(m.Tm);
}

// Phase 3 (modelBurningRate) for the runs of a pack: glibc's pow, run by run.
template <class V>
void modelBurningRatePack(const PackConstants<V>& k, ModelPack<V>& m)
{
    m.r = k.burningRateFactor * packs::gather<V>([&](std::size_t r) { return std::pow(m.Pm[r], k.in[r]->alpha); });
}

// Phase 4 (modelForces) for the runs of a pack.
template <class V>
void modelForcesPack(const PackConstants<V>& k, const LoadPack<V>& load, const StatePack<V>& y, ModelPack<V>& m,
                     StatePack<V>& dydt)
{
    const auto num = packs::num<V>;
    const V vp = y[kVelocity];
    const V vrp = y[kRecoilVelocity];
    m.M = vp / k.cair;
    const V g1 = k.gammaAir + num(1);
    const V M2 = m.M * m.M;
    const V shock = k.patm * (num(1) + (k.gammaAir * M2) * (num(0.25) * g1 + packs::sqrt<V>(num(0.0625) * (g1 * g1) +
                                                                                            num(1) / M2)));
    // At rest the pressure of the previous evaluation stays.
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

}  // namespace kalvex
