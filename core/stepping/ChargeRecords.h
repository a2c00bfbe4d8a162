#pragma once
// What a run of a mixed charge records besides the series of one component: the burning
// rate at ignition over the whole charge and each component's burned fraction.
// Internal to the solvers (ChargeRun.cpp, AdaptiveRun.cpp).
#include "core/format/Units.h"
#include "core/model/ChargeModel.h"
#include "core/stepping/StepRecords.h"

namespace kalvex::steps {

// Entry 0 as for one component, and the component series at zero. The rate law at
// atmospheric pressure, shown without exponent and factors, is the mean of the components'
// over the charge's initial surface.
inline void recordChargeIgnition(const BallisticInput& in, const RunConstants& k, const ChargeConstants& charge,
                                 RunResults& r)
{
    recordIgnition(in, k, r);
    double beta = 0;
    for (int c = 0; c < charge.count; ++c) {
        const ComponentConstants& part = charge.components[static_cast<std::size_t>(c)];
        beta += part.surfaceShare * part.beta;
    }
    r.at(SeriesId::burningRate, 0) = beta * kAtmosphericPressure * kMetreToMillimetre;
    r.componentBurnedFraction.assign(static_cast<std::size_t>(charge.count), ResultSeries{});
}

// Each component's burned fraction at entry k.
inline void recordComponents(const ChargeConstants& charge, const ChargeStateVector& y, RunResults& r, int k)
{
    for (int c = 0; c < charge.count; ++c)
        r.componentBurnedFraction[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)] =
            y[static_cast<std::size_t>(burnedFractionIndex(c))];
}

// Zeros in the component series at entry k, after the last, as clearEntry leaves the others.
inline void clearComponentEntry(RunResults& r, int k)
{
    if (k < 0 || k >= kResultCapacity)
        return;
    for (ResultSeries& s : r.componentBurnedFraction)
        s[static_cast<std::size_t>(k)] = 0;
}

}  // namespace kalvex::steps
