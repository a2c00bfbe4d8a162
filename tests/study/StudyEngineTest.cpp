// The study engine against single runs: rows, smooth outputs, solve, fit and tolerance statistics.
#include "StudyTestSupport.h"
#include "../Tolerance.h"

#include "core/results/RunSummary.h"
#include "core/input/StartSequence.h"
#include "study/Executor.h"
#include "study/Parameters.h"
#include "study/ResultsJson.h"
#include "study/Rows.h"
#include "study/Solve.h"
#include "study/StudyError.h"
#include "study/ToleranceStats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace kalvex::study {
namespace {

using test::rifleStudy;

std::vector<RowResult> runAll(const RowSet& rows, int threads, const std::atomic<bool>* cancel = nullptr,
                              std::size_t cancelAfter = 0)
{
    std::vector<RowResult> out;
    std::atomic<bool> stop{false};
    ExecutorOptions options;
    options.threads = threads;
    options.cancel = cancel ? cancel : &stop;
    runRows(rows, 0, rows.size(), options, [&](const RowResult& row) {
        out.push_back(row);
        if (cancelAfter && out.size() == cancelAfter)
            const_cast<std::atomic<bool>*>(options.cancel)->store(true);
    });
    return out;
}

TEST(StudyRows, SweepRowEqualsTheSameSingleRun)
{
    const Study study = rifleStudy("sweep", R"([{"parameter": "C", "values": [0.0027, 0.0029]},
                                                 {"parameter": "D", "from": 0.7, "to": 0.9, "count": 3}])");
    const RowSet rows(study);
    ASSERT_EQ(rows.size(), 6u);
    BallisticInput input;
    std::vector<double> values;
    rows.row(4, input, values);  // second C, second D: the last axis runs fastest
    EXPECT_EQ(values, (std::vector<double>{0.0029, 0.8}));

    BallisticInput single = baseInput(study);
    single.C = 0.0029;
    single.D = 0.8 * 0.001;
    auto a = std::make_unique<RunResults>(), b = std::make_unique<RunResults>();
    const RunOutputs fromRow = runForOutputs(input, *a);
    const StartOutcome outcome = runStartSequence(single, *b, [](const std::string&) {});
    const RunOutputs fromSingle = computeRunOutputs(single, *b, outcome);
    ASSERT_TRUE(fromRow.reachedMuzzle());
    for (int k = 0; k < kOutputCount; ++k)
        EXPECT_EQ(fromRow.values[k], fromSingle.values[k]) << kOutputInfo[k].name;
    EXPECT_EQ(a->stepCount, b->stepCount);
    EXPECT_EQ(a->series, b->series);

    // The smooth muzzle velocity lies between the entries around xm; the summary's value is
    // the entry past the muzzle.
    const int N = b->stepCount;
    const double v = fromRow[OutputId::vMuzzle];
    EXPECT_GT(v, (*b)[SeriesId::velocity][N - 1]);
    EXPECT_LE(v, (*b)[SeriesId::velocity][N]);
    EXPECT_GE(fromRow[OutputId::PmeanMax], (*b)[SeriesId::meanPressure][b->pmaxRow]);
}

TEST(StudyRows, ThreadsAndCancellationKeepRowOrder)
{
    const Study study = rifleStudy("tolerance", R"({"parameters": [{"parameter": "C", "sigma": 0.00003}],
                                                     "samples": 12, "seed": 7})");
    const RowSet rows(study);
    const auto one = runAll(rows, 1), two = runAll(rows, 2);
    ASSERT_EQ(one.size(), 12u);
    ASSERT_EQ(two.size(), 12u);
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(one[i].index, i);
        EXPECT_EQ(one[i].varied, two[i].varied);
        EXPECT_EQ(one[i].outputs.values, two[i].outputs.values);
    }
    // A row drawn on its own equals the row of the whole study.
    BallisticInput input;
    std::vector<double> values;
    rows.row(9, input, values);
    EXPECT_EQ(values, one[9].varied);

    // Cancelled after 3 rows: the rows already running finish and come out in order. Each
    // thread runs several rows at once in its lanes, so the study is longer than those.
    const RowSet longer(rifleStudy("tolerance", R"({"parameters": [{"parameter": "C", "sigma": 0.00003}],
                                                     "samples": 60, "seed": 7})"));
    const auto all = runAll(longer, 2);
    std::atomic<bool> cancel{false};
    const auto cut = runAll(longer, 2, &cancel, 3);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_LT(cut.size(), 60u);
    for (std::size_t i = 0; i < cut.size(); ++i)
        EXPECT_EQ(cut[i].outputs.values, all[i].outputs.values);
}

