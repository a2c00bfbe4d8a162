#pragma once
#include "plot/PlotState.h"

#include <string>

namespace kalvex::plot {

// Texts for the "X, Y Position" read-out.
struct ReadOut {
    std::string x;
    std::string y;
};

// The dashed rectangle drawn while dragging, in the pixels of the window that holds the
// plot at (left, top); red while the drag is below 10 % of either span.
struct RubberBand {
    int ax = 0, ay = 0;  // corner of the press
    int bx = 0, by = 0;  // corner under the mouse
    bool belowThreshold = false;
};

// Press at pixel (px, py): the read-out (four decimals more than the labels) and the
// start of a drag.
ReadOut mousePress(PlotState& plot, int px, int py, char decimalSeparator);
// (px, py) is the mouse in plot pixels; left and top the plot's position in its window.
RubberBand rubberBand(const PlotState& plot, int px, int py, int left = 0, int top = 0);
// Release: zooms to the dragged rectangle when it spans at least 10 % of both axes
// (and redraws); ends the drag. Returns whether it zoomed.
bool mouseRelease(PlotState& plot, int px, int py);
// Double click: back to the automatic ranges.
void restoreAutomaticRanges(PlotState& plot);

}  // namespace kalvex::plot
