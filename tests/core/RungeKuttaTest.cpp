#include "core/stepping/RungeKutta.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace kalvex;

namespace {

using Oscillator = std::array<double, 2>;  // position, velocity of x'' = -x

// Error at t = 2 of the oscillator started at (1, 0), whose exact position is cos t.
double oscillatorError(int steps)
{
    Oscillator y{1, 0};
    const double h = 2.0 / steps;
    auto rhs = [](Oscillator& Y, Oscillator& d) {
        d[0] = Y[1];
        d[1] = -Y[0];
        return true;
    };
    for (int i = 0; i < steps; ++i)
        rungeKutta4Step(y, h, rhs);
    return std::hypot(y[0] - std::cos(2.0), y[1] + std::sin(2.0));
}

}  // namespace

TEST(RungeKutta4, ErrorShrinksSixteenfoldWhenTheStepHalves)
{
    for (int steps : {10, 20, 40}) {
        const double coarse = oscillatorError(steps);
        const double fine = oscillatorError(2 * steps);
        EXPECT_GT(coarse / fine, 14.5) << steps << " steps";
        EXPECT_LT(coarse / fine, 17.5) << steps << " steps";
    }
}

TEST(RungeKutta4, IntegratesAPolynomialOfDegreeThreeExactly)
{
    std::array<double, 1> y{0};
    auto rhs = [t = 0.0, stage = 0](std::array<double, 1>&, std::array<double, 1>& d) mutable {
        // y' = 4 t^3 at the stage times 0, h/2, h/2, h of a step of h = 1
        static constexpr double kStageTimes[] = {0, 0.5, 0.5, 1};
        t = kStageTimes[stage++ % 4];
        d[0] = 4 * t * t * t;
        return true;
    };
    rungeKutta4Step(y, 1.0, rhs);
    // Simpson's rule: (0 + 4 * 4 * 0.125 + 4) / 6 = 1, the exact integral of 4 t^3 over [0, 1]
    EXPECT_DOUBLE_EQ(y[0], 1.0);
}

TEST(RungeKutta4, StageCorrectionsTouchOnlyTheStageCopy)
{
    std::array<double, 1> y{-1};
    auto rhs = [](std::array<double, 1>& Y, std::array<double, 1>& d) {
        if (Y[0] < 0)
            Y[0] = 0;  // a clamp such as the model's
        d[0] = 1 + Y[0];
        return true;
    };
    rungeKutta4Step(y, 0.1, rhs);
    // k1 = 0.1 (Y clamped to 0), Y2 = -0.95 -> k2 = 0.1, Y3 = -0.95 -> k3 = 0.1, Y4 = -0.9 -> k4 = 0.1
    EXPECT_DOUBLE_EQ(y[0], -1 + 0.1);
}

TEST(RungeKutta4, AFailingStageLeavesTheStateUnchanged)
{
    std::array<double, 2> y{1, 2};
    int calls = 0;
    auto rhs = [&calls](std::array<double, 2>&, std::array<double, 2>& d) {
        d = {1, 1};
        return ++calls < 3;  // the third stage finds no meaningful state
    };
    EXPECT_FALSE(rungeKutta4Step(y, 0.5, rhs));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(y[0], 1);
    EXPECT_EQ(y[1], 2);
}
