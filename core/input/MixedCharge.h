#pragma once
// The charge of an input set as a list of components: the first is the input set's own
// propellant, burning law and grain, the others its extraComponents in the order listed.
#include "core/input/BallisticInput.h"
#include "core/input/ChargeList.h"  // componentCount

#include <cstddef>

namespace kalvex {

inline bool isMixedCharge(const BallisticInput& input)
{
    return !input.extraComponents.empty();
}

// The input set with the propellant, burning law and grain of component c (0 for the first)
// in its own fields and no other component: that component fired alone as the whole charge.
BallisticInput componentInputSet(const BallisticInput& input, std::size_t c);

// The input set's own propellant, burning law and grain (component 1) as a component record.
ChargeComponent firstComponent(const BallisticInput& input);

// Puts component k in the input set's own fields (component 1), the other components kept.
void setFirstComponent(BallisticInput& input, const ChargeComponent& k);

// The mass of the whole charge, kg: the components' masses summed in their order.
double chargeMass(const BallisticInput& input);

}  // namespace kalvex
