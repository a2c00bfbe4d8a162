#include "study/Outputs.h"

#include "core/results/Errors.h"
#include "core/results/RunSummary.h"
#include "study/StudyError.h"

#include <cmath>
#include <limits>

namespace kalvex::study {

const std::array<OutputInfo, kOutputCount> kOutputInfo{{
    {OutputId::PmeanMax, "PmeanMax", "MPa", "Peak Mean Pressure", true},
    {OutputId::tPmeanMax, "tPmeanMax", "ms", "Time of Peak Mean Pressure", true},
    {OutputId::PbMax, "PbMax", "MPa", "Peak Pressure at Projectile Base", true},
    {OutputId::tPbMax, "tPbMax", "ms", "Time of Peak Base Pressure", true},
    {OutputId::P0Max, "P0Max", "MPa", "Peak Breech Pressure", true},
    {OutputId::tP0Max, "tP0Max", "ms", "Time of Peak Breech Pressure", true},
    {OutputId::tBurnout, "tBurnout", "ms", "Time of Burnout", false},
    {OutputId::xBurnout, "xBurnout", "m", "Travel at Burnout", false},
    {OutputId::ZMuzzle, "ZMuzzle", "-", "Burned Mass Fraction at Muzzle", true},
    {OutputId::tMuzzle, "tMuzzle", "ms", "Time at Muzzle", true},
    {OutputId::vMuzzle, "vMuzzle", "m/s", "Muzzle Velocity", true},
    {OutputId::PmeanMuzzle, "PmeanMuzzle", "MPa", "Mean Pressure at Muzzle", true},
    {OutputId::efficiency, "efficiency", "-", "Kinetic Energy of Projectile / Total Energy", true},
    {OutputId::steps, "steps", "-", "Number of Steps", false},
    {OutputId::restarts, "restarts", "-", "Restarts with doubled Step", false},
}};

const OutputInfo& outputInfo(OutputId id)
{
    return kOutputInfo[static_cast<std::size_t>(id)];
}

OutputId findOutput(std::string_view name)
{
    for (const OutputInfo& info : kOutputInfo)
        if (info.name == name)
            return info.id;
    std::string known;
    for (const OutputInfo& info : kOutputInfo)
        known += (known.empty() ? "" : ", ") + std::string(info.name);
    throw StudyError("Unknown output \"" + std::string(name) + "\"; the outputs are " + known);
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Peak {
    double value;
    double time;
};

// The largest entry of a series, refined by the parabola through it and its two neighbours;
// at the first or last entry the entry itself.
Peak smoothPeak(const RunResults& r, SeriesId id, int last)
{
    int k = 0;
    for (int j = 1; j <= last; ++j)
        if (r.at(id, j) > r.at(id, k))
            k = j;
    const double y1 = r.at(id, k), t1 = r.at(SeriesId::time, k);
    if (k == 0 || k == last)
        return {y1, t1};
    const double y0 = r.at(id, k - 1), y2 = r.at(id, k + 1);
    const double t0 = r.at(SeriesId::time, k - 1), t2 = r.at(SeriesId::time, k + 1);
    // Vertex of the parabola through the three points (Lagrange form, any spacing).
    const double d0 = (y1 - y0) / (t1 - t0), d1 = (y2 - y1) / (t2 - t1);
    const double curvature = (d1 - d0) / (t2 - t0);  // half the second derivative
    if (!(curvature < 0))
        return {y1, t1};
    const double slopeAtT1 = d0 + curvature * (t1 - t0);  // derivative of the parabola at t1
    const double shift = -slopeAtT1 / (2 * curvature);
    return {y1 + slopeAtT1 * shift + curvature * shift * shift, t1 + shift};
}

}  // namespace

RunOutputs computeRunOutputs(const BallisticInput& input, RunResults& r, const StartOutcome& outcome)
{
    computeRunCharacteristics(input, r);
    RunOutputs out;
    const int N = r.stepCount;
    const auto set = [&out](OutputId id, double value) { out[id] = value; };

    // An adaptive run located its maxima on its dense output; the fixed step's entries give a
    // parabola's vertex.
    const auto peakOf = [&](SeriesId id, const PeakValue& located) {
        return outcome.peaks ? Peak{located.value, located.time} : smoothPeak(r, id, N);
    };
    const LocatedPeaks located = outcome.peaks.value_or(LocatedPeaks{});
    const Peak mean = peakOf(SeriesId::meanPressure, located.meanPressure);
    const Peak base = peakOf(SeriesId::basePressure, located.basePressure);
    const Peak breech = peakOf(SeriesId::breechPressure, located.breechPressure);
    set(OutputId::PmeanMax, mean.value);
    set(OutputId::tPmeanMax, mean.time);
    set(OutputId::PbMax, base.value);
    set(OutputId::tPbMax, base.time);
    set(OutputId::P0Max, breech.value);
    set(OutputId::tP0Max, breech.time);

    const bool burnedOut = r.burnoutRow <= N;
    set(OutputId::tBurnout, burnedOut ? r.at(SeriesId::time, r.burnoutRow) : kNaN);
    set(OutputId::xBurnout, burnedOut ? r.at(SeriesId::travel, r.burnoutRow) : kNaN);

    // Entry N is the first past the muzzle; interpolate linearly in travel back to x = xm.
    const double x0 = r.at(SeriesId::travel, N - 1), x1 = r.at(SeriesId::travel, N);
    const double w = x1 > x0 ? (input.xm - x0) / (x1 - x0) : 1.0;
    const auto muzzle = [&](SeriesId id) { return r.at(id, N - 1) + w * (r.at(id, N) - r.at(id, N - 1)); };
    set(OutputId::ZMuzzle, muzzle(SeriesId::burnedFraction));
    set(OutputId::tMuzzle, muzzle(SeriesId::time));
    set(OutputId::vMuzzle, muzzle(SeriesId::velocity));
    set(OutputId::PmeanMuzzle, muzzle(SeriesId::meanPressure));
    set(OutputId::efficiency, muzzle(SeriesId::energyTranslation) / r.Etot);
    set(OutputId::steps, N);
    set(OutputId::restarts, outcome.restarts);
    return out;
}

RunOutputs rejectedOutputs(const InputError& error)
{
    RunOutputs failed;
    failed.values.fill(kNaN);
    failed.inputRejected = true;
    failed.message = error.what();
    return failed;
}

RunOutputs sequenceOutputs(const BallisticInput& input, RunResults& results, const StartOutcome& outcome)
{
    if (outcome.end == RunEnd::MuzzleReached)
        return computeRunOutputs(input, results, outcome);
    RunOutputs failed;
    failed.values.fill(kNaN);
    failed.end = outcome.end;
    failed.message = startEndMessage(outcome);
    failed[OutputId::restarts] = outcome.restarts;
    return failed;
}

RunOutputs runForOutputs(const BallisticInput& input, RunResults& buffer, const IntegratorChoice& integrator)
{
    StartOutcome outcome;
    try {
        outcome = runStart(input, integrator, buffer, [](const std::string&) {});
    } catch (const InputError& e) {
        return rejectedOutputs(e);
    }
    return sequenceOutputs(input, buffer, outcome);
}

}  // namespace kalvex::study
