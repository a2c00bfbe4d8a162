#pragma once
// The classical fourth-order Runge-Kutta step for a fixed-size system.
#include <array>
#include <cstddef>

namespace kalvex {

// Advances y by one step h. `rhs(Y, dYdt)` evaluates the derivatives at the stage state Y
// (it may correct Y in place, which touches only the stage copy) and returns false when the
// state has no meaning; the step then stops and returns false with y unchanged.
// The stage weights are summed as (2 k2 + k1 + 2 k3 + k4) / 6, the order the results have
// always been computed in.
template <std::size_t N, class Rhs>
bool rungeKutta4Step(std::array<double, N>& y, double h, Rhs&& rhs)
{
    std::array<double, N> Y = y;
    std::array<double, N> d{};
    std::array<double, N> k1, k2, k3, k4;

    if (!rhs(Y, d))
        return false;
    for (std::size_t j = 0; j < N; ++j) {
        k1[j] = h * d[j];
        Y[j] = y[j] + 0.5 * k1[j];
    }
    if (!rhs(Y, d))
        return false;
    for (std::size_t j = 0; j < N; ++j) {
        k2[j] = h * d[j];
        Y[j] = y[j] + 0.5 * k2[j];
    }
    if (!rhs(Y, d))
        return false;
    for (std::size_t j = 0; j < N; ++j) {
        k3[j] = h * d[j];
        Y[j] = y[j] + k3[j];
    }
    if (!rhs(Y, d))
        return false;
    for (std::size_t j = 0; j < N; ++j) {
        k4[j] = h * d[j];
        y[j] = y[j] + (2 * k2[j] + k1[j] + 2 * k3[j] + k4[j]) * 0.16666666666666666;
    }
    return true;
}

}  // namespace kalvex
