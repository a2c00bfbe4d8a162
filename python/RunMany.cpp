#include "python/RunMany.h"

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#include <memory>

namespace kalvex::python {

std::vector<study::RunOutputs> runMany(const std::vector<BallisticInput>& inputs, int threads)
{
    std::vector<study::RunOutputs> outputs(inputs.size());
    // One 7.5 MB buffer per thread that takes part, made on its first run.
    tbb::enumerable_thread_specific<std::unique_ptr<RunResults>> buffers(
        [] { return std::make_unique<RunResults>(); });
    tbb::task_arena arena(threads > 0 ? threads : tbb::task_arena::automatic);
    arena.execute([&] {
        // Runs differ in length by orders of magnitude: one run per task balances them.
        tbb::parallel_for(tbb::blocked_range<std::size_t>(0, inputs.size(), 1),
                          [&](const tbb::blocked_range<std::size_t>& range) {
                              RunResults& buffer = *buffers.local();
                              for (std::size_t i = range.begin(); i != range.end(); ++i)
                                  outputs[i] = study::runForOutputs(inputs[i], buffer);
                          });
    });
    return outputs;
}

}  // namespace kalvex::python
