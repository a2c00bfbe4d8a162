#pragma once
// Phases 2 and 4 of the model (see ModelPhases.h) for two runs at once in the halves of SSE2
// registers. Every expression keeps the bracketing of the single evaluation, and each SSE2
// operation rounds each half exactly as the scalar one, so both runs get the bits they get
// alone; two runs share each division, which limits the interleaved runs most.
#include "core/Model.h"
#include "core/Pi.h"

#include <emmintrin.h>

#include <array>

namespace kalvex {

// The per-run numbers of phases 2 and 4 for two runs, each register (run a, run b), each
// number the very product or difference the model forms, so computing it once changes nothing.
struct PairConstants {
    __m128d A, C, rho, Cb, CI, fixedVolume, igniterCovolume, chamberWallArea, piBore;
    __m128d propellantForceMass, propellantCvDivisor, propellantCpFactor, igniterCp;
    __m128d halfMp, piSquaredMp, rotationDivisor, sixthCtot, halfMrp, gammaMinus1, igniterEnergy;
    __m128d igniterCv, T0, igniterForceByT0I;
    __m128d cair, gammaAir, patm, fr, Ctot, threeMp, lagrangeDivisor, mp, lambda, h0, heatTransfer;
    __m128d T0wKelvin, f, wallHeatCapacity, Dw, initialGrainVolume, negRecoilAreaPerMass, recoilBrakePressure;
    __m128d D, L, P;   // grain sizes
    __m128d halfWeb;   // multi-perforated grains burn as a whole up to this burned thickness
    __m128d initialGrainSurface, xm;  // for the entry recorded after a step and its end tests
    int grainType;     // of both runs; 0 when they differ or the shape has no paired surface
};

// Shapes whose surface is a polynomial of the burned thickness: spherical, slab, cylinder and
// tube grains, and multi-perforated ones while they burn as a whole.
inline bool pairedSurfaceShape(int type)
{
    return (type >= 1 && type <= 4) || type == 6 || type == 7;
}

inline __m128d pairOf(double a, double b) { return _mm_set_pd(b, a); }
inline double lowOf(__m128d v) { return _mm_cvtsd_f64(v); }
inline double highOf(__m128d v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }

inline PairConstants pairConstants(const BallisticInput& ia, const RunConstants& ca, const BallisticInput& ib,
                                   const RunConstants& cb)
{
    const auto p = [](double a, double b) { return pairOf(a, b); };
    PairConstants k;
    k.A = p(ia.A, ib.A);
    k.C = p(ia.C, ib.C);
    k.rho = p(ia.rho, ib.rho);
    k.Cb = p(ia.C * ia.b, ib.C * ib.b);
    k.CI = p(ia.CI, ib.CI);
    k.fixedVolume = p(ca.fixedVolume, cb.fixedVolume);
    k.igniterCovolume = p(ca.igniterCovolume, cb.igniterCovolume);
    k.chamberWallArea = p(ca.chamberWallArea, cb.chamberWallArea);
    k.piBore = p(kPi * ca.boreDiameter, kPi * cb.boreDiameter);
    k.propellantForceMass = p(ca.propellantForceMass, cb.propellantForceMass);
    k.propellantCvDivisor = p(ca.propellantCvDivisor, cb.propellantCvDivisor);
    k.propellantCpFactor = p(ca.propellantCpFactor, cb.propellantCpFactor);
    k.igniterCp = p(ca.igniterCp, cb.igniterCp);
    k.halfMp = p(0.5 * ia.mp, 0.5 * ib.mp);
    k.piSquaredMp = p(kPiSquared * ia.mp, kPiSquared * ib.mp);
    k.rotationDivisor = p(ca.rotationDivisor, cb.rotationDivisor);
    k.sixthCtot = p(0.16666666666666666 * ca.Ctot, 0.16666666666666666 * cb.Ctot);
    k.halfMrp = p(0.5 * ia.mrp, 0.5 * ib.mrp);
    k.gammaMinus1 = p(ia.gamma - 1, ib.gamma - 1);
    k.igniterEnergy = p(ca.igniterEnergy, cb.igniterEnergy);
    k.igniterCv = p(ca.igniterCv, cb.igniterCv);
    k.T0 = p(ia.T0, ib.T0);
    k.igniterForceByT0I = p(ca.igniterForceByT0I, cb.igniterForceByT0I);
    k.cair = p(ca.cair, cb.cair);
    k.gammaAir = p(ca.gammaAir, cb.gammaAir);
    k.patm = p(ca.patm, cb.patm);
    k.fr = p(ia.fr, ib.fr);
    k.Ctot = p(ca.Ctot, cb.Ctot);
    k.threeMp = p(ca.threeMp, cb.threeMp);
    k.lagrangeDivisor = p(ca.lagrangeDivisor, cb.lagrangeDivisor);
    k.mp = p(ia.mp, ib.mp);
    k.lambda = p(ca.lambda, cb.lambda);
    k.h0 = p(ia.h0, ib.h0);
    k.heatTransfer = _mm_castsi128_pd(_mm_set_epi64x(ib.heatTransfer ? -1 : 0, ia.heatTransfer ? -1 : 0));
    k.T0wKelvin = p(ca.T0wKelvin, cb.T0wKelvin);
    k.f = p(ia.f, ib.f);
    k.wallHeatCapacity = p(ca.wallHeatCapacity, cb.wallHeatCapacity);
    k.Dw = p(ia.Dw, ib.Dw);
    k.initialGrainVolume = p(ca.grain.initialGrainVolume, cb.grain.initialGrainVolume);
    k.negRecoilAreaPerMass = p(-ca.recoilAreaPerMass, -cb.recoilAreaPerMass);
    k.recoilBrakePressure = p(ca.recoilBrakePressure, cb.recoilBrakePressure);
    k.D = p(ia.D, ib.D);
    k.L = p(ia.L, ib.L);
    k.P = p(ia.P, ib.P);
    k.halfWeb = p(0.5 * ca.grain.web, 0.5 * cb.grain.web);
    k.initialGrainSurface = p(ca.grain.initialGrainSurface, cb.grain.initialGrainSurface);
    k.xm = p(ia.xm, ib.xm);
    k.grainType = ia.grainType == ib.grainType && pairedSurfaceShape(ia.grainType) ? ia.grainType : 0;
    return k;
}

namespace pairs {
inline __m128d add(__m128d a, __m128d b) { return _mm_add_pd(a, b); }
inline __m128d sub(__m128d a, __m128d b) { return _mm_sub_pd(a, b); }
inline __m128d mul(__m128d a, __m128d b) { return _mm_mul_pd(a, b); }
inline __m128d div(__m128d a, __m128d b) { return _mm_div_pd(a, b); }
inline __m128d num(double v) { return _mm_set1_pd(v); }
// Bit l set for the halves where the model's fault test `!(v > 0) && !isnan(v)` holds.
inline int faultMask(__m128d v)
{
    const __m128d notPositive = _mm_cmpngt_pd(v, _mm_setzero_pd());
    const __m128d ordered = _mm_cmpord_pd(v, v);
    return _mm_movemask_pd(_mm_and_pd(notPositive, ordered));
}
inline __m128d select(__m128d mask, __m128d ifTrue, __m128d ifFalse)
{
    return _mm_or_pd(_mm_and_pd(mask, ifTrue), _mm_andnot_pd(mask, ifFalse));
}
}  // namespace pairs

// True when both grains of the shape k.grainType have a paired surface at the burned
// thicknesses e: multi-perforated ones only while both burn as a whole.
inline bool pairedSurfaceAt(const PairConstants& k, __m128d e)
{
    if (k.grainType != 6 && k.grainType != 7)
        return k.grainType != 0;
    return _mm_movemask_pd(_mm_cmple_pd(e, k.halfWeb)) == 3;
}

// The surfaces of two grains of the shape k.grainType after the burned thicknesses e, as
// grainSurface forms them (pairedSurfaceAt must hold).
inline __m128d grainSurfacePair(const PairConstants& k, __m128d e)
{
    using namespace pairs;
    const __m128d twoE = mul(num(2), e);
    const __m128d De = sub(k.D, twoE);
    const __m128d Le = sub(k.L, twoE);
    if (k.grainType == 6 || k.grainType == 7) {
        const double holes = k.grainType == 6 ? 7 : 19;       // perforations
        const double widening = k.grainType == 6 ? 12 : 36;   // of the summed perimeters per e
        const __m128d u = add(k.P, twoE);
        return add(mul(mul(num(kPi), Le), add(add(k.D, mul(num(holes), k.P)), mul(num(widening), e))),
                   mul(num(kPiOver2), sub(mul(De, De), mul(mul(num(holes), u), u))));
    }
    switch (k.grainType) {
    case 1:
        return mul(mul(num(kPi), De), De);
    case 2: {
        const __m128d Pe = sub(k.P, twoE);
        return mul(num(2), add(add(mul(De, Le), mul(De, Pe)), mul(Le, Pe)));
    }
    case 3:
        return mul(num(kPi), add(mul(De, Le), mul(mul(num(0.5), De), De)));
    default: {
        const __m128d u = add(k.P, twoE);
        return mul(num(kPi), sub(add(add(mul(De, Le), mul(u, Le)), mul(mul(num(0.5), De), De)), mul(mul(num(0.5), u), u)));
    }
    }
}

// Phase 2 for runs a and b; returns each run's fault (ModelFault::none when it has none).
// A run with a fault gets the values of its other fields too, which the step never reads.
inline std::array<ModelFault, 2> modelGasPair(const PairConstants& k, const std::array<const BoreLoad*, 2>& load,
                                              const std::array<const StateVector*, 2>& y,
                                              const std::array<ModelState*, 2>& m)
{
    using namespace pairs;
    const StateVector& ya = *y[0];
    const StateVector& yb = *y[1];
    const __m128d vp = pairOf(ya[kVelocity], yb[kVelocity]);
    const __m128d x = pairOf(ya[kTravel], yb[kTravel]);
    const __m128d Z = pairOf(ya[kBurnedFraction], yb[kBurnedFraction]);
    const __m128d vrp = pairOf(ya[kRecoilVelocity], yb[kRecoilVelocity]);

    const __m128d Vf = sub(sub(sub(add(k.fixedVolume, mul(k.A, x)), div(mul(sub(num(1), Z), k.C), k.rho)), mul(k.Cb, Z)),
                           k.igniterCovolume);
    const int volumeFault = faultMask(Vf);
    const __m128d Aw = add(k.chamberWallArea, mul(k.piBore, x));
    const __m128d vg = mul(num(0.5), add(vp, vrp));
    const __m128d gasMass = add(mul(k.C, Z), k.CI);
    const __m128d rhog = div(gasMass, Vf);
    const __m128d propellantCv = div(mul(k.propellantForceMass, Z), k.propellantCvDivisor);
    const __m128d cp = div(add(div(mul(k.propellantCpFactor, Z), k.propellantCvDivisor), k.igniterCp), gasMass);
    const __m128d vp2 = mul(vp, vp);
    const __m128d Ekin = mul(k.halfMp, vp2);
    const __m128d Erot = div(mul(k.piSquaredMp, vp2), k.rotationDivisor);
    const __m128d Eprop = mul(k.sixthCtot, vp2);
    const __m128d Erec = mul(k.halfMrp, mul(vrp, vrp));
    const __m128d Eair = pairOf(ya[kAirWork], yb[kAirWork]);
    const __m128d Q = pairOf(ya[kHeatLoss], yb[kHeatLoss]);
    const __m128d Efr = pairOf(load[0]->Efr, load[1]->Efr);
    const __m128d energy =
        sub(sub(sub(sub(sub(sub(sub(add(div(mul(k.propellantForceMass, Z), k.gammaMinus1), k.igniterEnergy), Ekin), Erot),
                                Eprop),
                            Efr),
                        Erec),
                    Eair),
            Q);
    const __m128d Tm = div(energy, add(propellantCv, k.igniterCv));
    const int temperatureFault = faultMask(Tm);
    const __m128d Pm = div(mul(add(div(mul(k.propellantForceMass, Z), k.T0), k.igniterForceByT0I), Tm), Vf);

    const auto store = [&](ModelState& s, double (*half)(__m128d)) {
        s.Vf = half(Vf);
        s.Aw = half(Aw);
        s.vg = half(vg);
        s.rhog = half(rhog);
        s.cp = half(cp);
        s.Ekin = half(Ekin);
        s.Erot = half(Erot);
        s.Eprop = half(Eprop);
        s.Erec = half(Erec);
        s.Eair = half(Eair);
        s.Q = half(Q);
        s.Tm = half(Tm);
        s.Pm = half(Pm);
    };
    store(*m[0], lowOf);
    store(*m[1], highOf);
    const auto fault = [&](int bit) {
        if (volumeFault >> bit & 1)
            return ModelFault::freeVolume;
        if (temperatureFault >> bit & 1)
            return ModelFault::temperature;
        return ModelFault::none;
    };
    return {fault(0), fault(1)};
}

// Phase 4 for runs a and b.
inline void modelForcesPair(const PairConstants& k, const std::array<const BoreLoad*, 2>& load,
                            const std::array<const StateVector*, 2>& y, const std::array<ModelState*, 2>& m,
                            const std::array<StateVector*, 2>& dydt)
{
    using namespace pairs;
    const StateVector& ya = *y[0];
    const StateVector& yb = *y[1];
    ModelState& ma = *m[0];
    ModelState& mb = *m[1];
    const __m128d vp = pairOf(ya[kVelocity], yb[kVelocity]);
    const __m128d vrp = pairOf(ya[kRecoilVelocity], yb[kRecoilVelocity]);
    const __m128d M = div(vp, k.cair);
    // At rest the pressure of the previous evaluation stays.
    const __m128d moving = _mm_cmpgt_pd(M, _mm_setzero_pd());
    const __m128d g1 = add(k.gammaAir, num(1));
    const __m128d M2 = mul(M, M);
    const __m128d shock = mul(
        k.patm, add(num(1), mul(mul(k.gammaAir, M2),
                                add(mul(num(0.25), g1), _mm_sqrt_pd(add(mul(num(0.0625), mul(g1, g1)), div(num(1), M2)))))));
    const __m128d Pg = select(moving, shock, pairOf(ma.Pg, mb.Pg));

    const __m128d Pm = pairOf(ma.Pm, mb.Pm);
    const __m128d resisting = mul(k.fr, pairOf(load[0]->pr, load[1]->pr));
    const __m128d Pb = div(add(Pm, div(mul(add(resisting, Pg), k.Ctot), k.threeMp)), k.lagrangeDivisor);
    const __m128d P0 = add(Pb, div(mul(mul(sub(sub(Pb, resisting), Pg), num(0.5)), k.Ctot), k.mp));
    const __m128d hTransfer =
        add(mul(mul(mul(k.lambda, pairOf(ma.cp, mb.cp)), pairOf(ma.rhog, mb.rhog)), pairOf(ma.vg, mb.vg)), k.h0);
    const __m128d hT = _mm_and_pd(k.heatTransfer, hTransfer);
    const __m128d Aw = pairOf(ma.Aw, mb.Aw);
    const __m128d Q = pairOf(ma.Q, mb.Q);
    const __m128d Efr = pairOf(load[0]->Efr, load[1]->Efr);
    const __m128d Tc = add(k.T0wKelvin, div(add(mul(k.f, Efr), Q), mul(mul(k.wallHeatCapacity, Aw), k.Dw)));
    const __m128d Tm = pairOf(ma.Tm, mb.Tm);
    const __m128d r = pairOf(ma.r, mb.r);

    const __m128d d0 = div(mul(sub(sub(Pb, resisting), Pg), k.A), k.mp);
    const __m128d d1 = sub(vp, vrp);
    const __m128d d2 = div(mul(pairOf(ma.S, mb.S), r), k.initialGrainVolume);
    const __m128d d3 = mul(mul(k.A, vp), Pg);
    const __m128d d4 = mul(mul(Aw, hT), sub(Tm, Tc));
    const __m128d d5 = mul(k.negRecoilAreaPerMass, sub(sub(P0, k.recoilBrakePressure), resisting));

    const auto store = [&](ModelState& s, StateVector& d, double (*half)(__m128d)) {
        s.M = half(M);
        s.Pg = half(Pg);
        s.Pb = half(Pb);
        s.P0 = half(P0);
        s.hT = half(hT);
        s.Tc = half(Tc);
        d[kVelocity] = half(d0);
        d[kTravel] = half(d1);
        d[kBurnedFraction] = half(d2);
        d[kAirWork] = half(d3);
        d[kHeatLoss] = half(d4);
        d[kRecoilVelocity] = half(d5);
        d[kBurnedThickness] = s.r;
    };
    store(ma, *dydt[0], lowOf);
    store(mb, *dydt[1], highOf);
}

}  // namespace kalvex
