#include "vessel/BurnedThickness.h"

#include "core/model/GrainGeometry.h"

#include <gsl/gsl_integration.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

constexpr int kTableNodes = 4000;
constexpr std::size_t kWorkspaceIntervals = 200;

struct SurfaceOf {
    const BallisticInput* input;
    const GrainGeometry* grain;
};

double positiveSurface(double e, void* params)
{
    const auto* s = static_cast<const SurfaceOf*>(params);
    return std::max(0.0, grainSurface(*s->input, *s->grain, e));
}

}  // namespace

BurnedThickness::BurnedThickness(const BallisticInput& input)
{
    const GrainGeometry grain = prepareGrainGeometry(input);
    if (!(grain.initialGrainVolume > 0))
        throw std::invalid_argument("the grain has no volume");
    // Every shape is consumed before half its largest size is burned from each side.
    const double limit = std::max({input.D, input.L, input.P}) / 2;
    const double h = limit / kTableNodes;
    SurfaceOf surface{&input, &grain};
    gsl_function f{&positiveSurface, &surface};
    std::unique_ptr<gsl_integration_workspace, decltype(&gsl_integration_workspace_free)> work(
        gsl_integration_workspace_alloc(kWorkspaceIntervals), &gsl_integration_workspace_free);
    thickness_.push_back(0);
    fraction_.push_back(0);
    for (int i = 1; i <= kTableNodes && positiveSurface(thickness_.back(), &surface) > 0; ++i) {
        double piece = 0, error = 0;
        gsl_integration_qag(&f, (i - 1) * h, i * h, 0, 1e-10, kWorkspaceIntervals, GSL_INTEG_GAUSS21, work.get(),
                            &piece, &error);
        thickness_.push_back(i * h);
        fraction_.push_back(fraction_.back() + piece / grain.initialGrainVolume);
    }
}

double BurnedThickness::at(double Z) const
{
    if (Z <= fraction_.front())
        return thickness_.front();
    if (Z >= fraction_.back())
        return thickness_.back();
    const auto hi = std::upper_bound(fraction_.begin(), fraction_.end(), Z);
    const std::size_t j = static_cast<std::size_t>(hi - fraction_.begin());
    const double w = (Z - fraction_[j - 1]) / (fraction_[j] - fraction_[j - 1]);
    return thickness_[j - 1] + w * (thickness_[j] - thickness_[j - 1]);
}

double BurnedThickness::fractionAt(double e) const
{
    if (e <= thickness_.front())
        return fraction_.front();
    if (e >= thickness_.back())
        return fraction_.back();
    const auto hi = std::upper_bound(thickness_.begin(), thickness_.end(), e);
    const std::size_t j = static_cast<std::size_t>(hi - thickness_.begin());
    const double w = (e - thickness_[j - 1]) / (thickness_[j] - thickness_[j - 1]);
    return fraction_[j - 1] + w * (fraction_[j] - fraction_[j - 1]);
}

}  // namespace kalvex::vessel
