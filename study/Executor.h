#pragma once
// Runs rows of a study in parallel. Each thread owns one RunResults buffer (about 7.5 MB);
// finished rows are handed to the sink in row order, so memory stays bounded by a window of
// rows, whatever the study's size.
#include "core/stepping/LaneRuns.h"
#include "study/Outputs.h"
#include "study/Rows.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace kalvex::study {

struct RowResult {
    std::size_t index = 0;         // row number, 0-based
    std::vector<double> varied;    // the varied values, as RowSet::varied() names them
    RunOutputs outputs;
};

// Runs a thread advances together: the processor overlaps their chains of dependent
// operations, so one core does more runs per second, each with the bits of a run alone.
inline constexpr int kStudyLanes = 4;

// What one thread needs to run rows: a result buffer per lane. Its lanes take the rows one
// by one, a finished lane the next row of the study.
struct RowWorkspace {
    int lanes = kStudyLanes;
    LaneBuffers buffers;
};

using RowSink = std::function<void(const RowResult&)>;
using ProgressSink = std::function<void(std::size_t rowsDone)>;

// The most threads a study runs on: each holds the series buffers of its lanes (about 1.4 MB
// a thread), so 3000 threads took 4.2 GB and then failed to start.
inline constexpr int kMaxThreads = 256;

struct ExecutorOptions {
    int threads = 0;                             // 0: every core
    std::size_t rowsPerClaim = 1;                // rows a thread takes at once
    const std::atomic<bool>* cancel = nullptr;   // checked between runs
    ProgressSink progress;                       // rows delivered so far, from the calling thread
};

// Runs rows [first, last) and calls `sink` for each, in row order, on the calling thread.
// When `cancel` becomes true no new row starts; rows already running finish and are
// delivered. Returns the number of rows delivered (all of them unless cancelled).
std::size_t runRows(const RowSet& rows, std::size_t first, std::size_t last, const ExecutorOptions& options,
                    const RowSink& sink);

}  // namespace kalvex::study
