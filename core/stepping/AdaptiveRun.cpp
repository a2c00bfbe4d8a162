#include "core/stepping/AdaptiveRun.h"

#include "core/input/MixedCharge.h"
#include "core/model/BallisticModel.h"
#include "core/model/ChargeModel.h"
#include "core/model/GrainTypes.h"
#include "core/model/ModelEvents.h"
#include "core/model/RunConstants.h"
#include "core/stepping/ChargeRecords.h"

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/roots.hpp>
#include <boost/numeric/odeint.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

namespace kalvex {

using namespace steps;

std::string adaptiveStepLimitMessage(long bound)
{
    return "Adaptive Integration: more than " + std::to_string(bound) + " steps needed.";
}

double absoluteToleranceOf(const AdaptiveSettings& settings)
{
    return settings.absoluteTolerance > 0 ? settings.absoluteTolerance : settings.relativeTolerance;
}

long recordableStepBound(const AdaptiveSettings& settings)
{
    return std::min<long>(settings.maxSteps, kLastEntry);
}

namespace {

// The state of the model for a charge of NC components (1, or kMaxComponents for a mixed
// charge, whose components beyond its own stay at zero) and, after it, the work done against
// bore friction, which the fixed step sums once per step and this integrator integrates with
// the rest.
template <int NC>
inline constexpr std::size_t kFrictionWork = static_cast<std::size_t>(stateSize(NC));
template <int NC>
using Extended = std::array<double, kFrictionWork<NC> + 1>;

// Where the model's derivatives take a form of their own.
struct Modes {
    bool projectileHeld = true;  // the shot-start resistance holds the projectile
    bool barrelHeld = true;      // the recoil brake holds the barrel
    std::array<bool, kMaxComponents> burning{true, true, true, true, true, true, true, true};  // grains of component c are left
};

enum class Event {
    shotStart,
    projectileStops,
    recoilStart,
    recoilStops,
    wholeGrainBurnt,
    sliverCorner,  // inner or outer slivers consumed
    allBurnt,
    resistancePeak,
    resistanceEnd,
    muzzle,
    segmentRise,  // the mean pressure rises through a bound of the burning law's segments
    segmentFall,  // and falls through it again
};

// A derivative so large that no step over a state without meaning passes the error test.
inline constexpr double kRejectingRate = 1e250;

struct NoComponents {};

// The model at one state: its clamped state, auxiliaries and derivatives.
template <int NC>
struct Evaluation {
    Extended<NC> raw{};        // the integrated state, before the model's clamps
    StateOf<double, NC> y{};   // as the model clamped it
    ModelState m;
    StateOf<double, NC> d{};
    BoreLoad load;
    ModelFault fault = ModelFault::none;
    std::conditional_t<(NC > 1), ComponentAuxiliaries, NoComponents> parts{};
};

// A burned thickness of component c where its grains' surface changes form, m.
struct GrainCorner {
    int component;
    double e;
};

template <int NC>
class AdaptiveIntegration {
public:
    AdaptiveIntegration(const BallisticInput& in, const AdaptiveSettings& settings, RunResults& results,
                        const std::atomic<bool>* stop)
        : in_(in), settings_(settings), results_(results), stop_(stop), k_(prepareRunConstants(in))
    {
        if constexpr (NC > 1)
            charge_ = prepareChargeConstants(in);
        setScales();
        setGrainCorners();
    }

    AdaptiveOutcome toMuzzle();

private:
    using Extended = kalvex::Extended<NC>;
    using Evaluation = kalvex::Evaluation<NC>;
    static constexpr std::size_t kFrictionWork = kalvex::kFrictionWork<NC>;
    using Stepper = decltype(boost::numeric::odeint::make_dense_output(
        1.0, 1.0, boost::numeric::odeint::runge_kutta_dopri5<Extended>()));

