#include "core/input/BurningSegments.h"

#include <cmath>

namespace kalvex {

std::string upperSegmentsProblem(const std::vector<BurningSegment>& segments)
{
    if (segments.size() + 1 > kMaxBurningSegments)
        return "Burning Law with more than 8 segments";
    double below = 0;  // the first segment starts at 0 Pa
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const BurningSegment& s = segments[i];
        const std::string segment = " of Segment " + std::to_string(i + 2);
        if (!(s.pLow > below) || !std::isfinite(s.pLow))
            return "Lower Pressure Bound" + segment + " not above that of Segment " + std::to_string(i + 1);
        if (!(s.beta > 0) || !std::isfinite(s.beta))
            return "Burning Rate Coeff. for Prop. beta" + segment + " less than or equal to 0 m/s/Pa";
        if (!(s.alpha >= 0.5) || !std::isfinite(s.alpha))
            return "Burning Rate Exponent for Propellant alpha" + segment + " less than 0.5";
        below = s.pLow;
    }
    return {};
}

}  // namespace kalvex
