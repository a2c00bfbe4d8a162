#pragma once
// The integrated variables of the model, for one run (double) or for the runs of a pack.
#include "core/packs/Packs.h"

#include <array>
#include <cstddef>

namespace kalvex {

// The integrated variables of a charge of one component; the index is also the selector of
// the derivative.
enum StateIndex : int {
    kVelocity = 0,        // vp, projectile velocity, m/s (>= 0)
    kTravel = 1,          // x, travel relative to the barrel, m (>= 0)
    kBurnedFraction = 2,  // Z, burned mass fraction (<= 1)
    kAirWork = 3,         // Eair, work against the air column ahead of the projectile, J
    kHeatLoss = 4,        // Q, heat lost to the chamber wall, J
    kRecoilVelocity = 5,  // vrp, velocity of the recoiling parts, m/s (<= 0, rearward)
    kBurnedThickness = 6, // e, burned thickness of the grains, m
    kStateSize = 7
};

// A charge of several components burns each on its own: each adds its burned fraction and
// burned thickness to the state. Component 0 keeps the places above, so that a charge of one
// component is the state of today; component c > 0 follows after them, its two variables
// side by side.
inline constexpr int kMaxComponents = 8;

constexpr int stateSize(int components)
{
    return kStateSize + 2 * (components - 1);
}

constexpr int burnedFractionIndex(int component)
{
    return component == 0 ? kBurnedFraction : kStateSize + 2 * (component - 1);
}

constexpr int burnedThicknessIndex(int component)
{
    return component == 0 ? kBurnedThickness : kStateSize + 2 * (component - 1) + 1;
}

inline constexpr int kMaxStateSize = stateSize(kMaxComponents);
static_assert(stateSize(1) == kStateSize && burnedThicknessIndex(kMaxComponents - 1) == kMaxStateSize - 1,
              "one component keeps today's state; the last component ends the largest one");

// The state of a run (V = double) or of the runs of a pack, run r in element r of every
// variable, for a charge of `Components` components.
template <class V, int Components = 1>
using StateOf = std::array<V, static_cast<std::size_t>(stateSize(Components))>;
using StateVector = StateOf<double>;

// The bounds of the state: the projectile does not move back into the chamber, the burned
// fraction does not pass 1, the recoil brake does not push the barrel forward. Applied to
// every stage state and again after each step.
template <class V, class State>
[[gnu::always_inline]] inline void clampStateOf(State& y)
{
    const V zero = packs::num<V>(0);
    y[kVelocity] = packs::select<V>(y[kVelocity] < 0, zero, y[kVelocity]);
    y[kTravel] = packs::select<V>(y[kTravel] < 0, zero, y[kTravel]);
    y[kBurnedFraction] = packs::select<V>(y[kBurnedFraction] > 1, packs::num<V>(1), y[kBurnedFraction]);
    y[kRecoilVelocity] = packs::select<V>(y[kRecoilVelocity] > 0, zero, y[kRecoilVelocity]);
}

inline void clampState(StateVector& y)
{
    clampStateOf<double>(y);
}

}  // namespace kalvex
