#pragma once
// The numbers of the model that stay the same during a run, computed once before the first
// step: for one run (V = double) or for the runs of a pack (Packs.h), run r in element r.
#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"
#include "core/model/GrainTypes.h"
#include "core/packs/PackRecords.h"
#include "core/packs/Packs.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

namespace kalvex {

inline constexpr double kAtmosphericPressure = 101325;  // Pa, air ahead of the projectile at rest

// Every number of the record is a V and nothing else: the record of a pack is gathered from
// the records of its runs number by number (packRecords), so a number added here needs no
// other line to reach the packs. Each combination is the very product, quotient or difference
// the model's equations form, grouped as they group it, so computing it once changes no digit.
template <class V>
struct RunNumbersOf {
    // The inputs as the equations read them.
    V A;      // bore area, m^2
    V C;      // propellant mass, kg
    V rho;    // propellant density, kg/m^3
    V CI;     // igniter mass, kg
    V T0;     // flame temperature of the propellant, K
    V fr;     // bore-resistance factor
    V mp;     // projectile mass, kg
    V h0;     // free heat-transfer coefficient, W/m^2/K
    V f;      // share of the friction work that heats the wall
    V Dw;     // heated thickness of the wall, m
    V D, L, P;  // grain sizes, m
    V xm;     // travel at the muzzle, m
    V dt;     // the step, s
    V alpha;  // burning-rate exponent

    // Combinations.
    V Ctot;                  // C + CI, propellant (the whole charge) plus igniter mass, kg
    V T0wKelvin;             // initial wall temperature, K
    V boreDiameter;          // d = 2 sqrt(A/pi), m
    V lambda;                // heat-transfer constant 1/(13.2 + 4 log10(100 d))^2
    V patm;                  // Pa, air ahead at rest
    V gammaAir;              // ratio of specific heats of the air ahead
    V cair;                  // speed of sound in that air, m/s
    V Cb;                    // C*b, covolume of the whole charge, m^3
    V fixedVolume;           // V0 - Vp, m^3
    V igniterCovolume;       // CI*bI, m^3
    V chamberWallArea;       // (V0/A)*pi*d + 2*A, m^2
    V piBore;                // pi*d, heated wall per metre of travel, m
    V propellantForceMass;   // fFT*F*C, J
    V propellantCvDivisor;   // (gamma - 1)*T0, K
    V propellantCpFactor;    // fFT*F*gamma*C, J
    V igniterEnergy;         // FI*CI/(gammaI - 1), J
    V igniterCv;             // FI*CI/((gammaI - 1)*T0I), J/K
    V igniterCp;             // FI*gammaI*CI/((gammaI - 1)*T0I), J/K
    V igniterForceByT0I;     // FI*CI/T0I, J/K
    V burntForceByT0;        // fFT*F*C/T0 summed over the charge's components, all burnt, J/K
    V gammaMinus1;           // gamma - 1
    V halfMp;                // 0.5*mp, kg
    V piSquaredMp;           // pi^2*mp, kg
    V rotationDivisor;       // 4*Tw^2
    V sixthCtot;             // Ctot/6, the charge moving with half the projectile's velocity on average
    V halfMrp;               // 0.5*mrp, kg
    V threeMp;               // 3*mp, Lagrange gradient: the charge weighs a third
    V lagrangeDivisor;       // 1 + Ctot/(3*mp)
    V wallHeatCapacity;      // Cpw*rhow, J/m^3/K (times Aw*Dw per evaluation)
    V negRecoilAreaPerMass;  // -A/mrp, m^2/kg
    V recoilBrakePressure;   // RR/A, Pa
    V burningRateFactor;     // fbeta*fbetaT*beta
    V initialGrainVolume;    // Vg, m^3
    V initialGrainSurface;   // Sg, m^2; of a mixed charge, the surface of all its grains
                             // (the series S/Sg is then the charge's surface over its initial one)
    V halfWeb;               // multi-perforated grains burn as a whole up to this burned thickness, m
    V Afr;                   // A*fr, the friction work's first product, m^2
};

// One segment of the burning law as the model reads it.
struct SegmentRate {
    double pLow = 0;        // lower pressure bound, Pa
    double rateFactor = 0;  // fbeta*fbetaT*beta_j, grouped as the one-segment law groups it
    double alpha = 0;       // exponent
};

// The segments of a run's burning law, the first from 0 Pa.
struct BurningLawRates {
    std::array<SegmentRate, kMaxBurningSegments> segments{};
    std::size_t count = 1;
};

// The rate of the segment that holds `Pm`: the last whose lower bound is at or below it.
inline double segmentedBurningRate(const BurningLawRates& law, double Pm)
{
    std::size_t j = 0;
    while (j + 1 < law.count && law.segments[j + 1].pLow <= Pm)
        ++j;
    return law.segments[j].rateFactor * std::pow(Pm, law.segments[j].alpha);
}

// What each run also needs on its own: its input set (the resistance polyline), its grain
// (the surfaces after the whole phase) and its burning law when it has more than one segment.
struct RunSource {
    const BallisticInput* input = nullptr;
    GrainShape shape;
    GrainGeometry grain;
    BurningLawRates law;
};

template <class V>
struct RunConstantsOf : RunNumbersOf<V> {
    PackMask<V> heatTransfer{};  // "Including Heat Transfer"
    GrainType grainType = GrainType::spherical;  // of every run
    // True when every run has grainType and a surface that is a polynomial of the burned
    // thickness at least while the grain burns as a whole; a run alone takes grainSurface.
    bool sharedPolynomialShape = false;
    // True when some run's burning law has more than one segment; else every run burns at
    // burningRateFactor*Pm^alpha, the one-segment law, computed as it always was.
    bool segmentedLaw = false;
    // One run holds its own; a pack points to the records of its runs.
    std::conditional_t<std::is_same_v<V, double>, RunSource, std::array<const RunSource*, kPackWidth<V>>> source{};
};

using RunConstants = RunConstantsOf<double>;

// The segments of the burning law of `input`, the first from its beta and alpha.
BurningLawRates burningLawRates(const BallisticInput& input);

// The constants of a run of `input` (validated); `input` must outlive them.
RunConstants prepareRunConstants(const BallisticInput& input);

// Run r's input set and grain.
template <class V>
const RunSource& runSource(const RunConstantsOf<V>& k, std::size_t r)
{
    if constexpr (std::is_same_v<V, double>)
        return k.source;
    else
        return *k.source[r];
}

// The constants of the runs of a pack, run r from *runs[r] (which must outlive them).
template <class V>
RunConstantsOf<V> gatherRunConstants(const std::array<const RunConstants*, kPackWidth<V>>& runs)
{
    RunConstantsOf<V> k;
    static_cast<RunNumbersOf<V>&>(k) =
        packRecords<V, RunNumbersOf>([&](std::size_t r) -> const RunNumbersOf<double>& { return *runs[r]; });
    k.heatTransfer = packs::gather<V>([&](std::size_t r) { return runs[r]->heatTransfer ? 1.0 : 0.0; }) != 0;
    k.grainType = runs[0]->grainType;
    k.sharedPolynomialShape = runs[0]->sharedPolynomialShape;
    for (std::size_t r = 0; r < kPackWidth<V>; ++r) {
        k.source[r] = &runs[r]->source;
        k.segmentedLaw = k.segmentedLaw || runs[r]->segmentedLaw;
        if (runs[r]->grainType != k.grainType)
            k.sharedPolynomialShape = false;
    }
    return k;
}

}  // namespace kalvex
