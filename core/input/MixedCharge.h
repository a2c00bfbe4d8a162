#pragma once
// The charge of an input set as a list of components: the first is the input set's own
// propellant, burning law and grain, the others its extraComponents in the order listed.
#include "core/input/BallisticInput.h"
#include "core/input/ChargeList.h"  // the charge as a list: componentCount, chargeComponent, totalChargeMass

#include <cstddef>

namespace kalvex {

inline bool isMixedCharge(const BallisticInput& input)
{
    return !input.extraComponents.empty();
}

// The input set with the propellant, burning law and grain of component c (0 for the first)
// in its own fields and no other component: that component fired alone as the whole charge.
BallisticInput componentInputSet(const BallisticInput& input, std::size_t c);

}  // namespace kalvex
