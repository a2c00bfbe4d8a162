#include "core/propellant/TemperatureCoefficientsJson.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kalvex {

namespace {

using nlohmann::json;

struct CoefficientKey {
    const char* name;
    double TemperatureCoefficients::*member;
    bool required;
};

constexpr std::array<CoefficientKey, 5> kKeys = {{
    {"force", &TemperatureCoefficients::force, true},
    {"burningRate", &TemperatureCoefficients::burningRate, true},
    {"reference", &TemperatureCoefficients::reference, false},
    {"lowest", &TemperatureCoefficients::lowest, false},
    {"highest", &TemperatureCoefficients::highest, false},
}};

}  // namespace

std::string readTemperatureCoefficients(const json& object, const std::string& key,
                                        TemperatureCoefficients& out)
{
    if (!object.is_object())
        return key + " must be an object with \"force\" and \"burningRate\" in 1/K";
    for (const auto& item : object.items()) {
        const bool known = std::any_of(kKeys.begin(), kKeys.end(),
                                       [&](const CoefficientKey& k) { return item.key() == k.name; });
        if (!known)
            return key + ": unknown key \"" + item.key() + "\"";
    }
    TemperatureCoefficients read;
    for (const CoefficientKey& k : kKeys) {
        const auto it = object.find(k.name);
        if (it == object.end()) {
            if (k.required)
                return key + "." + k.name + " is missing";
            continue;
        }
        if (!it->is_number() || !std::isfinite(it->get<double>()))
            return key + "." + k.name + " is not a number";
        read.*k.member = it->get<double>();
    }
    if (std::string problem = temperatureCoefficientsProblem(read); !problem.empty())
        return key + ": " + problem;
    out = read;
    return {};
}

json temperatureCoefficientsJson(const TemperatureCoefficients& c)
{
    json object = {{"force", c.force}, {"burningRate", c.burningRate}, {"reference", c.reference}};
    if (c.lowest != kDefaultLowestChargeTemperature || c.highest != kDefaultHighestChargeTemperature) {
        object["lowest"] = c.lowest;
        object["highest"] = c.highest;
    }
    return object;
}

}  // namespace kalvex
