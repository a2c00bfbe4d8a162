#pragma once
#include "core/input/BallisticInput.h"

namespace kalvex {

// The shape and sizes of one kind of grain: of the input set's propellant, or of a component
// of a mixed charge.
struct GrainShape {
    int grainType = 2;  // as BallisticInput::grainType
    double D = 0;       // grain diameter or first slab edge, m
    double L = 0;       // grain length or second slab edge, m
    double P = 0;       // perforation diameter or third slab edge, m
    double SW = 0;      // slot width of a slotted stick, m
};

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

// The grain of the input set's own propellant (the first component of its charge).
GrainShape grainShapeOf(const BallisticInput& input);

GrainGeometry prepareGrainGeometry(const GrainShape& shape);
GrainGeometry prepareGrainGeometry(const BallisticInput& input);

// Burning surface of one grain after a burned thickness e (m). A result that is not
// positive means the grain is consumed.
double grainSurface(const GrainShape& shape, const GrainGeometry& grain, double e);
double grainSurface(const BallisticInput& input, const GrainGeometry& grain, double e);

// Number of grains of the input set's own propellant, C / (rho * Vg); a real number.
double grainCount(const BallisticInput& input, const GrainGeometry& grain);

}  // namespace kalvex
