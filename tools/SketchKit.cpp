#include "SketchKit.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QPolygonF>

#include <cmath>

namespace kalvex::tools {
namespace {

constexpr double kOutlineWidth = 1.6;
constexpr double kThinWidth = 1.0;
constexpr double kArrowLength = 7.0;
constexpr double kArrowHalfWidth = 2.6;
constexpr double kExtensionOvershoot = 3.0;  // extension lines run a little past the dimension line
constexpr double kLabelGap = 9.0;             // label centre beyond the dimension line

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

}  // namespace

QImage blankSketch(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void prepareOutline(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kOutlineColour, kOutlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void prepareHidden(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(kOutlineColour, kThinWidth, Qt::CustomDashLine);
    pen.setDashPattern({4, 3});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void prepareDimension(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDimensionColour, kThinWidth));
    p.setBrush(Qt::NoBrush);
}

void arrowHead(QPainter& p, QPointF tip, QPointF from)
{
    const QPointF along = unit(tip - from);
    const QPointF across(-along.y(), along.x());
    const QPointF base = tip - along * kArrowLength;
    const QPolygonF head({tip, base + across * kArrowHalfWidth, base - across * kArrowHalfWidth});
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.restore();
}

void dimension(QPainter& p, QPointF a, QPointF b, QPointF offset, const QString& text)
{
    p.save();
    prepareDimension(p);
    const QPointF out = unit(offset);
    const QPointF a2 = a + offset;
    const QPointF b2 = b + offset;
    if (offset != QPointF()) {
        p.drawLine(a + out * 2, a2 + out * kExtensionOvershoot);
        p.drawLine(b + out * 2, b2 + out * kExtensionOvershoot);
    }
    p.drawLine(a2, b2);
    arrowHead(p, a2, b2);
    arrowHead(p, b2, a2);
    QPointF side = out;
    if (side == QPointF()) {
        const QPointF along = unit(b - a);
        side = QPointF(along.y(), -along.x());
    }
    label(p, (a2 + b2) / 2 + side * kLabelGap, text);
    p.restore();
}

void narrowDimension(QPainter& p, QPointF a, QPointF b, const QString& text, QPointF labelAt)
{
    p.save();
    prepareDimension(p);
    const QPointF along = unit(b - a);
    const double tail = kArrowLength + 6;
    p.drawLine(a - along * tail, a);
    p.drawLine(b, b + along * tail);
    arrowHead(p, a, a - along * tail);
    arrowHead(p, b, b + along * tail);
    label(p, labelAt, text);
    p.restore();
}

void label(QPainter& p, QPointF centre, const QString& text, int pixelSize, bool bold)
{
    p.save();
    QFont font("Arial");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QRectF box(centre.x() - metrics.horizontalAdvance(text) / 2 - 1,
                     centre.y() - metrics.height() / 2, metrics.horizontalAdvance(text) + 2,
                     metrics.height());
    p.setPen(kDimensionColour);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

}  // namespace kalvex::tools
