#include "study/Executor.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace kalvex::study {

void runRowBlock(const RowSet& rows, std::size_t first, std::span<RowResult> out, RowWorkspace& workspace)
{
    BallisticInput input;
    for (std::size_t k = 0; k < out.size(); ++k) {
        RowResult& result = out[k];
        result.index = first + k;
        rows.row(result.index, input, result.varied);
        result.outputs = runForOutputs(input, *workspace.buffer);
    }
}

namespace {

// Blocks finished out of order wait here until the rows before them are delivered. Workers
// stay at most `window` rows ahead of delivery, which bounds the memory of a study.
class RowQueue {
public:
    RowQueue(std::size_t first, std::size_t last, std::size_t perClaim, std::size_t window,
             const std::atomic<bool>* cancel)
        : next_(first), last_(last), perClaim_(perClaim), window_(window), delivered_(first), cancel_(cancel)
    {
    }

    // The next block to run, or an empty range when there is no more work.
    std::pair<std::size_t, std::size_t> claim()
    {
        std::unique_lock lock(mutex_);
        workerWake_.wait(lock, [&] { return stopped() || next_ >= last_ || next_ < delivered_ + window_; });
        if (stopped() || next_ >= last_)
            return {0, 0};
        const std::size_t first = next_;
        next_ = std::min(last_, next_ + perClaim_);
        return {first, next_};
    }

    void finish(std::size_t first, std::vector<RowResult> block)
    {
        std::lock_guard lock(mutex_);
        finished_.emplace(first, std::move(block));
        mainWake_.notify_one();
    }

    void fail(std::exception_ptr error)
    {
        std::lock_guard lock(mutex_);
        if (!error_)
            error_ = error;
        mainWake_.notify_one();
        workerWake_.notify_all();
    }

    void workerDone()
    {
        std::lock_guard lock(mutex_);
        ++workersDone_;
        mainWake_.notify_one();
    }

    // Stops the workers after the caller failed while delivering.
    void abort()
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        workerWake_.notify_all();
    }

    // Waits for the block that continues the delivered rows; empty when none will come.
    std::vector<RowResult> nextBlock(int workers)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (error_)
                std::rethrow_exception(error_);
            auto it = finished_.find(delivered_);
            if (it != finished_.end()) {
                std::vector<RowResult> block = std::move(it->second);
                finished_.erase(it);
                delivered_ += block.size();
                workerWake_.notify_all();
                return block;
            }
            if (workersDone_ == workers)
                return {};
            // Wake up now and then to see the cancel flag even when no row finishes.
            mainWake_.wait_for(lock, std::chrono::milliseconds(100));
            if (cancel_ && cancel_->load())
                workerWake_.notify_all();
        }
    }

private:
    bool stopped() const { return aborted_ || error_ || (cancel_ && cancel_->load()); }

    std::mutex mutex_;
    std::condition_variable workerWake_, mainWake_;
    std::size_t next_, last_, perClaim_, window_, delivered_;
    const std::atomic<bool>* cancel_;
    std::map<std::size_t, std::vector<RowResult>> finished_;
    int workersDone_ = 0;
    bool aborted_ = false;
    std::exception_ptr error_;
};

void work(const RowSet& rows, RowQueue& queue)
{
    RowWorkspace workspace;
    for (;;) {
        const auto [first, last] = queue.claim();
        if (first == last)
            break;
        try {
            std::vector<RowResult> block(last - first);
            runRowBlock(rows, first, block, workspace);
            queue.finish(first, std::move(block));
        } catch (...) {
            queue.fail(std::current_exception());
            break;
        }
    }
    queue.workerDone();
}

}  // namespace

std::size_t runRows(const RowSet& rows, std::size_t first, std::size_t last, const ExecutorOptions& options,
                    const RowSink& sink)
{
    last = std::min(last, rows.size());
    if (first >= last)
        return 0;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::size_t perClaim = std::max<std::size_t>(1, options.rowsPerClaim);
    const int threads = static_cast<int>(std::min<std::size_t>(
        options.threads > 0 ? options.threads : cores, (last - first + perClaim - 1) / perClaim));
    // Enough rows ahead that a slow row does not idle the other threads, few enough to stay small.
    const std::size_t window = perClaim * static_cast<std::size_t>(threads) * 16;
    RowQueue queue(first, last, perClaim, window, options.cancel);

    std::vector<std::jthread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&rows, &queue] { work(rows, queue); });

    std::size_t delivered = 0;
    try {
        for (;;) {
            const std::vector<RowResult> block = queue.nextBlock(threads);
            if (block.empty())
                break;
            for (const RowResult& row : block)
                sink(row);
            delivered += block.size();
            if (options.progress)
                options.progress(delivered);
        }
    } catch (...) {
        queue.abort();  // the workers leave, and the threads join, before the error goes on
        throw;
    }
    return delivered;
}

}  // namespace kalvex::study
