// The model in its other forms: packed runs against runs alone, the right-hand side f(t, y) for
// an integrator of its own, and the event functions.
#include "../Tolerance.h"
#include "CaseInput.h"

#include "core/model/BallisticModel.h"
#include "core/model/ModelEvents.h"
#include "core/model/RightHandSide.h"
#include "core/packs/PackRecords.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

using namespace kalvex;
using namespace kalvex::test;

namespace {

template <template <class> class Record>
std::vector<std::uint64_t> bitsOf(const Record<double>& record)
{
    constexpr std::size_t n = recordSize<Record, double>();
    const auto numbers = std::bit_cast<std::array<double, n>>(record);
    std::vector<std::uint64_t> bits;
    for (double v : numbers)
        bits.push_back(std::bit_cast<std::uint64_t>(v));
    return bits;
}

}  // namespace

// Run r of a pack holds every number of run r's constants, bit for bit, and the packed
// auxiliaries come back out unchanged: nothing is lost between the records and the packs.
TEST(ModelPacks, EveryNumberOfEachRunReachesItsElementAndComesBack)
{
    const BallisticInput gun = inputFromCase("gun155_7perf");
    const BallisticInput rifle = inputFromCase("rifle_tube");
    const RunConstants a = prepareRunConstants(gun);
    const RunConstants b = prepareRunConstants(rifle);
    const RunConstantsOf<Pack2> pack = gatherRunConstants<Pack2>({&a, &b});
    for (std::size_t r = 0; r < 2; ++r) {
        const RunNumbersOf<double> run = unpackRecord<Pack2, RunNumbersOf>(pack, r);
        EXPECT_EQ(bitsOf<RunNumbersOf>(run), bitsOf<RunNumbersOf>(r == 0 ? a : b)) << "run " << r;
    }
    EXPECT_EQ(&runSource<Pack2>(pack, 1), &b.source);
    EXPECT_EQ(packs::bits<Pack2>(pack.heatTransfer), (gun.heatTransfer ? 1u : 0u) | (rifle.heatTransfer ? 2u : 0u));
    EXPECT_FALSE(pack.sharedPolynomialShape);  // a 7-perforated and a tube grain

    ModelState m;
    m.Pm = 1.5e8;
    m.Tc = 300;
    const ModelState rest;
    const auto packed = packRecords<Pack2x2, ModelStateOf>([&](std::size_t r) -> const ModelState& { return r == 2 ? m : rest; });
    const ModelState third = unpackRecord<Pack2x2, ModelStateOf>(packed, 2);
    EXPECT_EQ(bitsOf<ModelStateOf>(third), bitsOf<ModelStateOf>(m));
    const ModelState second = unpackRecord<Pack2x2, ModelStateOf>(packed, 1);
    EXPECT_EQ(second.Pg, kAtmosphericPressure);
}

// A pack of one shape takes the surface in one go; each element is the surface the run gets
// alone from grainSurface, bit for bit, for every shape whose surface is a polynomial.
TEST(ModelPacks, PackedSurfacesAreTheSurfacesOfRunsAlone)
{
    for (int type : {1, 2, 3, 4, 6, 7}) {
        BallisticInput in = inputFromCase("gun155_7perf");
        in.grainType = type;
        in.D = 0.010;
        in.L = 0.022;
        in.P = type == 2 ? 0.004 : 0.0009;
        const RunConstants k = prepareRunConstants(in);
        ASSERT_TRUE(k.sharedPolynomialShape) << "type " << type;
        const double whole = isMultiPerforated(k.grainType) ? k.halfWeb : 0.5 * in.P;
        const Pack2 e{0, 0.999 * whole};
        const Pack2 S = polynomialGrainSurface<Pack2>(k.grainType, Pack2{in.D, in.D}, Pack2{in.L, in.L}, Pack2{in.P, in.P}, e);
        for (std::size_t r = 0; r < 2; ++r)
            EXPECT_EQ(S[r], grainSurface(in, k.source.grain, e[r])) << "type " << type << " e " << e[r];
    }
}

