#pragma once
// Force and covolume of a propellant from the maximum pressures of closed-vessel firings at
// two or more loading densities, by the Noble-Abel equation of state.
#include <vector>

namespace kalvex::vessel {

// One firing: what was loaded and the maximum pressure reached.
struct MaxPressureFiring {
    double volume = 0;        // m^3
    double chargeMass = 0;    // kg
    double maxPressure = 0;   // Pa
};

// The igniter's gas, burned before the propellant (Noble-Abel too).
struct IgniterGas {
    double mass = 0;      // CI, kg
    double force = 0;     // FI, J/kg
    double covolume = 0;  // bI, m^3/kg
};

struct ForceCovolume {
    double force = 0;     // F, J/kg
    double covolume = 0;  // b, m^3/kg
    // Standard errors from the scatter about the line; NaN with only two firings (no
    // degree of freedom left).
    double forceError = 0;
    double covolumeError = 0;
};

// Fits Delta/pmax = 1/F - (b/F) Delta, with Delta = C / (V - CI bI - CI FI / pmax), the
// loading density in the volume the igniter's gas leaves. Throws std::invalid_argument with
// fewer than two distinct loading densities or a non-positive entry.
ForceCovolume reduceForceCovolume(const std::vector<MaxPressureFiring>& firings, const IgniterGas& igniter);

}  // namespace kalvex::vessel
