#pragma once
// The temperature coefficients as a JSON object, one form for the propellant library, the
// study file and the input file: {"force": 1/K, "burningRate": 1/K, "reference": °C} and,
// where the source states the range they were measured over, "lowest" and "highest" in °C.
#include "core/input/ChargeTemperature.h"

#include <nlohmann/json.hpp>

#include <string>

namespace kalvex {

// Reads `object` into `out`; returns what is wrong with it ("" when nothing), naming `key`.
std::string readTemperatureCoefficients(const nlohmann::json& object, const std::string& key,
                                        TemperatureCoefficients& out);

// The object of `coefficients`; the range only where it differs from the default one.
nlohmann::json temperatureCoefficientsJson(const TemperatureCoefficients& coefficients);

}  // namespace kalvex
