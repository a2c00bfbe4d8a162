#include "vessel/ReductionJson.h"

#include <cmath>

namespace kalvex::vessel {

namespace {

using nlohmann::json;

// NaN (an error that two points cannot give) is written as null.
json number(double value) { return std::isfinite(value) ? json(value) : json(nullptr); }

json lawJson(const std::vector<LawSegment>& law)
{
    json out = json::array();
    for (const LawSegment& s : law)
        out.push_back({{"pLow", s.pLow}, {"beta", s.beta}, {"alpha", s.alpha}, {"betaError", number(s.betaError)},
                       {"alphaError", number(s.alphaError)}, {"rates", s.points}});
    return out;
}

json gasJson(const ForceCovolume& gas)
{
    return {{"F", gas.force}, {"b", gas.covolume}, {"FError", number(gas.forceError)},
            {"bError", number(gas.covolumeError)}};
}

}  // namespace

json reductionSettingsJson(const ReductionOptions& o)
{
    const ReductionSettings& s = o.trace;
    json out = {{"smoothingHalfWidth", s.smoothingHalfWidth}, {"smoothingAlpha", s.smoothingAlpha},
                {"differenceSpan", s.differenceSpan},         {"ignitionFraction", s.ignitionFraction},
                {"lowFraction", s.lowFraction},               {"highFraction", s.highFraction},
                {"fitTraces", o.fitTraces},                   {"joinSegments", o.joinSegments},
                {"fitGas", o.fitGas},                         {"ignitionAtZero", o.ignitionAtZero}};
    if (o.foundSegments > 0)
        out["foundSegments"] = o.foundSegments;
    else
        out["pLow"] = o.pLow;
    if (o.referenceTemperature)
        out["referenceTemperature"] = *o.referenceTemperature;
    if (o.heatLoss.loses())
        out["heatLoss"] = {{"coefficient", o.heatLoss.coefficient},
                           {"innerDiameter", o.heatLoss.innerDiameter},
                           {"wallTemperature", o.heatLoss.wallTemperature}};
    return out;
}

json reductionJson(const std::vector<Firing>& firings, const ReductionOptions& options, const VesselReduction& r,
                   const std::vector<ResimulatedTrace>& resimulated)
{
    json out = {{"settings", reductionSettingsJson(options)}, {"referenceTemperature", r.referenceTemperature}};
    json list = json::array();
    for (std::size_t i = 0; i < firings.size(); ++i) {
        const Firing& f = firings[i];
        const FiringReduction& fr = r.firings[i];
        json row = {{"file", f.name},
                    {"volume", f.volume},
                    {"chargeMass", f.chargeMass},
                    {"temperature", fr.temperature},
                    {"reference", fr.reference},
                    {"start", f.trace.time[fr.reduced.start]},
                    {"peak", f.trace.time[fr.reduced.peak]},
                    {"end", f.trace.time[fr.reduced.end]},
                    {"maxPressure", fr.reduced.maxPressure},
                    {"rates", fr.reduced.rates.size()},
                    {"force", fr.force},
                    {"rateFactor", number(fr.rateFactor)}};
        if (i < resimulated.size()) {
            row["resimulationShift"] = resimulated[i].shift;
            row["rmsResidual"] = resimulated[i].rmsResidual;
        }
        list.push_back(row);
    }
    out["firings"] = list;
    out["gasFromFirings"] = r.gasFromFirings;
    out["peakGas"] = gasJson(r.peakGas);
    out["gas"] = gasJson(r.gas);
    out["rateLaw"] = lawJson(r.rateLaw);
    out["rateLawResidual"] = r.lawResidual;
    out["law"] = lawJson(r.law);
    out["traceResidual"] = number(r.traceResidual);
    if (r.temperature) {
        const TemperatureFit& t = *r.temperature;
        out["temperatureCoefficients"] = {{"force", t.coefficients.force},
                                          {"burningRate", t.coefficients.burningRate},
                                          {"reference", t.coefficients.reference},
                                          {"lowest", t.coefficients.lowest},
                                          {"highest", t.coefficients.highest},
                                          {"forceError", number(t.forceError)},
                                          {"burningRateError", number(t.burningRateError)}};
    }
    return out;
}

}  // namespace kalvex::vessel
