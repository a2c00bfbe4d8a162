#include "vessel/ReductionText.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace kalvex::vessel {

namespace {

constexpr double kMs = 1e3;    // ms per s
constexpr double kMPa = 1e-6;  // MPa per Pa
constexpr double kMm = 1e3;    // mm per m

std::string plusMinus(double error)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(3);
    if (std::isnan(error))
        out << " (no error with two points)";
    else
        out << " +- " << error;
    return out.str();
}

void lawLines(std::ostream& out, const char* title, const std::vector<LawSegment>& law)
{
    out << title << "\n";
    for (const LawSegment& s : law)
        out << "  from " << s.pLow * kMPa << " MPa: beta = " << s.beta << plusMinus(s.betaError)
            << " m/s/Pa^alpha, alpha = " << s.alpha << plusMinus(s.alphaError) << " (" << s.points << " rates)\n";
}

}  // namespace

std::string reductionText(const std::vector<Firing>& firings, const VesselReduction& r,
                          const std::vector<ResimulatedTrace>& resimulated)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(6);
    for (std::size_t i = 0; i < firings.size(); ++i) {
        const Firing& f = firings[i];
        const FiringReduction& fr = r.firings[i];
        const std::vector<double>& t = f.trace.time;
        out << f.name << ": loading density " << f.chargeMass / f.volume << " kg/m^3, " << fr.temperature
            << " \u00b0C; trace from " << t[fr.reduced.start] * kMs << " ms to " << t[fr.reduced.end] * kMs
            << " ms, pmax " << fr.reduced.maxPressure * kMPa << " MPa (smoothed) at " << t[fr.reduced.peak] * kMs
            << " ms; " << fr.reduced.rates.size() << " rates";
        if (i < resimulated.size())
            out << "; re-simulated: rms residual " << resimulated[i].rmsResidual * kMPa << " MPa";
        out << "\n";
    }
    out << "reference temperature " << r.referenceTemperature << " \u00b0C\n";
    if (r.heatLoss.loses())
        out << "simulated with heat loss h = " << r.heatLoss.coefficient << " W/m^2/K to a wall at "
            << r.heatLoss.wallTemperature << " \u00b0C (vessel of " << r.heatLoss.innerDiameter * kMm
            << " mm inner diameter)\n";
    if (r.gasFromFirings) {
        out << "F = " << r.peakGas.force << plusMinus(r.peakGas.forceError) << " J/kg, b = " << r.peakGas.covolume
            << plusMinus(r.peakGas.covolumeError) << " m^3/kg (Noble-Abel line of the maximum pressures)\n";
        if (!std::isnan(r.traceResidual))
            out << "F = " << r.gas.force << plusMinus(r.gas.forceError) << " J/kg, b = " << r.gas.covolume
                << plusMinus(r.gas.covolumeError) << " m^3/kg (refined on the traces)\n";
    } else {
        out << "one loading density: F = " << r.gas.force << " J/kg and b = " << r.gas.covolume
            << " m^3/kg taken from the input\n";
    }
    lawLines(out, "burning law fitted to the rates:", r.rateLaw);
    out << "  rms of log r about it: " << r.lawResidual << "\n";
    if (!std::isnan(r.traceResidual)) {
        lawLines(out, "burning law refined on the traces:", r.law);
        out << "  rms relative pressure residual " << r.traceResidual * 100 << " %, " << r.traceFitIterations
            << " iterations\n";
    }
    if (r.temperature) {
        const TemperatureFit& t = *r.temperature;
        out << "temperature coefficients about " << t.coefficients.reference << " \u00b0C (firings from "
            << t.coefficients.lowest << " to " << t.coefficients.highest << " \u00b0C): force "
            << t.coefficients.force << plusMinus(t.forceError) << " 1/K, burning rate " << t.coefficients.burningRate
            << plusMinus(t.burningRateError) << " 1/K\n";
    }
    return out.str();
}

}  // namespace kalvex::vessel
