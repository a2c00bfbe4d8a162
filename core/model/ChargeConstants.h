#pragma once
// The numbers of each component of a mixed charge that stay the same during a run: each
// component burns on its own grain and law, and adds its own gas to the common chamber.
#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"
#include "core/model/RunConstants.h"
#include "core/model/StateVector.h"

#include <array>

namespace kalvex {

struct ComponentConstants {
    double C = 0;            // mass of the component, kg
    double rho = 0;          // density, kg/m^3
    double Cb = 0;           // C*b, covolume of the component once burnt, m^3
    double forceMass = 0;    // fFT*F*C, J
    double cvDivisor = 0;    // (gamma - 1)*T0, K
    double cpFactor = 0;     // fFT*F*gamma*C, J
    double gammaMinus1 = 0;  // gamma - 1
    double T0 = 0;           // adiabatic flame temperature, K
    double beta = 0;         // burning-rate coefficient of the first segment, m/s/Pa^alpha
    double initialGrainVolume = 0;   // Vg, m^3
    double initialGrainSurface = 0;  // Sg, m^2
    double grains = 0;       // number of grains, C/(rho*Vg)
    // The component's share of the charge's initial burning surface, grains*Sg over the sum:
    // its weight in the charge's mean burning rate and mean burned thickness.
    double surfaceShare = 0;
    GrainShape shape;
    GrainGeometry grain;
    BurningLawRates law;  // its first segment from beta and alpha
};

struct ChargeConstants {
    int count = 1;  // components, the first included
    std::array<ComponentConstants, kMaxComponents> components{};
    double mass = 0;            // of the whole charge, kg
    double burntForceByT0 = 0;  // fFT*F*C/T0 summed over the components, J/K
    double initialSurface = 0;  // of all grains of the charge, m^2
};

// The constants of the charge of `input` (validated), its components in the order listed.
ChargeConstants prepareChargeConstants(const BallisticInput& input);

}  // namespace kalvex
