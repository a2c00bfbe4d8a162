#include "../Tolerance.h"

#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kalvex;

namespace {

constexpr double kPiUsed = 3.141592654;

BallisticInput grainInput(int type, double Dmm, double Lmm, double Pmm, double SWmm)
{
    BallisticInput in;
    in.grainType = type;
    in.D = Dmm * 0.001;
    in.L = Lmm * 0.001;
    in.P = Pmm * 0.001;
    in.SW = SWmm * 0.001;
    in.C = 1;
    in.rho = 1600;
    return in;
}

// One grain of each type with sizes that pass the input rules.
const std::vector<BallisticInput> kGrains = {
    grainInput(1, 0.8, 0, 0, 0),       grainInput(2, 1, 2, 0.3, 0),   grainInput(3, 1.2, 3, 0, 0),
    grainInput(4, 0.85, 1.5, 0.3, 0),  grainInput(5, 4, 10, 1, 0.4),  grainInput(6, 10, 22, 0.9, 0),
    grainInput(7, 12, 25, 1.2, 0),
};

// The grain after burning a thickness e, as a fresh grain of shrunk outer and widened inner
// sizes; its volume must fall at the rate of the burning surface (types 1 to 5).
BallisticInput burnedBy(BallisticInput in, double e)
{
    in.D -= 2 * e;
    in.L -= 2 * e;
    if (in.grainType == 2)
        in.P -= 2 * e;  // the third edge of a slab shrinks too
    else
        in.P += 2 * e;
    in.SW += 2 * e;
    return in;
}

}  // namespace

TEST(GrainGeometry, InitialValuesOfSimpleShapes)
{
    const GrainGeometry sphere = prepareGrainGeometry(kGrains[0]);
    EXPECT_EQ(sphere.initialGrainVolume, 0.5235987756666667 * 0.0008 * 0.0008 * 0.0008);
    EXPECT_EQ(sphere.initialGrainSurface, kPiUsed * 0.0008 * 0.0008);
    const GrainGeometry slab = prepareGrainGeometry(kGrains[1]);
    EXPECT_TRUE(relativelyNear(slab.initialGrainVolume, 0.001 * 0.002 * 0.0003, 1e-15));
    EXPECT_TRUE(relativelyNear(slab.initialGrainSurface, 2 * (2e-6 + 3e-7 + 6e-7), 1e-15));
    const GrainGeometry tube = prepareGrainGeometry(kGrains[3]);
    EXPECT_TRUE(relativelyNear(tube.initialGrainVolume,
                               0.7853981635 * 0.0015 * (0.00085 * 0.00085 - 0.0003 * 0.0003), 1e-15));
}

TEST(GrainGeometry, SurfaceAtZeroBurnedThicknessIsTheInitialSurface)
{
    for (const BallisticInput& in : kGrains) {
        const GrainGeometry g = prepareGrainGeometry(in);
        ASSERT_GT(g.initialGrainSurface, 0) << "type " << in.grainType;
        if (in.grainType <= 4)
            EXPECT_EQ(grainSurface(in, g, 0), g.initialGrainSurface) << "type " << in.grainType;
        else  // the end faces come from 2 Vg / L, equal up to rounding
            EXPECT_TRUE(relativelyNear(grainSurface(in, g, 0), g.initialGrainSurface, 1e-12))
                << "type " << in.grainType;
    }
}

TEST(GrainGeometry, SurfaceOfSolidShapesIsTheRateOfVolumeLoss)
{
    for (int type = 1; type <= 5; ++type) {
        const BallisticInput& in = kGrains[static_cast<std::size_t>(type - 1)];
        const GrainGeometry g = prepareGrainGeometry(in);
        for (double e : {0.0, 0.00005, 0.0001}) {
            const double delta = 1e-8;
            const double volumeRate = (prepareGrainGeometry(burnedBy(in, e - delta)).initialGrainVolume -
                                       prepareGrainGeometry(burnedBy(in, e + delta)).initialGrainVolume) /
                                      (2 * delta);
            EXPECT_TRUE(relativelyNear(grainSurface(in, g, e), volumeRate, 1e-5))
                << "type " << type << " e " << e;
        }
    }
}

