#include "python/RunMany.h"

#include "study/Executor.h"
#include "study/Rows.h"

#include <atomic>

namespace kalvex::python {

// The study engine's executor runs the list: the same threads and interleaved lanes as a
// study's rows, one result buffer per thread.
std::vector<study::RunOutputs> runMany(const std::vector<BallisticInput>& inputs, int threads,
                                       const std::function<bool()>& keepGoing)
{
    std::vector<study::RunOutputs> outputs(inputs.size());
    std::atomic<bool> cancel{false};
    study::ExecutorOptions options;
    options.threads = threads;
    options.cancel = &cancel;
    // Rows are delivered on the calling thread, where an interrupt can be seen.
    options.progress = [&](std::size_t) {
        if (keepGoing && !keepGoing())
            cancel = true;
    };
    const study::RowSet rows(inputs);
    study::runRows(rows, 0, rows.size(), options,
                   [&outputs](const study::RowResult& row) { outputs[row.index] = row.outputs; });
    return outputs;
}

}  // namespace kalvex::python
