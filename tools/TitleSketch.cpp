#include "Sketches.h"
#include "SketchKit.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace kalvex::tools {
namespace {

// Longitudinal section of a barrel along the bottom of the picture: chamber, forcing cone, bore.
constexpr double kAxisY = 84;
constexpr double kBreech = 12;
constexpr double kChamberEnd = 62;
constexpr double kConeEnd = 74;
constexpr double kMuzzle = 253;
constexpr double kChamberHalf = 11;
constexpr double kBoreHalf = 5;
constexpr double kWallHalf = 18;  // outer contour of the barrel at the chamber

QPainterPath boreContour(double side)
{
    QPainterPath path(QPointF(kBreech, kAxisY + side * kChamberHalf));
    path.lineTo(kChamberEnd, kAxisY + side * kChamberHalf);
    path.lineTo(kConeEnd, kAxisY + side * kBoreHalf);
    path.lineTo(kMuzzle, kAxisY + side * kBoreHalf);
    return path;
}

void drawBarrel(QPainter& p)
{
    QPainterPath outer;
    outer.moveTo(kBreech - 6, kAxisY - kWallHalf);
    outer.lineTo(kChamberEnd + 8, kAxisY - kWallHalf);
    outer.lineTo(kMuzzle, kAxisY - kBoreHalf - 6);
    outer.lineTo(kMuzzle, kAxisY + kBoreHalf + 6);
    outer.lineTo(kChamberEnd + 8, kAxisY + kWallHalf);
    outer.lineTo(kBreech - 6, kAxisY + kWallHalf);
    outer.closeSubpath();

    QPainterPath cavity;
    cavity.moveTo(kBreech, kAxisY - kChamberHalf);
    cavity.lineTo(kChamberEnd, kAxisY - kChamberHalf);
    cavity.lineTo(kConeEnd, kAxisY - kBoreHalf);
    cavity.lineTo(kMuzzle + 1, kAxisY - kBoreHalf);
    cavity.lineTo(kMuzzle + 1, kAxisY + kBoreHalf);
    cavity.lineTo(kConeEnd, kAxisY + kBoreHalf);
    cavity.lineTo(kChamberEnd, kAxisY + kChamberHalf);
    cavity.lineTo(kBreech, kAxisY + kChamberHalf);
    cavity.closeSubpath();

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(205, 212, 222));
    p.drawPath(outer.subtracted(cavity));
    p.setPen(QPen(kOutlineColour, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outer);
    p.drawPath(boreContour(-1));
    p.drawPath(boreContour(1));

    // The projectile on its way, a little past the forcing cone.
    QPainterPath projectile;
    const double base = 118;
    projectile.moveTo(base, kAxisY - kBoreHalf);
    projectile.lineTo(base + 14, kAxisY - kBoreHalf);
    projectile.quadTo(base + 24, kAxisY - kBoreHalf, base + 28, kAxisY);
    projectile.quadTo(base + 24, kAxisY + kBoreHalf, base + 14, kAxisY + kBoreHalf);
    projectile.lineTo(base, kAxisY + kBoreHalf);
    projectile.closeSubpath();
    p.setBrush(QColor(184, 134, 60));
    p.drawPath(projectile);
}

// Mean pressure over travel: a steep rise to the peak, then the long fall towards the muzzle.
void drawPressureCurve(QPainter& p)
{
    QPainterPath curve(QPointF(kChamberEnd - 8, 58));
    curve.cubicTo(QPointF(72, 8), QPointF(86, 10), QPointF(104, 26));
    curve.cubicTo(QPointF(140, 50), QPointF(200, 56), QPointF(kMuzzle, 59));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 25, 25), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
}

void drawName(QPainter& p)
{
    QFont name("Arial");
    name.setPixelSize(30);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(16, 48, 112));
    p.drawText(QRectF(120, 2, 140, 36), Qt::AlignRight | Qt::AlignVCenter, "Kalvex");
    QFont sub("Arial");
    sub.setPixelSize(11);
    p.setFont(sub);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(120, 34, 140, 14), Qt::AlignRight | Qt::AlignVCenter, "Interior Ballistics");
}

}  // namespace

QImage drawTitlePicture()
{
    QImage image = blankSketch(kTitleWidth, kTitleHeight);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, kTitleHeight);
    sky.setColorAt(0, QColor(250, 251, 255));
    sky.setColorAt(1, QColor(228, 234, 244));
    p.fillRect(image.rect(), sky);
    drawPressureCurve(p);
    drawBarrel(p);
    drawName(p);
    p.setPen(QPen(QColor(150, 160, 175), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

}  // namespace kalvex::tools
