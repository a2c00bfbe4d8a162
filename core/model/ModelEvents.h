#pragma once
// The events of a shot as functions of the state whose zeros an integrator can locate: each is
// negative before its event, zero at it and positive after it (shotStart: while the projectile
// is at rest). The fixed step does not locate them; it tests the muzzle after each step.
#include "core/model/BallisticModel.h"
#include "core/model/ChargeConstants.h"

#include <algorithm>
#include <array>

namespace kalvex {

enum class ModelEvent {
    shotStart,        // the base pressure overcomes the bore resistance and the air ahead
    wholeGrainBurnt,  // a multi-perforated grain breaks into slivers (others: all burnt)
    allBurnt,         // the last of the charge is burnt
    resistancePeak,   // the travel reaches xe0, the corner of the resistance polyline
    resistanceEnd,    // the travel reaches xe, its second corner
    muzzle,           // the projectile leaves the barrel
};

inline constexpr std::array<ModelEvent, 6> kModelEvents = {
    ModelEvent::shotStart,     ModelEvent::wholeGrainBurnt, ModelEvent::allBurnt,
    ModelEvent::resistancePeak, ModelEvent::resistanceEnd,  ModelEvent::muzzle,
};

// The event's function at the state y, with the auxiliaries m of the evaluation at y and the
// bore load of the step.
inline double eventFunction(ModelEvent event, const RunConstants& k, const StateVector& y, const ModelState& m,
                            const BoreLoad& load)
{
    const BallisticInput& in = *k.source.input;
    switch (event) {
    case ModelEvent::shotStart:
        return drivingPressure<double>(m.Pb, k.fr * load.pr, m.Pg);
    case ModelEvent::wholeGrainBurnt:
        if (isMultiPerforated(k.grainType))
            return y[kBurnedThickness] - k.halfWeb;
        return y[kBurnedFraction] - 1;
    case ModelEvent::allBurnt:
        // The charge counts as burnt when its burned fraction reaches 1 or the surface of its
        // grains passes through zero, whichever comes first: the slivers' surface may vanish a
        // little before the last of their volume is counted.
        return std::max(y[kBurnedFraction] - 1,
                        -grainSurface(k.source.shape, k.source.grain, y[kBurnedThickness]) / k.initialGrainSurface);
    case ModelEvent::resistancePeak:
        return y[kTravel] - in.xe0;
    case ModelEvent::resistanceEnd:
        return y[kTravel] - in.xe;
    case ModelEvent::muzzle:
        return y[kTravel] - k.xm;
    }
    return 0;
}

// The events of one component of a mixed charge, at its burned fraction Z and thickness e:
// wholeGrainBurnt and allBurnt of that component's grains, as eventFunction takes them for a
// charge of one component. The charge is all burnt at the last of its components'.
inline double componentEventFunction(ModelEvent event, const ComponentConstants& k, double Z, double e)
{
    const auto type = static_cast<GrainType>(k.shape.grainType);
    switch (event) {
    case ModelEvent::wholeGrainBurnt:
        if (isMultiPerforated(type))
            return e - 0.5 * k.grain.web;
        return Z - 1;
    case ModelEvent::allBurnt:
        return std::max(Z - 1, -grainSurface(k.shape, k.grain, e) / k.initialGrainSurface);
    default:
        return 0;  // the others are the charge's: eventFunction
    }
}

}  // namespace kalvex
