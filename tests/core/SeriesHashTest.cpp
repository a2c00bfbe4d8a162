// Every bit of every series of 84 runs against the hashes committed before the solver was
// made faster (see SeriesHashes.h).
#include "SeriesHashes.h"

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
