#include "plot/PlotState.h"

#include "plot/PaintPlot.h"
#include "plot/PlotGeometry.h"
#include "plot/SeriesWalk.h"
#include "plot/UserLocale.h"

#include <QPainter>

#include <cmath>
#include <memory>

namespace kalvex::plot {

namespace {

// Labels are sized in points; a fixed resolution keeps 10 pt at the same number of pixels
// whatever the screen of the machine.
constexpr int kDotsPerMetre = 3780;  // 96 dots per inch

// Seeds of the range search: the top seed is a small positive number, so a curve that lies
// wholly at or below 0 gets a top of about 0 rather than of its own largest value.
constexpr double kLowSeed = 1e20;
constexpr double kHighSeed = 1e-20;
constexpr double kTopWidening = 1.05;     // the ranges run to 5 % above the largest value
constexpr double kFlatCurveBottom = 0.95;  // a horizontal curve gets 5 % below it

int innerWidth(const PlotState& plot)
{
    return plotWidth(plot) - kLeftBottomMargin - kTopRightMargin;
}

int innerHeight(const PlotState& plot)
{
    return plotHeight(plot) - kLeftBottomMargin - kTopRightMargin;
}

void makeSurface(PlotState& plot, int width, int height, double pixelRatio)
{
    const double ratio = pixelRatio > 0 ? pixelRatio : 1;
    plot.surface = QImage(static_cast<int>(std::lround(width * ratio)),
                          static_cast<int>(std::lround(height * ratio)), QImage::Format_RGB32);
    plot.surface.setDevicePixelRatio(ratio);
    // the resolution of the logical pixels: 10 points stay 13.3 logical pixels at any ratio
    plot.surface.setDotsPerMeterX(kDotsPerMetre);
    plot.surface.setDotsPerMeterY(kDotsPerMetre);
}

}  // namespace

TooManyPoints::TooManyPoints() : std::runtime_error("P\u0159\u00edli\u0161 mnoho dat v grafu") {}

int plotWidth(const PlotState& plot)
{
    return static_cast<int>(std::lround(plot.surface.deviceIndependentSize().width()));
}

int plotHeight(const PlotState& plot)
{
    return static_cast<int>(std::lround(plot.surface.deviceIndependentSize().height()));
}

double ValueToPixelX(const PlotState& plot, double x)
{
    return kLeftBottomMargin + innerWidth(plot) * (x - plot.xMin) / (plot.xMax - plot.xMin);
}

double ValueToPixelY(const PlotState& plot, double y)
{
    return plotHeight(plot) - kLeftBottomMargin
           - innerHeight(plot) * (y - plot.yMin) / (plot.yMax - plot.yMin);
}

double PixelToValueX(const PlotState& plot, double px)
{
    return plot.xMin + (px - kLeftBottomMargin) / (innerWidth(plot) / (plot.xMax - plot.xMin));
}

double PixelToValueY(const PlotState& plot, double py)
{
    return plot.yMin
           + (plotHeight(plot) - kLeftBottomMargin - py)
                 / (innerHeight(plot) / (plot.yMax - plot.yMin));
}

int DecimalsForSpan(double span, int previous)
{
    // Each test that holds overrides the one before; a span of exactly 10 keeps the previous.
    int decimals = previous;
    if (span > 10)
        decimals = 0;
    if (span < 10)
        decimals = 1;
    if (span < 1)
        decimals = 2;
    if (span < 0.1)
        decimals = 3;
    if (span < 0.01)
        decimals = 4;
    if (span < 0.001)
        decimals = 5;
    return decimals;
}

void InitPlot(PlotState& plot, int width, int height, double pixelRatio)
{
    plot.xMin = 0;
    plot.xMax = 1.05;
    plot.yMin = 0;
    plot.yMax = 1.05;
    plot.xDecimals = 2;
    plot.yDecimals = 2;
    plot.decimalSeparator = userDecimalSeparator();
    makeSurface(plot, width, height, pixelRatio);
    DrawPlot(plot);
    plot.dragActive = 0;
}

bool ResizePlot(PlotState& plot, int width, int height, double pixelRatio)
{
    if (width < kMinimumSide || height < kMinimumSide)
        return false;
    makeSurface(plot, width, height, pixelRatio);
    DrawPlot(plot);
    return true;
}

QImage renderPlotImage(const PlotState& plot, double pixelRatio)
{
    auto copy = std::make_unique<PlotState>(plot);  // three slots of 2110 points: not on the stack
    makeSurface(*copy, plotWidth(plot), plotHeight(plot), pixelRatio);
    copy->surface.fill(Qt::white);
    QPainter painter(&copy->surface);
    paintPlot(painter, *copy, exportStyle());
    painter.end();
    return copy->surface;
}

void SetSeries(PlotState& plot, const double* xSource, const double* ySource, int first,
               int last, int step, int slot)
{
    PlotSeries& target = plot.series.at(static_cast<std::size_t>(slot));
    // Emptied before the check, so that the entries after the copied points are 0 and end
    // the walk; the whole slot, so that no tail of a longer earlier copy can follow them.
    target.xValues.fill(0);
    target.yValues.fill(0);
    if (step < 1)
        step = 1;
    if ((last - first) / step > kSlotCapacity - 1)
        throw TooManyPoints();
    int n = 0;
    for (int p = 0; p <= last - first; p += step, ++n) {
        target.xValues[static_cast<std::size_t>(n)] = xSource[first + p];
        target.yValues[static_cast<std::size_t>(n)] = ySource[first + p];
    }
    target.active = 1;
    Autoscale(plot);
    DrawPlot(plot);
}

void ClearSeries(PlotState& plot, int slot)
{
    plot.series.at(static_cast<std::size_t>(slot)).active = 0;
    Autoscale(plot);
    DrawPlot(plot);
}

void Autoscale(PlotState& plot)
{
    double xMin = kLowSeed, yMin = kLowSeed;
    double xMax = kHighSeed, yMax = kHighSeed;
    for (const PlotSeries& slot : plot.series) {
        if (slot.active != 1)
            continue;
        const int end = autoscaleWalkEnd(slot);
        for (int p = 0; p <= end; ++p) {
            const double x = slot.xValues[static_cast<std::size_t>(p)];
            const double y = slot.yValues[static_cast<std::size_t>(p)];
            if (x < xMin)
                xMin = x;
            if (x > xMax)
                xMax = x;
            if (y < yMin)
                yMin = y;
            if (y > yMax)
                yMax = y;
        }
    }
    if (yMin == kLowSeed) {  // nothing to scale to
        xMin = yMin = 0;
        xMax = yMax = 1;
    }
    if (yMin == yMax)
        yMin *= kFlatCurveBottom;
    plot.xMin = xMin;
    plot.yMin = yMin;
    plot.xMax = xMax * kTopWidening;
    plot.yMax = yMax * kTopWidening;
    plot.yDecimals = DecimalsForSpan(std::fabs(plot.yMin - plot.yMax), plot.yDecimals);
    plot.xDecimals = DecimalsForSpan(std::fabs(plot.xMin - plot.xMax), plot.xDecimals);
}

}  // namespace kalvex::plot
