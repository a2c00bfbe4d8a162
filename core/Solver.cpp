#include "core/Solver.h"

#include "core/Model.h"
#include "core/RungeKutta.h"
#include "core/Units.h"

#include <cmath>
#include <optional>

namespace kalvex {

namespace {

constexpr int kLastEntry = 40797;            // the step budget: entry 40797 is the last allowed
constexpr double kPressureLimit = 2000;      // MPa
constexpr double kVelocityLimit = 5000;      // m/s

double& at(RunResults& r, SeriesId id, int k)
{
    return r[id][static_cast<std::size_t>(k)];
}

void recordIgnition(const BallisticInput& in, const RunConstants& c, RunResults& r)
{
    const double atmosphereMpa = kAtmosphericPressure * kPascalToMegapascal;
    at(r, SeriesId::meanPressure, 0) = atmosphereMpa;
    at(r, SeriesId::meanTemperature, 0) = in.T0I;
    at(r, SeriesId::gasPressureAhead, 0) = atmosphereMpa;
    at(r, SeriesId::basePressure, 0) = atmosphereMpa;
    at(r, SeriesId::breechPressure, 0) = atmosphereMpa;
    at(r, SeriesId::wallTemperature, 0) = c.T0wKelvin;
    at(r, SeriesId::resistancePressure, 0) = in.px0 * kPascalToMegapascal;
    at(r, SeriesId::relativeSurface, 0) = 1;
    // The rate law at atmospheric pressure, shown without exponent and factors.
    at(r, SeriesId::burningRate, 0) = in.beta * kAtmosphericPressure * kMetreToMillimetre;
}

// Entry k after a step: the auxiliaries are those of the last stage evaluation.
void recordStep(const BallisticInput& in, const RunConstants& c, const StateVector& y,
                const ModelState& m, const BoreLoad& load, double t, int k, RunResults& r)
{
    at(r, SeriesId::time, k) = t * kSecondToMillisecond;
    at(r, SeriesId::travel, k) = y[kTravel];
    at(r, SeriesId::velocity, k) = y[kVelocity];
    at(r, SeriesId::burnedFraction, k) = y[kBurnedFraction];
    at(r, SeriesId::meanPressure, k) = m.Pm * kPascalToMegapascal;
    at(r, SeriesId::meanTemperature, k) = m.Tm;
    at(r, SeriesId::gasPressureAhead, k) = m.Pg * kPascalToMegapascal;
    at(r, SeriesId::basePressure, k) = m.Pb * kPascalToMegapascal;
    at(r, SeriesId::breechPressure, k) = m.P0 * kPascalToMegapascal;
    at(r, SeriesId::wallTemperature, k) = in.heatTransfer ? m.Tc : c.T0wKelvin;
    at(r, SeriesId::recoilVelocity, k) = y[kRecoilVelocity];
    at(r, SeriesId::resistancePressure, k) = load.pr * kPascalToMegapascal;
    at(r, SeriesId::energyTranslation, k) = m.Ekin;
    at(r, SeriesId::energyRotation, k) = m.Erot;
    at(r, SeriesId::energyChargeMotion, k) = m.Eprop;
    at(r, SeriesId::energyFriction, k) = load.Efr;
    at(r, SeriesId::energyRecoil, k) = m.Erec;
    at(r, SeriesId::energyAirResistance, k) = m.Eair;
    at(r, SeriesId::energyHeatLoss, k) = m.Q;
    at(r, SeriesId::relativeSurface, k) = m.S / c.grain.initialGrainSurface;
    at(r, SeriesId::burningRate, k) = m.r * kMetreToMillimetre;
    at(r, SeriesId::burnedThickness, k) = m.eS * kMetreToMillimetre;
    at(r, SeriesId::acceleration, k) =
        y[kVelocity] > 0
            ? (m.Pb - in.fr * load.pr - m.Pg) * in.A / in.mp * kPerStandardGravity
            : 0;
}

bool entryIsFinite(const RunResults& r, int k, const StateVector& y)
{
    for (const ResultSeries& s : r.series)
        if (!std::isfinite(s[static_cast<std::size_t>(k)]))
            return false;
    for (double v : y)
        if (!std::isfinite(v))
            return false;
    return true;
}

// Clamps after a step; a grain whose surface is gone leaves no unburned mass.
void clampAfterStep(StateVector& y, const ModelState& m)
{
    clampState(y);
    if (m.S == 0)
        y[kBurnedFraction] = 1;
}

// After burnout, with projectile and barrel at rest, the gas can only trade heat with the
// wall: its temperature stays below the hotter of the two, and so its pressure stays below
// what that temperature gives. If even that pressure cannot push the projectile or the
// barrel, nothing will ever move again.
bool projectileStuck(const BallisticInput& in, const RunConstants& c, const StateVector& y,
                     const ModelState& m, const BoreLoad& load)
{
    if (y[kVelocity] != 0 || y[kRecoilVelocity] != 0 || y[kBurnedFraction] < 1)
        return false;
    const double hottest = in.heatTransfer && m.Tc > m.Tm ? m.Tc : m.Tm;
    const double pmBound = (c.propellantForceMass / in.T0 + c.igniterForceByT0I) * hottest / m.Vf;
    const double ahead = in.fr * load.pr + m.Pg;
    if (pmBound > ahead)
        return false;
    const double pbBound = (pmBound + ahead * c.Ctot / c.threeMp) / c.lagrangeDivisor;
    const double p0Bound = pbBound + (pbBound - ahead) * 0.5 * c.Ctot / in.mp;
    return p0Bound - in.RR / in.A - in.fr * load.pr <= 0;
}

RunEnd faultEnd(ModelFault fault)
{
    return fault == ModelFault::freeVolume ? RunEnd::FreeVolumeExhausted : RunEnd::TemperatureExhausted;
}

// True when the charge leaves no room for the gas before anything has moved: then the
// charge is at fault, whatever the step.
bool noFreeVolumeAtIgnition(const BallisticInput& in, const RunConstants& c)
{
    StateVector y{};
    StateVector dydt{};
    ModelState m;
    const BoreLoad load{in.px0, 0};
    return evaluateModel(in, c, load, y, m, dydt) == ModelFault::freeVolume;
}

// The end tests after entry k was recorded, in their order of precedence: a limit broken
// on the step that passes the muzzle still ends the run with its message, so a result drawn
// from an absurd step never looks complete. Nothing when the run goes on.
std::optional<RunEnd> stepEnd(const BallisticInput& in, const RunConstants& c, const StateVector& y,
                              const ModelState& m, const BoreLoad& load, const RunResults& r, int k)
{
    const auto value = [&r, k](SeriesId id) { return r[id][static_cast<std::size_t>(k)]; };
    if (!entryIsFinite(r, k, y))
        return RunEnd::NotFinite;
    if (value(SeriesId::meanPressure) > kPressureLimit)
        return RunEnd::PressureLimit;
    if (value(SeriesId::velocity) > kVelocityLimit)
        return RunEnd::VelocityLimit;
    if (value(SeriesId::meanTemperature) <= 0)
        return RunEnd::TemperatureExhausted;
    // A barrel recoiling faster than the projectile moves turns the gas velocity of the heat
    // transfer negative, and the wall would then be cooled below absolute zero.
    if (value(SeriesId::wallTemperature) <= 0)
        return RunEnd::WallTemperatureExhausted;
    if (value(SeriesId::breechPressure) < 0)
        return RunEnd::BreechPressureNegative;
    if (y[kTravel] >= in.xm)
        return RunEnd::MuzzleReached;
    if (projectileStuck(in, c, y, m, load))
        return RunEnd::ProjectileStopped;
    if (k >= kLastEntry)
        return RunEnd::StepLimit;
    return std::nullopt;
}

// Code that ran before the solver in the same thread (the window's drawing, a wide memset in
// the C library) may leave the upper halves of the vector registers in use. The step loop is
// compiled for SSE; on x86 processors with AVX, every SSE instruction then pays a state
// transition penalty, and a run takes about twice as long. Clearing the upper halves once
// before the loop costs nothing where they are clean.
void clearUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
}

}  // namespace

