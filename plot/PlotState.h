#pragma once
#include <QImage>

#include <array>
#include <stdexcept>

namespace kalvex::plot {

inline constexpr int kSlotCapacity = 2110;  // points one series slot can hold
inline constexpr int kSlotCount = 3;        // slot 0 red, slot 1 blue, slot 2 black

struct PlotSeries {
    int active = 0;  // 1: takes part in Autoscale and DrawPlot
    std::array<double, kSlotCapacity> xValues{};
    std::array<double, kSlotCapacity> yValues{};
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
    QImage surface;  // the drawing; its width and height are W and H of the plot
    char decimalSeparator = '.';  // of the tick labels; InitPlot takes the user's
};

// Raised when a copy would take more than kSlotCapacity points; what() is the UTF-8 message
// "Příliš mnoho dat v grafu", which the command wrapper shows before ending the command.
class TooManyPoints : public std::runtime_error {
public:
    TooManyPoints();
};

// Pixel mappings (no clamping). W and H are the surface's size.
double ValueToPixelX(const PlotState& plot, double x);
double ValueToPixelY(const PlotState& plot, double y);
double PixelToValueX(const PlotState& plot, double px);
double PixelToValueY(const PlotState& plot, double py);

int DecimalsForSpan(double span, int previous);

// Creates the surface of the given size, sets the start ranges and decimals, draws.
void InitPlot(PlotState& plot, int width, int height);
// Resizes the surface and redraws with the ranges unchanged, when both sides are at least
// 82.5 px; returns whether it did.
bool ResizePlot(PlotState& plot, int width, int height);
// Copies every step-th point of xSource/ySource[first..last] into a slot, activates it,
// rescales and redraws. Throws TooManyPoints (with the slot zeroed and nothing redrawn).
void SetSeries(PlotState& plot, const double* xSource, const double* ySource, int first,
               int last, int step, int slot);
void ClearSeries(PlotState& plot, int slot);
void Autoscale(PlotState& plot);
void DrawPlot(PlotState& plot);

}  // namespace kalvex::plot
