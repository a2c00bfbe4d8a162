#include "study/SaltelliDesign.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <boost/random/sobol.hpp>
#include <cmath>

namespace kalvex::study {

SaltelliRow saltelliRow(std::size_t row, std::size_t parameters)
{
    const std::size_t perSample = parameters + 2;
    const std::size_t m = row % perSample;
    SaltelliRow r{row / perSample, SaltelliRole::ab, m - 1};
    if (m == 0)
        r = {row / perSample, SaltelliRole::a, 0};
    else if (m == perSample - 1)
        r = {row / perSample, SaltelliRole::b, 0};
    return r;
}

SaltelliDesign::SaltelliDesign(std::vector<ToleranceParameter> parameters, std::size_t samples)
    : parameters_(std::move(parameters)), samples_(samples)
{
}

namespace {

// A Sobol' coordinate (a 64-bit integer) as a number in (0, 1). Skipping the first point
// keeps every coordinate off 0; the clamp keeps the normal quantile finite all the same.
double unitCoordinate(std::uint64_t value)
{
    const double u = std::ldexp(static_cast<double>(value), -64);
    return std::clamp(u, 0x1p-60, 1 - 0x1p-53);
}

double deviation(const ToleranceParameter& p, double u)
{
    // A zero spread draws nothing: the row keeps the base's bits.
    if (p.spread == 0)
        return 0.0;
    if (p.distribution == Distribution::normal)
        return p.spread * boost::math::quantile(boost::math::normal_distribution<double>(), u);
    return p.spread * (2 * u - 1);
}

}  // namespace

void SaltelliDesign::deviations(std::size_t row, std::vector<double>& out) const
{
    const std::size_t k = parameters_.size();
    const SaltelliRow r = saltelliRow(row, k);
    boost::random::sobol sequence(2 * k);
    sequence.seed(static_cast<std::uint64_t>(r.sample) + 1);
    std::vector<std::uint64_t> point(2 * k);
    sequence.generate(point.begin(), point.end());
    out.resize(k);
    for (std::size_t i = 0; i < k; ++i) {
        const bool fromB = r.role == SaltelliRole::b || (r.role == SaltelliRole::ab && r.swapped == i);
        out[i] = deviation(parameters_[i], unitCoordinate(point[fromB ? k + i : i]));
    }
}

}  // namespace kalvex::study
