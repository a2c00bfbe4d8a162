#pragma once
// Runs rows of a study in parallel. Each thread owns one RunResults buffer (about 7.5 MB);
// finished rows are handed to the sink in row order, so memory stays bounded by a window of
// rows, whatever the study's size.
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

// What one thread needs to run rows: its result buffer.
struct RowWorkspace {
    std::unique_ptr<RunResults> buffer = std::make_unique<RunResults>();
};

// The work of one thread on the rows it claimed, [first, first + out.size()), one after the
// other in `workspace`. The single place that runs rows: an interleaved-lanes path that runs
// several rows at once in one thread replaces this function.
void runRowBlock(const RowSet& rows, std::size_t first, std::span<RowResult> out, RowWorkspace& workspace);

using RowSink = std::function<void(const RowResult&)>;
using ProgressSink = std::function<void(std::size_t rowsDone)>;

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
