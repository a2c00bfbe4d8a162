#pragma once
// A figure of the verification report: up to three curves drawn by the program's plot code
// (slot 0 red, slot 1 blue, slot 2 black), with a title, axis captions and a legend around it.
#include "tools/verification/ClosedFormChecks.h"

#include <QImage>
#include <QString>

#include <array>
#include <vector>

namespace kalvex::verification {

// A measured or published value drawn as a dot, with a bar from `low` to `high` where the
// source gives a range (low = high = y: no bar).
struct Marker {
    double x = 0;
    double y = 0;
    double low = 0;
    double high = 0;
    int slot = 2;  // the colour of curve slot 0, 1 or 2
};

struct Figure {
    QString title;
    QString xCaption;
    QString yCaption;
    std::array<std::vector<CurvePoint>, 3> curves;  // red, blue, black; x must rise
    std::array<QString, 3> legend;
    std::vector<Marker> markers;  // drawn over the curves; they need fixedRange to be seen
    bool fixedRange = false;  // else the plot's automatic ranges
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
};

QImage drawFigure(const Figure& figure);

// A fixed range around every curve whose ticks fall on round multiples (0.25, 0.5, 1, 2 or 5):
// the plot ticks at fixed pixel distances, so the range is sized to the grid.
void roundTicksAround(Figure& figure);

// A plot surface already drawn, framed with the figure's title, captions and legend.
QImage frameFigure(const QImage& plot, const Figure& figure);

}  // namespace kalvex::verification
