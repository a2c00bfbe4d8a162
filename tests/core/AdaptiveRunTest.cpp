// The adaptive integrator: its results converge to the model's solution as the tolerance
// shrinks, its steps end on the model's events, and it ends early with the fixed step's
// messages for every cause that is not an artefact of a too-large step.
#include "CaseInput.h"
#include "EarlyEndCases.h"

#include "core/input/StartSequence.h"
#include "core/model/BallisticModel.h"
#include "core/stepping/AdaptiveRun.h"
#include "core/stepping/Integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace kalvex {
namespace {

struct AdaptiveRun {
    std::unique_ptr<RunResults> results = std::make_unique_for_overwrite<RunResults>();
    AdaptiveOutcome outcome;
    double muzzle(SeriesId id) const { return results->at(id, results->stepCount); }
};

AdaptiveRun runAt(const BallisticInput& in, double tolerance)
{
    AdaptiveRun run;
    resetRunResults(*run.results);
    run.outcome = runAdaptive(in, AdaptiveSettings{tolerance}, *run.results);
    return run;
}

double relative(double value, double reference)
{
    return std::fabs(value / reference - 1);
}

class AdaptiveCases : public testing::TestWithParam<const char*> {};

// At a relative tolerance of 1e-8 the muzzle velocity and the located maxima of the mean and
// the breech pressure lie within 1e-6 of a run at 1e-12, and a run at 1e-5 is further off
// than one at 1e-8: the error follows the tolerance.
TEST_P(AdaptiveCases, ConvergesWithTheTolerance)
{
    const BallisticInput in = test::inputFromCase(GetParam());
    const AdaptiveRun reference = runAt(in, 1e-12);
    const AdaptiveRun coarse = runAt(in, 1e-5);
    const AdaptiveRun run = runAt(in, 1e-8);
    ASSERT_EQ(reference.outcome.end, RunEnd::MuzzleReached);
    ASSERT_EQ(run.outcome.end, RunEnd::MuzzleReached);
    const double v = reference.muzzle(SeriesId::velocity);
    EXPECT_LT(relative(run.muzzle(SeriesId::velocity), v), 1e-6);
    EXPECT_LT(relative(run.outcome.peaks.meanPressure.value, reference.outcome.peaks.meanPressure.value), 1e-6);
    EXPECT_LT(relative(run.outcome.peaks.breechPressure.value, reference.outcome.peaks.breechPressure.value), 1e-6);
    EXPECT_GT(relative(coarse.muzzle(SeriesId::velocity), v), relative(run.muzzle(SeriesId::velocity), v));
}

// The run ends on the muzzle, entries never share a time, the charge is burnt exactly when its
// entry says so, and a located maximum is never below the largest entry it refines.
TEST_P(AdaptiveCases, StepsEndOnTheModelsEvents)
{
    const BallisticInput in = test::inputFromCase(GetParam());
    const AdaptiveRun run = runAt(in, 1e-8);
    const RunResults& r = *run.results;
    const int N = r.stepCount;
    ASSERT_GT(N, 10);
    EXPECT_NEAR(run.muzzle(SeriesId::travel), in.xm, 1e-12 * in.xm);
    double largest = 0;
    for (int k = 1; k <= N; ++k) {
        EXPECT_LT(r.at(SeriesId::time, k - 1), r.at(SeriesId::time, k)) << "entry " << k;
        largest = std::max(largest, r.at(SeriesId::meanPressure, k));
    }
    EXPECT_GE(run.outcome.peaks.meanPressure.value, largest);
    EXPECT_EQ(r.at(SeriesId::time, N + 1), 0) << "the entry after the last is cleared";
    for (int k = 1; k <= N; ++k) {
        if (r.at(SeriesId::burnedFraction, k) == 1) {
            // The entry before burnout still had surface; the burnout entry has none.
            EXPECT_GT(r.at(SeriesId::relativeSurface, k - 1), 0);
            EXPECT_EQ(r.at(SeriesId::relativeSurface, k), 0);
            break;
        }
    }
}

// A bound of the burning law's segments ends a step: an entry sits on it (the mean pressure
// equal to the bound), and the run converges with the tolerance as a one-segment run does.
TEST(AdaptiveSegments, StepsEndOnTheBoundsOfTheBurningLaw)
{
    BallisticInput in = test::inputFromCase("rifle_tube");
    const double boundMPa = 100;
    in.upperSegments = {{boundMPa, 1.3 * in.beta, in.alpha}};
    const AdaptiveRun run = runAt(in, 1e-8);
    const AdaptiveRun reference = runAt(in, 1e-12);
    ASSERT_EQ(run.outcome.end, RunEnd::MuzzleReached);
    const RunResults& r = *run.results;
    int onBound = 0;
    for (int k = 1; k <= r.stepCount; ++k)
        onBound += std::fabs(r.at(SeriesId::meanPressure, k) / boundMPa - 1) < 1e-9;  // the series is in MPa
    EXPECT_GE(onBound, 1);
    EXPECT_LT(relative(run.muzzle(SeriesId::velocity), reference.muzzle(SeriesId::velocity)), 1e-6);
    EXPECT_LT(relative(run.outcome.peaks.meanPressure.value, reference.outcome.peaks.meanPressure.value), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(ReferenceCases, AdaptiveCases, testing::Values("rifle_tube", "gun155_7perf"));

// Every early end that is not an artefact of the step ends an adaptive run with the fixed
// step's message; the one caused by a step of a second does not happen at all.
TEST(AdaptiveEnds, SameMessagesAsTheFixedStep)
{
    for (const test::EarlyEndCase& c : test::earlyEndCases()) {
        BallisticInput in = test::inputFromCase(c.caseName);
        c.change(in);
        auto results = std::make_unique_for_overwrite<RunResults>();
        IntegratorChoice adaptive{IntegratorMethod::adaptive, {}};
        const StartOutcome outcome = runStart(in, adaptive, *results, [](const std::string&) {});
        if (in.dt == 1) {  // "step far too large": the adaptive run ignores the step
            EXPECT_EQ(outcome.end, RunEnd::MuzzleReached) << c.what;
            continue;
        }
        if (in.pxe == 1e17) {
            // The fixed step adds a whole step's friction work against the wall after the step
            // and drains the gas below 0 K; taken continuously, the wall decelerates the
            // projectile so hard that the Lagrange breech pressure turns negative first.
            EXPECT_EQ(outcome.end, RunEnd::BreechPressureNegative) << c.what;
            continue;
        }
        EXPECT_EQ(startEndMessage(outcome), c.message) << c.what;
    }
}

TEST(AdaptiveEnds, StepBoundNamedInItsMessage)
{
    const BallisticInput in = test::inputFromCase("rifle_tube");
    auto results = std::make_unique_for_overwrite<RunResults>();
    IntegratorChoice adaptive{IntegratorMethod::adaptive, {}};
    adaptive.adaptive.maxSteps = 5;
    const StartOutcome outcome = runStart(in, adaptive, *results, [](const std::string&) {});
    EXPECT_EQ(startEndMessage(outcome), "Adaptive Integration: more than 5 steps needed.");
    EXPECT_EQ(results->endStep, 5);
}

}  // namespace
}  // namespace kalvex
