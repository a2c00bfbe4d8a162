#pragma once
// The classical fourth-order Runge-Kutta step for a fixed-size system, for one run or for
// several independent runs advanced together.
#include <array>
#include <cstddef>

namespace kalvex {

// Advances L independent systems by one step each. Every stage is taken for all lanes before
// the next stage of any, so that the processor can overlap their chains; each lane performs
// exactly the operations of a step taken alone, in the same order, and gets the same bits.
// `rhs(Y, dYdt, active)` evaluates the derivatives of the lanes in the bit mask `active` at
// their stage states (it may correct Y in place, which touches only the stage copies) and
// returns the mask of those whose state has a meaning, having written every derivative of
// those; a lane that fails keeps its y and drops out of the step. Returns the mask of the
// lanes that completed the step.
// The stage weights are summed as (2 k2 + k1 + 2 k3 + k4) / 6, the order the results have
// always been computed in. The number type T is double, or a pack of several runs' numbers
// (Packs.h) whose operations round each run's element as double does.
template <std::size_t N, std::size_t L, class T, class Rhs>
unsigned rungeKutta4Lanes(std::array<std::array<T, N>, L>& y, const std::array<T, L>& h, unsigned active, Rhs&& rhs)
{
    using Lanes = std::array<std::array<T, N>, L>;
    Lanes Y = y;
    Lanes d;  // every derivative of a lane that rhs keeps is written before it is read
    Lanes k1, k2, k3, k4;
    const auto each = [](unsigned mask, auto&& f) {
        for (std::size_t l = 0; l < L; ++l)
            if (mask >> l & 1u)
                f(l);
    };

    // The four stages are written out: folded into one stage lambda called four times, the
    // packed lanes took half as long again per step.
    if (active != 0)
        active = rhs(Y, d, active);
    each(active, [&](std::size_t l) {
        for (std::size_t j = 0; j < N; ++j) {
            k1[l][j] = h[l] * d[l][j];
            Y[l][j] = y[l][j] + 0.5 * k1[l][j];
        }
    });
    if (active != 0)
        active = rhs(Y, d, active);
    each(active, [&](std::size_t l) {
        for (std::size_t j = 0; j < N; ++j) {
            k2[l][j] = h[l] * d[l][j];
            Y[l][j] = y[l][j] + 0.5 * k2[l][j];
        }
    });
    if (active != 0)
        active = rhs(Y, d, active);
    each(active, [&](std::size_t l) {
        for (std::size_t j = 0; j < N; ++j) {
            k3[l][j] = h[l] * d[l][j];
            Y[l][j] = y[l][j] + k3[l][j];
        }
    });
    if (active != 0)
        active = rhs(Y, d, active);
    each(active, [&](std::size_t l) {
        for (std::size_t j = 0; j < N; ++j) {
            k4[l][j] = h[l] * d[l][j];
            y[l][j] = y[l][j] + (2 * k2[l][j] + k1[l][j] + 2 * k3[l][j] + k4[l][j]) * 0.16666666666666666;
        }
    });
    return active;
}

// Advances y by one step h. `rhs(Y, dYdt)` evaluates the derivatives at the stage state Y
// (it may correct Y in place) and returns false when the state has no meaning; the step then
// stops and returns false with y unchanged.
template <std::size_t N, class Rhs>
bool rungeKutta4Step(std::array<double, N>& y, double h, Rhs&& rhs)
{
    std::array<std::array<double, N>, 1> lane{y};
    const unsigned done = rungeKutta4Lanes(lane, std::array<double, 1>{h}, 1u,
                                           [&rhs](auto& Y, auto& d, unsigned active) {
                                               return rhs(Y[0], d[0]) ? active : 0u;
                                           });
    if (done == 0)
        return false;
    y = lane[0];
    return true;
}

}  // namespace kalvex
