#pragma once
// A shard's file says what it is: a first comment line names the study (a fingerprint of its
// canonical JSON), the shard and its runs, and a last comment line says that every run of the
// shard was written. Between them stand the header and the rows of one run's file. A whole
// study's file and a merged file carry neither line, so they stay byte for byte the file one
// run writes. Merge reads both lines and refuses what would not give that file.
#include "study/Study.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::study {

struct ShardLabel {
    std::string study;          // studyFingerprint
    std::size_t index = 0;      // shard I of N, I counted from 1
    std::size_t count = 0;
    std::size_t firstRun = 0;   // the shard's runs firstRun..lastRun, counted from 1; none
    std::size_t lastRun = 0;    // when lastRun < firstRun
    std::size_t totalRuns = 0;  // of the whole study
    std::size_t runs() const { return lastRun + 1 - firstRun; }
};

// 16 hex digits: the FNV-1a hash (64 bits) of the study's JSON with its base input values
// written out and without its description, so that shards run on other machines from copies
// of the study file match, and a study with another seed, count or value does not.
std::string studyFingerprint(const Study& study);

// "# kalvex-study shard 2 of 20 of study 0123456789abcdef: runs 11 to 20 of 200"
std::string shardHeadLine(const ShardLabel& label);
// "# end of shard 2 of 20: 10 runs"
std::string shardEndLine(const ShardLabel& label);
std::optional<ShardLabel> parseShardHeadLine(std::string_view line);

// Joins shard files into exactly the file one run would write: every shard 1..N of one
// study once, each whole, every row with the study's columns, numbers where numbers belong
// and run numbers in order. StudyError naming the file and the fault otherwise.
void mergeShardFiles(const std::vector<std::filesystem::path>& shards, std::ostream& out);

}  // namespace kalvex::study
