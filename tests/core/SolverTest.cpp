#include "../Tolerance.h"
#include "CaseInput.h"
#include "EarlyEndCases.h"

#include "core/stepping/Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct SolvedRun {
    BallisticInput in;
    std::unique_ptr<RunResults> results = std::make_unique<RunResults>();
    RunEnd end = RunEnd::StepLimit;

    double at(SeriesId id, int k) const { return (*results)[id][static_cast<std::size_t>(k)]; }
    int N() const { return results->stepCount; }
};

SolvedRun solve(const std::string& name, const std::function<void(BallisticInput&)>& change = {})
{
    SolvedRun run;
    run.in = inputFromCase(name);
    if (change)
        change(run.in);
    run.end = runSolver(run.in, *run.results);
    return run;
}

// Index of the last recorded entry (the series are zero beyond it, and time grows).
int lastEntry(const SolvedRun& run)
{
    int k = 0;
    while (k + 1 < kResultCapacity && run.at(SeriesId::time, k + 1) > 0)
        ++k;
    return k;
}

}  // namespace

TEST(Solver, EntryZeroHoldsTheIgnitionValues)
{
    const SolvedRun run = solve("gun155_7perf");
    ASSERT_EQ(run.end, RunEnd::MuzzleReached);
    const std::vector<std::pair<SeriesId, double>> expected = {
        {SeriesId::time, 0},
        {SeriesId::travel, 0},
        {SeriesId::velocity, 0},
        {SeriesId::burnedFraction, 0},
        {SeriesId::meanPressure, 0.101325},
        {SeriesId::meanTemperature, 2000},
        {SeriesId::gasPressureAhead, 0.101325},
        {SeriesId::basePressure, 0.101325},
        {SeriesId::breechPressure, 0.101325},
        {SeriesId::wallTemperature, 21 + 273.15},
        {SeriesId::recoilVelocity, 0},
        {SeriesId::resistancePressure, 5},
        {SeriesId::energyFriction, 0},
        {SeriesId::energyHeatLoss, 0},
        {SeriesId::relativeSurface, 1},
        {SeriesId::burningRate, 4.8e-9 * 101325 * 1000},
        {SeriesId::burnedThickness, 0},
        {SeriesId::acceleration, 0},
    };
    for (const auto& [id, value] : expected)
        EXPECT_TRUE(relativelyNear(run.at(id, 0), value, 1e-15)) << "series " << static_cast<int>(id);
}

TEST(Solver, TimeIsTheSumOfTheStageIncrements)
{
    const SolvedRun run = solve("rifle_tube");
    const double h = run.in.dt;
    for (int k : {1, 2, 100, 1999, run.N()})
        EXPECT_EQ(run.at(SeriesId::time, k), ((k - 1) * h + 0.5 * h + 0.5 * h) * 1000) << k;
    EXPECT_NEAR(run.at(SeriesId::time, 1000), 1000 * 0.0005, 1e-12);
}

TEST(Solver, EndsAtTheFirstStepPastTheMuzzle)
{
    const SolvedRun run = solve("rifle_tube");
    ASSERT_EQ(run.end, RunEnd::MuzzleReached);
    EXPECT_EQ(run.N(), 2164);
    EXPECT_GE(run.at(SeriesId::travel, run.N()), run.in.xm);
    EXPECT_LT(run.at(SeriesId::travel, run.N() - 1), run.in.xm);
    EXPECT_EQ(lastEntry(run), run.N());
    EXPECT_EQ(run.results->grain.initialGrainVolume, prepareGrainGeometry(run.in).initialGrainVolume);
}

TEST(Solver, AStepLargerThanTheWholeShotGivesOneStep)
{
    // Without resistance at the start, a 0.05 ms step carries the projectile past 0.01 mm.
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) {
        in.fr = 0;
        in.dt = 5e-5;
        in.xm = 1e-5;
        in.xe = in.xe0 = 1e-5;
    });
    ASSERT_EQ(run.end, RunEnd::MuzzleReached);
    EXPECT_EQ(run.N(), 1);
    EXPECT_GE(run.at(SeriesId::travel, 1), 1e-5);
}

