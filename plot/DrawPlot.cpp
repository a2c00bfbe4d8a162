#include "plot/AxisTicks.h"
#include "plot/CurvePath.h"
#include "plot/PlotGeometry.h"
#include "plot/PlotState.h"
#include "plot/SeriesWalk.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

namespace kalvex::plot {

namespace {

constexpr int kCurvePenWidth = 2;  // px

// Slot 0 red, slot 1 blue, slot 2 black, the saved run of a report green; drawn in this
// order, so the saved run lies on top.
QColor slotColour(std::size_t slot)
{
    static const QColor colours[kSlotCount] = {QColor(255, 0, 0), QColor(0, 0, 255),
                                               QColor(0, 0, 0), QColor(0, 150, 0)};
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
    const QFontMetrics metrics(font, &plot.surface);
    painter.setPen(thinPen(Qt::SolidLine, plot.surface.devicePixelRatio()));
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

void drawCurves(QPainter& painter, const PlotState& plot)
{
    painter.setClipRect(curveClip(plotWidth(plot), plotHeight(plot)));
    for (std::size_t s = 0; s < plot.series.size(); ++s) {
        const PlotSeries& slot = plot.series[s];
        if (slot.active != 1)
            continue;
        // Round ends; mitred joins cost a third of round ones, and on a curve of short
        // segments with gentle turns they look the same.
        QPen pen(slotColour(s), kCurvePenWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        painter.setPen(pen);
        CurvePath path(plotWidth(plot), plotHeight(plot));
        const int end = drawingWalkEnd(slot);
        for (int p = 0; p <= end; ++p)
            path.lineTo(ValueToPixelX(plot, slot.xValues[static_cast<std::size_t>(p)]),
                        ValueToPixelY(plot, slot.yValues[static_cast<std::size_t>(p)]));
        for (const QPolygon& piece : path.pieces())
            if (piece.size() > 1)
                painter.drawPolyline(piece);
    }
}

}  // namespace

void DrawPlot(PlotState& plot)
{
    if (plot.surface.isNull())
        return;
    plot.surface.fill(Qt::white);
    QPainter painter(&plot.surface);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int width = plotWidth(plot);
    const int height = plotHeight(plot);
    drawGrid(painter, width, height);
    drawFrame(painter, width, height);
    drawTicksAndLabels(painter, plot);
    drawCurves(painter, plot);
}

}  // namespace kalvex::plot
