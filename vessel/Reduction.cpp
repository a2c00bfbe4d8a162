#include "vessel/Reduction.h"

#include "core/input/BallisticInput.h"
#include "vessel/FiringSimulation.h"
#include "vessel/SegmentBounds.h"
#include "vessel/TraceFit.h"

#include <gsl/gsl_fit.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace kalvex::vessel {

namespace {

double referenceOf(const std::vector<Firing>& firings, const ReductionOptions& options)
{
    if (options.referenceTemperature)
        return *options.referenceTemperature;
    double nearest = kDefaultReferenceTemperature;
    double distance = INFINITY;
    for (const Firing& f : firings) {
        const double t = f.chargeTemperature.value_or(kDefaultReferenceTemperature);
        if (std::fabs(t - kDefaultReferenceTemperature) < distance) {
            distance = std::fabs(t - kDefaultReferenceTemperature);
            nearest = t;
        }
    }
    return nearest;
}

VesselSetup setupOf(const Firing& f, const BallisticInput& propellant, double force, double covolume)
{
    VesselSetup s;
    s.charge = propellant;
    s.charge.F = force;
    s.charge.b = covolume;
    s.volume = f.volume;
    s.chargeMass = f.chargeMass;
    return s;
}

ReducedTrace reduceNamed(const Firing& f, const VesselSetup& s, const ReductionSettings& settings)
{
    try {
        return reduceTrace(f.trace, s, settings, f.trim);
    } catch (const std::invalid_argument& e) {
        throw std::invalid_argument(f.name + ": " + e.what());
    }
}

// The force that gives a firing's maximum pressure with the covolume b (Noble-Abel, the
// igniter's gas included).
double forceOfPeak(const Firing& f, double pmax, const BallisticInput& k, double covolume)
{
    return (pmax * (f.volume - f.chargeMass * covolume - k.CI * k.bI) - k.CI * k.FI) / f.chargeMass;
}

constexpr double kPeakSimulationStep = 1e-6;  // s, as the re-simulations

// How far the heat a firing loses lowers its maximum pressure: the maximum of the firing
// simulated with `propellant` and no loss, less its maximum with the stated loss.
double peakHeatLoss(const Firing& f, const BallisticInput& propellant, const VesselHeatLoss& loss)
{
    const auto highest = [&](const VesselHeatLoss& heatLoss) {
        const VesselTrace t = simulateFiring(f, propellant, heatLoss, kPeakSimulationStep, 0);
        return *std::max_element(t.pressure.begin(), t.pressure.end());
    };
    return highest(VesselHeatLoss{}) - highest(loss);
}

double lawRate(const std::vector<LawSegment>& law, double p)
{
    std::size_t j = 0;
    while (j + 1 < law.size() && law[j + 1].pLow <= p)
        ++j;
    return law[j].beta * std::pow(p, law[j].alpha);
}

// Relative slope of factor = c0 + c1 (T - Tref): c1/c0, so that the factor is 1 + k (T - Tref)
// at the reference, with its first-order standard error.
std::pair<double, double> relativeSlope(const std::vector<double>& dT, const std::vector<double>& factor)
{
    double c0 = 0, c1 = 0, cov00 = 0, cov01 = 0, cov11 = 0, sumsq = 0;
    gsl_fit_linear(dT.data(), 1, factor.data(), 1, dT.size(), &c0, &c1, &cov00, &cov01, &cov11, &sumsq);
    const double k = c1 / c0;
    const double variance = (cov11 - 2 * k * cov01 + k * k * cov00) / (c0 * c0);
    const bool spare = dT.size() > 2;  // with two firings there is no scatter to take an error from
    return {k, spare ? std::sqrt(std::max(variance, 0.0)) : NAN};
}

std::optional<TemperatureFit> fitTemperature(const std::vector<FiringReduction>& firings, double reference,
                                             double force)
{
    std::vector<double> dT, forceFactor, rateFactor;
    double lowest = INFINITY, highest = -INFINITY;
    for (const FiringReduction& f : firings) {
        dT.push_back(f.temperature - reference);
        forceFactor.push_back(f.force / force);
        rateFactor.push_back(f.rateFactor);
        lowest = std::min(lowest, f.temperature);
        highest = std::max(highest, f.temperature);
    }
    if (!(highest > lowest))
        return std::nullopt;
    TemperatureFit fit;
    std::tie(fit.coefficients.force, fit.forceError) = relativeSlope(dT, forceFactor);
    std::tie(fit.coefficients.burningRate, fit.burningRateError) = relativeSlope(dT, rateFactor);
    fit.coefficients.reference = reference;
    fit.coefficients.lowest = lowest;
    fit.coefficients.highest = highest;
    return fit;
}

// A firing that loses heat peaks below the Noble-Abel pressure of its charge: with a stated
// loss each maximum at the reference temperature is raised by what its simulation with the
// gas and the rates' law loses, and the line is drawn again; the loss depends on the gas, so
// the two are taken in turn until the force settles.
void raisePeaksByHeatLoss(const std::vector<Firing>& firings, const BallisticInput& propellant,
                          const ReductionOptions& options, VesselReduction& out)
{
    constexpr int kMostRounds = 8;
    constexpr double kSettledForce = 1e-6;  // relative change of F between two rounds
    BallisticInput gas = propellant;
    setLaw(gas, out.rateLaw);
    for (int round = 0; round < kMostRounds; ++round) {
        gas.F = out.gas.force;
        gas.b = out.gas.covolume;
        std::vector<MaxPressureFiring> raised;
        for (std::size_t i = 0; i < firings.size(); ++i) {
            FiringReduction& r = out.firings[i];
            if (!r.reference)
                continue;
            r.peakHeatLoss = peakHeatLoss(firings[i], gas, options.heatLoss);
            raised.push_back({firings[i].volume, firings[i].chargeMass, r.reduced.maxPressure + r.peakHeatLoss});
        }
        if (!out.gasFromFirings)
            return;  // the propellant's own gas: no line to draw
        out.gas = out.peakGas = reduceForceCovolume(raised, {propellant.CI, propellant.FI, propellant.bI});
        if (std::fabs(out.gas.force - gas.F) <= kSettledForce * gas.F)
            return;
    }
}

}  // namespace

