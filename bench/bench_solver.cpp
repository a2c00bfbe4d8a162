// Time of one run of the solver: a 155 mm howitzer with 7-perforated grains and heat transfer
// at a step that needs about 40000 steps, and a 7.62 mm rifle with tube grains, about 2000 steps.
// The howitzer run is set against its floor: the pow, sqrt and acos calls the run cannot do
// without, made one after another as the model needs them, each waiting for the one before.
#include "BenchRatios.h"

#include "core/input/BallisticInput.h"
#include "core/model/GrainGeometry.h"
#include "core/results/RunResults.h"
#include "core/stepping/Solver.h"
#include "core/format/Units.h"

#include <benchmark/benchmark.h>

#include <emmintrin.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using kalvex::BallisticInput;

BallisticInput weaponAndCharge(double A, double mp, double xm, double V0, double Tw, double Vp, double mrp,
                               double RR)
{
    BallisticInput in;
    in.A = A;
    in.mp = mp;
    in.xm = xm;
    in.V0 = V0;
    in.Tw = Tw;
    in.Vp = Vp;
    in.T0w = 21;
    in.h0 = 10;
    in.rhow = 7850;
    in.Cpw = 460;
    in.f = 0.2;
    in.mrp = mrp;
    in.RR = RR;
    in.heatTransfer = true;
    return in;
}

BallisticInput howitzer(double stepSeconds)
{
    BallisticInput in = weaponAndCharge(0.01922, 43.5, 5.08, 0.0188, 20, 0.0002, 2500, 150000);
    in.Dw = 0.0002;
    in.dt = stepSeconds;
    in.C = 11.5;
    in.F = 1.08e6;
    in.T0 = 3040;
    in.b = 0.00102;
    in.gamma = 1.24;
    in.rho = 1660;
    in.beta = 4.8e-9;
    in.alpha = 0.9;
    in.CI = 0.1;
    in.FI = 3e5;
    in.T0I = 2000;
    in.bI = 0.0005;
    in.gammaI = 1.25;
    in.fFT = 1.01;
    in.fbeta = 0.98;
    in.fbetaT = 1.03;
    in.grainType = 6;
    in.D = 0.010;
    in.L = 0.022;
    in.P = 0.0009;
    in.fr = 1;
    in.xe0 = 0.03;
    in.xe = 0.2;
    in.px0 = 5e6;
    in.pxe0 = 30e6;
    in.pxe = 10e6;
    in.pxm = 5e6;
    return in;
}

BallisticInput rifle()
{
    BallisticInput in = weaponAndCharge(4.67e-5, 0.0095, 0.55, 3.2e-6, 32, 0, 4, 200);
    in.T0w = 20;
    in.Dw = 0.00005;
    in.dt = 0.0005 * 0.001;
    in.C = 0.0029;
    in.F = 1.05e6;
    in.T0 = 3000;
    in.b = 0.001;
    in.gamma = 1.24;
    in.rho = 1600;
    in.beta = 4.7e-9;
    in.alpha = 0.9;
    in.CI = 5e-5;
    in.FI = 3e5;
    in.T0I = 2000;
    in.bI = 0.0005;
    in.gammaI = 1.25;
    in.fFT = 1;
    in.fbeta = 1;
    in.fbetaT = 1;
    in.grainType = 4;
    in.D = 0.00085;
    in.L = 0.0015;
    in.P = 0.0003;
    in.fr = 1;
    in.xe0 = 0.003;
    in.xe = 0.02;
    in.px0 = 20e6;
    in.pxe0 = 40e6;
    in.pxe = 15e6;
    in.pxm = 10e6;
    return in;
}

