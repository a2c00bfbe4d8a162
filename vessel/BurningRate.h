#pragma once
// The linear burning rate against pressure from one closed-vessel pressure trace, and a burning
// law r = beta p^alpha fitted to it, by pressure segments.
#include "vessel/VesselSetup.h"

#include <vector>

namespace kalvex::vessel {

// How a trace is smoothed and trimmed; the defaults are the documented rules.
struct ReductionSettings {
    int smoothingHalfWidth = 30;   // samples each side of the Gaussian window
    double smoothingAlpha = 3;     // window half-width over the Gaussian's standard deviation
    int differenceSpan = 10;       // samples each side of the central difference of e(t)
    double lowFraction = 0.15;     // kept: lowFraction pmax < p < highFraction pmax,
    double highFraction = 0.9;     // before the time of pmax
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

struct ReducedTrace {
    std::vector<double> smoothedPressure;  // Pa, every sample
    double maxPressure = 0;                // of the smoothed trace, Pa
    std::vector<RatePoint> rates;          // the kept samples
};

// The pressure smoothed by a Gaussian window (GSL), so its maximum; then Z from p by
// Noble-Abel with the igniter (the setup's F, b, rho and igniter), the burned thickness e from
// Z by inverting the grain's burned volume, and r = de/dt. Throws std::invalid_argument on a
// trace too short for the window or not sampled at a constant interval.
ReducedTrace reduceTrace(const PressureTrace& trace, const VesselSetup& setup, const ReductionSettings& settings);

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