VesselReduction reduceFirings(const std::vector<Firing>& firings, const BallisticInput& propellant,
                              const ReductionOptions& options)
{
    if (const std::string problem = options.heatLoss.problem(); !problem.empty())
        throw std::invalid_argument(problem);
    VesselReduction out;
    out.heatLoss = options.heatLoss;
    out.referenceTemperature = referenceOf(firings, options);
    out.firings.resize(firings.size());
    std::vector<MaxPressureFiring> peaks;
    for (std::size_t i = 0; i < firings.size(); ++i) {
        FiringReduction& r = out.firings[i];
        r.temperature = firings[i].chargeTemperature.value_or(out.referenceTemperature);
        r.reference = r.temperature == out.referenceTemperature;
        r.reduced = reduceNamed(firings[i], setupOf(firings[i], propellant, propellant.F, propellant.b), options.trace);
        if (r.reference)
            peaks.push_back({firings[i].volume, firings[i].chargeMass, r.reduced.maxPressure});
    }
    if (peaks.empty())
        throw std::invalid_argument("no firing at the reference temperature " + std::to_string(out.referenceTemperature) +
                                    " \u00b0C");

    // Force and covolume from two or more loading densities at the reference temperature.
    out.gas = {propellant.F, propellant.b, NAN, NAN};
    for (const MaxPressureFiring& p : peaks)
        out.gasFromFirings = out.gasFromFirings || p.chargeMass / p.volume != peaks[0].chargeMass / peaks[0].volume;
    if (out.gasFromFirings)
        out.gas = reduceForceCovolume(peaks, {propellant.CI, propellant.FI, propellant.bI});
    out.peakGas = out.gas;

    // Each firing's rates with the force its own peak gives: at the reference temperature that
    // is the reduced F within the scatter, at another the force of that temperature.
    std::vector<RatePoint> rates;
    for (std::size_t i = 0; i < firings.size(); ++i) {
        FiringReduction& r = out.firings[i];
        r.force = forceOfPeak(firings[i], r.reduced.maxPressure, propellant, out.gas.covolume);
        const double force = r.reference ? out.gas.force : r.force;
        r.reduced = reduceNamed(firings[i], setupOf(firings[i], propellant, force, out.gas.covolume), options.trace);
        if (r.reference)
            rates.insert(rates.end(), r.reduced.rates.begin(), r.reduced.rates.end());
    }
    const std::vector<double> bounds =
        options.foundSegments > 0 ? findSegmentBounds(rates, options.foundSegments) : options.pLow;
    out.rateLaw = fitBurningLaw(rates, bounds);
    out.law = out.rateLaw;
    if (options.heatLoss.loses())
        raisePeaksByHeatLoss(firings, propellant, options, out);
    if (options.fitTraces) {
        std::vector<const Firing*> fitted;
        std::vector<const ReducedTrace*> reduced;
        for (std::size_t i = 0; i < firings.size(); ++i)
            if (out.firings[i].reference) {
                fitted.push_back(&firings[i]);
                reduced.push_back(&out.firings[i].reduced);
            }
        BallisticInput gas = propellant;
        gas.F = out.gas.force;
        gas.b = out.gas.covolume;
        const TraceFitResult fit =
            fitLawToTraces(fitted, reduced, gas, out.rateLaw, options.trace,
                           {options.joinSegments, !options.ignitionAtZero, options.fitGas && out.gasFromFirings, options.stop,
                            options.heatLoss});
        out.law = fit.law;
        out.gas = fit.gas;
        out.traceResidual = fit.rmsRelativeResidual;
        out.traceFitIterations = fit.iterations;
    }

    double squares = 0;
    for (const RatePoint& p : rates)
        squares += std::pow(std::log(p.rate / lawRate(out.law, p.pressure)), 2);
    out.lawResidual = std::sqrt(squares / static_cast<double>(rates.size()));
    for (FiringReduction& r : out.firings) {
        double sum = 0;
        for (const RatePoint& p : r.reduced.rates)
            sum += std::log(p.rate / lawRate(out.law, p.pressure));
        r.rateFactor = r.reduced.rates.empty() ? NAN : std::exp(sum / static_cast<double>(r.reduced.rates.size()));
    }
    // The other temperatures' forces from their raised maxima, each simulated with its own
    // force and rate factor.
    if (options.heatLoss.loses()) {
        for (std::size_t i = 0; i < firings.size(); ++i) {
            FiringReduction& r = out.firings[i];
            if (r.reference)
                continue;
            BallisticInput then = reducedPropellant(out, propellant);
            then.F = r.force;
            then.fbetaT = r.rateFactor;
            r.peakHeatLoss = peakHeatLoss(firings[i], then, options.heatLoss);
            r.force = forceOfPeak(firings[i], r.reduced.maxPressure + r.peakHeatLoss, propellant, out.gas.covolume);
        }
    }
    out.temperature = fitTemperature(out.firings, out.referenceTemperature, out.gas.force);
    return out;
}

BallisticInput reducedPropellant(const VesselReduction& reduction, const BallisticInput& propellant)
{
    BallisticInput in = propellant;
    in.F = reduction.gas.force;
    in.b = reduction.gas.covolume;
    setLaw(in, reduction.law);
    in.fFT = 1;
    in.fbetaT = 1;
    in.chargeTemperature.reset();
    in.temperatureCoefficients.reset();
    if (reduction.temperature) {
        in.temperatureCoefficients = reduction.temperature->coefficients;
        in.chargeTemperature = reduction.referenceTemperature;
    }
    return in;
}

}  // namespace kalvex::vessel