void runOnce(benchmark::State& state, const BallisticInput& in)
{
    auto results = std::make_unique<kalvex::RunResults>();
    for (auto _ : state) {
        const kalvex::RunEnd end = kalvex::runSolver(in, *results);
        if (end != kalvex::RunEnd::MuzzleReached)
            state.SkipWithError("the run did not reach the muzzle");
        benchmark::DoNotOptimize(results->series[0][1]);
    }
    state.counters["steps"] = results->stepCount;
    state.counters["ns/step"] = benchmark::Counter(
        static_cast<double>(results->stepCount) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SevenPerforatedHowitzer40000Steps(benchmark::State& state) { runOnce(state, howitzer(3.7e-7)); }
void TubeGrainRifle2000Steps(benchmark::State& state) { runOnce(state, rifle()); }

// What a step of the howitzer run needs from the maths library, taken from its recorded entries.
struct StepCalls {
    double pressure;   // mean pressure, Pa: pow(P, alpha) for the burning rate
    double velocity;   // m/s: above 0, the sqrt of the shock ahead of the projectile
    double thickness;  // burned thickness, m: in the sliver phase three acos and a sqrt
    bool burning;      // the grain surface is evaluated while Z < 1
};

std::vector<StepCalls> recordedCalls(const BallisticInput& in)
{
    auto r = std::make_unique<kalvex::RunResults>();
    kalvex::runSolver(in, *r);
    std::vector<StepCalls> calls;
    for (int k = 1; k <= r->stepCount; ++k) {
        calls.push_back({r->at(kalvex::SeriesId::meanPressure, k) * kalvex::kMegapascalToPascal,
                         r->at(kalvex::SeriesId::velocity, k),
                         r->at(kalvex::SeriesId::burnedThickness, k) * kalvex::kMillimetreToMetre,
                         r->at(kalvex::SeriesId::burnedFraction, k - 1) < 1});
    }
    return calls;
}

// `value`, made to wait for `previous` at the cost of two bitwise operations (an and with a
// zero the compiler cannot see, an or): a real dependency for the processor.
double after(double value, double previous)
{
    __m128d zero = _mm_setzero_pd();
    asm("" : "+x"(zero));
    return _mm_cvtsd_f64(_mm_or_pd(_mm_set_sd(value), _mm_and_pd(_mm_set_sd(previous), zero)));
}

// The floor of a step: per stage the 7-perforated sliver angles and segment root, the burning
// rate's pow and the air shock's sqrt, each argument waiting for the result before it.
double dependentCalls(const std::vector<StepCalls>& calls, const BallisticInput& in, const kalvex::GrainGeometry& g)
{
    double previous = 0;
    for (const StepCalls& step : calls) {
        const double e = step.thickness;
        const double u = in.P + 2 * e;
        const double De = in.D - 2 * e;
        const bool slivers = step.burning && e > 0.5 * g.web && e < g.outerSliverLimit && e < 0.5 * in.L;
        const double M = step.velocity / 340;
        for (int stage = 0; stage < 4; ++stage) {
            if (slivers) {
                previous = std::acos(after(g.pitch / u, previous));
                previous = std::acos(after((5 * g.pitch - 2 * u) / De, previous));
                previous = std::acos(after((3 * g.pitch - 2 * u) / u, previous));
                previous = std::sqrt(after(u * u - g.pitch * g.pitch, previous));
            }
            previous = std::pow(after(step.pressure, previous), in.alpha);
            if (M > 0)
                previous = std::sqrt(after(0.0625 * (2.4 * 2.4) + 1 / (M * M), previous));
        }
    }
    return previous;
}

void TranscendentalFloorOfTheHowitzerRun(benchmark::State& state)
{
    const BallisticInput in = howitzer(3.7e-7);
    const kalvex::GrainGeometry g = kalvex::prepareGrainGeometry(in);
    const std::vector<StepCalls> calls = recordedCalls(in);
    for (auto _ : state)
        benchmark::DoNotOptimize(dependentCalls(calls, in, g));
    state.counters["steps"] = static_cast<double>(calls.size());
    state.counters["ns/step"] = benchmark::Counter(
        static_cast<double>(calls.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(SevenPerforatedHowitzer40000Steps)->Unit(benchmark::kMillisecond);
BENCHMARK(TranscendentalFloorOfTheHowitzerRun)->Unit(benchmark::kMillisecond);
BENCHMARK(TubeGrainRifle2000Steps)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return kalvex::bench::runComparing(
        argc, argv,
        {{"single run ns/step over its pow/sqrt/acos floor", "SevenPerforatedHowitzer40000Steps",
          "TranscendentalFloorOfTheHowitzerRun", "ns/step", false, 2.1}},
        5);
}
