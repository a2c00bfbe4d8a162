#include "tools/verification/Figure.h"

#include "plot/PlotGeometry.h"
#include "plot/PlotState.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <tuple>
#include <utility>

namespace kalvex::verification {

namespace {

constexpr int kPlotWidth = 620;
constexpr int kPlotHeight = 360;
constexpr int kTitleBand = 46;    // px above the plot: title and legend
constexpr int kCaptionBand = 22;  // px below and left of the plot: axis captions
const QColor kSlotColours[3] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 0, 0)};

// A curve of every recorded step can have more points than a slot holds: every k-th point is
// taken, and always the last one.
void fillSlot(plot::PlotState& state, const std::vector<CurvePoint>& points, int slot)
{
    const std::size_t stride = points.size() / (plot::kSlotCapacity - 1) + 1;
    std::vector<double> xs, ys;
    for (std::size_t k = 0; k < points.size(); k += stride) {
        xs.push_back(points[k].x);
        ys.push_back(points[k].y);
    }
    if ((points.size() - 1) % stride != 0) {
        xs.push_back(points.back().x);
        ys.push_back(points.back().y);
    }
    plot::SetSeries(state, xs.data(), ys.data(), 0, static_cast<int>(xs.size()) - 1, 1, slot);
}

// Markers on the drawn surface, placed by the plot's own value-to-pixel mapping.
void drawMarkers(plot::PlotState& state, const std::vector<Marker>& markers)
{
    constexpr double kDotRadius = 4;  // px
    constexpr double kBarHalfWidth = 5;
    QPainter painter(&state.surface);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Marker& m : markers) {
        const QColor colour = kSlotColours[m.slot];
        painter.setPen(QPen(colour, 2));
        const double px = plot::ValueToPixelX(state, m.x);
        if (m.high > m.low) {
            const double top = plot::ValueToPixelY(state, m.high), bottom = plot::ValueToPixelY(state, m.low);
            painter.drawLine(QPointF(px, top), QPointF(px, bottom));
            painter.drawLine(QPointF(px - kBarHalfWidth, top), QPointF(px + kBarHalfWidth, top));
            painter.drawLine(QPointF(px - kBarHalfWidth, bottom), QPointF(px + kBarHalfWidth, bottom));
        }
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(px, plot::ValueToPixelY(state, m.y)), kDotRadius, kDotRadius);
    }
}

// The axis range from `low` whose ticks, `ticks` grid spacings apart per frame, fall on the
// smallest round step that still holds `high`.
std::pair<double, double> roundAxis(double low, double high, double ticks)
{
    for (double step : {0.25, 0.5, 1.0, 2.0, 5.0, 10.0}) {
        const double from = std::floor(low / step) * step;
        if (from + step * std::floor(ticks) >= high)
            return {from, from + step * ticks};
    }
    return {low, high};
}

}  // namespace

void roundTicksAround(Figure& f)
{
    double xLow = std::numeric_limits<double>::infinity(), yLow = xLow;
    double xHigh = -xLow, yHigh = -xLow;
    for (const std::vector<CurvePoint>& curve : f.curves)
        for (const CurvePoint& q : curve) {
            xLow = std::min(xLow, q.x);
            xHigh = std::max(xHigh, q.x);
            yLow = std::min(yLow, q.y);
            yHigh = std::max(yHigh, q.y);
        }
    const double frameWidth = kPlotWidth - plot::kLeftBottomMargin - plot::kTopRightMargin;
    const double frameHeight = kPlotHeight - plot::kLeftBottomMargin - plot::kTopRightMargin;
    f.fixedRange = true;
    std::tie(f.xMin, f.xMax) = roundAxis(xLow, xHigh, frameWidth / plot::kGridSpacingX);
    std::tie(f.yMin, f.yMax) = roundAxis(yLow, yHigh, frameHeight / plot::kGridSpacingY);
}

QImage drawFigure(const Figure& f)
{
    auto state = std::make_unique<plot::PlotState>();
    plot::InitPlot(*state, kPlotWidth, kPlotHeight);
    for (int slot = 0; slot < 3; ++slot)
        if (!f.curves[static_cast<std::size_t>(slot)].empty())
            fillSlot(*state, f.curves[static_cast<std::size_t>(slot)], slot);
    if (f.fixedRange) {
        state->xMin = f.xMin;
        state->xMax = f.xMax;
        state->yMin = f.yMin;
        state->yMax = f.yMax;
        state->xDecimals = plot::DecimalsForSpan(f.xMax - f.xMin, state->xDecimals);
        state->yDecimals = plot::DecimalsForSpan(f.yMax - f.yMin, state->yDecimals);
        plot::DrawPlot(*state);
    }
    drawMarkers(*state, f.markers);
    return frameFigure(state->surface, f);
}

QImage frameFigure(const QImage& plot, const Figure& f)
{
    const int plotHeight = plot.height();
    QImage image(plot.width() + kCaptionBand, plotHeight + kTitleBand + kCaptionBand, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(kCaptionBand, kTitleBand, plot);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 2, image.width(), 20), Qt::AlignHCenter, f.title);
    font.setBold(false);
    font.setPixelSize(12);
    painter.setFont(font);
    int legendX = kCaptionBand + 40;
    for (int slot = 0; slot < 3; ++slot) {
        const QString& text = f.legend[static_cast<std::size_t>(slot)];
        if (text.isEmpty())
            continue;
        painter.setPen(QPen(kSlotColours[slot], 2));
        painter.drawLine(legendX, 33, legendX + 24, 33);
        painter.setPen(Qt::black);
        painter.drawText(legendX + 30, 38, text);
        legendX += 30 + painter.fontMetrics().horizontalAdvance(text) + 24;
    }
    painter.drawText(QRect(kCaptionBand, image.height() - kCaptionBand, plot.width(), kCaptionBand),
                     Qt::AlignHCenter | Qt::AlignVCenter, f.xCaption);
    painter.save();
    painter.translate(0, kTitleBand + plotHeight / 2);
    painter.rotate(-90);
    painter.drawText(QRect(-plotHeight / 2, 0, plotHeight, kCaptionBand), Qt::AlignHCenter | Qt::AlignVCenter,
                     f.yCaption);
    painter.restore();
    return image;
}

}  // namespace kalvex::verification
