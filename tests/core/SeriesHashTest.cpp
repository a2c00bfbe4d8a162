// Every bit of every series of 84 runs against the hashes committed before the solver was
// made faster (see SeriesHashes.h), for the single run and for every lane of interleaved runs,
// with the processor's best vector instructions and with SSE2 alone; and runs that end early
// end in lanes as alone.
#include "CaseInput.h"
#include "EarlyEndCases.h"
#include "SeriesHashes.h"

#include "core/stepping/LaneRuns.h"
#include "core/stepping/RunLanes.h"
#include "core/input/StartSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <memory>

using namespace kalvex;
using namespace kalvex::test;

TEST(SeriesHash, ThePlainRunKeepsEveryBitOfEverySeries)
{
    const std::vector<HashCase> cases = seriesHashCases();
    const bool record = std::getenv("KALVEX_RECORD_SERIES_HASHES") != nullptr;
    const std::map<std::string, std::uint64_t> committed = record ? std::map<std::string, std::uint64_t>{}
                                                                  : committedSeriesHashes();
    std::ofstream recorded;
    if (record)
        recorded.open(seriesHashFile());
    // One buffer for all runs: what a longer run left behind must never show in a shorter one.
    auto results = std::make_unique<RunResults>();
    int reachedMuzzle = 0;
    for (const HashCase& c : cases) {
        const StartOutcome outcome = runStartSequence(c.input, *results, [](const std::string&) {});
        reachedMuzzle += outcome.end == RunEnd::MuzzleReached;
        const std::uint64_t hash = seriesHash(*results, outcome);
        if (record) {
            recorded << c.name << ' ' << std::hex << hash << std::dec << '\n';
            continue;
        }
        const auto expected = committed.find(c.name);
        ASSERT_NE(expected, committed.end()) << c.name;
        EXPECT_EQ(hash, expected->second) << c.name << ": N = " << results->stepCount;
    }
    EXPECT_EQ(reachedMuzzle, static_cast<int>(cases.size()));
}

namespace {

using RunHash = std::function<std::uint64_t(const RunResults&, const StartOutcome&)>;

// The hash of each input's Start sequence run through `lanes` interleaved lanes; 0 for an
// input that breaks a rule.
std::vector<std::uint64_t> laneHashes(const std::vector<BallisticInput>& inputs, int lanes, LaneInstructions use,
                                      const RunHash& hash)
{
    std::vector<std::uint64_t> hashes(inputs.size(), 1);
    LaneBuffers buffers;
    runSequencesInLanes(
        lanes, sequencesOf(inputs), buffers, [&](std::size_t i, const StartOutcome& outcome, RunResults& r) { hashes[i] = hash(r, outcome); },
        [&](std::size_t i, const InputError&) { hashes[i] = 0; }, use);
    return hashes;
}

// Every way of running lanes: 1 to 4 of them with the best instructions, four with SSE2 alone.
const std::vector<std::pair<int, LaneInstructions>> kLaneVariants = {
    {1, LaneInstructions::best}, {2, LaneInstructions::best}, {3, LaneInstructions::best},
    {4, LaneInstructions::best}, {4, LaneInstructions::sse2}};

std::string variantName(int lanes, LaneInstructions use)
{
    return std::to_string(lanes) + (use == LaneInstructions::sse2 ? " lanes, SSE2" : " lanes");
}

}  // namespace

// The same runs through interleaved lanes, in one list with a run that needs a doubled step
// and one that breaks a rule: each lane's results keep every bit.
TEST(SeriesHash, EveryLaneOfTheInterleavedRunKeepsEveryBitOfEverySeries)
{
    const std::vector<HashCase> cases = seriesHashCases();
    const std::map<std::string, std::uint64_t> committed = committedSeriesHashes();
    std::vector<BallisticInput> inputs;
    std::vector<std::uint64_t> expected;
    for (const HashCase& c : cases) {
        inputs.push_back(c.input);
        expected.push_back(committed.at(c.name));
    }
    auto alone = std::make_unique<RunResults>();
    BallisticInput restarting = inputFromCase("rifle_small_step");
    const StartOutcome restartingAlone = runStartSequence(restarting, *alone, [](const std::string&) {});
    ASSERT_GT(restartingAlone.restarts, 0);
    inputs.insert(inputs.begin() + 3, restarting);
    expected.insert(expected.begin() + 3, seriesHash(*alone, restartingAlone));
    BallisticInput broken = inputs[10];
    broken.C = 0;
    inputs.insert(inputs.begin() + 10, broken);
    expected.insert(expected.begin() + 10, 0);

    for (const auto& [lanes, use] : kLaneVariants) {
        const std::vector<std::uint64_t> hashes = laneHashes(inputs, lanes, use, seriesHash);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(hashes[i], expected[i]) << variantName(lanes, use) << ", run " << i;
    }
}

// Runs that end early, each way, among runs that go on: in a lane each ends in the step and
// with the entries it has alone, whether a stage faults (the lanes' step is then taken again
// run by run) or an entry breaks a limit.
TEST(SeriesHash, RunsThatEndEarlyEndAsAloneInEveryLane)
{
    std::vector<BallisticInput> inputs;
    for (const EarlyEndCase& c : earlyEndCases()) {
        inputs.push_back(inputFromCase(c.caseName));
        c.change(inputs.back());
        inputs.push_back(inputFromCase(c.caseName));
    }
    // Up to the step in which the run ended: its last entry, or after a fault the zero entry
    // after the last.
    const RunHash wholeRun = [](const RunResults& r, const StartOutcome& outcome) {
        return seriesHashUpTo(r, outcome, std::min(r.endStep, kResultCapacity - 1));
    };
    std::vector<std::uint64_t> expected;
    auto alone = std::make_unique<RunResults>();
    for (const BallisticInput& in : inputs)
        expected.push_back(wholeRun(*alone, runStartSequence(in, *alone, [](const std::string&) {})));
    for (const auto& [lanes, use] : kLaneVariants) {
        const std::vector<std::uint64_t> hashes = laneHashes(inputs, lanes, use, wholeRun);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(hashes[i], expected[i]) << variantName(lanes, use) << ", run " << i;
    }
}
