// The sensitivity estimators alone, on the Ishigami function, whose indices are known in closed
// form, sampled by the study's own Saltelli design.
#include "study/SaltelliDesign.h"
#include "study/SobolIndices.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <numeric>

namespace kalvex::study {
namespace {

constexpr double kA = 7, kB = 0.1;  // the usual constants of the Ishigami function
constexpr double kPi = std::numbers::pi;

double ishigami(const std::vector<double>& x)
{
    return std::sin(x[0]) + kA * std::pow(std::sin(x[1]), 2) + kB * std::pow(x[2], 4) * std::sin(x[0]);
}

// f at every row of a design of three parameters uniform on (-pi, pi).
SaltelliOutputs ishigamiOutputs(std::size_t samples)
{
    const std::vector<ToleranceParameter> uniform(3, {"x", Distribution::uniform, kPi});
    const SaltelliDesign design(uniform, samples);
    SaltelliOutputs f{{}, {}, std::vector<std::vector<double>>(3)};
    std::vector<double> x;
    for (std::size_t row = 0; row < design.size(); ++row) {
        design.deviations(row, x);
        const SaltelliRow r = saltelliRow(row, 3);
        (r.role == SaltelliRole::a ? f.a : r.role == SaltelliRole::b ? f.b : f.ab[r.swapped]).push_back(ishigami(x));
    }
    return f;
}

TEST(SobolEstimators, ReproduceTheIshigamiIndices)
{
    // V = a^2/8 + b pi^4/5 + b^2 pi^8/18 + 1/2; V1 = (1 + b pi^4/5)^2 / 2, V2 = a^2/8, V3 = 0;
    // x1 and x3 act together through V13 = 8 b^2 pi^8 / 225.
    const double pi4 = std::pow(kPi, 4), pi8 = pi4 * pi4;
    const double V = kA * kA / 8 + kB * pi4 / 5 + kB * kB * pi8 / 18 + 0.5;
    const double V1 = 0.5 * std::pow(1 + kB * pi4 / 5, 2), V2 = kA * kA / 8, V13 = 8 * kB * kB * pi8 / 225;
    const std::vector<double> first{V1 / V, V2 / V, 0}, total{(V1 + V13) / V, V2 / V, V13 / V};

    const SaltelliOutputs f = ishigamiOutputs(10000);
    std::vector<std::size_t> all(f.a.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    const IndexEstimate e = estimateIndices(f, all);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(e.first[i], first[i], 0.02) << "S1 of x" << i + 1;
        EXPECT_NEAR(e.total[i], total[i], 0.02) << "ST of x" << i + 1;
    }

    // The bootstrap intervals at 95 % hold the exact indices, and S1 <= ST within them.
    const auto bootstrap = bootstrapIndices({f}, 200, 0.95, 3)[0];
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(bootstrap[i].first.value, e.first[i]);
        EXPECT_LE(bootstrap[i].first.lower, first[i] + 0.01);
        EXPECT_GE(bootstrap[i].first.upper, first[i] - 0.01);
        EXPECT_LE(bootstrap[i].first.lower, bootstrap[i].total.upper);
    }
}

TEST(SobolEstimators, ConstantOutputHasNoIndices)
{
    const SaltelliOutputs f{{2, 2, 2}, {2, 2, 2}, {{2, 2, 2}}};
    const IndexEstimate e = estimateIndices(f, {0, 1, 2});
    EXPECT_TRUE(std::isnan(e.first[0]));
    EXPECT_TRUE(std::isnan(e.total[0]));
}

TEST(SaltelliDesignRows, EachRowTakesItsColumnsFromAOrB)
{
    // Row roles cycle A, AB^1 .. AB^k, B; AB^i agrees with A except in parameter i, with B there.
    const std::vector<ToleranceParameter> p{{"x", Distribution::uniform, 1}, {"y", Distribution::normal, 2}};
    const SaltelliDesign design(p, 3);
    ASSERT_EQ(design.size(), 12u);
    std::vector<double> a, ab1, ab2, b;
    design.deviations(4, a);
    design.deviations(5, ab1);
    design.deviations(6, ab2);
    design.deviations(7, b);
    EXPECT_EQ(saltelliRow(5, 2).sample, 1u);
    EXPECT_EQ((std::vector<double>{b[0], a[1]}), ab1);
    EXPECT_EQ((std::vector<double>{a[0], b[1]}), ab2);
    EXPECT_NE(a, b);
    EXPECT_LE(std::fabs(a[0]), 1.0);
}

}  // namespace
}  // namespace kalvex::study
