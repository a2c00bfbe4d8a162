#include "core/input/MixedCharge.h"

namespace kalvex {

BallisticInput componentInputSet(const BallisticInput& in, std::size_t c)
{
    BallisticInput alone = in;
    alone.extraComponents.clear();
    if (c > 0)
        setFirstComponent(alone, in.extraComponents.at(c - 1));
    return alone;
}

void setFirstComponent(BallisticInput& in, const ChargeComponent& k)
{
    in.C = k.C;
    in.F = k.F;
    in.T0 = k.T0;
    in.b = k.b;
    in.gamma = k.gamma;
    in.rho = k.rho;
    in.beta = k.beta;
    in.alpha = k.alpha;
    in.fFT = k.fFT;
    in.fbeta = k.fbeta;
    in.fbetaT = k.fbetaT;
    in.upperSegments = k.upperSegments;
    in.temperatureCoefficients = k.temperatureCoefficients;
    in.grainType = k.grainType;
    in.D = k.D;
    in.L = k.L;
    in.P = k.P;
    in.SW = k.SW;
}

ChargeComponent firstComponent(const BallisticInput& in)
{
    ChargeComponent k;
    k.C = in.C;
    k.F = in.F;
    k.T0 = in.T0;
    k.b = in.b;
    k.gamma = in.gamma;
    k.rho = in.rho;
    k.beta = in.beta;
    k.alpha = in.alpha;
    k.fFT = in.fFT;
    k.fbeta = in.fbeta;
    k.fbetaT = in.fbetaT;
    k.upperSegments = in.upperSegments;
    k.temperatureCoefficients = in.temperatureCoefficients;
    k.grainType = in.grainType;
    k.D = in.D;
    k.L = in.L;
    k.P = in.P;
    k.SW = in.SW;
    return k;
}

double chargeMass(const BallisticInput& in)
{
    double mass = in.C;
    for (const ChargeComponent& k : in.extraComponents)
        mass += k.C;
    return mass;
}

}  // namespace kalvex
