#pragma once
// A figure of the verification report: up to three curves drawn by the program's plot code
// (slot 0 red, slot 1 blue, slot 2 black), with a title, axis captions and a legend around it.
#include "tools/verification/ClosedFormChecks.h"

#include <QImage>
#include <QString>

#include <array>
#include <vector>

namespace kalvex::verification {

struct Figure {
    QString title;
    QString xCaption;
    QString yCaption;
    std::array<std::vector<CurvePoint>, 3> curves;  // red, blue, black; x must rise
    std::array<QString, 3> legend;
    bool fixedRange = false;  // else the plot's automatic ranges
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
};

QImage drawFigure(const Figure& figure);

// A plot surface already drawn, framed with the figure's title, captions and legend.
QImage frameFigure(const QImage& plot, const Figure& figure);

}  // namespace kalvex::verification
