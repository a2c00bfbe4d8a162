#include "core/input/MixedCharge.h"

namespace kalvex {

BallisticInput componentInputSet(const BallisticInput& in, std::size_t c)
{
    BallisticInput alone = in;
    alone.extraComponents.clear();
    if (c > 0)
        setChargeComponent(alone, 1, in.extraComponents.at(c - 1));
    return alone;
}

}  // namespace kalvex
