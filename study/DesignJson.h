#pragma once
// The study file's sections of the design kinds: an optimisation, a solve of two parameters
// for two targets, and the sensitivity options. Used by StudyJson.cpp; StudyError naming the
// key at fault.
#include "study/Study.h"

#include <nlohmann/json.hpp>

namespace kalvex::study {

OptimizeSpec optimizeFrom(const nlohmann::json& section);
nlohmann::json optimizeTo(const OptimizeSpec& spec);

// A solve section with "parameters" and "targets".
bool isTwoTargetSolve(const nlohmann::json& section);
TwoTargetSpec twoTargetFrom(const nlohmann::json& section);
nlohmann::json twoTargetTo(const TwoTargetSpec& spec, const std::vector<Constraint>& constraints);

// [{"output": NAME, "min": ..., "max": ...}, ...] under `where`.
std::vector<Constraint> constraintsFrom(const nlohmann::json& section, const std::string& where);
nlohmann::json constraintsTo(const std::vector<Constraint>& constraints);

// The keys a sensitivity section adds to the draws of a tolerance section.
void sensitivityOptionsFrom(const nlohmann::json& section, SensitivitySpec& spec);
void sensitivityOptionsTo(const SensitivitySpec& spec, nlohmann::json& section);

}  // namespace kalvex::study
