#include "Sketches.h"
#include "SketchKit.h"

#include <QPainter>
#include <QRectF>

#include <cmath>
#include <numbers>
#include <vector>

namespace kalvex::tools {
namespace {

// Cylinder-like grains are shown in two views: the end face on the left, the side on the right.
constexpr QPointF kEndCentre(58, 70);
constexpr double kEndRadius = 42;
constexpr double kSideLeft = 128;
constexpr double kSideRight = 184;
constexpr double kDimensionDrop = 56;  // from the axis down to the D and L dimension lines

struct Hole {
    QPointF centre;
    double radius;
};

void drawCircle(QPainter& p, QPointF centre, double radius)
{
    p.drawEllipse(centre, radius, radius);
}

// Holes spaced evenly on a ring, the first at startDeg (counter-clockwise from the right).
void addRing(std::vector<Hole>& holes, int count, double ringRadius, double holeRadius,
             double startDeg)
{
    for (int i = 0; i < count; ++i) {
        const double a = (startDeg + 360.0 * i / count) * std::numbers::pi / 180;
        holes.push_back({kEndCentre + QPointF(ringRadius * std::cos(a), -ringRadius * std::sin(a)),
                         holeRadius});
    }
}

void drawSideView(QPainter& p, const std::vector<double>& hiddenBoreRadii)
{
    prepareOutline(p);
    p.drawRect(QRectF(QPointF(kSideLeft, kEndCentre.y() - kEndRadius),
                      QPointF(kSideRight, kEndCentre.y() + kEndRadius)));
    prepareHidden(p);
    for (double r : hiddenBoreRadii) {
        p.drawLine(QPointF(kSideLeft, kEndCentre.y() - r), QPointF(kSideRight, kEndCentre.y() - r));
        p.drawLine(QPointF(kSideLeft, kEndCentre.y() + r), QPointF(kSideRight, kEndCentre.y() + r));
    }
}

// D under the end face and L under the side view, on one line.
void drawDiameterAndLength(QPainter& p)
{
    const double axis = kEndCentre.y();
    dimension(p, QPointF(kEndCentre.x() - kEndRadius, axis), QPointF(kEndCentre.x() + kEndRadius, axis),
              QPointF(0, kDimensionDrop), "D");
    const double bottom = axis + kEndRadius;
    dimension(p, QPointF(kSideLeft, bottom), QPointF(kSideRight, bottom),
              QPointF(0, kDimensionDrop - kEndRadius), "L");
}

// The diameter of one perforation, marked by a leader from a label outside the grain.
void drawHoleLeader(QPainter& p, const Hole& hole, QPointF labelAt)
{
    p.save();
    prepareDimension(p);
    const QPointF towards = labelAt - hole.centre;
    const QPointF edge = hole.centre + towards / std::hypot(towards.x(), towards.y()) * hole.radius;
    const QPointF start = labelAt + QPointF(-6, 6);
    p.drawLine(start, edge);
    arrowHead(p, edge, start);
    p.restore();
    label(p, labelAt, "P");
}

void drawSphere(QPainter& p)
{
    const QPointF c(100, 68);
    const double r = 52;
    const double equatorHeight = 14;  // half height of the equator seen slightly from above
    prepareOutline(p);
    drawCircle(p, c, r);
    const QRectF equator(c.x() - r, c.y() - equatorHeight, 2 * r, 2 * equatorHeight);
    p.setPen(QPen(kOutlineColour, 1.0));
    p.drawArc(equator, 180 * 16, 180 * 16);  // the front half
    prepareHidden(p);
    p.drawArc(equator, 0, 180 * 16);  // the back half
    dimension(p, QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()), QPointF(0, r + 14), "D");
}

void drawSlab(QPainter& p)
{
    const QPointF a(30, 122);      // front bottom left corner
    const QPointF length(108, 0);  // L along the front
    const QPointF width(48, -38);  // D going back
    const QPointF thick(0, -20);   // P upwards
    prepareOutline(p);
    p.drawPolygon(QPolygonF({a, a + length, a + length + thick, a + thick}));
    p.drawPolygon(QPolygonF({a + thick, a + length + thick, a + length + thick + width, a + thick + width}));
    p.drawPolygon(QPolygonF({a + length, a + length + width, a + length + width + thick, a + length + thick}));
    prepareHidden(p);
    p.drawLine(a, a + width);
    p.drawLine(a + width, a + width + length);
    p.drawLine(a + width, a + width + thick);
    dimension(p, a, a + length, QPointF(0, 14), "L");
    dimension(p, a + thick, a, QPointF(-12, 0), "P");
    dimension(p, a + length, a + length + width, QPointF(9, 11), "D");
}

void drawCylinder(QPainter& p)
{
    prepareOutline(p);
    drawCircle(p, kEndCentre, kEndRadius);
    drawSideView(p, {});
    drawDiameterAndLength(p);
}

constexpr double kBoreRadius = 14;

void drawTube(QPainter& p)
{
    prepareOutline(p);
    drawCircle(p, kEndCentre, kEndRadius);
    drawCircle(p, kEndCentre, kBoreRadius);
    drawSideView(p, {kBoreRadius});
    drawDiameterAndLength(p);
    dimension(p, kEndCentre - QPointF(kBoreRadius, 0), kEndCentre + QPointF(kBoreRadius, 0), QPointF(), "P");
}

void drawSlottedTube(QPainter& p)
{
    constexpr double halfSlot = 5;  // the slot runs from the bore to the outside, to the right
    const double outerGap = std::asin(halfSlot / kEndRadius) * 180 / std::numbers::pi;
    const double boreGap = std::asin(halfSlot / kBoreRadius) * 180 / std::numbers::pi;
    const auto ring = [](double r) {
        return QRectF(kEndCentre.x() - r, kEndCentre.y() - r, 2 * r, 2 * r);
    };
    prepareOutline(p);
    p.drawArc(ring(kEndRadius), qRound(outerGap * 16), qRound((360 - 2 * outerGap) * 16));
    p.drawArc(ring(kBoreRadius), qRound(boreGap * 16), qRound((360 - 2 * boreGap) * 16));
    const double boreX = std::sqrt(kBoreRadius * kBoreRadius - halfSlot * halfSlot);
    const double outerX = std::sqrt(kEndRadius * kEndRadius - halfSlot * halfSlot);
    for (double dy : {-halfSlot, halfSlot})
        p.drawLine(kEndCentre + QPointF(boreX, dy), kEndCentre + QPointF(outerX, dy));

    // Seen from the right, the slot faces the viewer along the whole length.
    drawSideView(p, {kBoreRadius});
    prepareOutline(p);
    for (double dy : {-halfSlot, halfSlot})
        p.drawLine(QPointF(kSideLeft, kEndCentre.y() + dy), QPointF(kSideRight, kEndCentre.y() + dy));

    drawDiameterAndLength(p);
    dimension(p, kEndCentre + QPointF(0, kBoreRadius), kEndCentre - QPointF(0, kBoreRadius), QPointF(), "P");
    const double markX = kEndCentre.x() + kEndRadius + 8;
    p.save();
    prepareDimension(p);
    for (double dy : {-halfSlot, halfSlot})
        p.drawLine(kEndCentre + QPointF(outerX + 2, dy), QPointF(markX + 3, kEndCentre.y() + dy));
    p.restore();
    narrowDimension(p, QPointF(markX, kEndCentre.y() - halfSlot), QPointF(markX, kEndCentre.y() + halfSlot),
                    "SW", QPointF(markX + 2, kEndCentre.y() - 30));
}

void drawPerforated(QPainter& p, const std::vector<Hole>& holes, const Hole& marked)
{
    prepareOutline(p);
    drawCircle(p, kEndCentre, kEndRadius);
    for (const Hole& h : holes)
        drawCircle(p, h.centre, h.radius);
    drawSideView(p, {holes.front().radius});  // the central perforation
    drawDiameterAndLength(p);
    drawHoleLeader(p, marked, kEndCentre + QPointF(kEndRadius + 2, -kEndRadius - 4));
}

void drawSevenPerforated(QPainter& p)
{
    constexpr double holeRadius = 6;
    std::vector<Hole> holes{{kEndCentre, holeRadius}};
    addRing(holes, 6, 23, holeRadius, 30);
    drawPerforated(p, holes, holes[1]);  // the upper right one, at 30 degrees
}

void drawNineteenPerforated(QPainter& p)
{
    constexpr double holeRadius = 4;
    std::vector<Hole> holes{{kEndCentre, holeRadius}};
    addRing(holes, 6, 15, holeRadius, 30);
    addRing(holes, 12, 29, holeRadius, 45);
    drawPerforated(p, holes, holes[7]);  // the outer one at 45 degrees
}

}  // namespace

QImage drawGrainSketch(int grainType)
{
    QImage image = blankSketch(kGrainSketchWidth, kGrainSketchHeight);
    QPainter p(&image);
    switch (grainType) {
    case 1: drawSphere(p); break;
    case 2: drawSlab(p); break;
    case 3: drawCylinder(p); break;
    case 4: drawTube(p); break;
    case 5: drawSlottedTube(p); break;
    case 6: drawSevenPerforated(p); break;
    case 7: drawNineteenPerforated(p); break;
    default: break;
    }
    return image;
}

}  // namespace kalvex::tools
