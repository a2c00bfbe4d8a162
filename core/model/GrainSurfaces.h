#pragma once
// The burning surface of one grain while it is a polynomial of the burned thickness e: the
// spherical, slab, cylinder and tube grains all their life, the multi-perforated grains while
// they burn as a whole (up to half their web). Every shape keeps its form as it burns: each
// outer size shrinks and each perforation widens by 2e.
// Written once for one run (V = double, which grainSurface uses) and for the runs of a pack
// (Packs.h), which take the same operations in the same order and so get the same bits.
#include "core/model/GrainTypes.h"
#include "core/model/Pi.h"
#include "core/packs/Packs.h"

namespace kalvex {

// Shapes whose surface is a polynomial of e for the whole of their burning.
constexpr bool surfaceIsPolynomial(GrainType type)
{
    return type == GrainType::spherical || type == GrainType::slab || type == GrainType::cylinder ||
           type == GrainType::tube;
}

// Multi-perforated shapes: a polynomial surface while the grain burns as a whole, slivers after.
constexpr bool isMultiPerforated(GrainType type)
{
    return type == GrainType::sevenPerforated || type == GrainType::nineteenPerforated;
}

// The surface of a grain of `type` with the sizes D, L, P (m) after the burned thickness e
// (m), for the shapes of surfaceIsPolynomial and multi-perforated grains burning as a whole;
// the slotted stick is not among them.
template <class V>
[[gnu::always_inline]] inline V polynomialGrainSurface(GrainType type, V D, V L, V P, V e)
{
    const auto num = packs::num<V>;
    const V twoE = num(2) * e;
    const V De = D - twoE;
    const V Le = L - twoE;
    switch (type) {
    case GrainType::spherical:
        return num(kPi) * De * De;
    case GrainType::slab: {
        const V Pe = P - twoE;
        return num(2) * ((De * Le + De * Pe) + Le * Pe);
    }
    case GrainType::cylinder:
        return num(kPi) * (De * Le + num(0.5) * De * De);
    case GrainType::sevenPerforated:
    case GrainType::nineteenPerforated: {
        const bool seven = type == GrainType::sevenPerforated;
        const double holes = seven ? 7 : 19;      // perforations
        const double widening = seven ? 12 : 36;  // growth of the summed perimeters per unit of e
        const V u = P + twoE;
        return num(kPi) * Le * ((D + num(holes) * P) + num(widening) * e) + num(kPiOver2) * (De * De - num(holes) * u * u);
    }
    case GrainType::tube: {
        const V u = P + twoE;
        return num(kPi) * (((De * Le + u * Le) + num(0.5) * De * De) - num(0.5) * u * u);
    }
    case GrainType::slottedStick:
        break;
    }
    return num(0);  // the slotted stick's surface is not a polynomial of e
}

}  // namespace kalvex
