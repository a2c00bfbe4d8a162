#pragma once
// Bit-for-bit fingerprints of whole runs: every grain type, with and without heat transfer,
// at three step sizes, from the reference weapons. A speed change must leave every bit of
// every series as it was; the printed summaries round too much to see a last-bit change,
// so each run's 23 series are hashed over entries 0..N and compared with hashes committed
// before the change. Any solver path (the plain run, each lane of an interleaved one) is
// checked against the same file.
#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"
#include "core/input/StartSequence.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kalvex::test {

struct HashCase {
    std::string name;  // "rifle/type4/heat/step1"
    BallisticInput input;
};

// The 84 cases: two weapons x seven grain types x heat transfer on/off x three steps.
std::vector<HashCase> seriesHashCases();

// FNV-1a over the end, the step, the restarts, N, and the bits of entries 0..N of every series.
std::uint64_t seriesHash(const RunResults& results, const StartOutcome& outcome);

// The same over entries 0..last, for runs that end before the muzzle.
std::uint64_t seriesHashUpTo(const RunResults& results, const StartOutcome& outcome, int last);

// The committed hashes, by case name.
std::map<std::string, std::uint64_t> committedSeriesHashes();

// Where the committed hashes are; a test may rewrite it when KALVEX_RECORD_SERIES_HASHES is set.
std::string seriesHashFile();

}  // namespace kalvex::test
