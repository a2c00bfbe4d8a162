#include "vessel/pictures/VesselPlots.h"

#include "plot/StudyPlots.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace kalvex::vessel {

namespace {

constexpr double kMs = 1e3;           // ms per s
constexpr double kMPa = 1e-6;         // MPa per Pa
constexpr double kMmPerS = 1e3;       // mm/s per m/s
constexpr double kMPaSeconds = 1e6;   // 1/(MPa s) per 1/(Pa s)
constexpr int kLawPoints = 200;       // along a fitted law's curve

std::string formatted(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(4);
    out << value;
    return out.str();
}

void titles(plot::PlotState& plot, const char* x, const char* y)
{
    plot.xTitle = x;
    plot.yTitle = y;
}

// The curves drawn with a quarter of the height free above them: the legend sits in the top
// right corner, where a trace has its plateau.
void drawBelowLegend(plot::PlotState& plot, const std::vector<plot::CurvePoints>& curves)
{
    constexpr double kLegendRoom = 0.25;
    plot::plotCurves(plot, curves);
    plot.yMax += kLegendRoom * (plot.yMax - plot.yMin);
    plot.yDecimals = plot::DecimalsForSpan(plot.yMax - plot.yMin, plot.yDecimals);
    plot::DrawPlot(plot);
}

// Every sample of a firing's trace, from the trim start to its end.
plot::CurvePoints windowOf(const Firing& f, const ReducedTrace& r, const std::string& name)
{
    plot::CurvePoints c;
    c.name = name;
    for (std::size_t i = r.start; i <= r.end; ++i) {
        c.x.push_back(f.trace.time[i] * kMs);
        c.y.push_back(f.trace.pressure[i] * kMPa);
    }
    return c;
}

plot::CurvePoints lawCurve(const std::vector<LawSegment>& law, double low, double high, const std::string& name)
{
    plot::CurvePoints c;
    c.name = name;
    for (int k = 0; k <= kLawPoints; ++k) {
        const double p = low * std::pow(high / low, static_cast<double>(k) / kLawPoints);
        std::size_t j = 0;
        while (j + 1 < law.size() && law[j + 1].pLow <= p)
            ++j;
        c.x.push_back(p * kMPa);
        c.y.push_back(law[j].beta * std::pow(p, law[j].alpha) * kMmPerS);
    }
    return c;
}

}  // namespace

std::string firingLabel(const Firing& firing, double temperature)
{
    return std::filesystem::path(firing.name).filename().string() + ", " +
           formatted(firing.chargeMass / firing.volume) + " kg/m^3, " + formatted(temperature) + " \u00b0C";
}

void plotTraces(plot::PlotState& plot, const std::vector<Firing>& firings, const VesselReduction& reduction)
{
    std::vector<plot::CurvePoints> curves;
    for (std::size_t i = 0; i < firings.size() && curves.size() < plot::kSlotCount; ++i)
        curves.push_back(windowOf(firings[i], reduction.firings[i].reduced,
                                  firingLabel(firings[i], reduction.firings[i].temperature)));
    titles(plot, "Time [ms]", "Pressure [MPa]");
    drawBelowLegend(plot, curves);
}

void plotResimulated(plot::PlotState& plot, const ResimulatedTrace& again)
{
    plot::CurvePoints measured, simulated;
    measured.name = "measured";
    measured.markers = true;
    simulated.name = "simulated with the reduced law";
    for (std::size_t i = 0; i < again.time.size(); ++i) {
        measured.x.push_back(again.time[i] * kMs);
        measured.y.push_back(again.measured[i] * kMPa);
        simulated.x.push_back(again.time[i] * kMs);
        simulated.y.push_back(again.simulated[i] * kMPa);
    }
    titles(plot, "Time [ms]", "Pressure [MPa]");
    drawBelowLegend(plot, {measured, simulated});
}

void plotResiduals(plot::PlotState& plot, const std::vector<Firing>& firings,
                   const std::vector<ResimulatedTrace>& again)
{
    std::vector<plot::CurvePoints> curves;
    for (std::size_t i = 0; i < again.size() && curves.size() < plot::kSlotCount; ++i) {
        plot::CurvePoints c;
        c.name = std::filesystem::path(firings[i].name).filename().string();
        c.markers = true;
        for (std::size_t k = 0; k < again[i].time.size(); ++k) {
            c.x.push_back(again[i].time[k] * kMs);
            c.y.push_back(again[i].residual[k] * kMPa);
        }
        curves.push_back(std::move(c));
    }
    titles(plot, "Time [ms]", "Measured - simulated pressure [MPa]");
    drawBelowLegend(plot, curves);
}

void plotVivacity(plot::PlotState& plot, const std::vector<Firing>& firings, const VesselReduction& reduction)
{
    std::vector<plot::CurvePoints> curves;
    for (std::size_t i = 0; i < firings.size() && curves.size() < plot::kSlotCount; ++i) {
        plot::CurvePoints c;
        c.name = firingLabel(firings[i], reduction.firings[i].temperature);
        for (const VivacityPoint& v : reduction.firings[i].reduced.vivacity) {
            c.x.push_back(v.relativePressure);
            c.y.push_back(v.vivacity * kMPaSeconds);
        }
        curves.push_back(std::move(c));
    }
    titles(plot, "p/pmax", "Vivacity (1/pmax)(dp/dt)/p [1/(MPa s)]");
    drawBelowLegend(plot, curves);
}

void plotBurningRate(plot::PlotState& plot, const VesselReduction& reduction)
{
    plot::CurvePoints rates;
    rates.name = "rates of the reference firings";
    rates.markers = true;
    double low = INFINITY, high = 0;
    for (const FiringReduction& f : reduction.firings)
        for (const RatePoint& r : f.reduced.rates)
            if (f.reference) {
                rates.x.push_back(r.pressure * kMPa);
                rates.y.push_back(r.rate * kMmPerS);
                low = std::min(low, r.pressure);
                high = std::max(high, r.pressure);
            }
    std::vector<plot::CurvePoints> curves{rates};
    if (high > low) {
        curves.push_back(lawCurve(reduction.law, low, high, "law reduced"));
        if (!std::isnan(reduction.traceResidual))
            curves.push_back(lawCurve(reduction.rateLaw, low, high, "law fitted to the rates"));
    }
    titles(plot, "Pressure [MPa]", "Burning rate [mm/s]");
    drawBelowLegend(plot, curves);
}

void plotSimulation(plot::PlotState& plot, const VesselTrace& trace, SimulatedQuantity quantity)
{
    plot::CurvePoints c;
    for (std::size_t i = 0; i < trace.time.size(); ++i) {
        c.x.push_back(trace.time[i] * kMs);
        c.y.push_back(quantity == SimulatedQuantity::pressure       ? trace.pressure[i] * kMPa
                      : quantity == SimulatedQuantity::pressureRate ? trace.pressureRate[i] * kMPa / kMs
                                                                    : trace.burnedFraction[i]);
    }
    titles(plot, "Time [ms]",
           quantity == SimulatedQuantity::pressure       ? "Pressure [MPa]"
           : quantity == SimulatedQuantity::pressureRate ? "dp/dt [MPa/ms]"
                                                         : "Burned fraction Z");
    plot::plotCurves(plot, {c});
}

}  // namespace kalvex::vessel
