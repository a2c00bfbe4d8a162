#include "Sketches.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kalvex::tools {
namespace {

constexpr double kSide = kIconSize;
constexpr double kCorner = kSide * 0.18;  // rounded tile, as desktop icons are drawn
constexpr double kMargin = kSide * 0.14;  // inner plotting area

// A pressure history: a steep rise to the peak, then the long fall as the projectile runs
// down the bore. t runs from 0 to 1 across the plotting area.
double pressureShape(double t)
{
    const double rise = t / 0.22;
    return rise * std::exp(1 - rise);  // peak of 1 at t = 0.22
}

QPainterPath pressureCurve(const QRectF& area)
{
    QPainterPath path(QPointF(area.left(), area.bottom()));
    constexpr int kPoints = 120;
    for (int i = 1; i <= kPoints; ++i) {
        const double t = static_cast<double>(i) / kPoints;
        path.lineTo(area.left() + t * area.width(), area.bottom() - pressureShape(t) * area.height());
    }
    return path;
}

// The projectile leaving the muzzle at the right edge, nose first.
QPainterPath projectile(double x, double y, double length)
{
    const double half = length * 0.18;
    QPainterPath path(QPointF(x, y - half));
    path.lineTo(x + length * 0.62, y - half);
    path.quadTo(x + length, y - half * 0.4, x + length, y);
    path.quadTo(x + length, y + half * 0.4, x + length * 0.62, y + half);
    path.lineTo(x, y + half);
    path.closeSubpath();
    return path;
}

}  // namespace

QImage drawIcon()
{
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient tile(0, 0, 0, kSide);
    tile.setColorAt(0, QColor(38, 70, 120));
    tile.setColorAt(1, QColor(16, 34, 66));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(4, 4, kSide - 8, kSide - 8), kCorner, kCorner);

    const QRectF area(kMargin, kMargin * 1.3, kSide - 2 * kMargin, kSide * 0.5);
    p.setPen(QPen(QColor(255, 255, 255, 90), kSide / 128));
    p.drawLine(QPointF(area.left(), area.bottom()), QPointF(area.right(), area.bottom()));
    p.drawLine(QPointF(area.left(), area.top()), QPointF(area.left(), area.bottom()));
    p.setPen(QPen(QColor(255, 190, 70), kSide / 28, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(pressureCurve(area));

    const double barrelY = kSide * 0.8;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 210, 225));
    p.drawRoundedRect(QRectF(kMargin, barrelY - kSide * 0.05, kSide * 0.5, kSide * 0.1), 4, 4);
    p.setBrush(QColor(255, 190, 70));
    p.drawPath(projectile(kMargin + kSide * 0.54, barrelY, kSide * 0.3));
    return image;
}

}  // namespace kalvex::tools