const char* runEndMessage(RunEnd end)
{
    switch (end) {
    case RunEnd::PressureLimit:
        return "Mean Pressure over 2000 MPa.";
    case RunEnd::VelocityLimit:
        return "Velocity of Projectile over 5000 m/s.";
    case RunEnd::FreeVolumeExhausted:
        return "Free Volume of Chamber less than or equal to 0 m^3.";
    case RunEnd::TemperatureExhausted:
        return "Mean Temperature less than or equal to 0 K.";
    case RunEnd::NotFinite:
        return "Computation diverged: a result is not a finite number.";
    case RunEnd::ProjectileStopped:
        return "Projectile stopped in the barrel.";
    case RunEnd::WallTemperatureExhausted:
        return "Wall Temperature less than or equal to 0 K.";
    case RunEnd::BreechPressureNegative:
        return "Breech Pressure less than 0 MPa.";
    case RunEnd::StepTooShort:
        return "Computation Step too short: more than 30 doublings needed.";
    case RunEnd::MuzzleReached:
    case RunEnd::StepLimit:
        break;
    }
    return "";
}

RunEnd runSolver(const BallisticInput& in, RunResults& results)
{
    const RunConstants c = prepareRunConstants(in);
    results.grain = c.grain;
    StateVector y{};
    ModelState m;
    BoreLoad load{in.px0, 0};
    recordIgnition(in, c, results);

    ModelFault fault = ModelFault::none;
    auto derivatives = [&](StateVector& Y, StateVector& dYdt) {
        fault = evaluateModel(in, c, load, Y, m, dYdt);
        return fault == ModelFault::none;
    };

    const double h = in.dt;
    clearUpperVectorState();
    const ResultSeries& travel = results[SeriesId::travel];
    for (int i = 0;; ++i) {
        double t = i * h;
        if (!rungeKutta4Step(y, h, derivatives)) {
            const bool atIgnition = i == 0 && fault == ModelFault::freeVolume && noFreeVolumeAtIgnition(in, c);
            results.endStep = atIgnition ? 0 : i + 1;
            return faultEnd(fault);
        }
        t = t + 0.5 * h;  // the stage times, summed as the stages advance
        t = t + 0.5 * h;
        clampAfterStep(y, m);
        load.pr = resistancePressure(in, y[kTravel], load.pr);
        load.Efr = load.Efr + in.A * in.fr * load.pr * (y[kTravel] - travel[static_cast<std::size_t>(i)]);
        if (y[kVelocity] == 0) {
            m.Pb = m.Pm;  // at rest the gas is uniform
            m.P0 = m.Pm;
        }
        const int k = i + 1;
        recordStep(in, c, y, m, load, t, k, results);
        if (const std::optional<RunEnd> end = stepEnd(in, c, y, m, load, results, k)) {
            results.endStep = k;
            if (*end == RunEnd::MuzzleReached)
                results.stepCount = k;
            return *end;
        }
    }
}

}  // namespace kalvex
