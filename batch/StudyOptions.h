#pragma once
// The command line of kalvex-study.
#include <optional>
#include <string>
#include <vector>

namespace kalvex::batch {

struct StudyOptions {
    enum class Action { run, merge, listParameters, listOutputs, help, version };
    Action action = Action::run;
    std::string studyPath;                  // STUDY.json
    std::optional<std::string> csvPath;     // -o: the rows as CSV
    std::optional<std::string> jsonPath;    // --json: rows and results as JSON
    int threads = 0;                        // --threads: 0 for every core
    std::size_t shardIndex = 1;             // --shard I/N, I counted from 1
    std::size_t shardCount = 1;
    bool quiet = false;                     // --quiet: no progress bar, no table
    bool errorEstimate = false;             // --error-estimate: step-size error of the base or solution
    std::vector<std::string> shardPaths;    // merge: the shard files
    std::optional<std::string> studyForMerge;  // merge --study: the study the shards ran
    std::string usage;                      // the text --help prints
};

// Parses the arguments after the program name; UsageError (BatchOptions.h) when they are wrong.
StudyOptions parseStudyArguments(const std::vector<std::string>& args);

}  // namespace kalvex::batch
