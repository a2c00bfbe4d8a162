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

StepErrorEstimate estimateToleranceError(const BallisticInput& input, const AdaptiveSettings& settings,
                                         RunResults& run)
{
    constexpr double kTighter = 100;  // the reference run's tolerances are this much smaller
    computeRunCharacteristics(input, run);
    AdaptiveSettings tighter = settings;
    tighter.relativeTolerance = settings.relativeTolerance / kTighter;
    tighter.absoluteTolerance = absoluteToleranceOf(settings) / kTighter;
    auto reference = std::make_unique_for_overwrite<RunResults>();
    StepErrorEstimate unavailable;
    unavailable.relativeTolerance = settings.relativeTolerance;
    // The peaks as each run located them: the entries of the two runs lie at different times,
    // and the entry at which the pressure stops rising may lie far from the peak.
    resetRunResults(*reference);
    const AdaptiveOutcome atTolerance = runAdaptive(input, settings, *reference);
    resetRunResults(*reference);
    const AdaptiveOutcome atTighter = runAdaptive(input, tighter, *reference);
    if (atTolerance.end != RunEnd::MuzzleReached || atTighter.end != RunEnd::MuzzleReached)
        return unavailable;
    computeRunCharacteristics(input, *reference);
    StepErrorEstimate e = compare(run, *reference, input.dt);
    e.peakPressure = {true, atTolerance.peaks.meanPressure.value, atTighter.peaks.meanPressure.value};
    e.relativeTolerance = settings.relativeTolerance;
    return e;
}

void writeStepErrorEstimate(const StepErrorEstimate& e, const LineSink& appendLine)
{
    appendLine("");  // the summary may end with the energy lines, which leave no blank line
    if (!e.available) {
        appendLine("error estimate not available");
        return;
    }
    const bool adaptive = e.relativeTolerance > 0;
    if (adaptive)
        appendLine(" Tolerance Error Estimate |f(tol) - f(tol/100)|, relative tolerance " +
                   formatGeneral(e.relativeTolerance) + ":");
    else
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
        appendLine(adaptive ? " Advice: an estimated error is larger than 0.1 %; tighten the tolerance and run again."
                            : " Advice: an estimated error is larger than 0.1 %; halve the Computation Step and run again.");
}

}  // namespace kalvex
