#include "core/results/Errors.h"
#include "core/input/CalculatorFormulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kalvex;

TEST(ProjectileBaseArea, WeighsGrooveAndLandCirclesByTheirShareOfTheCircumference)
{
    const struct {
        double ratio, groovesMm, landsMm;
    } cases[] = {{1, 7.82, 7.62}, {0, 7.82, 7.62}, {2, 12.98, 12.7}, {0.5, 30.5, 30}, {1, 155, 155}};
    for (const auto& c : cases) {
        const double dg = c.groovesMm / 1000;
        const double dl = c.landsMm / 1000;
        const double exact = std::numbers::pi / 4 * (c.ratio * dg * dg + dl * dl) / (c.ratio + 1);
        // Rounded to 8 decimals of m^2.
        EXPECT_NEAR(projectileBaseArea(c.ratio, c.groovesMm, c.landsMm), exact, 0.5e-8 + 1e-15)
            << c.ratio << " " << c.groovesMm << " " << c.landsMm;
    }
}

TEST(ProjectileBaseArea, RoundsToEightDecimals)
{
    EXPECT_DOUBLE_EQ(projectileBaseArea(1, 7.82, 7.62), 4.682e-5);
    EXPECT_DOUBLE_EQ(projectileBaseArea(0, 7.82, 7.62), 4.56e-5);
    EXPECT_EQ(projectileBaseArea(0, 0, 0), 0);
}

TEST(ProjectileBaseArea, RatioOfMinusOneIsRejectedAndItsNeighboursAreNot)
{
    try {
        projectileBaseArea(-1, 7.82, 7.62);
        FAIL() << "no error for a ratio of -1";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "Groove to Land Width Ratio must not be -1.");
    }
    EXPECT_TRUE(std::isfinite(projectileBaseArea(-1.001, 7.82, 7.62)));
    EXPECT_TRUE(std::isfinite(projectileBaseArea(-0.999, 7.82, 7.62)));
}

TEST(PascalBurningRateCoefficient, ScalesByTenToTheMinusSixAlpha)
{
    EXPECT_DOUBLE_EQ(pascalBurningRateCoefficient(0.000575, 0.923), 1.66597e-9);
    EXPECT_DOUBLE_EQ(pascalBurningRateCoefficient(0.001, 1), 1e-9);
    EXPECT_DOUBLE_EQ(pascalBurningRateCoefficient(0.000575, 0), 0.000575);
    // beta_Pa p_Pa^alpha equals beta_MPa p_MPa^alpha at 300 MPa, to the six kept digits.
    const double alpha = 0.8;
    const double betaMPa = 0.0012;
    const double rateMPa = betaMPa * std::pow(300.0, alpha);
    const double ratePa = pascalBurningRateCoefficient(betaMPa, alpha) * std::pow(300e6, alpha);
    EXPECT_NEAR(ratePa / rateMPa, 1.0, 1e-5);
}

TEST(PascalBurningRateCoefficient, RoundsToFourteenDecimals)
{
    EXPECT_EQ(pascalBurningRateCoefficient(0.000575, 2), 0);  // 5.75e-16 is below the last kept decimal
    EXPECT_DOUBLE_EQ(pascalBurningRateCoefficient(0.0046, 1), 4.6e-9);
}
