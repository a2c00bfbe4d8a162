#include "core/stepping/StepErrorEstimate.h"

#include "core/format/CFormat.h"
#include "core/format/NumberFormat.h"
#include "core/stepping/Solver.h"
#include "core/input/StartSequence.h"
#include "core/format/Units.h"

#include <cmath>
#include <cstddef>
#include <memory>

namespace kalvex {

double EstimatedValue::error() const
{
    return std::fabs(atStep - atHalfStep);
}

double EstimatedValue::relative() const
{
    return atHalfStep != 0 ? error() / std::fabs(atHalfStep) : error();
}

namespace {

EstimatedValue both(const RunResults& coarse, int kCoarse, const RunResults& fine, int kFine, SeriesId id)
{
    return {true, coarse.at(id, kCoarse), fine.at(id, kFine)};
}

bool burnsOutInBarrel(const RunResults& r)
{
    return r.burnoutRow <= r.stepCount;
}

StepErrorEstimate compare(const RunResults& coarse, const RunResults& fine, double dt)
{
    StepErrorEstimate e;
    e.available = true;
    e.dt = dt;
    e.peakPressure = both(coarse, coarse.pmaxRow, fine, fine.pmaxRow, SeriesId::meanPressure);
    e.muzzleVelocity = both(coarse, coarse.stepCount, fine, fine.stepCount, SeriesId::velocity);
    e.burnoutInBarrel = burnsOutInBarrel(coarse) || burnsOutInBarrel(fine);
    if (burnsOutInBarrel(coarse) && burnsOutInBarrel(fine)) {
        e.burnoutTime = both(coarse, coarse.burnoutRow, fine, fine.burnoutRow, SeriesId::time);
        e.burnoutTravel = both(coarse, coarse.burnoutRow, fine, fine.burnoutRow, SeriesId::travel);
    }
    return e;
}

std::string valueLine(const char* caption, const EstimatedValue& v)
{
    return caption + formatC("%12.4f  %9.4f %%", {v.error(), 100 * v.relative()});
}

bool needsAdvice(const StepErrorEstimate& e)
{
    const auto large = [](const EstimatedValue& v) { return v.present && v.relative() > kStepErrorAdviceLimit; };
    const bool burnoutDisagrees = e.burnoutInBarrel && !e.burnoutTime.present;
    return large(e.peakPressure) || large(e.muzzleVelocity) || large(e.burnoutTime) ||
           large(e.burnoutTravel) || burnoutDisagrees;
}

}  // namespace

StepErrorEstimate estimateStepError(const BallisticInput& input, double dt, RunResults& run)
{
    auto halfStep = std::make_unique_for_overwrite<RunResults>();
    return estimateStepError(input, dt, run, *halfStep);
}

StepErrorEstimate estimateStepError(const BallisticInput& input, double dt, RunResults& run,
                                    RunResults& halfStep)
{
    computeRunCharacteristics(input, run);
    BallisticInput half = input;
    half.dt = 0.5 * dt;
    resetRunResults(halfStep);
    // Straight to the solver: a step-limit restart would double the half step back to h.
    if (runSolver(half, halfStep) != RunEnd::MuzzleReached)
        return StepErrorEstimate{false, dt, {}, {}, false, {}, {}};
    computeRunCharacteristics(half, halfStep);
    return compare(run, halfStep, dt);
}

void writeStepErrorEstimate(const StepErrorEstimate& e, const LineSink& appendLine)
{
    appendLine("");  // the summary may end with the energy lines, which leave no blank line
    if (!e.available) {
        appendLine("error estimate not available");
        return;
    }
    appendLine(" Step-Size Error Estimate |f(h) - f(h/2)|, h = " + formatGeneral(e.dt * kSecondToMillisecond) + " ms:");
    appendLine(valueLine(" Maximum Mean Pressure [MPa]:   ", e.peakPressure));
    appendLine(valueLine(" Muzzle Velocity [m/s]:         ", e.muzzleVelocity));
    if (e.burnoutTime.present) {
        appendLine(valueLine(" End of Combustion Time [ms]:   ", e.burnoutTime));
        appendLine(valueLine(" End of Combustion Travel [m]:  ", e.burnoutTravel));
    } else if (e.burnoutInBarrel) {
        appendLine(" End of Combustion: inside the barrel in only one of the two runs.");
    }
    if (needsAdvice(e))
        appendLine(" Advice: an estimated error is larger than 0.1 %; halve the Computation Step and run again.");
}

}  // namespace kalvex
