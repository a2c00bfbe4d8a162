// Optimisation within limits, two targets at once and sensitivity indices, on the rifle and
// the howitzer.
#include "StudyTestSupport.h"

#include "study/Optimize.h"
#include "study/SobolIndices.h"
#include "study/ShardFile.h"
#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/TwoTargetSolve.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace kalvex::study {
namespace {

using test::rifleStudy;
using ::testing::HasSubstr;

std::vector<RowResult> runAll(const RowSet& rows, int threads, std::size_t first = 0, std::size_t last = SIZE_MAX)
{
    std::vector<RowResult> out;
    ExecutorOptions options;
    options.threads = threads;
    runRows(rows, first, std::min(last, rows.size()), options, [&](const RowResult& row) { out.push_back(row); });
    return out;
}

const std::string kBox = R"([{"parameter": "C", "bounds": [0.0026, 0.0032]}, {"parameter": "D", "bounds": [0.6, 1.0]}])";

TEST(StudyOptimize, RifleOptimumMeetsTheLimitAndIsNoWorseThanAGrid)
{
    const Study study = rifleStudy("optimize", R"({"parameters": )" + kBox + R"(, "output": "vMuzzle",
        "goal": "maximize", "constraints": [{"output": "P0Max", "max": 480}]})");
    const OptimizeResult best = optimizeStudy(study);
    EXPECT_LE(best.outputs[OutputId::P0Max], 480 * (1 + study.optimize.constraintTolerance));
    ASSERT_EQ(best.constraints.size(), 1u);
    EXPECT_TRUE(best.constraints[0].active);  // the limit is what holds the velocity back
    EXPECT_EQ(best.history[best.best].varied, best.values);

    // The best point of a 9 x 9 grid over the same box that keeps to the limit.
    const Study grid = rifleStudy("sweep", R"([{"parameter": "C", "from": 0.0026, "to": 0.0032, "count": 9},
                                               {"parameter": "D", "from": 0.6, "to": 1.0, "count": 9}])");
    double gridBest = 0;
    for (const RowResult& row : runAll(RowSet(grid), 2)) {
        ASSERT_TRUE(row.outputs.reachedMuzzle());  // a box in which every run reaches the muzzle
        if (row.outputs[OutputId::P0Max] <= 480)
            gridBest = std::max(gridBest, row.outputs[OutputId::vMuzzle]);
    }
    EXPECT_GE(best.outputs[OutputId::vMuzzle], 0.99 * gridBest);
}

TEST(StudyOptimize, WithoutLimitsTheMaximumLiesOnTheBoundsAndFailedRunsAreInfeasible)
{
    // More charge and a finer web both give more velocity: the corner of the box.
    const OptimizeResult corner = optimizeStudy(rifleStudy("optimize", R"({"parameters": )" + kBox + "}"));
    EXPECT_NEAR(corner.values[0], 0.0032, 1e-6 * 0.0006);
    EXPECT_NEAR(corner.values[1], 0.6, 1e-6 * 0.4);

    // Finer webs stop the run at the pressure limit: those runs are not answers, nor errors.
    const OptimizeResult edge = optimizeStudy(rifleStudy("optimize", R"({"parameters": [
        {"parameter": "C", "bounds": [0.0026, 0.0032]}, {"parameter": "D", "bounds": [0.3, 1.0]}]})"));
    EXPECT_TRUE(edge.outputs.reachedMuzzle());
    EXPECT_GT(edge.outputs[OutputId::vMuzzle], corner.outputs[OutputId::vMuzzle]);
    EXPECT_TRUE(std::any_of(edge.history.begin(), edge.history.end(),
                            [](const RowResult& row) { return !row.outputs.reachedMuzzle(); }));
}

TEST(StudyOptimize, LimitsNoRunCanMeetAreRefusedWithTheNearestRun)
{
    const Study study = rifleStudy("optimize", R"({"parameters": )" + kBox +
                                                   R"(, "maxRuns": 60, "constraints": [{"output": "P0Max", "max": 100}]})");
    try {
        optimizeStudy(study);
        FAIL() << "no run keeps P0Max under 100 MPa";
    } catch (const StudyError& e) {
        EXPECT_THAT(e.what(), HasSubstr("optimize: no run within the bounds meets the constraints after"));
        EXPECT_THAT(e.what(), HasSubstr("the nearest: C = "));
        EXPECT_THAT(e.what(), HasSubstr("mm gives P0Max = "));
    }
}

// The howitzer with a solve of C and D for two targets.
Study howitzerPair(double velocity, double pressure)
{
    const std::string text = R"({"kind": "solve", "base": "howitzer-155mm.txt", "solve": {
        "parameters": [{"parameter": "C", "bounds": [11, 13]}, {"parameter": "D", "bounds": [10, 13]}],
        "targets": [{"output": "vMuzzle", "target": )" + std::to_string(velocity) + R"(, "tolerance": 0.01},
                    {"output": "P0Max", "target": )" + std::to_string(pressure) + R"(, "tolerance": 0.01}]}})";
    return studyFromJsonText(text, test::kExampleDir);
}