TEST(GrainGeometry, SevenPerforatedConstants)
{
    const BallisticInput in = grainInput(6, 5, 10, 0.5, 0);
    const GrainGeometry g = prepareGrainGeometry(in);
    EXPECT_NEAR(g.web, 0.000875, 1e-18);
    EXPECT_NEAR(g.pitch, 0.001375, 1e-18);
    EXPECT_NEAR(g.innerSliverLimit, 0.001375 / std::sqrt(3.0) - 0.00025, 1e-18);
    EXPECT_NEAR(g.outerSliverLimit, (14 - 3 * std::sqrt(3.0)) * 0.001375 / 13 - 0.00025, 1e-17);
    EXPECT_LT(g.innerSliverLimit, g.outerSliverLimit);
    EXPECT_GT(g.innerSliverLimit, 0.5 * g.web);
}

TEST(GrainGeometry, NineteenPerforatedConstants)
{
    const BallisticInput in = grainInput(7, 12, 25, 1.2, 0);
    const GrainGeometry g = prepareGrainGeometry(in);
    const double w = (0.012 - 5 * 0.0012) / 6;
    const double a = w + 0.0012;
    EXPECT_NEAR(g.web, w, 1e-17);
    EXPECT_NEAR(g.pitch, a, 1e-17);
    EXPECT_NEAR(g.sliverLimitC, 0.5 * (0.012 - 0.0012 - 2 * std::sqrt(3.0) * a), 1e-17);
    EXPECT_NEAR(g.outerSliverLimit, 0.25 * ((6 - std::sqrt(10.0)) * a - 2 * 0.0012), 1e-17);
}

namespace {

// The surface of a multi-perforated grain while it still burns as a whole.
double wholeGrainSurface(const BallisticInput& in, double e)
{
    const int holes = in.grainType == 6 ? 7 : 19;
    const double growth = in.grainType == 6 ? 12 : 36;
    const double De = in.D - 2 * e;
    const double u = in.P + 2 * e;
    return kPiUsed * (in.L - 2 * e) * (in.D + holes * in.P + growth * e) +
           1.570796327 * (De * De - holes * u * u);
}

}  // namespace

TEST(GrainGeometry, MultiPerforatedGrainsBurnAsAWholeUpToHalfTheWeb)
{
    for (const BallisticInput& in : {kGrains[5], kGrains[6]}) {
        const GrainGeometry g = prepareGrainGeometry(in);
        const double half = 0.5 * g.web;
        const double atHalf = grainSurface(in, g, half);
        EXPECT_EQ(atHalf, wholeGrainSurface(in, half)) << "type " << in.grainType;
        // Just past half the web the perforations have met and the sliver formula takes over.
        // It joins the whole-grain one, but not to the last digits: the first sliver angle
        // grows like the square root of the distance from the boundary.
        const double justAbove = std::nextafter(half, 1.0);
        const double slivers = grainSurface(in, g, justAbove);
        EXPECT_GT(std::fabs(slivers - wholeGrainSurface(in, justAbove)), 1e-12 * atHalf)
            << "type " << in.grainType;
        EXPECT_TRUE(relativelyNear(slivers, atHalf, 1e-6)) << "type " << in.grainType;
    }
}

TEST(GrainGeometry, MultiPerforatedGrainsAreConsumedAtTheOuterSliverLimit)
{
    for (const BallisticInput& in : {kGrains[5], kGrains[6]}) {
        const GrainGeometry g = prepareGrainGeometry(in);
        const double eB = g.outerSliverLimit;
        const double midSlivers = 0.5 * (0.5 * g.web + eB);
        EXPECT_GT(grainSurface(in, g, midSlivers), 0) << "type " << in.grainType;
        EXPECT_NE(grainSurface(in, g, std::nextafter(eB, 0.0)), 0) << "type " << in.grainType;
        EXPECT_EQ(grainSurface(in, g, eB), 0) << "type " << in.grainType;
        EXPECT_EQ(grainSurface(in, g, 2 * eB), 0) << "type " << in.grainType;
    }
}

