// The price of calling Kalvex from Python: the rifle example run through kalvex.run (input
// conversion, the GIL released around the run, 23 series as numpy arrays, the summary dict
// and the memo) against the same run called from C++ (Start sequence, memo and outputs into a
// pooled buffer). Both run in turn in each iteration and are timed in CPU time of the
// thread; the counter overhead_pct is the difference relative to the C++ run.
// And run_many on one and on two threads, in turn, with their ratio as the counter speedup.
#include "python/ScriptInput.h"
#include "python/ScriptRun.h"

#include <benchmark/benchmark.h>
#include <pybind11/embed.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

namespace py = pybind11;

namespace {

const std::string kRifle = std::string(KALVEX_EXAMPLES_DIR) + "/rifle-7.62mm.txt";

// CPU time of this thread: the run stays on the calling thread in both cases, and the other
// processes of a busy machine do not count.
double threadSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double wallSeconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

void PythonCallOverheadOnRifle(benchmark::State& state)
{
    const kalvex::BallisticInput input = kalvex::python::toBallisticInput(kalvex::python::loadScriptInput(kRifle), true);
    const auto pool = std::make_shared<kalvex::python::ResultsPool>();
    const py::module_ kalvexModule = py::module_::import("kalvex");
    const py::object run = kalvexModule.attr("run");
    const py::object inputs = kalvexModule.attr("load_report")(kRifle);
    double cppSeconds = 0, pythonSeconds = 0;
    for (auto _ : state) {
        double start = threadSeconds();
        benchmark::DoNotOptimize(kalvex::python::runScript(input, *pool));
        cppSeconds += threadSeconds() - start;
        start = threadSeconds();
        benchmark::DoNotOptimize(run(inputs));
        pythonSeconds += threadSeconds() - start;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cpp_ms"] = 1000 * cppSeconds / n;
    state.counters["python_ms"] = 1000 * pythonSeconds / n;
    state.counters["overhead_pct"] = 100 * (pythonSeconds - cppSeconds) / cppSeconds;
}
BENCHMARK(PythonCallOverheadOnRifle)->Unit(benchmark::kMillisecond)->MinTime(3);

// Sixteen rifle runs with charges around the nominal one, on one thread and on two.
void RunManyTwoThreadsAgainstOne(benchmark::State& state)
{
    const py::module_ kalvexModule = py::module_::import("kalvex");
    const py::object runMany = kalvexModule.attr("run_many");
    const py::object rifle = kalvexModule.attr("load_report")(kRifle);
    py::list inputs;
    for (int i = 0; i < 16; ++i)
        inputs.append(rifle.attr("with_changes")(py::arg("C") = 0.0028 + 0.00001 * i));
    double oneThread = 0, twoThreads = 0;
    for (auto _ : state) {
        double start = wallSeconds();
        benchmark::DoNotOptimize(runMany(inputs, py::arg("threads") = 1));
        oneThread += wallSeconds() - start;
        start = wallSeconds();
        benchmark::DoNotOptimize(runMany(inputs, py::arg("threads") = 2));
        twoThreads += wallSeconds() - start;
    }
    state.counters["runs_per_s_1_thread"] = 16 * static_cast<double>(state.iterations()) / oneThread;
    state.counters["runs_per_s_2_threads"] = 16 * static_cast<double>(state.iterations()) / twoThreads;
    state.counters["speedup"] = oneThread / twoThreads;
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
