#include "study/InputsJson.h"

#include "core/input/ChargeList.h"
#include "core/propellant/TemperatureCoefficientsJson.h"
#include "core/results/Errors.h"
#include "study/JsonKeys.h"
#include "study/Parameters.h"
#include "study/StudyError.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace kalvex::study {

using nlohmann::json;

namespace {

constexpr const char* kCoefficientsKey = "temperatureCoefficients";
constexpr const char* kSegmentsKey = "segments";
constexpr const char* kChargeKey = "charge";

// Whether a parameter is a value of the first component, which a charge list gives.
bool isComponentParameter(const Parameter& p)
{
    return p.kind == ParameterKind::grainType || (p.field && findComponentField(p.field->name));
}

// The burning law's segments above the first, each {"pLow": MPa, "beta": m/s/Pa^alpha,
// "alpha": -}; the input rules check them with the rest of the input set.
std::vector<BurningSegment> segmentsFrom(const json& list, const std::string& where)
{
    if (!list.is_array())
        throw StudyError(where + " must be a list of {\"pLow\", \"beta\", \"alpha\"}");
    std::vector<BurningSegment> segments;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const JsonKeys keys(list[i], where + " (segment " + std::to_string(i + 2) + ")", {"pLow", "beta", "alpha"});
        segments.push_back({keys.number("pLow"), keys.number("beta"), keys.number("alpha")});
    }
    return segments;
}

json segmentsTo(const std::vector<BurningSegment>& segments)
{
    json list = json::array();
    for (const BurningSegment& s : segments)
        list.push_back({{"pLow", s.pLow}, {"beta", s.beta}, {"alpha", s.alpha}});
    return list;
}

// A component record; values in the units of the input fields of the same names (mm for
// the grain sizes), each required.
}  // namespace

ChargeComponent componentFromJson(const json& record, std::size_t k)
{
    // its values by the names of the input fields, its grain type, segments and coefficients
    const JsonKeys keys(record, "inputs.charge (component " + std::to_string(k) + ")",
                        {"C", "F", "T0", "b", "gamma", "rho", "beta", "alpha", "fFT", "fbeta", "fbetaT", "grainType", "D",
                         "L", "P", "SW", kSegmentsKey, kCoefficientsKey});
    ChargeComponent c;
    for (const ComponentField& field : kComponentFields) {
        const std::string name(field.name);
        c.*field.ofComponent = keys.number(name.c_str()) * findInputField(field.name)->toStored;
    }
    c.grainType = keys.whole<int>("grainType", 1, 7);
    if (keys.has(kSegmentsKey))
        c.upperSegments = segmentsFrom(keys.required(kSegmentsKey), keys.path(kSegmentsKey));
    if (keys.has(kCoefficientsKey))
        c.temperatureCoefficients = temperatureCoefficientsFrom(keys.required(kCoefficientsKey), keys.path(kCoefficientsKey));
    return c;
}

json componentToJson(const ChargeComponent& c)
{
    json record = json::object();
    for (const ComponentField& field : kComponentFields)
        record[std::string(field.name)] = valueReadingBack(c.*field.ofComponent, *findInputField(field.name));
    record["grainType"] = c.grainType;
    if (!c.upperSegments.empty())
        record[kSegmentsKey] = segmentsTo(c.upperSegments);
    if (c.temperatureCoefficients)
        record[kCoefficientsKey] = temperatureCoefficientsJson(*c.temperatureCoefficients);
    return record;
}

namespace {

std::vector<ChargeComponent> chargeFrom(const json& list)
{
    if (!list.is_array() || list.empty() || list.size() > kMaxChargeComponents)
        throw StudyError("inputs.charge must be a list of 1 to " + std::to_string(kMaxChargeComponents) +
                         " component records");
    std::vector<ChargeComponent> charge;
    for (std::size_t k = 0; k < list.size(); ++k)
        charge.push_back(componentFromJson(list[k], k + 1));
    return charge;
}

}  // namespace

