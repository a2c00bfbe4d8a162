#include "plot/AxisTicks.h"

#include "core/NumberFormat.h"
#include "plot/PlotGeometry.h"

#include <QFont>

namespace kalvex::plot {

namespace {

constexpr int kXLabelShiftLeft = 5;    // px left of the tick column
constexpr int kXLabelBelowFrame = 6;   // px below the frame line, just under the tick
constexpr int kYLabelLeft = 5;         // px from the surface's left edge
constexpr int kLabelPointSize = 10;
const char* const kLabelFamily = "Arial";

}  // namespace

// Labels look the same on every machine: a named face, whole-pixel glyph metrics and plain
// grey antialiasing whatever the desktop's font settings.
QFont labelFont()
{
    QFont font(kLabelFamily);
    font.setPointSize(kLabelPointSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

std::vector<AxisTick> xAxisTicks(const PlotState& plot)
{
    const int width = plot.surface.width();
    const int height = plot.surface.height();
    const int innerWidth = width - kLeftBottomMargin - kTopRightMargin;
    std::vector<AxisTick> ticks;
    for (int k = 0; kGridSpacingX * k <= innerWidth; ++k) {
        const int column = kLeftBottomMargin + kGridSpacingX * k;
        const double value = RoundDecimals(PixelToValueX(plot, column), plot.xDecimals);
        ticks.push_back({column, formatGeneral(value, plot.decimalSeparator),
                         column - kXLabelShiftLeft,
                         height - kLeftBottomMargin + kXLabelBelowFrame});
    }
    return ticks;
}

std::vector<AxisTick> yAxisTicks(const PlotState& plot)
{
    const int height = plot.surface.height();
    const int innerHeight = height - kLeftBottomMargin - kTopRightMargin;
    std::vector<AxisTick> ticks;
    for (int k = 0; kGridSpacingY * k <= innerHeight; ++k) {
        const int row = height - kLeftBottomMargin - kGridSpacingY * k;
        const double value = RoundDecimals(PixelToValueY(plot, row), plot.yDecimals);
        ticks.push_back({row, formatGeneral(value, plot.decimalSeparator), kYLabelLeft, row});
    }
    return ticks;
}

}  // namespace kalvex::plot
