#include "core/model/ChargeConstants.h"

#include "core/input/MixedCharge.h"

#include <algorithm>

namespace kalvex {

namespace {

// Each number grouped as prepareRunConstants groups it for a charge of one component, so that
// a component with the whole mass holds the very numbers of that charge.
ComponentConstants componentConstants(const BallisticInput& alone)
{
    ComponentConstants c;
    c.C = alone.C;
    c.rho = alone.rho;
    c.Cb = alone.C * alone.b;
    c.forceMass = alone.fFT * alone.F * alone.C;
    c.cvDivisor = (alone.gamma - 1) * alone.T0;
    c.cpFactor = alone.fFT * alone.F * alone.gamma * alone.C;
    c.gammaMinus1 = alone.gamma - 1;
    c.T0 = alone.T0;
    c.beta = alone.beta;
    c.shape = grainShapeOf(alone);
    c.grain = prepareGrainGeometry(c.shape);
    c.initialGrainVolume = c.grain.initialGrainVolume;
    c.initialGrainSurface = c.grain.initialGrainSurface;
    c.grains = grainCount(alone, c.grain);
    c.law = burningLawRates(alone);
    return c;
}

}  // namespace

ChargeConstants prepareChargeConstants(const BallisticInput& in)
{
    ChargeConstants charge;
    charge.count = static_cast<int>(std::min<std::size_t>(componentCount(in), kMaxComponents));
    for (int c = 0; c < charge.count; ++c) {
        ComponentConstants& k = charge.components[static_cast<std::size_t>(c)];
        k = componentConstants(componentInputSet(in, static_cast<std::size_t>(c)));
        charge.mass += k.C;
        charge.burntForceByT0 += k.forceMass / k.T0;
        charge.initialSurface += k.grains * k.initialGrainSurface;
    }
    for (int c = 0; c < charge.count; ++c) {
        ComponentConstants& k = charge.components[static_cast<std::size_t>(c)];
        k.surfaceShare = k.grains * k.initialGrainSurface / charge.initialSurface;
    }
    return charge;
}

}  // namespace kalvex
