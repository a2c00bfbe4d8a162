#include "vessel/ForceCovolume.h"

#include <gsl/gsl_fit.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace kalvex::vessel {

ForceCovolume reduceForceCovolume(const std::vector<MaxPressureFiring>& firings, const IgniterGas& igniter)
{
    std::vector<double> delta, y;
    for (const MaxPressureFiring& f : firings) {
        if (!(f.volume > 0) || !(f.chargeMass > 0) || !(f.maxPressure > 0))
            throw std::invalid_argument("a firing needs a positive volume, charge mass and maximum pressure");
        const double volume = f.volume - igniter.mass * igniter.covolume - igniter.mass * igniter.force / f.maxPressure;
        if (!(volume > 0))
            throw std::invalid_argument("the igniter's gas takes the whole vessel");
        delta.push_back(f.chargeMass / volume);
        y.push_back(delta.back() / f.maxPressure);
    }
    const std::size_t n = delta.size();
    bool distinct = false;
    for (std::size_t i = 1; i < n; ++i)
        distinct = distinct || delta[i] != delta[0];
    if (n < 2 || !distinct)
        throw std::invalid_argument("force and covolume need firings at two or more loading densities");
    double c0 = 0, c1 = 0, cov00 = 0, cov01 = 0, cov11 = 0, sumsq = 0;
    gsl_fit_linear(delta.data(), 1, y.data(), 1, n, &c0, &c1, &cov00, &cov01, &cov11, &sumsq);
    ForceCovolume out;
    out.force = 1 / c0;
    out.covolume = -c1 / c0;
    if (n == 2) {
        out.forceError = out.covolumeError = std::numeric_limits<double>::quiet_NaN();
        return out;
    }
    // First-order propagation: F = 1/c0, b = -c1/c0.
    out.forceError = std::sqrt(cov00) / (c0 * c0);
    const double dbdc0 = c1 / (c0 * c0), dbdc1 = -1 / c0;
    out.covolumeError = std::sqrt(dbdc0 * dbdc0 * cov00 + 2 * dbdc0 * dbdc1 * cov01 + dbdc1 * dbdc1 * cov11);
    return out;
}

}  // namespace kalvex::vessel
