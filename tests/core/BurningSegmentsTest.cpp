// The burning law by pressure segments: one law written twice is the one-segment run, a faster
// upper segment burns at its own rate above its bound, and the rules name their segment.
#include "../Tolerance.h"
#include "CaseInput.h"

#include "core/input/InputSet.h"
#include "core/results/SeriesVocabulary.h"
#include "core/results/Errors.h"
#include "core/stepping/Solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct SegmentRun {
    std::unique_ptr<RunResults> results = std::make_unique<RunResults>();
    RunEnd end{};
    double peak = 0;  // MPa
};

SegmentRun runOf(const BallisticInput& in)
{
    SegmentRun r;
    r.end = runSolver(in, *r.results);
    for (int k = 0; k <= r.results->stepCount; ++k)
        r.peak = std::max(r.peak, r.results->at(SeriesId::meanPressure, k));
    return r;
}

}  // namespace

TEST(BurningSegments, TheSameLawInTwoSegmentsIsTheOneSegmentRunBitForBit)
{
    const BallisticInput one = inputFromCase("gun155_7perf");
    BallisticInput two = one;
    two.upperSegments = {{100, one.beta, one.alpha}};  // from 100 MPa, the same law
    const SegmentRun a = runOf(one), b = runOf(two);
    ASSERT_EQ(a.end, RunEnd::MuzzleReached);
    ASSERT_EQ(b.results->stepCount, a.results->stepCount);
    for (int s = 0; s < kSeriesCount; ++s) {
        const auto id = static_cast<SeriesId>(s);
        const auto& x = (*a.results)[id];
        const auto& y = (*b.results)[id];
        EXPECT_EQ(std::memcmp(x.data(), y.data(), sizeof(double) * (a.results->stepCount + 1)), 0)
            << seriesInfo(id).name;
    }
}

TEST(BurningSegments, AFasterUpperSegmentRaisesThePeakAndBurnsAtItsOwnRate)
{
    const BallisticInput one = inputFromCase("gun155_7perf");
    BallisticInput two = one;
    const double bound = 50;  // MPa
    two.upperSegments = {{bound, one.beta * 1.2, one.alpha}};
    const SegmentRun a = runOf(one), b = runOf(two);
    ASSERT_EQ(b.end, RunEnd::MuzzleReached);
    EXPECT_GT(b.peak, a.peak * 1.01);

    // The recorded rate against fbeta*fbetaT*beta_j*Pm^alpha_j by hand, below and above the bound.
    bool below = false, above = false;
    for (int k = 1; k <= b.results->stepCount; ++k) {
        const double Pm = b.results->at(SeriesId::meanPressure, k) * 1e6;  // Pa
        const bool upper = Pm >= bound * 1e6;
        const double beta = upper ? two.upperSegments[0].beta : two.beta;
        const double byHand = two.fbeta * two.fbetaT * beta * std::pow(Pm, two.alpha) * 1000;  // mm/s
        const double recorded = b.results->at(SeriesId::burningRate, k);
        if (recorded == 0 || std::abs(Pm - bound * 1e6) < 1e3)
            continue;  // burnt out, or too near the bound for the printed pressure to tell the side
        (upper ? above : below) = true;
        EXPECT_NEAR(recorded, byHand, 1e-9 * byHand) << "step " << k << " at " << Pm << " Pa";
    }
    EXPECT_TRUE(below && above);
}

TEST(BurningSegments, RulesNameTheSegment)
{
    const BallisticInput base = inputFromCase("gun155_7perf");
    struct Case { std::vector<BurningSegment> segments; const char* message; };
    const std::vector<BurningSegment> nine(8, BurningSegment{});
    const Case cases[] = {
        {{{0, 1e-9, 0.9}}, "Lower Pressure Bound of Segment 2 not above that of Segment 1"},
        {{{50, 1e-9, 0.9}, {50, 1e-9, 0.9}}, "Lower Pressure Bound of Segment 3 not above that of Segment 2"},
        {{{50, 0, 0.9}}, "Burning Rate Coeff. for Prop. beta of Segment 2 less than or equal to 0 m/s/Pa"},
        {{{50, 1e-9, 0.9}, {80, 1e-9, 0.49}}, "Burning Rate Exponent for Propellant alpha of Segment 3 less than 0.5"},
        {nine, "Burning Law with more than 8 segments"},
    };
    for (const Case& c : cases) {
        BallisticInput in = base;
        in.upperSegments = c.segments;
        try {
            validateBallisticInput(in);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    BallisticInput edge = base;
    edge.upperSegments = {{1e-6, 1e-9, 0.5}};  // just above 0 MPa, the smallest exponent admitted
    EXPECT_NO_THROW(validateBallisticInput(edge));
}
