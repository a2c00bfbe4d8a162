#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>

// Small drawing helpers shared by the sketches: outlines, hidden lines and dimension lines.
namespace kalvex::tools {

inline const QColor kOutlineColour(20, 20, 20);
inline const QColor kDimensionColour(0, 60, 160);

// A white image with an antialiased painter prepared for outlines.
QImage blankSketch(int width, int height);
void prepareOutline(QPainter& p);
void prepareHidden(QPainter& p);  // dashed, for edges behind a surface
void prepareDimension(QPainter& p);

// A dimension from a to b, drawn shifted by offset, with thin extension lines from the
// measured points and arrowheads at both ends; the label sits beyond the line's middle.
void dimension(QPainter& p, QPointF a, QPointF b, QPointF offset, const QString& label);
// A dimension whose arrows point inward from outside, for gaps too narrow for arrows inside.
void narrowDimension(QPainter& p, QPointF a, QPointF b, const QString& label, QPointF labelAt);
void arrowHead(QPainter& p, QPointF tip, QPointF from);
// A label centred on a point, in the sketches' font.
void label(QPainter& p, QPointF centre, const QString& text, int pixelSize = 13, bool bold = true);

}  // namespace kalvex::tools
