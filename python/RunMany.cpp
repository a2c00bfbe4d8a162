#include "python/RunMany.h"

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <atomic>
#include <memory>
#include <thread>

namespace kalvex::python {

std::vector<study::RunOutputs> runMany(const std::vector<BallisticInput>& inputs, int threads,
                                       const std::function<bool()>& keepGoing)
{
    std::vector<study::RunOutputs> outputs(inputs.size());
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> stopped{false};
    // One 7.5 MB buffer per thread that takes part, made on its first run.
    tbb::enumerable_thread_specific<std::unique_ptr<RunResults>> buffers(
        [] { return std::make_unique_for_overwrite<RunResults>(); });
    tbb::task_arena arena(threads > 0 ? threads : tbb::task_arena::automatic);
    arena.execute([&] {
        // Runs differ in length by orders of magnitude: one run per task balances them.
        tbb::parallel_for(tbb::blocked_range<std::size_t>(0, inputs.size(), 1),
                          [&](const tbb::blocked_range<std::size_t>& range) {
                              if (stopped)
                                  return;
                              RunResults& buffer = *buffers.local();
                              for (std::size_t i = range.begin(); i != range.end(); ++i)
                                  outputs[i] = study::runForOutputs(inputs[i], buffer);
                              if (keepGoing && std::this_thread::get_id() == caller && !keepGoing())
                                  stopped = true;
                          });
    });
    return outputs;
}

}  // namespace kalvex::python