    int components() const { return NC > 1 ? charge_.count : 1; }
    GrainType grainTypeOf(int c) const;
    const BurningLawRates& lawOf(int c) const
    {
        if constexpr (NC > 1)
            return charge_.components[static_cast<std::size_t>(c)].law;
        return k_.source.law;
    }
    Evaluation evaluate(const Extended& y) const;
    void derivatives(const Evaluation& e, Extended& dy) const;
    Extended unscaled(const Extended& z) const;
    Extended scaled(const Extended& y) const;
    Extended stateAt(const Stepper& stepper, double t) const;
    double eventValue(Event event, int component, double bound, const Evaluation& e) const;
    void setScales();
    void setGrainCorners();
    struct Found {
        Event event;
        int component;
        double bound;
        double t;
    };
    std::optional<Found> firstEvent(double t0, const Evaluation& e0, double t1, const Evaluation& e1);
    double locate(Event event, int component, double bound, double t0, double t1);
    void apply(Event event, int component, double bound, Extended& y);
    void applyAlongside(const Found& found, Extended& y);
    std::optional<RunEnd> record(double t, const Evaluation& e);
    void locatePeaksAround(int k);
    double pressureAt(const Stepper& stepper, SeriesId id, double t);
    RunEnd finish(RunEnd end);

