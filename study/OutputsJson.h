#pragma once
// One run's outputs as the JSON results of every study kind write them: a number, or null
// where the run has none (NaN), and the run's message.
#include "study/Outputs.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

namespace kalvex::study {

inline nlohmann::json numberOrNull(double value)
{
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

inline nlohmann::json outputsJson(const RunOutputs& outputs)
{
    nlohmann::json j = nlohmann::json::object();
    for (const OutputInfo& info : kOutputInfo)
        j[std::string(info.name)] = numberOrNull(outputs[info.id]);
    j["message"] = outputs.message;
    return j;
}

}  // namespace kalvex::study
