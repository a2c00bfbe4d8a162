// Every bit of every series of 84 runs against the hashes committed before the solver was
// made faster (see SeriesHashes.h), for the single run and for every lane of interleaved runs.
#include "CaseInput.h"
#include "SeriesHashes.h"

#include "core/LaneRuns.h"
#include "core/RunLanes.h"
#include "core/StartSequence.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// The same runs through interleaved lanes, 1 to 4 at a time, in one list with a run that
// needs a doubled step and one that breaks a rule: each lane's results keep every bit, with
// the processor's best vector instructions and with SSE2 alone.
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

    LaneBuffers buffers;
    const std::vector<std::pair<int, LaneInstructions>> variants = {
        {1, LaneInstructions::best}, {2, LaneInstructions::best}, {3, LaneInstructions::best},
        {4, LaneInstructions::best}, {4, LaneInstructions::sse2}};
    for (const auto& [lanes, use] : variants) {
        std::vector<std::uint64_t> hashes(inputs.size(), 1);
        std::size_t taken = 0;
        const SequenceSource next = [&](BallisticInput& input, std::size_t& id, bool) {
            if (taken == inputs.size())
                return false;
            id = taken;
            input = inputs[taken++];
            return true;
        };
        runSequencesInLanes(
            lanes, next, buffers,
            [&](std::size_t i, const StartOutcome& outcome, RunResults& r) { hashes[i] = seriesHash(r, outcome); },
            [&](std::size_t i, const InputError& e) {
                EXPECT_STREQ(e.what(), "Mass of Propellant C less than or equal to 0 kg");
                hashes[i] = 0;
            },
            use);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            EXPECT_EQ(hashes[i], expected[i]) << lanes << " lanes, " << (use == LaneInstructions::sse2 ? "SSE2" : "best")
                                              << ", run " << i;
    }
}
