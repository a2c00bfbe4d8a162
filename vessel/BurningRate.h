#pragma once
// The linear burning rate against pressure from one closed-vessel pressure trace, and a burning
// law r = beta p^alpha fitted to it, by pressure segments.
#include "vessel/VesselSetup.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace kalvex::vessel {

// How a trace is smoothed and trimmed; the defaults are the documented rules.
struct ReductionSettings {
    int smoothingHalfWidth = 30;   // samples each side of the Gaussian window
    double smoothingAlpha = 3;     // window half-width over the Gaussian's standard deviation
    int differenceSpan = 10;       // samples each side of the central differences of e(t) and p(t)
    double ignitionFraction = 0.05;  // the trace starts where the smoothed p first exceeds this * its maximum
    double lowFraction = 0.15;     // rates kept: lowFraction pmax < p < highFraction pmax,
    double highFraction = 0.9;     // between the start and the time of pmax
};

// Where a trace is cut, as the user sets it; an end left open follows the rules above (the
// start at ignition, the end at the last sample the smoothing window covers whole).
struct TrimWindow {
    std::optional<double> start;  // s, on the trace's own clock
    std::optional<double> end;    // s
};

// A measured or simulated trace, SI units.
struct PressureTrace {
    std::vector<double> time;      // s
    std::vector<double> pressure;  // Pa
};

struct RatePoint {
    double pressure = 0;  // Pa
    double rate = 0;      // m/s
};

// The dynamic vivacity (1/pmax)(dp/dt)/p at a relative pressure p/pmax.
struct VivacityPoint {
    double relativePressure = 0;  // p/pmax
    double vivacity = 0;          // 1/(Pa s)
};

struct ReducedTrace {
    std::vector<double> smoothedPressure;  // Pa, every sample
    double maxPressure = 0;                // of the smoothed trace between start and end, Pa
    std::size_t start = 0, peak = 0, end = 0;  // samples: trimmed start, pmax, trimmed end
    std::vector<RatePoint> rates;          // the kept samples
    std::vector<VivacityPoint> vivacity;   // from the start to the peak
};

// The pressure smoothed by a Gaussian window (GSL), cut to its trim window, so its maximum;
// then Z from p by Noble-Abel with the igniter (the setup's F, b, rho and igniter), the burned
// thickness e from Z by inverting the grain's burned volume, and r = de/dt. Throws
// std::invalid_argument on a trace too short for the window, not sampled at a constant
// interval, or cut to nothing.
ReducedTrace reduceTrace(const PressureTrace& trace, const VesselSetup& setup, const ReductionSettings& settings,
                         const TrimWindow& trim = {});

// One pressure segment of the law: r = beta p^alpha for p >= pLow (up to the next segment).
struct LawSegment {
    double pLow = 0;   // Pa
    double beta = 0;   // m/s/Pa^alpha
    double alpha = 0;
    double betaError = 0;   // standard errors of the log-linear fit
    double alphaError = 0;
    int points = 0;
};

// Least squares of log r = log beta + alpha log p in each segment [pLow_j, pLow_j+1) (GSL).
// `pLow` ascending; {0} gives one segment. Throws std::invalid_argument when a segment
// has fewer than three points.
std::vector<LawSegment> fitBurningLaw(const std::vector<RatePoint>& points, const std::vector<double>& pLow);

}  // namespace kalvex::vessel