TEST(GrainGeometry, ShortMultiPerforatedGrainEndsAtHalfItsLength)
{
    BallisticInput in = grainInput(6, 10, 2.4, 0.9, 0);  // L/2 = 1.2 mm lies in the sliver phase
    const GrainGeometry g = prepareGrainGeometry(in);
    ASSERT_LT(0.5 * in.L, g.outerSliverLimit);
    ASSERT_GT(0.5 * in.L, 0.5 * g.web);
    EXPECT_NE(grainSurface(in, g, std::nextafter(0.5 * in.L, 0.0)), 0);  // slivers still burn
    EXPECT_EQ(grainSurface(in, g, 0.5 * in.L), 0);
}

TEST(GrainGeometry, SliverSurfaceShrinksAsTheSliversBurn)
{
    for (const BallisticInput& in : {kGrains[5], kGrains[6]}) {
        const GrainGeometry g = prepareGrainGeometry(in);
        double previous = grainSurface(in, g, std::nextafter(0.5 * g.web, 1.0));
        const int samples = 50;
        for (int i = 1; i < samples; ++i) {
            const double e = 0.5 * g.web + (g.outerSliverLimit - 0.5 * g.web) * i / samples;
            const double S = grainSurface(in, g, e);
            EXPECT_TRUE(std::isfinite(S)) << "type " << in.grainType << " e " << e;
            if (i < 0.9 * samples) {  // the formulas reach zero a little before eB
                EXPECT_GT(S, 0) << "type " << in.grainType << " e " << e;
            }
            EXPECT_LT(S, previous) << "type " << in.grainType << " e " << e;
            previous = S;
        }
    }
}

TEST(GrainGeometry, SurfaceBurnsAwayTheWholeMultiPerforatedGrain)
{
    // Integrating the surface over the burned thickness until it vanishes gives the grain
    // volume, up to the approximation of the sliver shapes.
    for (const BallisticInput& in : {kGrains[5], kGrains[6], grainInput(7, 20, 40, 1, 0), grainInput(6, 5, 10, 0.5, 0)}) {
        const GrainGeometry g = prepareGrainGeometry(in);
        const int steps = 200000;
        const double de = g.outerSliverLimit / steps;
        double burned = 0;
        for (int i = 0; i < steps; ++i) {
            const double S = grainSurface(in, g, (i + 0.5) * de);
            if (!(S > 0))
                break;
            burned += S * de;
        }
        EXPECT_NEAR(burned / g.initialGrainVolume, 1, 0.01) << "type " << in.grainType;
    }
}

TEST(GrainGeometry, GrainCountDependsOnDensityOnly)
{
    BallisticInput in = kGrains[3];
    in.C = 0.0029;
    const GrainGeometry g = prepareGrainGeometry(in);
    EXPECT_DOUBLE_EQ(grainCount(in, g), 0.0029 / (1600 * g.initialGrainVolume));
    in.rho = 800 * 2.5;
    const GrainGeometry g2 = prepareGrainGeometry(in);
    EXPECT_EQ(g2.initialGrainVolume, g.initialGrainVolume);
    EXPECT_EQ(g2.initialGrainSurface, g.initialGrainSurface);
    EXPECT_DOUBLE_EQ(grainCount(in, g2), grainCount(kGrains[3], g) * 0.0029 * 1600 / 2000);
}

TEST(GrainGeometry, SliverPhaseStartsWithAFiniteSurfaceForAnyMultiPerforatedGrain)
{
    // Just past half the web the perforations have barely met: the sliver angles are near 0
    // and their arccos arguments near 1, where rounding must not give a grain that is gone.
    int checked = 0;
    for (int type : {6, 7}) {
        for (double Dmm = 3; Dmm <= 20; Dmm += 0.37) {
            const double maxP = type == 6 ? Dmm / 3 : 0.2 * Dmm;
            for (double share = 0.05; share < 0.99; share += 0.047) {
                const BallisticInput in = grainInput(type, Dmm, 2.5 * Dmm, share * maxP, 0);
                const GrainGeometry g = prepareGrainGeometry(in);
                double e = 0.5 * g.web;
                for (int ulp = 0; ulp < 4; ++ulp) {
                    e = std::nextafter(e, 1.0);
                    const double S = grainSurface(in, g, e);
                    ASSERT_TRUE(std::isfinite(S) && S > 0)
                        << "type " << type << " D " << Dmm << " P " << share * maxP << " S " << S;
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
}
