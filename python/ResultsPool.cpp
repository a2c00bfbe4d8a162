#include "python/ResultsPool.h"

namespace kalvex::python {

std::shared_ptr<RunResults> ResultsPool::acquire()
{
    std::unique_ptr<RunResults> buffer;
    {
        const std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            buffer = std::move(idle_.back());
            idle_.pop_back();
        }
    }
    if (!buffer)
        buffer = std::make_unique_for_overwrite<RunResults>();
    // The pool may be gone when a script holds series past the module's end.
    std::weak_ptr<ResultsPool> pool = weak_from_this();
    return {buffer.release(), [pool](RunResults* results) {
                if (const auto alive = pool.lock())
                    alive->giveBack(results);
                else
                    delete results;
            }};
}

void ResultsPool::giveBack(RunResults* results)
{
    std::unique_ptr<RunResults> owned(results);
    const std::lock_guard lock(mutex_);
    if (idle_.size() < kKeptBuffers)
        idle_.push_back(std::move(owned));
}

}  // namespace kalvex::python
