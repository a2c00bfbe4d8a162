#include "study/Executor.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace kalvex::study {

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

    // The next block to run, or an empty range when there is no more work. Without `wait`,
    // also an empty range while the worker is a whole window ahead of delivery.
    std::pair<std::size_t, std::size_t> claim(bool wait)
    {
        std::unique_lock lock(mutex_);
        const auto ready = [&] { return stopped() || next_ >= last_ || next_ < delivered_ + window_; };
        if (wait)
            workerWake_.wait(lock, ready);
        if (stopped() || next_ >= last_ || !ready())
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

// Adaptive runs one after the other: their steps differ in number and length from run to run,
// so interleaving them in lanes would not keep the lanes full.
template <class RowOf, class InputOf, class Ended>
void runAdaptiveRows(const IntegratorChoice& integrator, const SequenceSource& next, RowWorkspace& workspace,
                     RowOf&& rowOf, InputOf&& inputOf, Ended&& ended)
{
    RunResults& buffer = *workspace.buffers.take(1)[0];
    BallisticInput input;
    std::size_t row = 0;
    while (next(input, row, true)) {
        rowOf(row).outputs = runForOutputs(inputOf(row), buffer, integrator);
        ended(row);
    }
}

// The rows of the claims a worker has not handed back yet.
struct ClaimedBlock {
    std::vector<RowResult> rows;
    std::vector<BallisticInput> inputs;
    std::size_t left;  // rows not yet run
};

// One thread: its lanes take the rows one by one from its claims, and a claim goes to the
// queue when its last row has ended. The single place that runs rows.
void work(const RowSet& rows, RowQueue& queue)
{
    RowWorkspace workspace;
    std::map<std::size_t, ClaimedBlock> claimed;  // by first row
    std::size_t nextRow = 0, claimEnd = 0;        // rows of the latest claim not yet taken
    const auto blockOf = [&claimed](std::size_t row) { return std::prev(claimed.upper_bound(row)); };
    const auto rowOf = [&](std::size_t row) -> RowResult& {
        const auto block = blockOf(row);
        return block->second.rows[row - block->first];
    };
    const auto inputOf = [&](std::size_t row) -> BallisticInput& {
        const auto block = blockOf(row);
        return block->second.inputs[row - block->first];
    };
    const auto ended = [&](std::size_t row) {
        const auto block = blockOf(row);
        if (--block->second.left == 0) {
            queue.finish(block->first, std::move(block->second.rows));
            claimed.erase(block);
        }
    };
    const SequenceSource next = [&](BallisticInput& input, std::size_t& row, bool mayWait) {
        if (nextRow == claimEnd) {
            const auto [first, last] = queue.claim(mayWait);
            if (first == last)
                return false;
            claimed.emplace(first, ClaimedBlock{std::vector<RowResult>(last - first),
                                                std::vector<BallisticInput>(last - first), last - first});
            nextRow = first;
            claimEnd = last;
        }
        row = nextRow++;
        RowResult& result = rowOf(row);
        result.index = row;
        rows.row(row, inputOf(row), result.varied);
        input = inputOf(row);
        return true;
    };
    try {
        if (rows.integrator().method == IntegratorMethod::adaptive) {
            runAdaptiveRows(rows.integrator(), next, workspace, rowOf, inputOf, ended);
            queue.workerDone();
            return;
        }
        runSequencesInLanes(
            workspace.lanes, next, workspace.buffers,
            [&](std::size_t row, const StartOutcome& outcome, RunResults& results) {
                rowOf(row).outputs = sequenceOutputs(inputOf(row), results, outcome);
                ended(row);
            },
            [&](std::size_t row, const InputError& error) {
                rowOf(row).outputs = rejectedOutputs(error);
                ended(row);
            });
    } catch (...) {
        queue.fail(std::current_exception());
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
        std::min(options.threads > 0 ? options.threads : cores, kMaxThreads), (last - first + perClaim - 1) / perClaim));
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