// The right-hand side for an integrator of its own gives the derivatives of the evaluation
// the fixed step takes, and leaves the state it is given as it was.
TEST(RightHandSide, GivesTheFixedStepsDerivativesAndLeavesTheStateAlone)
{
    const BallisticInput in = inputFromCase("rifle_tube");
    const RunConstants k = prepareRunConstants(in);
    const BoreLoad load{in.px0, 12};
    const std::vector<StateVector> states = {
        StateVector{}, {340, 0.1, 0.5, 0, 0, 0, 0.0001}, {-5, -0.1, 1.5, 0, 0, 3, 0.0001}};
    for (const StateVector& y : states) {
        ModelState m;
        StateVector d{};
        const StateVector before = y;
        EXPECT_EQ(RightHandSide(k, load, m)(0.001, y, d), ModelFault::none);
        EXPECT_EQ(y, before);
        ModelState expectedM;
        StateVector clamped = y;
        StateVector expected{};
        evaluateModel(k, load, clamped, expectedM, expected);
        EXPECT_EQ(d, expected);
        EXPECT_EQ(m.Pb, expectedM.Pb);
    }
}

namespace {

struct EventCase {
    ModelEvent event;
    StateVector y;
    double expected;  // the event function's value: 0 exactly at the event
};

}  // namespace

// Each event function is zero exactly where its event lies and has the sign of the side the
// state is on; the shot starts where the base pressure first beats resistance and air.
TEST(ModelEvents, ZeroAtTheEventNegativeBeforePositiveAfter)
{
    const BallisticInput in = inputFromCase("gun155_7perf");
    const RunConstants k = prepareRunConstants(in);
    const double halfWeb = k.halfWeb;
    const std::vector<EventCase> cases = {
        {ModelEvent::wholeGrainBurnt, {0, 0, 0.5, 0, 0, 0, halfWeb}, 0},
        {ModelEvent::wholeGrainBurnt, {0, 0, 0.5, 0, 0, 0, 0.5 * halfWeb}, -0.5 * halfWeb},
        {ModelEvent::allBurnt, {0, 0, 1, 0, 0, 0, 0}, 0},
        {ModelEvent::allBurnt, {0, 0, 0.75, 0, 0, 0, 0}, -0.25},
        {ModelEvent::resistancePeak, {0, in.xe0, 0, 0, 0, 0, 0}, 0},
        {ModelEvent::resistanceEnd, {0, in.xe + 0.5, 0, 0, 0, 0, 0}, 0.5},
        {ModelEvent::muzzle, {0, in.xm, 0, 0, 0, 0, 0}, 0},
        {ModelEvent::muzzle, {0, in.xm - 1, 0, 0, 0, 0, 0}, -1},
    };
    const ModelState m;
    const BoreLoad load{in.px0, 0};
    for (const EventCase& c : cases)
        EXPECT_TRUE(relativelyNear(eventFunction(c.event, k, c.y, m, load), c.expected, 1e-12))
            << static_cast<int>(c.event) << " at x " << c.y[kTravel];

    // The rifle's igniter gas (11 MPa) does not beat 20 MPa of resistance; without it, it does.
    BallisticInput rifle = inputFromCase("rifle_tube");
    for (const double fr : {1.0, 0.0}) {
        rifle.fr = fr;
        const RunConstants rk = prepareRunConstants(rifle);
        StateVector y{};
        StateVector d{};
        ModelState at;
        const BoreLoad rest{rifle.px0, 0};
        ASSERT_EQ(evaluateModel(rk, rest, y, at, d), ModelFault::none);
        const double g = eventFunction(ModelEvent::shotStart, rk, y, at, rest);
        EXPECT_EQ(g > 0, fr == 0) << "fr " << fr;
        EXPECT_EQ(g > 0, d[kVelocity] > 0);
    }
}

// The Lagrange gradient in closed form: with nothing ahead of the projectile the base sees
// Pm / (1 + Ctot / (3 mp)) and the breech Pb (1 + Ctot / (2 mp)).
TEST(ModelPressures, LagrangeGradientInClosedForm)
{
    const RunConstants k = prepareRunConstants(inputFromCase("gun155_7perf"));
    const double Pm = 3e8;
    const LagrangePressures<double> p = lagrangePressures<double>(k, Pm, 0, 0);
    EXPECT_TRUE(relativelyNear(p.base, Pm / (1 + k.Ctot / (3 * k.mp)), 1e-15));
    EXPECT_TRUE(relativelyNear(p.breech, p.base * (1 + k.Ctot / (2 * k.mp)), 1e-15));
    const LagrangePressures<double> held = lagrangePressures<double>(k, Pm, 2e7, 1e5);
    EXPECT_TRUE(relativelyNear(drivingPressure<double>(held.base, 2e7, 1e5),
                               (Pm - 2e7 - 1e5) / (1 + k.Ctot / (3 * k.mp)), 1e-12));
}
