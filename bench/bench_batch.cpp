// kalvex-batch as a whole process, against `kalvex-batch --help` started the same way: the
// rifle example (time and peak memory) and a run of ten steps (the fixed cost of a run).
// Each iteration starts the program and waits for it; the figures are the child's.
#include "BenchRatios.h"
#include "ChildProcess.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using kalvex::bench::ChildFigures;
using kalvex::bench::runProgram;

// The rifle example with a step so long that the projectile leaves the muzzle after ten steps.
std::string tenStepInput()
{
    std::ifstream in(KALVEX_RIFLE_EXAMPLE);
    std::stringstream text;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(" Computation Step [s]:", 0) == 0)
            line = " Computation Step [s]:                                " KALVEX_TEN_STEP_DT " ";
        text << line << '\n';
    }
    const std::string path = "/tmp/kalvex-bench-ten-steps-" + std::to_string(getpid()) + ".txt";
    std::ofstream(path) << text.str();
    return path;
}

void measure(benchmark::State& state, const std::vector<std::string>& args)
{
    ChildFigures total;
    long peak = 0;
    for (auto _ : state) {
        const ChildFigures f = runProgram(args);
        if (!f.succeeded) {
            state.SkipWithError("kalvex-batch failed");
            break;
        }
        state.SetIterationTime(f.realMs * 1e-3);
        total.cpuMs += f.cpuMs;
        total.minorFaults += f.minorFaults;
        peak = std::max(peak, f.peakKb);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["child cpu ms"] = total.cpuMs / n;
    state.counters["minor faults"] = static_cast<double>(total.minorFaults) / n;
    state.counters["peak MB"] = static_cast<double>(peak) / 1024;
}

// The program measured: this build's, or another build's named by KALVEX_BATCH_PROGRAM (to
// set figures before a change beside those after it).
std::string batchProgram()
{
    const char* other = std::getenv("KALVEX_BATCH_PROGRAM");
    return other && *other ? other : KALVEX_BATCH;
}

void BatchHelp(benchmark::State& state) { measure(state, {batchProgram(), "--help"}); }
void BatchRifleExample(benchmark::State& state) { measure(state, {batchProgram(), KALVEX_RIFLE_EXAMPLE}); }
void BatchTenSteps(benchmark::State& state)
{
    const std::string input = tenStepInput();
    measure(state, {batchProgram(), input});
    std::remove(input.c_str());
}

}  // namespace

BENCHMARK(BatchHelp)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchRifleExample)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchTenSteps)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    using kalvex::bench::Comparison;
    return kalvex::bench::runComparing(
        argc, argv,
        {{"rifle peak memory above --help, MB", "BatchRifleExample", "BatchHelp", "peak MB", true, 3},
         {"ten-step run above --help, ms (wall)", "BatchTenSteps", "BatchHelp", "real", true, 1.5},
         {"ten-step run above --help, ms (child cpu)", "BatchTenSteps", "BatchHelp", "child cpu ms", true, 1.5},
         {"rifle run above --help, ms (child cpu)", "BatchRifleExample", "BatchHelp", "child cpu ms", true, 0}});
}
