#pragma once
#include <QImage>

#include <array>
#include <stdexcept>
#include <string>

namespace kalvex::plot {

inline constexpr int kSlotCapacity = 2110;  // points one series slot can hold
// slot 0 red, slot 1 blue, slot 2 black, 3 green; the slots after them hold more runs or
// study curves side by side (as many as the main window keeps runs)
inline constexpr int kSlotCount = 10;
inline constexpr int kOverlaySlot = 3;      // a saved run read from a report's time table

struct PlotSeries {
    int active = 0;  // 1: takes part in Autoscale and DrawPlot
    std::array<double, kSlotCapacity> xValues{};
    std::array<double, kSlotCapacity> yValues{};
    std::string name;      // what the curve shows, for the legend; "" draws no legend entry
    bool markers = false;  // measured values: a marker at each point, no line between them
};

// The one plot of the main window: visible ranges, label decimals, drag state, the three
// series slots and the bitmap they are drawn on (its size is the size of Graf0).
struct PlotState {
    double xMin = 0, xMax = 1.05;  // data values at the left and right frame lines
    double yMin = 0, yMax = 1.05;  // data values at the bottom and top frame lines
    int xDecimals = 2, yDecimals = 2;  // decimals of the tick labels, 0 to 5
    int dragActive = 0;                // a zoom drag is in progress
    double dragX0 = 0, dragY0 = 0;     // data values of the last mouse press
    std::array<PlotSeries, kSlotCount> series;
    // The drawing: W x H logical pixels, held at the screen's device pixel ratio so that
    // curves and labels stay sharp on a high-density screen; every position is logical.
    QImage surface;
    char decimalSeparator = '.';  // of the tick labels; InitPlot takes the user's
    std::string xTitle, yTitle;   // the axes' quantities with their units, for titles
};

// Raised when a copy would take more than kSlotCapacity points; what() is the UTF-8 message
// "Příliš mnoho dat v grafu", which the command wrapper shows before ending the command.
class TooManyPoints : public std::runtime_error {
public:
    TooManyPoints();
};

// W and H: the plot's size in logical pixels, whatever the surface's device pixel ratio.
int plotWidth(const PlotState& plot);
int plotHeight(const PlotState& plot);

// Pixel mappings (no clamping).
double ValueToPixelX(const PlotState& plot, double x);
double ValueToPixelY(const PlotState& plot, double y);
double PixelToValueX(const PlotState& plot, double px);
double PixelToValueY(const PlotState& plot, double py);

int DecimalsForSpan(double span, int previous);

// Creates the surface of the given size, sets the start ranges and decimals, draws.
void InitPlot(PlotState& plot, int width, int height, double pixelRatio = 1);
// Resizes the surface and redraws with the ranges unchanged, when both sides are at least
// 82.5 px; returns whether it did. A new pixel ratio alone also redraws.
bool ResizePlot(PlotState& plot, int width, int height, double pixelRatio = 1);
// The plot as the window shows it, drawn again at `pixelRatio` times its pixels as every export
// is: the same ranges, curves and label positions, sharper, the curves smooth, with axis titles.
QImage renderPlotImage(const PlotState& plot, double pixelRatio);
// Copies every step-th point of xSource/ySource[first..last] into a slot, activates it,
// rescales and redraws. Throws TooManyPoints (with the slot zeroed and nothing redrawn).
void SetSeries(PlotState& plot, const double* xSource, const double* ySource, int first,
               int last, int step, int slot);
void ClearSeries(PlotState& plot, int slot);
void Autoscale(PlotState& plot);
// Draws the plot on its surface as the screen shows it (see screenStyle).
void DrawPlot(PlotState& plot);

}  // namespace kalvex::plot
