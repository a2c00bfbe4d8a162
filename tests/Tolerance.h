#pragma once
#include <cmath>
#include <gtest/gtest.h>

// Relative closeness for values computed by different but equivalent routes.
inline ::testing::AssertionResult relativelyNear(double actual, double expected, double relTol)
{
    const double scale = std::max(std::fabs(expected), 1e-300);
    if (std::fabs(actual - expected) <= relTol * scale)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual << " differs from " << expected << " by more than " << relTol << " relative";
}
