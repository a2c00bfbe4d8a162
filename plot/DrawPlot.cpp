#include "plot/AxisTicks.h"
#include "plot/CurvePath.h"
#include "plot/PaintPlot.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotState.h"
#include "plot/SeriesWalk.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace kalvex::plot {

namespace {

constexpr int kCurvePenWidth = 2;  // px
constexpr double kMarkerRadius = 3;       // px, a measured value's circle
constexpr int kTitlePointSize = 8;        // axis titles and legend, smaller than the labels
constexpr int kTitleGap = 3;              // px between a title and the surface's edge
constexpr int kLegendInset = 6;           // px between the legend box and the frame
constexpr int kLegendSample = 18;         // px of line drawn before each name
constexpr int kLegendPadding = 4;         // px inside the legend box

// Slot 0 red, slot 1 blue, slot 2 black, the saved run of a report green; drawn in this
// order, so the saved run lies on top.
QColor slotColour(std::size_t slot)
{
    static const QColor colours[kSlotCount] = {QColor(255, 0, 0),   QColor(0, 0, 255),   QColor(0, 0, 0),
                                               QColor(0, 150, 0),   QColor(230, 130, 0), QColor(140, 0, 170),
                                               QColor(0, 150, 160), QColor(150, 90, 40), QColor(220, 0, 140),
                                               QColor(120, 120, 120)};
    return colours[slot];
}

// One logical pixel wide: a cosmetic pen is measured in device pixels, so on a surface of
// twice the pixels it takes two.
QPen thinPen(Qt::PenStyle style, qreal pixelRatio)
{
    QPen pen(Qt::black, pixelRatio, style);
    pen.setCosmetic(true);
    pen.setCapStyle(style == Qt::SolidLine ? Qt::SquareCap : Qt::FlatCap);
    return pen;
}

void drawGrid(QPainter& painter, int width, int height)
{
    painter.setPen(thinPen(Qt::DotLine, painter.device()->devicePixelRatio()));
    const int bottom = height - kLeftBottomMargin;
    const int right = width - kTopRightMargin;
    for (int column = kLeftBottomMargin; column <= right; column += kGridSpacingX)
        painter.drawLine(column, bottom, column, kTopRightMargin);
    for (int row = bottom; row >= kTopRightMargin; row -= kGridSpacingY)
        painter.drawLine(kLeftBottomMargin, row, right, row);
}

void drawFrame(QPainter& painter, int width, int height)
{
    painter.setPen(thinPen(Qt::SolidLine, painter.device()->devicePixelRatio()));
    const int bottom = height - kLeftBottomMargin;
    const int right = width - kTopRightMargin;
    const QPoint corners[5] = {{kLeftBottomMargin, kTopRightMargin},
                               {right, kTopRightMargin},
                               {right, bottom},
                               {kLeftBottomMargin, bottom},
                               {kLeftBottomMargin, kTopRightMargin}};
    painter.drawPolyline(corners, 5);
}

// Text with its top left corner at the given point, on an opaque white background.
void drawLabel(QPainter& painter, const QFontMetrics& metrics, const AxisTick& tick)
{
    const QString text = QString::fromStdString(tick.label);
    const QRect background(tick.labelLeft, tick.labelTop, metrics.horizontalAdvance(text),
                           metrics.height());
    painter.fillRect(background, Qt::white);
    painter.drawText(tick.labelLeft, tick.labelTop + metrics.ascent(), text);
}

void drawTicksAndLabels(QPainter& painter, const PlotState& plot)
{
    const QFont font = labelFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    painter.setPen(thinPen(Qt::SolidLine, painter.device()->devicePixelRatio()));
    const int bottom = plotHeight(plot) - kLeftBottomMargin;
    for (const AxisTick& tick : xAxisTicks(plot)) {
        painter.drawLine(tick.pixel, bottom - kTickHalfLength, tick.pixel,
                         bottom + kTickHalfLength);
        drawLabel(painter, metrics, tick);
    }
    for (const AxisTick& tick : yAxisTicks(plot)) {
        painter.drawLine(kLeftBottomMargin - kTickHalfLength, tick.pixel,
                         kLeftBottomMargin + kTickHalfLength, tick.pixel);
        drawLabel(painter, metrics, tick);
    }
}

// The curves stay inside the frame: after a zoom they would otherwise run over the labels
// into the margins. The clip takes in the frame lines and the half pen width beyond them, so a
// curve along a frame line at the automatic ranges looks as it did.
QRect curveClip(int width, int height)
{
    const int halfPen = kCurvePenWidth / 2;
    return QRect(QPoint(kLeftBottomMargin - halfPen, kTopRightMargin - halfPen),
                 QPoint(width - kTopRightMargin + halfPen, height - kLeftBottomMargin + halfPen));
}

void drawMarkers(QPainter& painter, const PlotState& plot, const PlotSeries& slot, QColor colour)
{
    painter.setPen(QPen(colour, kCurvePenWidth / 2.0));
    painter.setBrush(Qt::NoBrush);
    const int end = drawingWalkEnd(slot);
    for (int p = 0; p <= end; ++p) {
        const QPointF centre(ValueToPixelX(plot, slot.xValues[static_cast<std::size_t>(p)]),
                             ValueToPixelY(plot, slot.yValues[static_cast<std::size_t>(p)]));
        if (std::isfinite(centre.x()) && std::isfinite(centre.y()))
            painter.drawEllipse(centre, kMarkerRadius, kMarkerRadius);
    }
}

void drawCurves(QPainter& painter, const PlotState& plot, bool smooth)
{
    painter.save();
    painter.setClipRect(curveClip(plotWidth(plot), plotHeight(plot)));
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    for (std::size_t s = 0; s < plot.series.size(); ++s) {
        const PlotSeries& slot = plot.series[s];
        if (slot.active != 1)
            continue;
        if (slot.markers) {
            drawMarkers(painter, plot, slot, slotColour(s));
            continue;
        }
        // Round ends; mitred joins cost a third of round ones, and on a curve of short
        // segments with gentle turns they look the same.
        QPen pen(slotColour(s), kCurvePenWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        painter.setPen(pen);
        CurvePath path(plotWidth(plot), plotHeight(plot), !smooth);
        const int end = drawingWalkEnd(slot);
        for (int p = 0; p <= end; ++p)
            path.lineTo(ValueToPixelX(plot, slot.xValues[static_cast<std::size_t>(p)]),
                        ValueToPixelY(plot, slot.yValues[static_cast<std::size_t>(p)]));
        for (const QPolygon& piece : path.pieces())
            if (piece.size() > 1)
                painter.drawPolyline(piece);
        for (const QPolygonF& piece : path.exactPieces())
            if (piece.size() > 1)
                painter.drawPolyline(piece);
    }
    painter.restore();
}

QFont titleFont()
{
    QFont font = labelFont();
    font.setPointSize(kTitlePointSize);
    return font;
}

// The x title at the right end below the tick labels, the y title above the frame's top left
// corner: both in the margins, so the frame and the grid stay where they are.
void drawAxisTitles(QPainter& painter, const PlotState& plot)
{
    const QFont font = titleFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font, painter.device());
    const QString x = QString::fromStdString(plot.xTitle);
    const QString y = QString::fromStdString(plot.yTitle);
    const int right = plotWidth(plot) - kTopRightMargin;
    painter.drawText(right - metrics.horizontalAdvance(x), plotHeight(plot) - metrics.descent() - kTitleGap / 2, x);
    painter.drawText(kLeftBottomMargin, kTopRightMargin - kTitleGap - metrics.descent(), y);
}

// A box in the frame's top right corner: a piece of each named curve's line and its name.
void drawLegend(QPainter& painter, const PlotState& plot)
{
    const QFont font = titleFont();
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    int textWidth = 0;
    int rows = 0;
    for (const PlotSeries& slot : plot.series)
        if (slot.active == 1 && !slot.name.empty()) {
            textWidth = std::max(textWidth, metrics.horizontalAdvance(QString::fromStdString(slot.name)));
            ++rows;
        }
    const int rowHeight = metrics.height();
    const int boxWidth = 2 * kLegendPadding + kLegendSample + kLegendPadding + textWidth;
    const int boxHeight = 2 * kLegendPadding + rows * rowHeight;
    const QRect box(plotWidth(plot) - kTopRightMargin - kLegendInset - boxWidth, kTopRightMargin + kLegendInset,
                    boxWidth, boxHeight);
    painter.save();
    painter.fillRect(box, Qt::white);
    painter.setPen(thinPen(Qt::SolidLine, painter.device()->devicePixelRatio()));
    painter.drawRect(box);
    painter.setRenderHint(QPainter::Antialiasing, true);
    int row = 0;
    for (std::size_t s = 0; s < plot.series.size(); ++s) {
        const PlotSeries& slot = plot.series[s];
        if (slot.active != 1 || slot.name.empty())
            continue;
        const int top = box.top() + kLegendPadding + row * rowHeight;
        const double middle = top + rowHeight / 2.0;
        const double left = box.left() + kLegendPadding;
        if (slot.markers) {
            painter.setPen(QPen(slotColour(s), kCurvePenWidth / 2.0));
            painter.drawEllipse(QPointF(left + kLegendSample / 2.0, middle), kMarkerRadius, kMarkerRadius);
        } else {
            painter.setPen(QPen(slotColour(s), kCurvePenWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(left, middle), QPointF(left + kLegendSample, middle));
        }
        painter.setPen(Qt::black);
        painter.drawText(box.left() + 2 * kLegendPadding + kLegendSample, top + metrics.ascent(),
                         QString::fromStdString(slot.name));
        ++row;
    }
    painter.restore();
}

}  // namespace

int namedCurveCount(const PlotState& plot)
{
    return static_cast<int>(std::count_if(plot.series.begin(), plot.series.end(), [](const PlotSeries& slot) {
        return slot.active == 1 && !slot.name.empty();
    }));
}

PaintStyle screenStyle(const PlotState& plot)
{
    PaintStyle style;
    style.smoothCurves = plot.surface.devicePixelRatio() > 1;
    style.annotated = namedCurveCount(plot) > 1;
    return style;
}

PaintStyle exportStyle()
{
    return PaintStyle{true, true};
}

void paintPlot(QPainter& painter, const PlotState& plot, const PaintStyle& style)
{
    const int width = plotWidth(plot);
    const int height = plotHeight(plot);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawGrid(painter, width, height);
    drawFrame(painter, width, height);
    drawTicksAndLabels(painter, plot);
    drawCurves(painter, plot, style.smoothCurves);
    if (!style.annotated)
        return;
    if (!plot.xTitle.empty() || !plot.yTitle.empty())
        drawAxisTitles(painter, plot);
    if (namedCurveCount(plot) > 1)
        drawLegend(painter, plot);
}

void DrawPlot(PlotState& plot)
{
    if (plot.surface.isNull())
        return;
    plot.surface.fill(Qt::white);
    QPainter painter(&plot.surface);
    paintPlot(painter, plot, screenStyle(plot));
}

}  // namespace kalvex::plot
