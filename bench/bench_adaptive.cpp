// The adaptive integrator against the fixed step, on the four examples and on a study:
// - convergence: the muzzle velocity and the maxima of the mean and breech pressure at
//   relative tolerances 1e-4 ... 1e-10 against a run at 1e-13, and the fixed step's errors;
// - efficiency: the model evaluations the adaptive run needs to reach the fixed step's own
//   error in the muzzle velocity, against the fixed step's evaluations (target: >= 10 times fewer);
// - the rifle tolerance study with 1 000 000 samples at 1e-8 on every thread (target: under
//   3 minutes on 2 cores), its fixed-step time measured on a share of the samples and scaled,
//   and a random thousand samples' muzzle velocities against their own runs at 1e-12
//   (target: within 0.01 m/s).
#include "RifleTolerance.h"

#include "core/input/StartSequence.h"
#include "core/stepping/AdaptiveRun.h"
#include "report/ReportFile.h"
#include "study/Executor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace kalvex;

constexpr int kRk4EvaluationsPerStep = 4;

BallisticInput example(const std::string& name)
{
    return report::loadReportForRun(std::string(KALVEX_EXAMPLES_DIR) + "/" + name)->input;
}

struct Figures {
    double velocity, meanPeak, breechPeak;
    long evaluations;
};

Figures adaptive(const BallisticInput& in, double tolerance, RunResults& r)
{
    resetRunResults(r);
    const AdaptiveOutcome o = runAdaptive(in, AdaptiveSettings{tolerance}, r);
    return {r.at(SeriesId::velocity, r.stepCount), o.peaks.meanPressure.value, o.peaks.breechPressure.value,
            o.evaluations};
}

double relativeError(double value, double reference)
{
    return std::fabs(value / reference - 1);
}

void BM_ConvergenceAndEfficiency(benchmark::State& state, const char* name)
{
    const BallisticInput in = example(name);
    auto r = std::make_unique_for_overwrite<RunResults>();
    for (auto _ : state) {
        const Figures reference = adaptive(in, 1e-13, *r);
        resetRunResults(*r);
        const StartOutcome fixed = runStartSequence(in, *r, [](const std::string&) {});
        const double fixedError = relativeError(r->at(SeriesId::velocity, r->stepCount), reference.velocity);
        const double fixedEvaluations = static_cast<double>(r->stepCount) * kRk4EvaluationsPerStep;
        state.counters["fixed_velocity_error"] = fixedError;
        state.counters["fixed_evaluations"] = fixedEvaluations;
        double evaluationsAtFixedError = 0;
        for (double tolerance : {1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9, 1e-10}) {
            const Figures f = adaptive(in, tolerance, *r);
            const int exponent = static_cast<int>(std::lround(-std::log10(tolerance)));
            const std::string at = "_at_1e-" + std::to_string(exponent);
            state.counters["v_error" + at] = relativeError(f.velocity, reference.velocity);
            state.counters["Pmean_error" + at] = relativeError(f.meanPeak, reference.meanPeak);
            state.counters["P0_error" + at] = relativeError(f.breechPeak, reference.breechPeak);
            if (evaluationsAtFixedError == 0 && relativeError(f.velocity, reference.velocity) <= fixedError)
                evaluationsAtFixedError = static_cast<double>(f.evaluations);
        }
        state.counters["fewer_evaluations_at_fixed_error"] = fixedEvaluations / evaluationsAtFixedError;  // >= 10
        (void)fixed;
    }
}
BENCHMARK_CAPTURE(BM_ConvergenceAndEfficiency, rifle, "rifle-7.62mm.txt")->Iterations(1);
BENCHMARK_CAPTURE(BM_ConvergenceAndEfficiency, cannon, "cannon-30mm.txt")->Iterations(1);
BENCHMARK_CAPTURE(BM_ConvergenceAndEfficiency, howitzer, "howitzer-155mm.txt")->Iterations(1);
BENCHMARK_CAPTURE(BM_ConvergenceAndEfficiency, agard_132mm, "agard-132mm.txt")->Iterations(1);

double secondsOf(const study::RowSet& rows, std::size_t last, std::vector<double>* velocities = nullptr)
{
    const auto start = std::chrono::steady_clock::now();
    study::ExecutorOptions options;
    options.rowsPerClaim = 64;
    study::runRows(rows, 0, last, options, [&](const study::RowResult& row) {
        if (velocities)
            (*velocities)[row.index] = row.outputs[study::OutputId::vMuzzle];
    });
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The rifle tolerance study of the examples (its parameters and seed) with a million samples.
void BM_MillionSampleToleranceStudy(benchmark::State& state)
{
    constexpr long long kSamples = 1'000'000;
    constexpr std::size_t kFixedShare = 50;  // the fixed step runs 1/50 of the samples
    const std::filesystem::path studies = std::filesystem::path(KALVEX_EXAMPLES_DIR) / "studies";
    study::Study plan = study::loadStudyFile((studies / "rifle-7.62mm-tolerance.json").string());
    plan.tolerance.samples = kSamples;
    const study::RowSet fixedRows(plan);
    plan.integrator.method = IntegratorMethod::adaptive;
    plan.integrator.adaptive.relativeTolerance = 1e-8;
    const study::RowSet adaptiveRows(plan);
    for (auto _ : state) {
        std::vector<double> velocities(adaptiveRows.size());
        const double adaptiveSeconds = secondsOf(adaptiveRows, adaptiveRows.size(), &velocities);
        const double fixedSeconds = secondsOf(fixedRows, fixedRows.size() / kFixedShare) * kFixedShare;
        state.counters["adaptive_seconds"] = adaptiveSeconds;  // target < 180 on 2 cores
        state.counters["fixed_seconds_scaled"] = fixedSeconds;
        state.counters["speedup"] = fixedSeconds / adaptiveSeconds;

        std::mt19937_64 pick(7);
        std::uniform_int_distribution<std::size_t> anyRow(0, adaptiveRows.size() - 1);
        auto r = std::make_unique_for_overwrite<RunResults>();
        double worst = 0;
        for (int n = 0; n < 1000; ++n) {
            const std::size_t i = anyRow(pick);
            BallisticInput input;
            std::vector<double> varied;
            adaptiveRows.row(i, input, varied);
            const Figures reference = adaptive(input, 1e-12, *r);
            worst = std::max(worst, std::fabs(velocities[i] - reference.velocity));
        }
        state.counters["worst_velocity_difference_m_s"] = worst;  // target <= 0.01
    }
}
BENCHMARK(BM_MillionSampleToleranceStudy)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