TemperatureCoefficients temperatureCoefficientsFrom(const json& object, const std::string& key)
{
    TemperatureCoefficients coefficients;
    if (std::string problem = readTemperatureCoefficients(object, key, coefficients); !problem.empty())
        throw StudyError(problem);
    return coefficients;
}

void setChargeTemperatureJson(BallisticInput& input, double celsius)
{
    try {
        setParameterValue(input, findParameter(kChargeTemperatureParameter), celsius);
    } catch (const InputError& e) {
        throw StudyError(std::string("chargeTemperature: ") + e.what());
    }
}

BallisticInput inputsFromJson(const json& inputs)
{
    if (!inputs.is_object())
        throw StudyError("inputs must be an object of parameter values");
    // A charge list holds every component, the first included: its values stand there alone.
    const bool charge = inputs.contains(kChargeKey);
    BallisticInput input;
    for (const Parameter& p : allParameters()) {
        if (p.kind == ParameterKind::chargeTemperature)
            continue;  // optional, read below
        const std::string name(p.name);
        if (charge && isComponentParameter(p)) {
            if (inputs.contains(name))
                throw StudyError("inputs." + name + ": the charge's values are given in inputs.charge, component 1's in its first record");
            continue;
        }
        if (!inputs.contains(name))
            throw StudyError("inputs: the key \"" + name + "\" is missing");
        setParameterValue(input, p, jsonNumber(inputs.at(name), "inputs." + name));
    }
    for (const auto& [key, value] : inputs.items())
        if (key != kCoefficientsKey && key != kSegmentsKey && key != kChargeKey)
            findParameter(key);  // names an unknown key
    if (charge) {
        for (const char* key : {kSegmentsKey, kCoefficientsKey})
            if (inputs.contains(key))
                throw StudyError(std::string("inputs.") + key + ": give component 1's in the first record of inputs.charge");
        setChargeList(input, chargeFrom(inputs.at(kChargeKey)));
    }
    if (inputs.contains(kSegmentsKey))
        input.upperSegments = segmentsFrom(inputs.at(kSegmentsKey), "inputs.segments");
    if (inputs.contains(kCoefficientsKey))
        input.temperatureCoefficients = temperatureCoefficientsFrom(inputs.at(kCoefficientsKey), "inputs.temperatureCoefficients");
    if (inputs.contains(std::string(kChargeTemperatureParameter)))
        setChargeTemperatureJson(input, jsonNumber(inputs.at(std::string(kChargeTemperatureParameter)),
                                                   "inputs.chargeTemperature"));
    return input;
}

json inputsToJson(const BallisticInput& input)
{
    // One component: the shape of a plain input set, every value at the top.
    const bool charge = !input.extraComponents.empty();
    json inputs = json::object();
    for (const Parameter& p : allParameters())
        if (p.kind != ParameterKind::chargeTemperature && !(charge && isComponentParameter(p)))
            inputs[std::string(p.name)] = p.field ? valueReadingBack(input, *p.field) : parameterValue(input, p);
    if (charge) {
        json list = json::array();
        for (const ChargeComponent& c : chargeList(input))
            list.push_back(componentToJson(c));
        inputs[kChargeKey] = std::move(list);
    } else {
        if (!input.upperSegments.empty())
            inputs[kSegmentsKey] = segmentsTo(input.upperSegments);
        if (input.temperatureCoefficients)
            inputs[kCoefficientsKey] = temperatureCoefficientsJson(*input.temperatureCoefficients);
    }
    if (input.chargeTemperature)
        inputs[std::string(kChargeTemperatureParameter)] = *input.chargeTemperature;
    return inputs;
}

double valueReadingBack(double stored, const InputField& field)
{
    const double shown = stored * field.toShown;
    double below = shown, above = shown;
    for (int i = 0; i < 4; ++i) {
        if (below * field.toStored == stored)
            return below;
        if (above * field.toStored == stored)
            return above;
        below = std::nextafter(below, -INFINITY);
        above = std::nextafter(above, INFINITY);
    }
    return shown;
}

double valueReadingBack(const BallisticInput& input, const InputField& field)
{
    return valueReadingBack(input.*field.quantity, field);
}

}  // namespace kalvex::study
