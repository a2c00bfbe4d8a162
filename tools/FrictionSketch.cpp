#include "Sketches.h"
#include "SketchKit.h"

#include <QPainter>
#include <QPolygonF>

namespace kalvex::tools {
namespace {

// Plot frame of the sketch: the origin of the axes and their ends, in pixels.
constexpr QPointF kOrigin(30, 140);
constexpr double kAxisRight = 226;
constexpr double kAxisTop = 36;

// The profile as fractions of the axes: (travel, resistance) at x0, xe0, xe and xm.
struct ProfilePoint {
    const char* name;
    double travel;      // share of the x axis
    double resistance;  // share of the br axis
};
constexpr ProfilePoint kProfile[] = {
    {"x0", 0.0, 0.45}, {"xe0", 0.14, 0.92}, {"xe", 0.30, 0.30}, {"xm", 0.92, 0.16}};

QPointF toPixels(const ProfilePoint& q)
{
    return {kOrigin.x() + q.travel * (kAxisRight - kOrigin.x() - 10),
            kOrigin.y() - q.resistance * (kOrigin.y() - kAxisTop - 4)};
}

void drawAxes(QPainter& p)
{
    prepareOutline(p);
    p.setPen(QPen(kOutlineColour, 1.2));
    const QPointF xEnd(kAxisRight, kOrigin.y());
    const QPointF yEnd(kOrigin.x(), kAxisTop);
    p.drawLine(kOrigin, xEnd);
    p.drawLine(kOrigin, yEnd);
    arrowHead(p, xEnd, kOrigin);
    arrowHead(p, yEnd, kOrigin);
    label(p, xEnd + QPointF(4, -10), "x");
    label(p, yEnd + QPointF(-16, 4), "br");
}

}  // namespace

QImage drawBoreResistanceSketch()
{
    QImage image = blankSketch(kFrictionSketchWidth, kFrictionSketchHeight);
    QPainter p(&image);
    label(p, QPointF(kFrictionSketchWidth / 2.0, 13), "Bore Resistance due to Friction", 13, true);
    drawAxes(p);

    QPolygonF curve;
    for (const ProfilePoint& q : kProfile)
        curve << toPixels(q);

    prepareHidden(p);
    for (const ProfilePoint& q : kProfile) {
        const QPointF at = toPixels(q);
        if (q.travel > 0)
            p.drawLine(at, QPointF(at.x(), kOrigin.y()));
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(190, 20, 20), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(curve);
    p.setBrush(QColor(190, 20, 20));
    for (const QPointF& at : curve)
        p.drawEllipse(at, 2.5, 2.5);

    for (const ProfilePoint& q : kProfile)
        label(p, QPointF(toPixels(q).x(), kOrigin.y() + 13), q.name, 12, false);
    return image;
}

}  // namespace kalvex::tools
