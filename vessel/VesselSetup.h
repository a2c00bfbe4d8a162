#pragma once
// A closed vessel (a manometric bomb) fired with a propellant charge: what the simulation and
// the reduction of its pressure traces need to know.
#include "core/input/BallisticInput.h"

#include <string>

namespace kalvex::vessel {

// Heat lost to the vessel's wall, a stated correction: Newton's law of cooling,
// dQ/dt = h A_w (T - T_w), T the gas temperature, over the wall of a cylinder of the vessel's
// volume and inner diameter, its two ends included (A_w = 4 V / d + pi d^2 / 2), the wall held
// at T_w (a steel wall warms by tens of kelvin in a firing, the gas is thousands above it).
// A coefficient of 0 loses nothing.
struct VesselHeatLoss {
    double coefficient = 0;       // h, W/m^2/K
    double innerDiameter = 0.05;  // d, m
    double wallTemperature = 21;  // T_w, °C

    bool loses() const { return coefficient > 0; }
    double wallArea(double volume) const;  // A_w, m^2, of a vessel of `volume` m^3
    // Why these values cannot be fired; empty when they can.
    std::string problem() const;
};

struct VesselSetup {
    double volume = 200e-6;       // inner volume of the vessel, m^3
    double chargeMass = 0.03;     // propellant mass, kg
    VesselHeatLoss heatLoss;
    double dt = 1e-6;             // integration step, s
    double sampleInterval = 10e-6;  // between the recorded samples, s
    // The propellant (force, covolume, burning law), the igniter and the grain; the gun's
    // fields of it are not read.
    BallisticInput charge;

    double loadingDensity() const { return chargeMass / volume; }  // kg/m^3
};

// The model's input for the vessel: the projectile and the barrel held by resistances no gas
// pressure reaches, so that nothing travels and the chamber is the vessel. Throws
// std::runtime_error for a charge of more than one component.
BallisticInput vesselInput(const VesselSetup& setup);

}  // namespace kalvex::vessel
