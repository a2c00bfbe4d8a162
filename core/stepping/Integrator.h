#pragma once
// How a run is integrated: the input set's fixed step (RK4, doubled while the step budget runs
// out) or the adaptive Dormand-Prince pair with its tolerances. One vocabulary for the command
// line, study files, Python and the window.
#include "core/stepping/AdaptiveRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex {

enum class IntegratorMethod { fixedStep, adaptive };

struct IntegratorChoice {
    IntegratorMethod method = IntegratorMethod::fixedStep;
    AdaptiveSettings adaptive;  // used by the adaptive method only
};

// "fixed" and "adaptive", as files and options spell them.
constexpr std::string_view integratorName(IntegratorMethod method)
{
    return method == IntegratorMethod::adaptive ? "adaptive" : "fixed";
}

constexpr std::optional<IntegratorMethod> integratorMethod(std::string_view name)
{
    if (name == "fixed")
        return IntegratorMethod::fixedStep;
    if (name == "adaptive")
        return IntegratorMethod::adaptive;
    return std::nullopt;
}

// The line a report of an adaptive run carries after its time table; none for the fixed step.
std::vector<std::string> integrationNotes(const IntegratorChoice& integrator);

}  // namespace kalvex
