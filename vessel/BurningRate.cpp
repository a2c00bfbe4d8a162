#include "vessel/BurningRate.h"

#include "vessel/BurnedThickness.h"

#include <gsl/gsl_filter.h>
#include <gsl/gsl_fit.h>
#include <gsl/gsl_vector.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

constexpr double kSamplingTolerance = 1e-3;  // relative: times written in ms with a few digits

std::vector<double> smoothed(const std::vector<double>& p, const ReductionSettings& s)
{
    const std::size_t window = 2 * static_cast<std::size_t>(s.smoothingHalfWidth) + 1;
    std::unique_ptr<gsl_filter_gaussian_workspace, decltype(&gsl_filter_gaussian_free)> work(
        gsl_filter_gaussian_alloc(window), &gsl_filter_gaussian_free);
    std::vector<double> out(p.size());
    gsl_vector_const_view x = gsl_vector_const_view_array(p.data(), p.size());
    gsl_vector_view y = gsl_vector_view_array(out.data(), out.size());
    gsl_filter_gaussian(GSL_FILTER_END_PADVALUE, s.smoothingAlpha, 0, &x.vector, &y.vector, work.get());
    return out;
}

void requireConstantSampling(const std::vector<double>& t)
{
    const double step = t[1] - t[0];
    for (std::size_t i = 1; i < t.size(); ++i)
        if (!(std::fabs((t[i] - t[i - 1]) - step) <= kSamplingTolerance * step))
            throw std::invalid_argument("the trace is not sampled at a constant interval");
}

// The samples the trace is cut to: the user's times, else the rules, both kept a half-window
// from the ends, where the smoothing window is complete (the padding there repeats one noisy
// sample, which would bias the maximum).
void trimTrace(const PressureTrace& trace, const ReductionSettings& settings, const TrimWindow& trim,
               ReducedTrace& out)
{
    const std::vector<double>& t = trace.time;
    const std::vector<double>& p = out.smoothedPressure;
    const std::size_t half = static_cast<std::size_t>(settings.smoothingHalfWidth);
    std::size_t first = half, last = p.size() - 1 - half;
    if (trim.start)
        first = std::max(first, static_cast<std::size_t>(std::lower_bound(t.begin(), t.end(), *trim.start) - t.begin()));
    if (trim.end) {
        const auto after = std::upper_bound(t.begin(), t.end(), *trim.end);
        last = after == t.begin() ? 0 : std::min(last, static_cast<std::size_t>(after - t.begin()) - 1);
    }
    if (first >= last)
        throw std::invalid_argument("the trim window holds no part of the trace");
    if (!trim.start) {
        // Ignition: the first sample the smoothed pressure rises above a fraction of its maximum.
        const double top = *std::max_element(p.begin() + static_cast<std::ptrdiff_t>(first),
                                             p.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        while (first < last && p[first] < settings.ignitionFraction * top)
            ++first;
    }
    out.start = first;
    out.end = last;
    out.peak = static_cast<std::size_t>(std::max_element(p.begin() + static_cast<std::ptrdiff_t>(first),
                                                         p.begin() + static_cast<std::ptrdiff_t>(last) + 1) -
                                        p.begin());
    out.maxPressure = p[out.peak];
}

// (1/pmax)(dp/dt)/p from the start to the peak, dp/dt by central differences of the smoothed p.
void addVivacity(const PressureTrace& trace, std::size_t span, ReducedTrace& out)
{
    const std::vector<double>& p = out.smoothedPressure;
    for (std::size_t i = std::max(out.start, span); i < out.peak && i + span < p.size(); ++i) {
        const double rate = (p[i + span] - p[i - span]) / (trace.time[i + span] - trace.time[i - span]);
        if (p[i] > 0)
            out.vivacity.push_back({p[i] / out.maxPressure, rate / (p[i] * out.maxPressure)});
    }
}

}  // namespace

ReducedTrace reduceTrace(const PressureTrace& trace, const VesselSetup& setup, const ReductionSettings& settings,
                         const TrimWindow& trim)
{
    const std::size_t n = trace.pressure.size();
    const std::size_t span = static_cast<std::size_t>(std::max(settings.smoothingHalfWidth, settings.differenceSpan));
    if (trace.time.size() != n || n < 4 * span + 3)
        throw std::invalid_argument("the trace is too short for the smoothing window");
    requireConstantSampling(trace.time);
    ReducedTrace out;
    out.smoothedPressure = smoothed(trace.pressure, settings);
    trimTrace(trace, settings, trim, out);
    const std::size_t m = static_cast<std::size_t>(settings.differenceSpan);
    addVivacity(trace, m, out);

    // Noble-Abel with the igniter burned from the start, the gas at the flame temperature:
    // p (V - (1 - Z) C/rho - Z C b - CI bI) = Z C F + CI FI, solved for Z.
    const BallisticInput& k = setup.charge;
    const double C = setup.chargeMass, V = setup.volume;
    const auto burned = [&](double p) {
        return (p * (V - C / k.rho - k.CI * k.bI) - k.CI * k.FI) / (C * (k.F + p * (k.b - 1 / k.rho)));
    };
    const BurnedThickness thickness(vesselInput(setup));
    std::vector<double> e(n);
    for (std::size_t i = 0; i < n; ++i)
        e[i] = thickness.at(burned(out.smoothedPressure[i]));

    for (std::size_t i = std::max(m, out.start); i + m < n && i < out.peak; ++i) {
        const double p = out.smoothedPressure[i];
        if (p <= settings.lowFraction * out.maxPressure || p >= settings.highFraction * out.maxPressure)
            continue;
        const double rate = (e[i + m] - e[i - m]) / (trace.time[i + m] - trace.time[i - m]);
        if (rate > 0)
            out.rates.push_back({p, rate});
    }
    return out;
}

std::vector<LawSegment> fitBurningLaw(const std::vector<RatePoint>& points, const std::vector<double>& pLow)
{
    if (pLow.empty() || !std::is_sorted(pLow.begin(), pLow.end()))
        throw std::invalid_argument("the segments' lower pressures must be given in ascending order");
    std::vector<LawSegment> law;
    for (std::size_t j = 0; j < pLow.size(); ++j) {
        const double top = j + 1 < pLow.size() ? pLow[j + 1] : INFINITY;
        std::vector<double> x, y;
        for (const RatePoint& r : points)
            if (r.pressure >= pLow[j] && r.pressure < top && r.pressure > 0 && r.rate > 0) {
                x.push_back(std::log(r.pressure));
                y.push_back(std::log(r.rate));
            }
        if (x.size() < 3)
            throw std::invalid_argument("a segment of the burning law has fewer than three points");
        double c0 = 0, c1 = 0, cov00 = 0, cov01 = 0, cov11 = 0, sumsq = 0;
        gsl_fit_linear(x.data(), 1, y.data(), 1, x.size(), &c0, &c1, &cov00, &cov01, &cov11, &sumsq);
        LawSegment s;
        s.pLow = pLow[j];
        s.beta = std::exp(c0);
        s.alpha = c1;
        s.betaError = s.beta * std::sqrt(cov00);
        s.alphaError = std::sqrt(cov11);
        s.points = static_cast<int>(x.size());
        law.push_back(s);
    }
    return law;
}

}  // namespace kalvex::vessel