TEST(Solver, AtRestTheRecordedPressuresAreTheMeanPressure)
{
    const SolvedRun run = solve("rifle_tube");
    int resting = 0;
    for (int k = 1; k <= run.N(); ++k) {
        if (run.at(SeriesId::velocity, k) > 0)
            continue;
        ++resting;
        EXPECT_EQ(run.at(SeriesId::acceleration, k), 0) << k;
        EXPECT_EQ(run.at(SeriesId::basePressure, k), run.at(SeriesId::meanPressure, k)) << k;
        EXPECT_EQ(run.at(SeriesId::breechPressure, k), run.at(SeriesId::meanPressure, k)) << k;
    }
    EXPECT_GT(resting, 10);  // the shot starts only above 20 MPa of resistance
    EXPECT_LT(run.at(SeriesId::basePressure, run.N()), run.at(SeriesId::meanPressure, run.N()));
    EXPECT_GT(run.at(SeriesId::acceleration, run.N()), 0);
}

TEST(Solver, BurningEndsWithZeroSurfaceAndFrozenThickness)
{
    const SolvedRun run = solve("gun155_7perf");
    int k = 1;
    while (k <= run.N() && run.at(SeriesId::burnedFraction, k) != 1)
        ++k;
    ASSERT_LT(k, run.N());
    EXPECT_LT(run.at(SeriesId::burnedFraction, k - 1), 1);
    for (int j = k; j <= run.N(); ++j) {
        EXPECT_EQ(run.at(SeriesId::relativeSurface, j), 0) << j;
        EXPECT_EQ(run.at(SeriesId::burnedFraction, j), 1) << j;
        EXPECT_EQ(run.at(SeriesId::burnedThickness, j), run.at(SeriesId::burnedThickness, k)) << j;
    }
    EXPECT_GT(run.at(SeriesId::relativeSurface, k - 1), 0);
}

TEST(Solver, WithoutHeatTransferTheWallKeepsItsTemperature)
{
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) { in.heatTransfer = false; });
    ASSERT_EQ(run.end, RunEnd::MuzzleReached);
    for (int k = 0; k <= run.N(); ++k) {
        EXPECT_EQ(run.at(SeriesId::wallTemperature, k), 20 + 273.15) << k;
        EXPECT_EQ(run.at(SeriesId::energyHeatLoss, k), 0) << k;
    }
}

TEST(Solver, FrictionWorkFollowsTheResistanceProfile)
{
    const SolvedRun run = solve("rifle_tube");
    double work = 0;
    for (int k = 1; k <= run.N(); ++k) {
        const double pr = run.at(SeriesId::resistancePressure, k) * 1e6;
        work += run.in.A * run.in.fr * pr * (run.at(SeriesId::travel, k) - run.at(SeriesId::travel, k - 1));
    }
    EXPECT_TRUE(relativelyNear(run.at(SeriesId::energyFriction, run.N()), work, 1e-9));
    EXPECT_NEAR(run.at(SeriesId::resistancePressure, run.N()), 10 - (0.550358 - 0.55) / 0.53 * 5, 1e-3);
    const SolvedRun frictionless = solve("rifle_tube", [](BallisticInput& in) { in.fr = 0; });
    EXPECT_EQ(frictionless.at(SeriesId::energyFriction, frictionless.N()), 0);
}

TEST(Solver, ResistanceEndingAtTheMuzzleStaysFinite)
{
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) { in.xe = in.xm; });
    ASSERT_EQ(run.end, RunEnd::MuzzleReached);
    EXPECT_EQ(run.at(SeriesId::resistancePressure, run.N()), 10);
    EXPECT_TRUE(std::isfinite(run.at(SeriesId::energyFriction, run.N())));
}

