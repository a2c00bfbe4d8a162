#include "plot/MouseZoom.h"

#include "core/format/NumberFormat.h"

#include <cmath>

namespace kalvex::plot {

namespace {

constexpr int kReadOutExtraDecimals = 4;  // the read-out is finer than the tick labels
constexpr double kZoomThreshold = 0.1;    // a zoom takes at least 10 % of each span
// A press taken under other ranges (a double click rescales while the button is still down)
// can map far beyond what an int holds. Off the window one far pixel looks like another, so
// a corner is held at this distance; nothing visible changes.
constexpr double kFarOffWindow = 1 << 20;  // px

bool belowThreshold(const PlotState& plot, double ux, double uy)
{
    return std::fabs(plot.dragX0 - ux) < kZoomThreshold * (plot.xMax - plot.xMin)
           || std::fabs(plot.dragY0 - uy) < kZoomThreshold * (plot.yMax - plot.yMin);
}

// Truncation toward zero of a window pixel, held within the far distance.
int windowPixel(double px)
{
    if (!(px > -kFarOffWindow))  // also a value with no place (NaN)
        return -static_cast<int>(kFarOffWindow);
    if (px > kFarOffWindow)
        return static_cast<int>(kFarOffWindow);
    return static_cast<int>(std::trunc(px));
}

}  // namespace

ReadOut mousePress(PlotState& plot, int px, int py, char decimalSeparator)
{
    const double vx = PixelToValueX(plot, px);
    const double vy = PixelToValueY(plot, py);
    ReadOut out{formatGeneral(RoundDecimals(vx, plot.xDecimals + kReadOutExtraDecimals),
                              decimalSeparator),
                formatGeneral(RoundDecimals(vy, plot.yDecimals + kReadOutExtraDecimals),
                              decimalSeparator)};
    plot.dragX0 = vx;
    plot.dragY0 = vy;
    plot.dragActive = 1;
    return out;
}

RubberBand rubberBand(const PlotState& plot, int px, int py, int left, int top)
{
    RubberBand band;
    band.ax = windowPixel(ValueToPixelX(plot, plot.dragX0) + left);
    band.ay = windowPixel(ValueToPixelY(plot, plot.dragY0) + top);
    band.bx = px + left;
    band.by = py + top;
    band.belowThreshold = belowThreshold(plot, PixelToValueX(plot, px), PixelToValueY(plot, py));
    return band;
}

bool mouseRelease(PlotState& plot, int px, int py)
{
    const double ux = PixelToValueX(plot, px);
    const double uy = PixelToValueY(plot, py);
    const bool zooms = !belowThreshold(plot, ux, uy);
    if (zooms) {
        if (plot.dragX0 < ux) {
            plot.xMin = plot.dragX0;
            plot.xMax = ux;
        } else if (plot.dragX0 > ux) {
            plot.xMin = ux;
            plot.xMax = plot.dragX0;
        }
        if (plot.dragY0 < uy) {
            plot.yMin = plot.dragY0;
            plot.yMax = uy;
        } else if (plot.dragY0 > uy) {
            plot.yMin = uy;
            plot.yMax = plot.dragY0;
        }
        plot.yDecimals = DecimalsForSpan(std::fabs(plot.yMin - plot.yMax), plot.yDecimals);
        plot.xDecimals = DecimalsForSpan(std::fabs(plot.xMin - plot.xMax), plot.xDecimals);
        DrawPlot(plot);
    }
    plot.dragActive = 0;
    return zooms;
}

void restoreAutomaticRanges(PlotState& plot)
{
    Autoscale(plot);
    DrawPlot(plot);
}

}  // namespace kalvex::plot
