#pragma once
// The plot painted on any device: its surface on screen, a larger image, an SVG or PDF page.
#include "plot/PlotState.h"

class QPainter;

namespace kalvex::plot {

struct PaintStyle {
    // Curves antialiased through their exact positions; otherwise each vertex is cut to its
    // whole pixel and drawn hard, as the plot looks at its design on a screen of ratio 1.
    bool smoothCurves = false;
    bool annotated = false;  // axis titles and, for two or more named curves, a legend
};

// On screen: smooth where the screen has more than one pixel per logical pixel; titles and a
// legend only when two or more named curves share the plot.
PaintStyle screenStyle(const PlotState& plot);
// Every export: smooth, with axis titles, and a legend for two or more named curves.
PaintStyle exportStyle();

// Paints the plot over the painter's device, whose logical size is the plot's W x H, on a
// white background.
void paintPlot(QPainter& painter, const PlotState& plot, const PaintStyle& style);

// Named active curves: the legend's entries.
int namedCurveCount(const PlotState& plot);

}  // namespace kalvex::plot
