#include "vessel/SegmentBounds.h"

#include <gsl/gsl_fit.h>
#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

constexpr int kGlobalEvaluations = 4000;  // DIRECT-L over at most seven inner bounds
constexpr int kLocalEvaluations = 2000;
constexpr double kBoundTolerance = 1e-7;  // in the unit interval of log p

// The points in log-log form, sorted by pressure.
struct LogPoints {
    std::vector<double> x, y;  // log p, log r
    int minimumPoints = 0;
};

// Sum of squared residuals of the log-linear fits of the segments the inner bounds u (as
// fractions of the log-pressure range) cut; a penalty above any fit when a segment is short.
double segmentedResidual(unsigned n, const double* u, double*, void* data)
{
    const auto* d = static_cast<const LogPoints*>(data);
    std::vector<double> cut(u, u + n);
    std::sort(cut.begin(), cut.end());
    const double low = d->x.front(), span = d->x.back() - d->x.front();
    double total = 0;
    std::size_t begin = 0;
    for (std::size_t j = 0; j <= cut.size(); ++j) {
        std::size_t end = d->x.size();
        if (j < cut.size())
            end = static_cast<std::size_t>(std::lower_bound(d->x.begin(), d->x.end(), low + cut[j] * span) - d->x.begin());
        const std::size_t count = end > begin ? end - begin : 0;
        if (count < static_cast<std::size_t>(d->minimumPoints))
            return 1e300;
        double c0 = 0, c1 = 0, cov00 = 0, cov01 = 0, cov11 = 0, sumsq = 0;
        gsl_fit_linear(&d->x[begin], 1, &d->y[begin], 1, count, &c0, &c1, &cov00, &cov01, &cov11, &sumsq);
        total += sumsq;
        begin = end;
    }
    return total;
}

// Runs one NLopt algorithm from u over the unit box; u is the best point on return.
void minimise(nlopt_algorithm algorithm, int evaluations, LogPoints& data, std::vector<double>& u)
{
    const unsigned n = static_cast<unsigned>(u.size());
    std::unique_ptr<nlopt_opt_s, decltype(&nlopt_destroy)> opt(nlopt_create(algorithm, n), &nlopt_destroy);
    const std::vector<double> lower(n, 0.0), upper(n, 1.0);
    nlopt_set_lower_bounds(opt.get(), lower.data());
    nlopt_set_upper_bounds(opt.get(), upper.data());
    nlopt_set_min_objective(opt.get(), &segmentedResidual, &data);
    nlopt_set_maxeval(opt.get(), evaluations);
    nlopt_set_xtol_abs1(opt.get(), kBoundTolerance);
    double best = 0;
    std::vector<double> x = u;
    // DIRECT ignores the starting point: its answer is kept only when it is no worse.
    const nlopt_result result = nlopt_optimize(opt.get(), x.data(), &best);
    if (result != NLOPT_INVALID_ARGS && result != NLOPT_OUT_OF_MEMORY &&
        best <= segmentedResidual(n, u.data(), nullptr, &data))
        u = x;
}

}  // namespace

std::vector<double> findSegmentBounds(const std::vector<RatePoint>& points, int count, int minimumPoints)
{
    if (count < 1)
        throw std::invalid_argument("a burning law has at least one segment");
    std::vector<RatePoint> sorted;
    for (const RatePoint& r : points)
        if (r.pressure > 0 && r.rate > 0)
            sorted.push_back(r);
    if (sorted.size() < static_cast<std::size_t>(count) * static_cast<std::size_t>(std::max(minimumPoints, 3)))
        throw std::invalid_argument("too few rate points for " + std::to_string(count) + " segments");
    if (count == 1)
        return {0};
    std::sort(sorted.begin(), sorted.end(), [](const RatePoint& a, const RatePoint& b) { return a.pressure < b.pressure; });
    LogPoints data;
    data.minimumPoints = std::max(minimumPoints, 3);
    for (const RatePoint& r : sorted) {
        data.x.push_back(std::log(r.pressure));
        data.y.push_back(std::log(r.rate));
    }
    // Start from bounds that share the log-pressure range evenly.
    std::vector<double> u;
    for (int j = 1; j < count; ++j)
        u.push_back(static_cast<double>(j) / count);
    minimise(NLOPT_GN_DIRECT_L, kGlobalEvaluations, data, u);
    minimise(NLOPT_LN_NELDERMEAD, kLocalEvaluations, data, u);
    std::sort(u.begin(), u.end());
    std::vector<double> bounds{0};
    const double low = data.x.front(), span = data.x.back() - data.x.front();
    for (double f : u)
        bounds.push_back(std::exp(low + f * span));
    return bounds;
}

}  // namespace kalvex::vessel
