#include "plot/AxisTicks.h"

#include "core/format/NumberFormat.h"
#include "plot/PlotGeometry.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>

namespace kalvex::plot {

namespace {

constexpr int kXLabelShiftLeft = 5;    // px left of the tick column
constexpr int kXLabelBelowFrame = 6;   // px below the frame line, just under the tick
constexpr int kYLabelLeft = 5;         // px from the surface's left edge
constexpr int kYLabelRoom = kLeftBottomMargin - kYLabelLeft;  // px from a y label's left to the frame
constexpr int kLabelPointSize = 10;
const char* const kLabelFamily = "Arial";
// Most decimals a label takes to tell two ticks apart; beyond it (spans of no real size,
// as when every value is 0) the labels keep the decimals of the span.
constexpr int kMostLabelDecimals = 9;
constexpr double kTickSpacingAccuracy = 0.01;  // a label's spacing true to a percent
constexpr int kXLabelGap = 4;  // px at least between two x labels

// Labels wider than the grid's spacing would run into each other (a narrow plot whose spacing
// needs many decimals): every n-th tick keeps its label, the first among them, the others none.
void thinXLabels(std::vector<AxisTick>& ticks)
{
    const QFontMetrics metrics(labelFont());
    int widest = 0;
    for (const AxisTick& tick : ticks)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(tick.label)));
    const int every = std::max(1, (widest + kXLabelGap + kGridSpacingX - 1) / kGridSpacingX);
    for (std::size_t i = 0; i < ticks.size(); ++i)
        if (i % static_cast<std::size_t>(every) != 0)
            ticks[i].label.clear();
}

bool adjacentRoundedAlike(const std::vector<double>& values, int decimals)
{
    for (std::size_t i = 1; i < values.size(); ++i)
        if (RoundDecimals(values[i - 1], decimals) == RoundDecimals(values[i], decimals))
            return true;
    return false;
}

// The decimals follow the span, not the tick spacing, so on a plot larger than its first size
// two neighbours can read the same: then add decimals until every two neighbours differ.
int distinctDecimals(const std::vector<double>& values, int decimals)
{
    if (!adjacentRoundedAlike(values, decimals))
        return decimals;
    for (int more = decimals + 1; more <= kMostLabelDecimals; ++more)
        if (!adjacentRoundedAlike(values, more))
            return more;
    return decimals;
}

// On a plot larger than its design size the grid's spacing is no round step of the data:
// each label gets the decimals that spacing needs, so the labels read as a scale.
int scaleDecimals(int decimals, int side, int designSide, double spacing)
{
    return side > designSide ? std::max(decimals, decimalsForTickSpacing(spacing)) : decimals;
}

int widestLabel(const std::vector<double>& values, int decimals, char separator)
{
    const QFontMetrics metrics(labelFont());
    int widest = 0;
    for (double value : values)
        widest = std::max(widest, metrics.horizontalAdvance(
                                      QString::fromStdString(formatGeneral(RoundDecimals(value, decimals), separator))));
    return widest;
}

// The y labels stand left of the frame: the spacing's decimals only as far as the labels keep
// clear of the frame line, never fewer than the span gives.
int fittingYDecimals(const std::vector<double>& values, int spanDecimals, int spacingDecimals, char separator)
{
    for (int decimals = spacingDecimals; decimals > spanDecimals; --decimals)
        if (widestLabel(values, decimals, separator) <= kYLabelRoom)
            return decimals;
    return spanDecimals;
}

}  // namespace

int decimalsForTickSpacing(double spacing)
{
    spacing = std::fabs(spacing);
    if (!(spacing > 0) || !std::isfinite(spacing))
        return 0;
    for (int decimals = 0; decimals < kMostLabelDecimals; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        if (std::fabs(std::round(spacing * scale) / scale - spacing) <= kTickSpacingAccuracy * spacing)
            return decimals;
    }
    return kMostLabelDecimals;
}

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
    const int width = plotWidth(plot);
    const int height = plotHeight(plot);
    const int innerWidth = width - kLeftBottomMargin - kTopRightMargin;
    std::vector<int> columns;
    std::vector<double> values;
    for (int k = 0; kGridSpacingX * k <= innerWidth; ++k) {
        columns.push_back(kLeftBottomMargin + kGridSpacingX * k);
        values.push_back(PixelToValueX(plot, columns.back()));
    }
    const double spacing = PixelToValueX(plot, kLeftBottomMargin + kGridSpacingX) - PixelToValueX(plot, kLeftBottomMargin);
    const int decimals = scaleDecimals(distinctDecimals(values, plot.xDecimals), width, kDesignWidth, spacing);
    std::vector<AxisTick> ticks;
    for (std::size_t i = 0; i < columns.size(); ++i)
        ticks.push_back({columns[i], formatGeneral(RoundDecimals(values[i], decimals), plot.decimalSeparator),
                         columns[i] - kXLabelShiftLeft, height - kLeftBottomMargin + kXLabelBelowFrame});
    thinXLabels(ticks);
    return ticks;
}

std::vector<AxisTick> yAxisTicks(const PlotState& plot)
{
    const int height = plotHeight(plot);
    const int innerHeight = height - kLeftBottomMargin - kTopRightMargin;
    std::vector<int> rows;
    std::vector<double> values;
    for (int k = 0; kGridSpacingY * k <= innerHeight; ++k) {
        rows.push_back(height - kLeftBottomMargin - kGridSpacingY * k);
        values.push_back(PixelToValueY(plot, rows.back()));
    }
    const double spacing = PixelToValueY(plot, height - kLeftBottomMargin - kGridSpacingY) -
                           PixelToValueY(plot, height - kLeftBottomMargin);
    const int spanDecimals = distinctDecimals(values, plot.yDecimals);
    const int decimals = fittingYDecimals(values, spanDecimals,
                                          scaleDecimals(spanDecimals, height, kDesignHeight, spacing),
                                          plot.decimalSeparator);
    std::vector<AxisTick> ticks;
    for (std::size_t i = 0; i < rows.size(); ++i)
        ticks.push_back({rows[i], formatGeneral(RoundDecimals(values[i], decimals), plot.decimalSeparator),
                         kYLabelLeft, rows[i]});
    return ticks;
}

}  // namespace kalvex::plot
