#include "plot/SeriesWalk.h"

namespace kalvex::plot {

int autoscaleWalkEnd(const PlotSeries& slot)
{
    int p = 0;
    while (p + 1 < kSlotCapacity && slot.xValues[p + 1] > slot.xValues[p])
        ++p;
    return p;
}

int drawingWalkEnd(const PlotSeries& slot)
{
    int p = 0;
    while (p + 1 < kSlotCapacity && slot.xValues[p + 1] >= slot.xValues[p])
        ++p;
    return p;
}

}  // namespace kalvex::plot
