// Studies on every core: a 1000-sample tolerance study of the rifle example on one and on two
// threads, measured in turns in the same run so that their ratio is fair, and the
// peak memory of a 100 000-run study, measured on the kalvex-study program as a child process.
#include "ChildProcess.h"
#include "CpuTime.h"
#include "RifleTolerance.h"
#include "study/Executor.h"
#include "study/StudyJson.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

using namespace kalvex::study;

using kalvex::bench::processCpuSeconds;
using kalvex::bench::rifleTolerance;

struct Rate {
    double perSecond;     // runs per second of wall-clock time
    double perCpuSecond;  // runs per second of CPU time of all threads: falls when threads wait on each other
};

Rate runRate(const RowSet& rows, int threads)
{
    ExecutorOptions options;
    options.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = processCpuSeconds();
    std::size_t done = 0;
    runRows(rows, 0, rows.size(), options, [&](const RowResult&) { ++done; });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = processCpuSeconds() - cpuStart;
    return {static_cast<double>(done) / seconds, static_cast<double>(done) / cpu};
}

// The median of five alternations of one and two threads: one wall-clock pair is at the
// mercy of what else the machine does in those seconds.
void BM_RifleTolerance1000(benchmark::State& state)
{
    constexpr int kAlternations = 5;
    const RowSet rows(rifleTolerance(1000));
    const auto median = [](std::vector<double> v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    for (auto _ : state) {
        std::vector<double> one, two, ratio, cpuRatio;
        for (int i = 0; i < kAlternations; ++i) {
            const Rate a = runRate(rows, 1);
            const Rate b = runRate(rows, 2);
            one.push_back(a.perSecond);
            two.push_back(b.perSecond);
            ratio.push_back(b.perSecond / a.perSecond);
            cpuRatio.push_back(b.perCpuSecond / a.perCpuSecond);
        }
        state.counters["runs_per_s_1_thread"] = median(one);
        state.counters["runs_per_s_2_threads"] = median(two);
        state.counters["ratio_2_to_1"] = median(ratio);
        // On a machine shared with other work the wall-clock ratio shows the share the study
        // got; the CPU-time ratio shows what the threads cost each other (1 = nothing).
        state.counters["runs_per_cpu_s_ratio_2_to_1"] = median(cpuRatio);
    }
}
BENCHMARK(BM_RifleTolerance1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// 100 000 tolerance samples of the rifle at a coarse step (about 600 steps a run, so the
// study takes a minute, not an hour); the statistics keep one double per output and sample.
void BM_PeakMemory100000Runs(benchmark::State& state)
{
    Study study = rifleTolerance(100000);
    study.base.dt = 2e-6;
    study.basePath.clear();  // written as "inputs", with the coarse step
    const auto folder = std::filesystem::temp_directory_path() / ("kalvex-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    saveStudyFile(folder / "study.json", study);
    for (auto _ : state) {
        const kalvex::bench::ChildFigures child =
            kalvex::bench::runProgram({KALVEX_STUDY_PROGRAM, (folder / "study.json").string(), "-o",
                                       (folder / "rows.csv").string(), "--quiet", "--threads", "2"});
        if (!child.succeeded) {
            state.SkipWithError("kalvex-study failed");
            break;  // no table to measure
        }
        state.counters["peak_MB"] = static_cast<double>(child.peakKb) / 1024.0;  // ru_maxrss is in KiB
        state.counters["csv_MB"] =
            static_cast<double>(std::filesystem::file_size(folder / "rows.csv")) / (1024.0 * 1024.0);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PeakMemory100000Runs)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