    const BallisticInput& in_;
    const AdaptiveSettings& settings_;
    RunResults& results_;
    const std::atomic<bool>* stop_;
    RunConstants k_;
    ChargeConstants charge_;  // of a mixed charge
    Extended scale_{};
    std::vector<GrainCorner> grainCorners_;  // by component, each's in increasing order
    Modes modes_;
    mutable long evaluations_ = 0;
    mutable ModelFault lastFault_ = ModelFault::none;
    Stepper stepper_ = boost::numeric::odeint::make_dense_output(
        1.0, 1.0, boost::numeric::odeint::runge_kutta_dopri5<Extended>());
    Stepper previousStepper_ = stepper_;  // the dense output of the step before the latest
    // The step onto an event taken again as a step of its own: the dense output between the
    // steps is of lower order than the steps.
    boost::numeric::odeint::runge_kutta_dopri5<Extended> exact_;
    int last_ = 0;                        // the latest entry
    long steps_ = 0;
    LocatedPeaks peaks_;
};

PeakValue& peakOf(LocatedPeaks& peaks, SeriesId id);

template <int NC>
GrainType AdaptiveIntegration<NC>::grainTypeOf(int c) const
{
    if constexpr (NC > 1)
        return static_cast<GrainType>(charge_.components[static_cast<std::size_t>(c)].shape.grainType);
    return k_.grainType;
}

template <int NC>
typename AdaptiveIntegration<NC>::Evaluation AdaptiveIntegration<NC>::evaluate(const Extended& y) const
{
    ++evaluations_;
    Evaluation e;
    e.raw = y;
    std::copy(y.begin(), y.begin() + kFrictionWork, e.y.begin());
    // The resistance profile is continuous; only exactly at xe does the fixed step keep the
    // value of its previous step, which is pxe from either side.
    e.load = {resistancePressure(in_, std::max(0.0, y[kTravel]), in_.pxe), y[kFrictionWork]};
    if constexpr (NC > 1)
        e.fault = evaluateChargeModel(k_, charge_, e.load, e.y, e.m, e.parts, e.d);
    else
        e.fault = evaluateModel(k_, e.load, e.y, e.m, e.d);
    uniformAtRest<double>(e.y, e.m);
    return e;
}

template <int NC>
void AdaptiveIntegration<NC>::derivatives(const Evaluation& e, Extended& dy) const
{
    std::copy(e.d.begin(), e.d.end(), dy.begin());
    if (modes_.projectileHeld)
        dy[kVelocity] = 0;
    if (modes_.barrelHeld)
        dy[kRecoilVelocity] = 0;
    for (int c = 0; c < components(); ++c)
        if (!modes_.burning[static_cast<std::size_t>(c)])
            dy[static_cast<std::size_t>(burnedFractionIndex(c))] = 0;
    dy[kFrictionWork] = k_.Afr * e.load.pr * e.d[kTravel];
}

template <int NC>
typename AdaptiveIntegration<NC>::Extended AdaptiveIntegration<NC>::unscaled(const Extended& z) const
{
    Extended y;
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = z[i] * scale_[i];
    return y;
}

template <int NC>
typename AdaptiveIntegration<NC>::Extended AdaptiveIntegration<NC>::scaled(const Extended& y) const
{
    Extended z;
    for (std::size_t i = 0; i < z.size(); ++i)
        z[i] = y[i] / scale_[i];
    return z;
}

template <int NC>
typename AdaptiveIntegration<NC>::Extended AdaptiveIntegration<NC>::stateAt(const Stepper& stepper, double t) const
{
    Extended z;
    stepper.calc_state(t, z);
    return unscaled(z);
}

// The error test measures each variable in a size of its own, so one absolute tolerance fits
// travel, velocities, the burned fraction and energies alike.
template <int NC>
void AdaptiveIntegration<NC>::setScales()
{
    double energy = k_.propellantForceMass / (in_.gamma - 1) + k_.igniterEnergy;
    if constexpr (NC > 1) {
        energy = k_.igniterEnergy;
        for (int c = 0; c < charge_.count; ++c)
            energy += charge_.components[static_cast<std::size_t>(c)].forceMass /
                      charge_.components[static_cast<std::size_t>(c)].gammaMinus1;
    }
    const double velocity = std::sqrt(2 * energy / in_.mp);
    const auto sized = [](double v) { return std::isfinite(v) && v > 0 ? v : 1.0; };
    scale_[kVelocity] = sized(velocity);
    scale_[kTravel] = sized(in_.xm);
    scale_[kBurnedFraction] = 1;
    scale_[kAirWork] = sized(energy);
    scale_[kHeatLoss] = sized(energy);
    scale_[kRecoilVelocity] = sized(velocity * in_.mp / in_.mrp);
    scale_[kBurnedThickness] = sized(k_.initialGrainVolume / k_.initialGrainSurface);
    if constexpr (NC > 1) {
        for (int c = 0; c < charge_.count; ++c) {
            const ComponentConstants& part = charge_.components[static_cast<std::size_t>(c)];
            scale_[static_cast<std::size_t>(burnedFractionIndex(c))] = 1;
            scale_[static_cast<std::size_t>(burnedThicknessIndex(c))] =
                sized(part.initialGrainVolume / part.initialGrainSurface);
        }
        for (std::size_t i = static_cast<std::size_t>(stateSize(charge_.count)); i < kFrictionWork; ++i)
            scale_[i] = 1;  // components the charge does not hold
    }
    scale_[kFrictionWork] = sized(energy);
}

// Multi-perforated grains burn as a whole up to half the web, then as slivers whose surface
// changes form where the inner and the outer slivers are consumed.
template <int NC>
void AdaptiveIntegration<NC>::setGrainCorners()
{
    for (int c = 0; c < components(); ++c) {
        const GrainType type = grainTypeOf(c);
        if (!isMultiPerforated(type))
            continue;
        const GrainGeometry& g = NC > 1 ? charge_.components[static_cast<std::size_t>(c)].grain : k_.source.grain;
        std::vector<double> corners = {g.innerSliverLimit, g.outerSliverLimit};  // half the web: ModelEvent::wholeGrainBurnt
        if (type == GrainType::nineteenPerforated)
            corners.push_back(0.5 * g.sliverLimitC);
        std::sort(corners.begin(), corners.end());
        for (double e : corners)
            grainCorners_.push_back({c, e});
    }
}

// Each event happens where its value passes from negative to zero or above. The model names
// its events; the integrator adds where the projectile or the barrel comes to rest again and
// the sliver corners, where the surface of multi-perforated grains changes form.
template <int NC>
double AdaptiveIntegration<NC>::eventValue(Event event, int component, double bound, const Evaluation& e) const
{
    StateVector raw;  // as integrated: the model's clamps would hide a bound passed
    std::copy(e.raw.begin(), e.raw.begin() + kStateSize, raw.begin());
    const auto model = [&](ModelEvent named) {
        if constexpr (NC > 1) {
            if (named == ModelEvent::wholeGrainBurnt || named == ModelEvent::allBurnt)
                return componentEventFunction(named, charge_.components[static_cast<std::size_t>(component)],
                                              e.raw[static_cast<std::size_t>(burnedFractionIndex(component))],
                                              e.raw[static_cast<std::size_t>(burnedThicknessIndex(component))]);
        }
        return eventFunction(named, k_, raw, e.m, e.load);
    };
    switch (event) {
    case Event::shotStart:
        return model(ModelEvent::shotStart);
    case Event::projectileStops:
        return -raw[kVelocity];
    case Event::recoilStart:
        return recoilingPressure<double>(k_, e.m.P0, k_.fr * e.load.pr);
    case Event::recoilStops:
        return raw[kRecoilVelocity];
    case Event::wholeGrainBurnt:
        return model(ModelEvent::wholeGrainBurnt);
    case Event::sliverCorner:
        return e.raw[static_cast<std::size_t>(burnedThicknessIndex(component))] - bound;
    case Event::allBurnt:
        return model(ModelEvent::allBurnt);
    case Event::resistancePeak:
        return model(ModelEvent::resistancePeak);
    case Event::resistanceEnd:
        return model(ModelEvent::resistanceEnd);
    case Event::muzzle:
        return model(ModelEvent::muzzle);
    case Event::segmentRise:
        return e.m.Pm - bound;
    case Event::segmentFall:
        return bound - e.m.Pm;
    }
    return -1;
}

// The earliest event within the step from t0 to t1, located on the step's dense output.
template <int NC>
std::optional<typename AdaptiveIntegration<NC>::Found> AdaptiveIntegration<NC>::firstEvent(
    double t0, const Evaluation& e0, double t1, const Evaluation& e1)
{
    std::optional<Found> first;
    const auto check = [&](Event event, int component, double bound) {
        if (eventValue(event, component, bound, e0) >= 0 || eventValue(event, component, bound, e1) < 0)
            return;
        const double t = locate(event, component, bound, t0, first ? first->t : t1);
        if (!first || t < first->t)
            first = Found{event, component, bound, t};
    };
    check(modes_.projectileHeld ? Event::shotStart : Event::projectileStops, 0, 0);
    check(modes_.barrelHeld ? Event::recoilStart : Event::recoilStops, 0, 0);
    // Each component's grains change form and burn out on their own.
    for (int c = 0; c < components(); ++c) {
        if (!modes_.burning[static_cast<std::size_t>(c)])
            continue;
        if (isMultiPerforated(grainTypeOf(c)))
            check(Event::wholeGrainBurnt, c, 0);
        for (const GrainCorner& corner : grainCorners_)
            if (corner.component == c)
                check(Event::sliverCorner, c, corner.e);
        check(Event::allBurnt, c, 0);
        // The burning rate jumps where the component's law changes segment: a step across
        // the bound would lose the order of the method, so each crossing ends a step.
        const BurningLawRates& law = lawOf(c);
        for (std::size_t j = 1; j < law.count; ++j) {
            check(Event::segmentRise, c, law.segments[j].pLow);
            check(Event::segmentFall, c, law.segments[j].pLow);
        }
    }
    if (in_.xe0 > 0 && in_.xe0 < in_.xm)
        check(Event::resistancePeak, 0, in_.xe0);
    if (in_.xe > 0 && in_.xe < in_.xm)
        check(Event::resistanceEnd, 0, in_.xe);
    check(Event::muzzle, 0, in_.xm);
    return first;
}

// The time of the event within [t0, t1], the end of the bracket at which it has happened.
template <int NC>
double AdaptiveIntegration<NC>::locate(Event event, int component, double bound, double t0, double t1)
{
    if (!(t1 > t0))
        return t1;  // an earlier event already ends the step here
    const auto value = [&](double t) { return eventValue(event, component, bound, evaluate(stateAt(stepper_, t))); };
    const double g1 = value(t1);
    if (g1 < 0)
        return t1;  // not within the earlier bracket
    const double g0 = value(t0);
    if (g0 >= 0)
        return t0;
    std::uintmax_t iterations = 100;
    const auto bracket = boost::math::tools::toms748_solve(
        value, t0, t1, g0, g1, [](double a, double b) { return b - a <= 4 * std::numeric_limits<double>::epsilon() * b; },
        iterations);
    return value(bracket.first) >= 0 ? bracket.first : bracket.second;
}

// The model's new form from the event on; a state event sits exactly on its bound (within
// the step's error of where the step put it).
template <int NC>
void AdaptiveIntegration<NC>::apply(Event event, int component, double bound, Extended& y)
{
    const auto burned = static_cast<std::size_t>(burnedFractionIndex(component));
    const auto thickness = static_cast<std::size_t>(burnedThicknessIndex(component));
    switch (event) {
    case Event::shotStart:
        modes_.projectileHeld = false;
        break;
    case Event::projectileStops:
        modes_.projectileHeld = true;
        y[kVelocity] = 0;
        break;
    case Event::recoilStart:
        modes_.barrelHeld = false;
        break;
    case Event::recoilStops:
        modes_.barrelHeld = true;
        y[kRecoilVelocity] = 0;
        break;
    case Event::allBurnt:
        modes_.burning[static_cast<std::size_t>(component)] = false;
        y[burned] = 1;
        break;
    case Event::wholeGrainBurnt:
        if constexpr (NC > 1)
            y[thickness] = 0.5 * charge_.components[static_cast<std::size_t>(component)].grain.web;
        else
            y[thickness] = k_.halfWeb;
        break;
    case Event::sliverCorner:
        y[thickness] = bound;
        break;
    case Event::resistancePeak:
    case Event::resistanceEnd:
    case Event::muzzle:
        y[kTravel] = bound;
        break;
    case Event::segmentRise:
    case Event::segmentFall:
        break;  // the state is smooth there; only the rate's law changes
    }
}

// A component event takes with it the same event of every other component that has come as
// far at that state: components of one grain and law reach their bounds together, and a
// second event a rounding later would add an entry of its own.
template <int NC>
void AdaptiveIntegration<NC>::applyAlongside(const Found& found, Extended& y)
{
    if (found.event != Event::wholeGrainBurnt && found.event != Event::sliverCorner && found.event != Event::allBurnt)
        return;
    const Evaluation at = evaluate(y);
    const double reached = eventValue(found.event, found.component, found.bound, at);
    const auto hasCorner = [&](int c) {
        return std::any_of(grainCorners_.begin(), grainCorners_.end(),
                           [&](const GrainCorner& g) { return g.component == c && g.e == found.bound; });
    };
    for (int c = 0; c < components(); ++c) {
        if (c == found.component || !modes_.burning[static_cast<std::size_t>(c)])
            continue;
        if (found.event == Event::wholeGrainBurnt && !isMultiPerforated(grainTypeOf(c)))
            continue;
        if (found.event == Event::sliverCorner && !hasCorner(c))
            continue;
        if (eventValue(found.event, c, found.bound, at) >= reached)
            apply(found.event, c, found.bound, y);
    }
}

// The entry after the latest, with the end tests of the fixed step but its step budget.
template <int NC>
std::optional<RunEnd> AdaptiveIntegration<NC>::record(double t, const Evaluation& e)
{
    if (e.fault != ModelFault::none)
        return faultEnd(e.fault);
    const int k = last_ + 1;
    if (k > recordableStepBound(settings_) || steps_ > settings_.maxSteps)
        return RunEnd::AdaptiveStepLimit;
    StateVector shown;  // the state as the series show the charge
    if constexpr (NC > 1)
        shown = chargeSeriesState(charge_, e.y);
    else
        shown = e.y;
    Entry entry = stepEntry<double>(k_, shown, e.m, e.load, 0.0);  // its time is the event's or the step's end
    entry[static_cast<std::size_t>(SeriesId::time)] = t * kSecondToMillisecond;
    writeEntry(results_, k, entry);
    if constexpr (NC > 1)
        recordComponents(charge_, e.y, results_, k);
    last_ = k;
    if (const std::optional<RunEnd> end = stepEnd(k_, shown, e.m, e.load, entry, 0))
        return end;
    if (k >= 2)
        locatePeaksAround(k - 1);
    return std::nullopt;
}

template <int NC>
double AdaptiveIntegration<NC>::pressureAt(const Stepper& stepper, SeriesId id, double t)
{
    const Evaluation e = evaluate(stateAt(stepper, t));
    const double p = id == SeriesId::meanPressure ? e.m.Pm : id == SeriesId::basePressure ? e.m.Pb : e.m.P0;
    return p * kPascalToMegapascal;
}

PeakValue& peakOf(LocatedPeaks& peaks, SeriesId id)
{
    return id == SeriesId::meanPressure ? peaks.meanPressure
         : id == SeriesId::basePressure ? peaks.basePressure
                                        : peaks.breechPressure;
}

inline constexpr std::array<SeriesId, 3> kPeakSeries{SeriesId::meanPressure, SeriesId::basePressure,
                                                     SeriesId::breechPressure};

// A pressure whose entries peak at entry k peaks between the entries around it: on the dense
// output of the two steps that meet at k, at dP/dt = 0.
template <int NC>
void AdaptiveIntegration<NC>::locatePeaksAround(int k)
{
    const auto timeOf = [&](int j) { return results_.at(SeriesId::time, j) * kMillisecondToSecond; };
    for (SeriesId id : kPeakSeries) {
        PeakValue& peak = peakOf(peaks_, id);
        const double pk = results_.at(id, k);
        if (!(pk >= results_.at(id, k - 1) && pk > results_.at(id, k + 1) && pk > peak.value))
            continue;
        PeakValue best{pk, timeOf(k)};
        const auto search = [&](const Stepper& stepper, double from, double to) {
            if (!(to > from))
                return;
            const auto [t, negative] = boost::math::tools::brent_find_minima(
                [&](double s) { return -pressureAt(stepper, id, s); }, from, to, 40);
            if (-negative > best.value)
                best = {-negative, t};
        };
        search(previousStepper_, timeOf(k - 1), timeOf(k));
        search(stepper_, timeOf(k), timeOf(k + 1));
        peak = {best.value, best.time * kSecondToMillisecond};
    }
}

template <int NC>
RunEnd AdaptiveIntegration<NC>::finish(RunEnd end)
{
    results_.endStep = last_;
    if (end == RunEnd::MuzzleReached) {
        results_.stepCount = last_;
        for (SeriesId id : kPeakSeries)  // a pressure still rising at the muzzle peaks there
            if (PeakValue& peak = peakOf(peaks_, id); results_.at(id, last_) > peak.value)
                peak = {results_.at(id, last_), results_.at(SeriesId::time, last_)};
    }
    clearEntry(results_, last_ + 1);
    clearComponentEntry(results_, last_ + 1);
    return end;
}

template <int NC>
AdaptiveOutcome AdaptiveIntegration<NC>::toMuzzle()
{
    namespace odeint = boost::numeric::odeint;
    results_.grain = k_.source.grain;
    results_.componentBurnedFraction.clear();
    if constexpr (NC > 1)
        recordChargeIgnition(in_, k_, charge_, results_);
    else
        recordIgnition(in_, k_, results_);
    // Entry 0 is ignition; its peaks count as the first candidates.
    for (SeriesId id : kPeakSeries)
        peakOf(peaks_, id) = {results_.at(id, 0), 0};

    Extended y{};
    Evaluation e0 = evaluate(y);
    if (e0.fault != ModelFault::none)
        return {finish(faultEnd(e0.fault)), 0, evaluations_, peaks_};  // no room for the gas at ignition
    modes_.projectileHeld = !(eventValue(Event::shotStart, 0, 0, e0) > 0);
    modes_.barrelHeld = !(eventValue(Event::recoilStart, 0, 0, e0) > 0);

    const double atol = absoluteToleranceOf(settings_);
    stepper_ = odeint::make_dense_output(atol, settings_.relativeTolerance, odeint::runge_kutta_dopri5<Extended>());
    const auto system = [this](const Extended& z, Extended& dz, double) {
        const Evaluation e = evaluate(unscaled(z));
        if (e.fault != ModelFault::none) {
            lastFault_ = e.fault;
            dz.fill(kRejectingRate);
            return;
        }
        derivatives(e, dz);
        for (std::size_t i = 0; i < dz.size(); ++i)
            dz[i] /= scale_[i];
    };
    const double characteristicTime = scale_[kTravel] / scale_[kVelocity];
    double t = 0;
    stepper_.initialize(scaled(y), t, 1e-6 * characteristicTime);
    Stepper toLatest = stepper_;  // its dense output covers the step to the latest entry
    const auto ended = [&](RunEnd end) { return AdaptiveOutcome{finish(end), steps_, evaluations_, peaks_}; };
    for (;;) {
        const Extended start = stepper_.current_state();
        try {
            stepper_.do_step(std::cref(system));
        } catch (const odeint::step_adjustment_error&) {
            return ended(faultEnd(lastFault_ == ModelFault::none ? ModelFault::temperature : lastFault_));
        }
        ++steps_;
        if (stop_ != nullptr && stop_->load(std::memory_order_relaxed))
            return ended(RunEnd::Interrupted);
        previousStepper_ = toLatest;
        const double t1 = stepper_.current_time();
        Evaluation e1 = evaluate(unscaled(stepper_.current_state()));
        const std::optional<Found> event = e1.fault == ModelFault::none ? firstEvent(t, e0, t1, e1) : std::nullopt;
        if (!event) {
            t = t1;
            toLatest = stepper_;
            if (const std::optional<RunEnd> end = record(t, e1))
                return ended(*end);
            e0 = e1;
            continue;
        }
        // The step ends at the event; the integration starts again there in the model's new form.
        Extended onEvent = start;
        exact_.reset();  // its derivative at the start is not the one it kept from its last step
        exact_.do_step(std::cref(system), onEvent, t, event->t - t);
        Extended atEvent = unscaled(onEvent);
        if constexpr (NC > 1)
            applyAlongside(*event, atEvent);
        apply(event->event, event->component, event->bound, atEvent);
        t = event->t;
        e0 = evaluate(atEvent);
        if (const std::optional<RunEnd> end = record(t, e0))
            return ended(*end);
        toLatest = stepper_;
        stepper_.initialize(scaled(atEvent), t, stepper_.current_time_step());
    }
}

}  // namespace

// A mixed charge integrates the larger state of its components; a charge of one component
// keeps its own.
AdaptiveOutcome runAdaptive(const BallisticInput& input, const AdaptiveSettings& settings, RunResults& results,
                            const std::atomic<bool>* stop)
{
    if (isMixedCharge(input))
        return AdaptiveIntegration<kMaxComponents>(input, settings, results, stop).toMuzzle();
    return AdaptiveIntegration<1>(input, settings, results, stop).toMuzzle();
}

}  // namespace kalvex