TEST(StudySolve, ReachesTheTargetVelocityOnTheRifle)
{
    const Study study = rifleStudy("solve", R"({"parameter": "C", "bracket": [0.0026, 0.0031],
        "output": "vMuzzle", "target": 830, "tolerance": 0.001,
        "constraints": [{"output": "P0Max", "max": 400}, {"output": "ZMuzzle", "min": 0.9}]})");
    const SolveResult result = solveStudy(study);
    EXPECT_NEAR(result.outputs[OutputId::vMuzzle], 830, 0.001);
    // Re-running the solved input confirms it.
    BallisticInput input = baseInput(study);
    input.C = result.value;
    auto buffer = std::make_unique<RunResults>();
    EXPECT_NEAR(runForOutputs(input, *buffer)[OutputId::vMuzzle], 830, 0.001);
    ASSERT_EQ(result.constraints.size(), 2u);
    EXPECT_FALSE(result.constraints[0].satisfied);  // about 462 MPa at the breech
    EXPECT_TRUE(result.constraints[1].satisfied);
}

TEST(StudySolve, UnreachableTargetNamesTheOutputAtBothEnds)
{
    const Study study = rifleStudy("solve", R"({"parameter": "C", "bracket": [0.0027, 0.0028],
        "output": "vMuzzle", "target": 900})");
    try {
        solveStudy(study);
        FAIL() << "no error";
    } catch (const StudyError& e) {
        EXPECT_THAT(e.what(), testing::MatchesRegex(
                                  "solve: the target vMuzzle = 900 m/s is not within the bracket: vMuzzle = 76[0-9.]+ m/s "
                                  "at C = 0.0027 kg and 79[0-9.]+ m/s at C = 0.0028 kg"));
    }
}

TEST(StudySolve, RunningOutOfIterationsCountsThemAsTheStudyFileDoes)
{
    const Study study = rifleStudy("solve", R"({"parameter": "C", "bracket": [0.0026, 0.0031],
        "target": 830, "tolerance": 1e-9, "maxIterations": 2})");
    try {
        solveStudy(study);
        FAIL() << "no error";
    } catch (const StudyError& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("after 2 iterations of the root finder (maxIterations 2), "));
    }
}

// Sweep values are made one by one: a billion of them take no memory, and ends whose
// difference overflows still give finite, evenly spaced values.
TEST(StudyRows, AxisValuesNeedNoMemoryAndNeverOverflow)
{
    const auto range = [](double from, double to, int count, bool logarithmic = false) {
        SweepAxis axis;
        axis.parameter = "C";
        axis.from = from;
        axis.to = to;
        axis.count = count;
        axis.logarithmic = logarithmic;
        return axis;
    };
    SweepAxis axis = range(-1e308, 0.0031, 3);
    EXPECT_EQ(axisValue(axis, 0), -1e308);
    EXPECT_EQ(axisValue(axis, 2), 0.0031);
    EXPECT_DOUBLE_EQ(axisValue(axis, 1), -0.5e308);
    axis = range(0.0026, 0.0031, 6);
    for (std::size_t k = 0; k < 5; ++k)  // the formula of every earlier sweep, bit for bit
        EXPECT_EQ(axisValue(axis, k), 0.0026 + (0.0031 - 0.0026) * static_cast<int>(k) / 5);
    axis = range(1e-300, 1e300, 3, true);
    EXPECT_DOUBLE_EQ(axisValue(axis, 1), 1.0);

    const RowSet rows(rifleStudy("sweep", R"([{"parameter": "C", "from": 0.0026, "to": 0.0031, "count": 1e9},
                                              {"parameter": "D", "values": [0.7, 0.8]}])"));
    EXPECT_EQ(rows.size(), 2000000000u);
    BallisticInput input;
    std::vector<double> values;
    rows.row(rows.size() - 1, input, values);
    EXPECT_EQ(values, (std::vector<double>{0.0031, 0.8}));
}

TEST(StudyFit, RecoversBetaFromVelocitiesTheModelMade)
{
    constexpr double kTrueBeta = 5.5e-9;  // the rifle example has 5.2e-9
    Study study = rifleStudy("fit", R"({"parameters": ["beta"], "firings": [
        {"inputs": {"C": 0.0027}, "velocity": 0}, {"inputs": {"C": 0.0030}, "velocity": 0}]})");
    auto buffer = std::make_unique<RunResults>();
    for (Firing& firing : study.fit.firings)
        firing.velocity = runForOutputs(firingInput(study, firing, {kTrueBeta}), *buffer)[OutputId::vMuzzle];
    const FitResult fit = fitStudy(study);
    EXPECT_TRUE(relativelyNear(fit.values[0], kTrueBeta, 1e-5));
    EXPECT_LT(fit.rmsVelocity, 0.01);
    // No pressure was measured: the result has no pressure residual, rather than one of 0.
    EXPECT_THAT(fitResultJson(study, fit), testing::Not(testing::HasSubstr("rmsPressure")));
}

