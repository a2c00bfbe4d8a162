#pragma once
#include "core/results/RunResults.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotState.h"
#include "plot/SeriesWalk.h"

#include <QColor>

#include <cstddef>
#include <memory>
#include <vector>

namespace kalvex::plot::test {

using plot::kDesignHeight;  // the plot at the window's design size
using plot::kDesignWidth;

// PlotState holds three slots of 2110 points and a bitmap: keep it on the heap.
inline std::unique_ptr<PlotState> newPlot(int width = kDesignWidth, int height = kDesignHeight)
{
    auto plot = std::make_unique<PlotState>();
    InitPlot(*plot, width, height);
    return plot;
}

inline QColor pixel(const PlotState& plot, int x, int y)
{
    return QColor(plot.surface.pixel(x, y));
}

inline bool isRed(QColor c) { return c == QColor(255, 0, 0); }
inline bool isBlue(QColor c) { return c == QColor(0, 0, 255); }
inline bool isBlack(QColor c) { return c == QColor(0, 0, 0); }
inline bool isWhite(QColor c) { return c == QColor(255, 255, 255); }

// The points of a slot as the drawing reads them.
inline std::vector<double> slotX(const PlotState& plot, int slot)
{
    const PlotSeries& s = plot.series[static_cast<std::size_t>(slot)];
    return {s.xValues.begin(), s.xValues.begin() + drawingWalkEnd(s) + 1};
}

// A synthetic run of N steps: time k·dt, travel 0 up to the row `restRows` and then
// growing with the square of the time, pressures that rise and fall, each pressure series
// distinct so that a mix-up shows.
inline std::unique_ptr<RunResults> syntheticRun(int stepCount, int restRows = 0)
{
    auto run = std::make_unique<RunResults>();
    run->stepCount = stepCount;
    constexpr double dtMs = 0.001;
    for (int k = 0; k <= stepCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double t = k * dtMs;
        const int moving = k - restRows;
        const double shape = static_cast<double>(k) / stepCount;
        (*run)[SeriesId::time][i] = t;
        (*run)[SeriesId::travel][i] = moving > 0 ? 1e-6 * moving * moving : 0;
        (*run)[SeriesId::velocity][i] = 900 * shape;
        (*run)[SeriesId::burnedFraction][i] = shape < 0.5 ? 2 * shape : 1;
        (*run)[SeriesId::relativeSurface][i] = shape < 0.5 ? 1 - shape : 0;
        (*run)[SeriesId::meanPressure][i] = 300 * shape * (1 - shape) + 0.101325;
        (*run)[SeriesId::breechPressure][i] = 320 * shape * (1 - shape) + 0.101325;
        (*run)[SeriesId::basePressure][i] = 250 * shape * (1 - shape) + 0.101325;
        (*run)[SeriesId::gasPressureAhead][i] = 5 * shape + 0.101325;
    }
    return run;
}

}  // namespace kalvex::plot::test
