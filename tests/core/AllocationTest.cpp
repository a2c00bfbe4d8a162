// Counts heap allocations to show that a run allocates nothing while it integrates, that
// repeated Starts reuse the large result buffers, and that a Start clears no more of its
// buffer than the run writes.
#include "FakeHost.h"

#include "core/input/BallisticInput.h"
#include "core/input/InputSet.h"
#include "core/stepping/Solver.h"
#include "core/input/StartCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct AllocationLog {
    bool counting = false;
    long count = 0;
    std::size_t largest = 0;
};

AllocationLog& log()
{
    static AllocationLog instance;
    return instance;
}

// Counts what is allocated between construction and destruction.
class Counting {
public:
    Counting() { log() = AllocationLog{true, 0, 0}; }
    ~Counting() { log().counting = false; }
    long count() const { return log().count; }
    std::size_t largest() const { return log().largest; }
};

}  // namespace

void* operator new(std::size_t size)
{
    if (log().counting) {
        ++log().count;
        if (size > log().largest)
            log().largest = size;
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    // Large blocks come filled with a pattern (all bits set, a NaN), so that a test can see
    // which entries were written after the allocation.
    if (size >= sizeof(kalvex::ResultSeries))
        std::memset(p, 0xFF, size);
    return p;
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace kalvex;
using namespace kalvex::test;

TEST(Allocation, ARunAllocatesNothing)
{
    for (const char* name : {"gun155_7perf", "rifle_tube"}) {
        const FakeHost host = loadCase(name);
        BallisticInput in;
        readBallisticInput(host, host.grain, host.heat, '.', in);
        auto results = std::make_unique<RunResults>();
        RunEnd end;
        long allocations;
        {
            Counting counting;
            end = runSolver(in, *results);
            allocations = counting.count();
        }
        EXPECT_EQ(end, RunEnd::MuzzleReached) << name;
        EXPECT_GT(results->stepCount, 1000) << name;
        EXPECT_EQ(allocations, 0) << name;
    }
}

TEST(Allocation, RepeatedStartsReuseTheResultBuffers)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    {
        Counting first;
        runStartCommand(host, stored, runs);
        EXPECT_EQ(first.largest(), sizeof(RunResults));  // the buffer the run is integrated into
    }
    runStartCommand(host, stored, runs);  // now both buffers exist
    Counting counting;
    runStartCommand(host, stored, runs);
    EXPECT_LT(counting.largest(), sizeof(ResultSeries));
}

// What the run wrote, and the zero entry after it, is all that was touched: the rest of the
// buffer still holds the allocation's pattern, in every series.
TEST(Allocation, AStartWritesOnlyTheEntriesOfItsRun)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    const RunResults& r = *runs.completed;
    const auto n = static_cast<std::size_t>(r.stepCount);
    ASSERT_GT(n, 1000u);
    for (const ResultSeries& s : r.series) {
        EXPECT_TRUE(std::isfinite(s[0]) && std::isfinite(s[n]));
        EXPECT_EQ(s[n + 1], 0);
        EXPECT_TRUE(std::isnan(s[n + 2]) && std::isnan(s.back()));
    }
}