TEST(StudyTwoTargets, SolvedChargeAndWebHitBothTargetsAndImpossibleOnesAreRefused)
{
    // Targets taken from a run of the howitzer at 12.2 kg and 11 mm.
    BallisticInput input = baseInput(howitzerPair(0, 0));
    input.C = 12.2;
    input.D = 0.011;
    auto buffer = std::make_unique<RunResults>();
    const RunOutputs aim = runForOutputs(input, *buffer);
    const Study study = howitzerPair(aim[OutputId::vMuzzle], aim[OutputId::P0Max]);
    const TwoTargetResult solved = solveTwoTargets(study);

    // The solution's own run, made again, hits both within their tolerances.
    input.C = solved.values[0];
    input.D = solved.values[1] * 0.001;
    const RunOutputs again = runForOutputs(input, *buffer);
    for (const OutputTarget& t : study.solve.pair->targets)
        EXPECT_NEAR(again[findOutput(t.output)], t.target, t.tolerance) << t.output;

    // 1000 m/s needs more charge than the box holds at that pressure.
    try {
        solveTwoTargets(howitzerPair(1000, aim[OutputId::P0Max]));
        FAIL() << "1000 m/s at that pressure lies outside the box";
    } catch (const StudyError& e) {
        EXPECT_THAT(e.what(), HasSubstr("cannot be met together within the bounds"));
        EXPECT_THAT(e.what(), HasSubstr("the nearest point found, C = 13 kg, D = "));
        EXPECT_THAT(e.what(), HasSubstr("gives vMuzzle = "));
    }
}

std::string summaryText(const Study& study, const std::vector<RowResult>& rows)
{
    SensitivityAccumulator indices(study);
    for (const RowResult& row : rows)
        indices.add(row);
    const SensitivitySummary s = indices.summary();
    std::ostringstream text;  // every bit of every index and interval
    text.precision(17);
    for (const OutputIndices& o : s.outputs)
        for (const ParameterIndices& p : o.parameters)
            text << p.first.value << ' ' << p.first.lower << ' ' << p.first.upper << ' ' << p.total.value << ' '
                 << p.total.lower << ' ' << p.total.upper << '\n';
    return text.str();
}

TEST(StudySensitivity, ZeroSpreadGivesZeroIndicesAndThreadsOrShardsChangeNothing)
{
    const Study study = rifleStudy("sensitivity", R"({"parameters": [
        {"parameter": "C", "distribution": "normal", "sigma": 0.00002},
        {"parameter": "beta", "distribution": "normal", "sigma": 1e-10},
        {"parameter": "T0w", "distribution": "uniform", "halfWidth": 0}], "samples": 48, "resamples": 100})");
    const RowSet rows(study);
    ASSERT_EQ(rows.size(), 48u * 5);
    const std::vector<RowResult> one = runAll(rows, 1), two = runAll(rows, 2);

    SensitivityAccumulator indices(study);
    for (const RowResult& row : one)
        indices.add(row);
    const SensitivitySummary s = indices.summary();
    for (const OutputInfo& info : kOutputInfo) {
        const OutputIndices& o = s.outputs[static_cast<std::size_t>(info.id)];
        if (!(o.variance > 0))
            continue;  // an output no parameter moves has no indices
        const ParameterIndices& still = o.parameters[2];
        EXPECT_TRUE(still.first.lower <= 0 && 0 <= still.first.upper) << info.name;
        EXPECT_TRUE(still.total.lower <= 0 && 0 <= still.total.upper) << info.name;
        for (const ParameterIndices& p : o.parameters)
            EXPECT_LE(p.first.lower, p.total.upper) << info.name;
    }
    const ParameterIndices& pressure = s.outputs[static_cast<std::size_t>(OutputId::P0Max)].parameters[1];
    EXPECT_GT(pressure.first.lower, 0.2);  // the burning rate drives the peak pressure

    // Two shards written, merged and read back give the indices of the whole run.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kalvex-sensitivity-shards";
    std::filesystem::create_directories(folder);
    std::vector<std::filesystem::path> shards;
    for (std::size_t shard = 1; shard <= 2; ++shard) {
        const auto [first, last] = shardRows(rows.size(), shard, 2);
        shards.push_back(folder / ("shard-" + std::to_string(shard) + ".csv"));
        std::ofstream out(shards.back(), std::ios::binary);
        const ShardLabel label{studyFingerprint(study), shard, 2, first + 1, last, rows.size()};
        out << shardHeadLine(label) << '\n';
        writeCsvHeader(out, rows.varied());
        for (const RowResult& row : runAll(rows, 2, first, last))
            writeCsvRow(out, row);
        out << shardEndLine(label) << '\n';
    }
    std::ostringstream merged;
    mergeShardFiles({shards[1], shards[0]}, merged);
    std::istringstream in(merged.str());
    std::vector<RowResult> read;
    readCsvRows(in, rows.varied(), [&](const RowResult& row) { read.push_back(row); });
    std::filesystem::remove_all(folder);

    const std::string whole = summaryText(study, one);
    EXPECT_EQ(summaryText(study, two), whole);
    EXPECT_EQ(summaryText(study, read), whole);
    EXPECT_THROW(summaryText(study, {one.begin(), one.begin() + 100}), StudyError);  // a shard alone
}

TEST(StudyDesignFile, NewKindsReadBackAsWrittenAndBadBoundsAreNamed)
{
    for (const Study& study :
         {rifleStudy("optimize", R"({"parameters": )" + kBox + R"(, "goal": "minimize", "output": "P0Max",
                                     "constraints": [{"output": "vMuzzle", "min": 800}], "maxRuns": 50})"),
          rifleStudy("sensitivity", R"({"parameters": [{"parameter": "C", "sigma": 0.00002}], "samples": 8,
                                        "seed": 3, "resamples": 20, "confidence": 0.9})"),
          howitzerPair(800, 300)}) {
        const std::string text = studyToJsonText(study);
        EXPECT_EQ(studyToJsonText(studyFromJsonText(text, test::kExampleDir)), text);
    }
    try {
        rifleStudy("optimize", R"({"parameters": [{"parameter": "C", "bounds": [0.003, 0.002]}]})");
        FAIL();
    } catch (const StudyError& e) {
        EXPECT_STREQ(e.what(), "optimize.parameters (C): the lower bound must be below the upper bound");
    }
}

}  // namespace
}  // namespace kalvex::study
