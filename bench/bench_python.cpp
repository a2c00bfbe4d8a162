// The price of calling Kalvex from Python: the rifle example run through kalvex.run (input
// conversion, the GIL released around the run, memo, 23 series as numpy arrays) against the
// same Start sequence and summary called from C++ on a reused buffer. Both run in turn in
// each iteration and are timed in CPU time of the thread; the counter overhead_pct is the
// difference relative to the C++ run.
#include "core/RunSummary.h"
#include "core/StartSequence.h"
#include "python/ScriptInput.h"

#include <benchmark/benchmark.h>
#include <pybind11/embed.h>

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

// The run as the window does it: Start sequence into the buffer of the last run, then the summary.
std::string runFromCpp(const kalvex::BallisticInput& input, kalvex::RunResults& buffer)
{
    std::string memo;
    const auto append = [&memo](const std::string& line) { memo.append(line).push_back('\n'); };
    const kalvex::StartOutcome outcome = kalvex::runStartSequence(input, buffer, append);
    kalvex::BallisticInput ran = input;
    ran.dt = outcome.dt;
    kalvex::writeRunSummary(ran, buffer, kalvex::SummaryOptions{}, append);
    return memo;
}

void PythonCallOverheadOnRifle(benchmark::State& state)
{
    const kalvex::BallisticInput input = kalvex::python::toBallisticInput(kalvex::python::loadScriptInput(kRifle), true);
    auto buffer = std::make_unique<kalvex::RunResults>();
    const py::module_ kalvexModule = py::module_::import("kalvex");
    const py::object run = kalvexModule.attr("run");
    const py::object inputs = kalvexModule.attr("load_report")(kRifle);
    double cppSeconds = 0, pythonSeconds = 0;
    for (auto _ : state) {
        double start = threadSeconds();
        benchmark::DoNotOptimize(runFromCpp(input, *buffer));
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
