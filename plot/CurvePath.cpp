#include "plot/CurvePath.h"

#include <cmath>

namespace kalvex::plot {

namespace {

// Far enough outside the surface that a cut there shifts nothing visible on it, close
// enough that the rasteriser's fixed-point coordinates cannot overflow.
constexpr double kGuardBand = 4096;  // px

struct Segment {
    double x0, y0, x1, y1;
};

// Cuts a segment to the rectangle (Liang-Barsky); false when nothing of it lies inside.
bool clipSegment(Segment& s, double left, double top, double right, double bottom)
{
    const double dx = s.x1 - s.x0;
    const double dy = s.y1 - s.y0;
    double tEnter = 0, tLeave = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.x0 - left, right - s.x0, s.y0 - top, bottom - s.y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > tLeave)
                return false;
            if (t > tEnter)
                tEnter = t;
        } else {
            if (t < tEnter)
                return false;
            if (t < tLeave)
                tLeave = t;
        }
    }
    const Segment whole = s;
    s.x0 = whole.x0 + tEnter * dx;
    s.y0 = whole.y0 + tEnter * dy;
    s.x1 = whole.x0 + tLeave * dx;
    s.y1 = whole.y0 + tLeave * dy;
    return true;
}

}  // namespace

CurvePath::CurvePath(int width, int height, bool wholePixels)
    : left_(-kGuardBand), top_(-kGuardBand), right_(width + kGuardBand),
      bottom_(height + kGuardBand), wholePixels_(wholePixels)
{
}

bool CurvePath::inside(double px, double py) const
{
    return px >= left_ && px <= right_ && py >= top_ && py <= bottom_;
}

void CurvePath::addPoint(double px, double py, bool startsPiece)
{
    if (!wholePixels_) {
        if (startsPiece || !pieceOpen_) {
            exactPieces_.emplace_back();
            pieceOpen_ = true;
        }
        const QPointF point(px, py);
        QPolygonF& piece = exactPieces_.back();
        if (piece.isEmpty() || piece.constLast() != point)
            piece << point;
        return;
    }
    if (startsPiece || !pieceOpen_) {
        pieces_.emplace_back();
        pieceOpen_ = true;
    }
    const QPoint point(static_cast<int>(std::trunc(px)), static_cast<int>(std::trunc(py)));
    QPolygon& piece = pieces_.back();
    if (piece.isEmpty() || piece.constLast() != point)  // a zero-length line draws nothing
        piece << point;
}

void CurvePath::lineTo(double px, double py)
{
    if (!std::isfinite(px) || !std::isfinite(py)) {  // no place on any plot: break the curve
        havePrevious_ = false;
        pieceOpen_ = false;
        return;
    }
    if (!havePrevious_) {
        havePrevious_ = true;
        previousX_ = px;
        previousY_ = py;
        if (inside(px, py))
            addPoint(px, py, true);
        return;
    }
    Segment s{previousX_, previousY_, px, py};
    const bool startInside = inside(previousX_, previousY_);
    const bool endInside = inside(px, py);
    previousX_ = px;
    previousY_ = py;
    if (startInside && endInside) {
        addPoint(px, py, false);
        return;
    }
    if (!clipSegment(s, left_, top_, right_, bottom_)) {
        pieceOpen_ = false;
        return;
    }
    if (!startInside)
        addPoint(s.x0, s.y0, true);
    addPoint(s.x1, s.y1, false);
    if (!endInside)
        pieceOpen_ = false;
}

}  // namespace kalvex::plot
