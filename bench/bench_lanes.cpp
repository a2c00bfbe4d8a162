// A study's cost per run-step against single runs of the same rows: 200 tolerance samples of
// the rifle example, run one after the other on the plain path, then through 1 to 4
// interleaved lanes (four also with SSE2 alone, as on a processor without AVX), and by the
// study engine in one thread and on every core. Each figure is the time per run-step; the
// ratios are taken in the same run.
#include "BenchRatios.h"
#include "RifleTolerance.h"

#include "core/stepping/LaneRuns.h"
#include "core/stepping/RunLanes.h"
#include "study/Executor.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace kalvex;
using namespace kalvex::study;

RowSet rifleRows() { return RowSet(bench::rifleTolerance(200)); }

void perRunStep(benchmark::State& state, double steps)
{
    state.counters["run-steps"] = steps;
    state.counters["ns/run-step"] = benchmark::Counter(steps * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SingleRunsOneAfterTheOther(benchmark::State& state)
{
    const std::vector<BallisticInput> inputs = bench::rowInputs(rifleRows());
    auto buffer = std::make_unique_for_overwrite<RunResults>();
    double steps = 0;
    for (auto _ : state) {
        steps = 0;
        for (const BallisticInput& in : inputs)
            steps += runForOutputs(in, *buffer)[OutputId::steps];
    }
    perRunStep(state, steps);
}

// The same rows through the lanes directly, in this thread.
void lanes(benchmark::State& state, int count, LaneInstructions use)
{
    const std::vector<BallisticInput> inputs = bench::rowInputs(rifleRows());
    LaneBuffers buffers;
    double steps = 0;
    for (auto _ : state) {
        steps = 0;
        runSequencesInLanes(
            count, sequencesOf(inputs), buffers, [&](std::size_t, const StartOutcome&, RunResults& r) { steps += r.stepCount; },
            [](std::size_t, const InputError&) {}, use);
    }
    perRunStep(state, steps);
}

void InterleavedLanes(benchmark::State& state) { lanes(state, static_cast<int>(state.range(0)), LaneInstructions::best); }
void FourLanesWithSse2Alone(benchmark::State& state) { lanes(state, 4, LaneInstructions::sse2); }

void study(benchmark::State& state, int threads)
{
    const RowSet rows = rifleRows();
    ExecutorOptions options;
    options.threads = threads;
    double steps = 0;
    for (auto _ : state) {
        steps = 0;
        runRows(rows, 0, rows.size(), options, [&](const RowResult& row) { steps += row.outputs[OutputId::steps]; });
    }
    perRunStep(state, steps);
}

void StudyInOneThread(benchmark::State& state) { study(state, 1); }
void StudyOnEveryCore(benchmark::State& state) { study(state, 0); }

}  // namespace

// Process CPU time: the study's rows run on worker threads.
BENCHMARK(SingleRunsOneAfterTheOther)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(InterleavedLanes)->DenseRange(1, kMaxLanes)->Unit(benchmark::kMillisecond);
BENCHMARK(FourLanesWithSse2Alone)->Unit(benchmark::kMillisecond);
BENCHMARK(StudyInOneThread)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(StudyOnEveryCore)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return kalvex::bench::runComparing(
        argc, argv,
        {{"study in one thread per run-step over single runs (cpu)", "StudyInOneThread", "SingleRunsOneAfterTheOther",
          "cpu", false, 0.65},
         {"four lanes with SSE2 alone over single runs (cpu)", "FourLanesWithSse2Alone", "SingleRunsOneAfterTheOther",
          "cpu", false, 0},
         {"study on every core, wall time over single runs", "StudyOnEveryCore", "SingleRunsOneAfterTheOther", "real",
          false, 0}},
        5);
}
