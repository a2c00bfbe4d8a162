#include "core/stepping/Integrator.h"

#include "core/format/NumberFormat.h"

namespace kalvex {

std::vector<std::string> integrationNotes(const IntegratorChoice& integrator)
{
    if (integrator.method == IntegratorMethod::fixedStep)
        return {};
    const AdaptiveSettings& a = integrator.adaptive;
    return {" Adaptive Integration (Dormand-Prince 5(4)): relative tolerance " + formatGeneral(a.relativeTolerance) +
            ", absolute tolerance " + formatGeneral(absoluteToleranceOf(a)) + "; the step is not used."};
}

}  // namespace kalvex