TEST(Solver, StopsAtTheStepLimitWithoutACompletedRun)
{
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) { in.dt = 1e-8; });
    EXPECT_EQ(run.end, RunEnd::StepLimit);
    EXPECT_EQ(run.N(), 0);
    EXPECT_EQ(lastEntry(run), 40797);
    EXPECT_EQ(run.at(SeriesId::time, 40798), 0);
}

TEST(Solver, RunsThatCannotGoOnEndWithTheirMessage)
{
    for (const EarlyEndCase& c : earlyEndCases()) {
        const SolvedRun run = solve(c.caseName, c.change);
        EXPECT_EQ(run.end, c.end) << c.what;
        EXPECT_STREQ(runEndMessage(run.end), c.message) << c.what;
        EXPECT_EQ(run.N(), 0) << c.what;
        // Only the entry that revealed a non-finite value may hold one; it is never shown.
        const int last = lastEntry(run) - (run.end == RunEnd::NotFinite ? 1 : 0);
        for (int k = 0; k <= last; ++k)
            for (int s = 0; s < kSeriesCount; ++s)
                ASSERT_TRUE(std::isfinite(run.results->series[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)]))
                    << c.what << " entry " << k << " series " << s;
    }
}

TEST(Solver, ALimitBrokenOnTheStepPastTheMuzzleStillEndsTheRun)
{
    // Without bore resistance the muzzle travel enters nothing but the end test, so a run cut
    // at the travel of the step that broke a limit follows the same path up to that step,
    // and that step still ends with the limit: the limits are tested before the muzzle.
    struct LimitCase {
        const char* what;
        const char* caseName;
        std::function<void(BallisticInput&)> change;
        RunEnd limit;
        SeriesId quantity;
        double bound;
    };
    const std::vector<LimitCase> cases = {
        {"pressure", "rifle_tube",
         [](BallisticInput& in) {
             in.fr = 0;
             in.C = 0.0045;
             in.xm = 5;
             in.xe0 = in.xe = 0;
         },
         RunEnd::PressureLimit, SeriesId::meanPressure, 2000},
        {"velocity", "gun155_7perf",
         [](BallisticInput& in) {
             in.fr = 0;
             in.mp = 1;
             in.F = 3e7;
             in.heatTransfer = false;
             in.beta /= 5;
             in.xm = 20;
             in.xe0 = in.xe = 0;
         },
         RunEnd::VelocityLimit, SeriesId::velocity, 5000},
    };
    for (const LimitCase& c : cases) {
        const SolvedRun limited = solve(c.caseName, c.change);
        ASSERT_EQ(limited.end, c.limit) << c.what;
        const int k = lastEntry(limited);
        ASSERT_GT(limited.at(c.quantity, k), c.bound) << c.what;
        EXPECT_EQ(limited.results->endStep, k) << c.what;

        const double travelAtLimit = limited.at(SeriesId::travel, k);
        const SolvedRun cut = solve(c.caseName, [&](BallisticInput& in) {
            c.change(in);
            in.xm = travelAtLimit;
        });
        EXPECT_EQ(cut.end, c.limit) << c.what;
        EXPECT_EQ(cut.N(), 0) << c.what;
        EXPECT_EQ(cut.at(c.quantity, k), limited.at(c.quantity, k)) << c.what;
    }
}

TEST(Solver, ANonFiniteStepPastTheMuzzleIsNoCompletedRun)
{
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) {
        in.beta = 1e300;
        in.xm = 1e-6;
        in.xe0 = in.xe = 0;
    });
    EXPECT_EQ(run.end, RunEnd::NotFinite);
    EXPECT_EQ(run.N(), 0);
}

TEST(Solver, AProjectileHeldUntilThePressureRisesIsNotStopped)
{
    // The projectile rests at first behind the resistance at the start, while the charge
    // burns in the closed chamber: no stop.
    const SolvedRun run = solve("rifle_tube", [](BallisticInput& in) { in.px0 = 150e6; });
    EXPECT_EQ(run.end, RunEnd::MuzzleReached);
}
