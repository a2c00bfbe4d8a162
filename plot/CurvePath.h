#pragma once
#include <QPolygon>
#include <QPolygonF>

#include <vector>

namespace kalvex::plot {

// The pixel path of one curve as polylines. Curves are drawn beyond the frame up to the
// edge of the surface; only pieces that leave a wide guard band around the surface are cut
// there, because a deep zoom maps points millions of pixels away, where an integer
// coordinate would overflow and the rasteriser loses precision.
class CurvePath {
public:
    // With `wholePixels`, each vertex is truncated toward zero to its pixel; otherwise kept
    // exact, for a smooth curve.
    CurvePath(int width, int height, bool wholePixels = true);
    // The next vertex in floating point pixels.
    void lineTo(double px, double py);
    // Polylines of consecutive distinct pixels; a piece of a single pixel draws nothing.
    const std::vector<QPolygon>& pieces() const { return pieces_; }
    // The same at exact positions (without `wholePixels`).
    const std::vector<QPolygonF>& exactPieces() const { return exactPieces_; }

private:
    bool inside(double px, double py) const;
    void addPoint(double px, double py, bool startsPiece);

    double left_, top_, right_, bottom_;  // the guard band's outer edges
    bool havePrevious_ = false;
    double previousX_ = 0, previousY_ = 0;
    bool pieceOpen_ = false;
    bool wholePixels_;
    std::vector<QPolygon> pieces_;
    std::vector<QPolygonF> exactPieces_;
};

}  // namespace kalvex::plot
