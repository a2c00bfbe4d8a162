#include "plot/StudyPlots.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kalvex::plot {

namespace {

constexpr double kTopWidening = 1.05;  // as Autoscale: 5 % above the tallest bar

void deactivateAll(PlotState& plot)
{
    for (PlotSeries& slot : plot.series) {
        slot.active = 0;
        slot.name.clear();
        slot.markers = false;
    }
}

// Fills a slot without rescaling: the histogram's outline repeats x values, which the
// autoscale walk would stop at, so its ranges are set from the bars themselves.
void fillSlot(PlotSeries& slot, const std::vector<double>& x, const std::vector<double>& y)
{
    slot.xValues.fill(0);
    slot.yValues.fill(0);
    const std::size_t n = std::min<std::size_t>(x.size(), kSlotCapacity);
    std::copy_n(x.begin(), n, slot.xValues.begin());
    std::copy_n(y.begin(), n, slot.yValues.begin());
    slot.active = 1;
}

}  // namespace

void plotCurves(PlotState& plot, const std::vector<CurvePoints>& curves)
{
    deactivateAll(plot);
    bool drawn = false;
    for (std::size_t c = 0; c < curves.size() && c < plot.series.size(); ++c) {
        std::vector<std::pair<double, double>> points;
        for (std::size_t i = 0; i < curves[c].x.size() && i < curves[c].y.size(); ++i)
            if (!std::isnan(curves[c].x[i]) && !std::isnan(curves[c].y[i]))
                points.emplace_back(curves[c].x[i], curves[c].y[i]);
        std::sort(points.begin(), points.end());
        if (points.empty())
            continue;
        std::vector<double> x, y;
        for (const auto& [px, py] : points) {
            x.push_back(px);
            y.push_back(py);
        }
        const int last = static_cast<int>(x.size()) - 1;
        const int step = std::max(1, last / (kSlotCapacity - 1) + 1);
        plot.series[c].name = curves[c].name;
        plot.series[c].markers = curves[c].markers;
        SetSeries(plot, x.data(), y.data(), 0, last, step, static_cast<int>(c));
        drawn = true;
    }
    if (!drawn) {  // SetSeries rescales and draws; with no curve set, the empty plot is drawn here
        Autoscale(plot);
        DrawPlot(plot);
    }
}

std::vector<int> histogramCounts(const std::vector<double>& values, int bins, double low, double high)
{
    std::vector<int> counts(static_cast<std::size_t>(std::max(bins, 1)), 0);
    const double width = (high - low) / static_cast<double>(counts.size());
    for (double v : values) {
        if (std::isnan(v))
            continue;
        std::size_t bin = width > 0 ? static_cast<std::size_t>((v - low) / width) : 0;
        counts[std::min(bin, counts.size() - 1)] += 1;
    }
    return counts;
}

void plotHistogram(PlotState& plot, const std::vector<double>& values, int bins, std::optional<double> limit)
{
    deactivateAll(plot);
    std::vector<double> finite;
    std::copy_if(values.begin(), values.end(), std::back_inserter(finite), [](double v) { return !std::isnan(v); });
    if (finite.empty()) {
        Autoscale(plot);
        DrawPlot(plot);
        return;
    }
    const auto [lowIt, highIt] = std::minmax_element(finite.begin(), finite.end());
    double low = *lowIt, high = *highIt;
    if (high == low) {  // every sample alike: one bar of a small width around it
        const double half = low != 0 ? std::fabs(low) * 0.001 : 0.5;
        low -= half;
        high += half;
    }
    const std::vector<int> counts = histogramCounts(finite, bins, low, high);
    const double width = (high - low) / static_cast<double>(counts.size());
    // each edge computed once, so the outline's x never steps back by a rounding and the
    // drawing walk (x rising or equal) goes over every bar
    std::vector<double> edges;
    for (std::size_t b = 0; b <= counts.size(); ++b)
        edges.push_back(b == counts.size() ? high : low + width * static_cast<double>(b));
    std::vector<double> x{low}, y{0};
    for (std::size_t b = 0; b < counts.size(); ++b) {
        x.insert(x.end(), {edges[b], edges[b + 1]});
        y.insert(y.end(), {double(counts[b]), double(counts[b])});
    }
    x.push_back(high);
    y.push_back(0);
    fillSlot(plot.series[0], x, y);
    plot.series[0].name = "samples per class";
    const int tallest = *std::max_element(counts.begin(), counts.end());
    double xMin = low, xMax = high;
    if (limit) {
        fillSlot(plot.series[1], {*limit, *limit}, {0, tallest * kTopWidening});
        plot.series[1].name = "limit";
        xMin = std::min(xMin, *limit);
        xMax = std::max(xMax, *limit);
    }
    const double margin = (xMax - xMin) * 0.02;
    plot.xMin = xMin - margin;
    plot.xMax = xMax + margin;
    plot.yMin = 0;
    plot.yMax = tallest * kTopWidening;
    plot.xDecimals = DecimalsForSpan(plot.xMax - plot.xMin, plot.xDecimals);
    plot.yDecimals = DecimalsForSpan(plot.yMax - plot.yMin, plot.yDecimals);
    DrawPlot(plot);
}

void plotIndexBars(PlotState& plot, const std::vector<double>& first, const std::vector<double>& total)
{
    constexpr double kBarWidth = 0.35;  // of the unit spacing of the parameters
    deactivateAll(plot);
    double low = 0, high = 1;
    // One slot per kind of index: a run of bars along x, each up from 0 and back down.
    const auto bars = [&](const std::vector<double>& heights, double offset, PlotSeries& slot) {
        std::vector<double> x, y;
        for (std::size_t i = 0; i < heights.size(); ++i) {
            if (std::isnan(heights[i]))
                continue;
            const double left = static_cast<double>(i + 1) + offset;
            x.insert(x.end(), {left, left, left + kBarWidth, left + kBarWidth});
            y.insert(y.end(), {0.0, heights[i], heights[i], 0.0});
            low = std::min(low, heights[i]);
            high = std::max(high, heights[i]);
        }
        if (!x.empty())
            fillSlot(slot, x, y);
    };
    bars(first, -kBarWidth, plot.series[0]);
    bars(total, 0.0, plot.series[1]);
    plot.series[0].name = "first-order index";
    plot.series[1].name = "total index";
    const double count = static_cast<double>(std::max(first.size(), total.size()));
    plot.xMin = 0.5;
    plot.xMax = count + 0.5;
    plot.yMin = low < 0 ? low * kTopWidening : 0.0;
    plot.yMax = high * kTopWidening;
    plot.xDecimals = 0;
    plot.yDecimals = DecimalsForSpan(plot.yMax - plot.yMin, plot.yDecimals);
    DrawPlot(plot);
}

}  // namespace kalvex::plot