TEST(StudyTolerance, ZeroSpreadGivesTheNominalRunInEveryPercentile)
{
    const Study study = rifleStudy("tolerance", R"({"parameters": [
        {"parameter": "C", "sigma": 0}, {"parameter": "D", "distribution": "uniform", "halfWidth": 0}],
        "samples": 5, "seed": 3, "limit": {"output": "P0Max", "value": 400}})");
    const RowSet rows(study);
    ToleranceAccumulator accumulator(study.tolerance.limit);
    for (const RowResult& row : runAll(rows, 2))
        accumulator.add(row);
    const ToleranceSummary summary = accumulator.summary();

    auto buffer = std::make_unique<RunResults>();
    const RunOutputs nominal = runForOutputs(baseInput(study), *buffer);
    for (const OutputInfo& info : kOutputInfo) {
        const OutputStatistics& s = summary.outputs[static_cast<std::size_t>(info.id)];
        if (std::isnan(nominal[info.id]))
            continue;
        for (double value : {s.minimum, s.p1, s.p5, s.p50, s.p95, s.p99, s.maximum})
            EXPECT_EQ(value, nominal[info.id]) << info.name;
    }
    ASSERT_TRUE(summary.exceedance);
    EXPECT_EQ(summary.exceedance->exceeding, 5u);  // 456 MPa > 400
}

TEST(StudyTolerance, StatisticsFollowTheirDefinitions)
{
    EXPECT_EQ(percentile({1, 2, 3, 4}, 50), 2.5);
    EXPECT_DOUBLE_EQ(percentile({10, 20, 30, 40, 50}, 95), 48);
    EXPECT_EQ(percentile({7}, 1), 7);
    const auto [lo, hi] = wilsonInterval(44, 200);  // a textbook case
    EXPECT_NEAR(lo, 0.168165, 1e-6);
    EXPECT_NEAR(hi, 0.282388, 1e-6);
    EXPECT_EQ(wilsonInterval(0, 10).first, 0);
    // The bounds at k = 0 and k = n are 0 and 1 exactly; the other bound is z^2 / (n + z^2) away.
    const double z2 = 1.959963984540054 * 1.959963984540054;
    for (std::size_t n : {1u, 10u, 2000u}) {
        EXPECT_EQ(wilsonInterval(0, n).first, 0.0);
        EXPECT_EQ(wilsonInterval(n, n).second, 1.0);
        EXPECT_NEAR(wilsonInterval(0, n).second, z2 / (static_cast<double>(n) + z2), 1e-6);
        EXPECT_NEAR(wilsonInterval(n, n).first, 1 - z2 / (static_cast<double>(n) + z2), 1e-6);
    }

    // A stop at the pressure limit exceeds; another failure is left out, counted by message.
    ToleranceAccumulator accumulator(ExceedanceLimit{"P0Max", 400});
    RowResult stop, rejected, fine;
    stop.outputs.end = RunEnd::PressureLimit;
    stop.outputs.message = "Mean Pressure over 2000 MPa.";
    rejected.outputs.inputRejected = true;
    rejected.outputs.message = "Mass of Propellant C less than or equal to 0 kg";
    fine.outputs[OutputId::P0Max] = 350;
    for (const RowResult* row : {&stop, &rejected, &fine, &fine})
        accumulator.add(*row);
    const ToleranceSummary summary = accumulator.summary();
    EXPECT_EQ(summary.exceedance->exceeding, 1u);
    EXPECT_EQ(summary.exceedance->total, 3u);
    EXPECT_EQ(summary.failures.at("Mass of Propellant C less than or equal to 0 kg"), 1u);
    EXPECT_EQ(summary.outputs[static_cast<std::size_t>(OutputId::P0Max)].count, 2u);
}

// Past its exact limit the accumulator streams: on the values 1..n in a scrambled order the
// mean and deviation are the closed forms (n + 1)/2 and sqrt(n(n + 1)/12), the extremes exact,
// the percentiles within a thousandth of the range of the order statistics they estimate.
TEST(StudyTolerance, StatisticsOfMoreSamplesThanAreKeptStream)
{
    constexpr std::size_t n = 20000;
    ToleranceAccumulator streamed(std::nullopt, 1000), exact(std::nullopt, n);
    RowResult row;
    for (std::size_t k = 0; k < n; ++k) {
        row.outputs[OutputId::P0Max] = static_cast<double>((k * 7919) % n + 1);  // 7919 is prime: a permutation
        streamed.add(row);
        exact.add(row);
    }
    const ToleranceSummary s = streamed.summary();
    const ToleranceSummary e = exact.summary();
    EXPECT_TRUE(s.percentilesEstimated);
    EXPECT_FALSE(e.percentilesEstimated);
    const OutputStatistics& p = s.outputs[static_cast<std::size_t>(OutputId::P0Max)];
    const OutputStatistics& q = e.outputs[static_cast<std::size_t>(OutputId::P0Max)];
    const double nn = static_cast<double>(n);
    EXPECT_EQ(p.count, n);
    EXPECT_NEAR(p.mean, (nn + 1) / 2, 1e-9 * nn);
    EXPECT_NEAR(p.standardDeviation, std::sqrt(nn * (nn + 1) / 12), 1e-9 * nn);
    EXPECT_EQ(p.minimum, 1);
    EXPECT_EQ(p.maximum, nn);
    const std::pair<double, double> percentiles[] = {{p.p1, q.p1}, {p.p5, q.p5}, {p.p50, q.p50}, {p.p95, q.p95}, {p.p99, q.p99}};
    for (const auto& [estimate, order] : percentiles)
        EXPECT_NEAR(estimate, order, 1e-3 * nn);
}

}  // namespace
}  // namespace kalvex::study
