#pragma once
#include "plot/PlotState.h"

#include <QFont>

#include <string>
#include <vector>

namespace kalvex::plot {

// One tick with its label: the tick stands at `pixel` (a column on the x axis, a row on the
// y axis) and the label's top left corner at (labelLeft, labelTop).
struct AxisTick {
    int pixel = 0;
    std::string label;  // the data value at the tick, rounded to the axis' decimals
    int labelLeft = 0;
    int labelTop = 0;
};

// Ticks from the frame's lower left corner, left to right and bottom to top.
std::vector<AxisTick> xAxisTicks(const PlotState& plot);
std::vector<AxisTick> yAxisTicks(const PlotState& plot);

// The decimals a tick label needs to show the grid's spacing between two ticks to within a
// percent (0 to 9): 1.45 needs 2, 0.5 needs 1, 50 needs none.
int decimalsForTickSpacing(double spacing);

// The labels' font: "Arial", 10 points (13.3 px on the plot's 96 dots per inch).
QFont labelFont();

}  // namespace kalvex::plot
