// The price of calling Kalvex from Python: the rifle example run through kalvex.run (input
// conversion, the GIL released around the run, 23 series as numpy arrays, the summary dict
// and the memo) against the same run called from C++ (Start sequence, memo and outputs into a
// pooled buffer). Both run in turn in each iteration and are timed in CPU time of the
// thread; the counter overhead_pct is the difference relative to the C++ run.
// And run_many on one and on two threads, in turn, with their ratio as the counter speedup.
#include "CpuTime.h"
#include "python/ScriptInput.h"
#include "python/ScriptRun.h"

#include <benchmark/benchmark.h>
#include <pybind11/embed.h>

#include <chrono>
#include <memory>
#include <string>

namespace py = pybind11;

namespace {

const std::string kRifle = std::string(KALVEX_EXAMPLES_DIR) + "/rifle-7.62mm.txt";

// CPU time of this thread: the run stays on the calling thread in both cases, and the other
// processes of a busy machine do not count.
using kalvex::bench::threadCpuSeconds;
using kalvex::bench::processCpuSeconds;

double wallSeconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void PythonCallOverheadOnRifle(benchmark::State& state)
{
    const kalvex::BallisticInput input = kalvex::python::toBallisticInput(kalvex::python::loadScriptInput(kRifle), true);
    const auto pool = std::make_shared<kalvex::python::ResultsPool>();
    const py::module_ kalvexModule = py::module_::import("kalvex");
    const py::object run = kalvexModule.attr("run");
    const py::object inputs = kalvexModule.attr("load_report")(kRifle);
    double cppSeconds = 0, pythonSeconds = 0;
    const auto fromCpp = [&] {
        const double start = threadCpuSeconds();
        benchmark::DoNotOptimize(kalvex::python::runScript(input, *pool));
        cppSeconds += threadCpuSeconds() - start;
    };
    const auto fromPython = [&] {
        const double start = threadCpuSeconds();
        benchmark::DoNotOptimize(run(inputs));
        pythonSeconds += threadCpuSeconds() - start;
    };
    bool cppFirst = true;  // taking turns at going first, neither gets the warmer caches
    for (auto _ : state) {
        if (cppFirst) {
            fromCpp();
            fromPython();
        } else {
            fromPython();
            fromCpp();
        }
        cppFirst = !cppFirst;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cpp_ms"] = 1000 * cppSeconds / n;
    state.counters["python_ms"] = 1000 * pythonSeconds / n;
    state.counters["overhead_pct"] = 100 * (pythonSeconds - cppSeconds) / cppSeconds;
}
BENCHMARK(PythonCallOverheadOnRifle)->Unit(benchmark::kMillisecond)->MinTime(3);

// Wall-clock and CPU seconds of one call.
struct Spent {
    double wall = 0, cpu = 0;
};

Spent timed(const py::object& call, const py::list& inputs, int threads)
{
    const double wall = wallSeconds(), cpu = processCpuSeconds();
    benchmark::DoNotOptimize(call(inputs, py::arg("threads") = threads));
    return {wallSeconds() - wall, processCpuSeconds() - cpu};
}

// 128 rifle runs with charges around the nominal one, on one thread and on two: enough that
// the last runs of the list, which leave lanes and threads idle, weigh little.
void RunManyTwoThreadsAgainstOne(benchmark::State& state)
{
    constexpr int kRuns = 128;
    const py::module_ kalvexModule = py::module_::import("kalvex");
    const py::object runMany = kalvexModule.attr("run_many");
    const py::object rifle = kalvexModule.attr("load_report")(kRifle);
    py::list inputs;
    for (int i = 0; i < kRuns; ++i)
        inputs.append(rifle.attr("with_changes")(py::arg("C") = 0.0028 + 0.0000012 * i));
    Spent one, two;
    for (auto _ : state) {
        const Spent a = timed(runMany, inputs, 1), b = timed(runMany, inputs, 2);
        one.wall += a.wall, one.cpu += a.cpu, two.wall += b.wall, two.cpu += b.cpu;
    }
    const double runs = kRuns * static_cast<double>(state.iterations());
    state.counters["runs_per_s_1_thread"] = runs / one.wall;
    state.counters["runs_per_s_2_threads"] = runs / two.wall;
    state.counters["speedup"] = one.wall / two.wall;
    // On a machine shared with other work the wall-clock speedup shows the share of the cores
    // the runs got; the CPU-time ratio shows what the two threads cost each other (1 = nothing).
    state.counters["runs_per_cpu_s_ratio_2_to_1"] = one.cpu / two.cpu;
}
BENCHMARK(RunManyTwoThreadsAgainstOne)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

int main(int argc, char** argv)
{
    const py::scoped_interpreter python;
    py::module_::import("sys").attr("path").attr("insert")(0, KALVEX_PYTHON_DIR);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
