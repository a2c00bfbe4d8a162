#pragma once
// A closed vessel (a manometric bomb) fired with a propellant charge: what the simulation and
// the reduction of its pressure traces need to know.
#include "core/input/BallisticInput.h"

namespace kalvex::vessel {

struct VesselSetup {
    double volume = 200e-6;       // inner volume of the vessel, m^3
    double chargeMass = 0.03;     // propellant mass, kg
    double innerDiameter = 0.05;  // of the vessel's bore, m: only its wall area for the heat loss
    bool heatLoss = false;        // the wall takes heat as the gun's chamber wall does
    double dt = 1e-6;             // integration step, s
    double sampleInterval = 10e-6;  // between the recorded samples, s
    // The propellant (force, covolume, burning law), the igniter and the grain; the gun's
    // fields of it are not read.
    BallisticInput charge;

    double loadingDensity() const { return chargeMass / volume; }  // kg/m^3
};

// The model's input for the vessel: the projectile and the barrel held by resistances no gas
// pressure reaches, so that nothing travels and the chamber is the vessel.
BallisticInput vesselInput(const VesselSetup& setup);

}  // namespace kalvex::vessel
