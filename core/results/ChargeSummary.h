#pragma once
// What the summary adds and counts for a mixed charge: the energies of the whole charge, and
// a line per component with its end of burning and its burned fraction at the muzzle.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"

#include <functional>
#include <string>

namespace kalvex {

// Etot, Egas and Eunburned of a completed run of a mixed charge, each component counted with
// its own burned fraction at the muzzle (results.componentBurnedFraction).
void computeChargeEnergies(const BallisticInput& input, RunResults& results);

// The number of grains of the whole charge, each component's C/(rho*Vg) summed.
double chargeGrainCount(const BallisticInput& input);

// Entry of the first Z_k exactly 1 of component c (0 for the first); N + 1 when it burns
// beyond the muzzle.
int componentBurnoutRow(const RunResults& results, std::size_t c);

// One line per component: the time and travel where it is burnt, or that it burns beyond
// the muzzle, and its burned fraction at the muzzle.
void writeComponentLines(const BallisticInput& input, const RunResults& results,
                         const std::function<void(const std::string&)>& appendLine);

}  // namespace kalvex
