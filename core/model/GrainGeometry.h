#pragma once
#include "core/input/BallisticInput.h"

namespace kalvex {

// Per-run constants of one propellant grain; computed before the first step.
struct GrainGeometry {
    double initialGrainVolume = 0;   // Vg, volume of one unburned grain, m^3
    double initialGrainSurface = 0;  // Sg, surface of one unburned grain, m^2
    double web = 0;                  // w, web thickness of a multi-perforated grain, m
    double pitch = 0;                // a = w + P, distance between perforation centres, m
    double innerSliverLimit = 0;     // eA, burned thickness consuming the inner slivers, m
    double outerSliverLimit = 0;     // eB, burned thickness consuming the outer slivers, m
    double sliverLimitC = 0;         // eC, 19-perforated only: beyond eC/2 two more angles act, m
};

GrainGeometry prepareGrainGeometry(const BallisticInput& input);

// Burning surface of one grain after a burned thickness e (m). A result that is not
// positive means the grain is consumed.
double grainSurface(const BallisticInput& input, const GrainGeometry& grain, double e);

// Number of grains in the charge, C / (rho * Vg); a real number.
double grainCount(const BallisticInput& input, const GrainGeometry& grain);

}  // namespace kalvex
