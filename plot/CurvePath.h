#pragma once
#include <QPolygon>

#include <vector>

namespace kalvex::plot {

// The pixel path of one curve as polylines. Curves are drawn beyond the frame up to the
// edge of the surface; only pieces that leave a wide guard band around the surface are cut
// there, because a deep zoom maps points millions of pixels away, where an integer
// coordinate would overflow and the rasteriser loses precision.
class CurvePath {
public:
    CurvePath(int width, int height);
    // The next vertex in floating point pixels; each is truncated toward zero.
    void lineTo(double px, double py);
    // Polylines of consecutive distinct pixels; a piece of a single pixel draws nothing.
    const std::vector<QPolygon>& pieces() const { return pieces_; }

private:
    bool inside(double px, double py) const;
    void addPoint(double px, double py, bool startsPiece);

    double left_, top_, right_, bottom_;  // the guard band's outer edges
    bool havePrevious_ = false;
    double previousX_ = 0, previousY_ = 0;
    bool pieceOpen_ = false;
    std::vector<QPolygon> pieces_;
};

}  // namespace kalvex::plot
