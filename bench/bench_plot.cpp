#include "plot/PlotState.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace kalvex::plot;

namespace {

constexpr int kWidth = 1920;   // px, a maximised window on a full HD screen
constexpr int kHeight = 1080;  // px
constexpr int kPoints = 2000;  // the most a decimated curve holds

// Three pressure-like curves that rise, peak and fall, as the pressure plot draws them.
std::unique_ptr<PlotState> pressurePlot()
{
    auto plot = std::make_unique<PlotState>();
    InitPlot(*plot, kWidth, kHeight);
    std::vector<double> x(kPoints), y(kPoints);
    const double peaks[] = {300, 320, 260};
    for (int slot = 0; slot < 3; ++slot) {
        for (int i = 0; i < kPoints; ++i) {
            const double t = static_cast<double>(i) / (kPoints - 1);
            x[static_cast<std::size_t>(i)] = 4 * t;  // ms
            y[static_cast<std::size_t>(i)] = peaks[slot] * 4 * t * std::exp(1 - 4 * t) / 4;
        }
        SetSeries(*plot, x.data(), y.data(), 0, kPoints - 1, 1, slot);
    }
    return plot;
}

void BM_DrawPlotFullHdThreeCurves(benchmark::State& state)
{
    auto plot = pressurePlot();
    for (auto _ : state) {
        DrawPlot(*plot);
        benchmark::DoNotOptimize(plot->surface.constBits());
    }
}
BENCHMARK(BM_DrawPlotFullHdThreeCurves)->Unit(benchmark::kMillisecond);

void BM_DrawPlotDesignSizeThreeCurves(benchmark::State& state)
{
    auto plot = pressurePlot();
    ResizePlot(*plot, 247, 226);
    for (auto _ : state) {
        DrawPlot(*plot);
        benchmark::DoNotOptimize(plot->surface.constBits());
    }
}
BENCHMARK(BM_DrawPlotDesignSizeThreeCurves)->Unit(benchmark::kMillisecond);

}  // namespace

// Labels need fonts, and fonts need a GUI application; the drawing needs no screen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
