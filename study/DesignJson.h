#pragma once
// Parts of the study file's sections shared by several of them or met only in the design
// kinds: constraints, parameters within bounds, a solve of two parameters for two targets.
// Used by the sections' mapping (SectionJson.h); StudyError naming the key at fault.
#include "study/JsonKeys.h"
#include "study/Study.h"

#include <nlohmann/json.hpp>

namespace kalvex::study {

// A solve section with "parameters" and "targets".
bool isTwoTargetSolve(const nlohmann::json& section);
// The two-target keys of `section` (already checked for unknown keys).
TwoTargetSpec twoTargetFrom(const JsonKeys& section);
nlohmann::json twoTargetTo(const TwoTargetSpec& spec, const std::vector<Constraint>& constraints);

// [{"output": NAME, "min": ..., "max": ...}, ...] under "constraints" of `section`.
std::vector<Constraint> constraintsFrom(const JsonKeys& section);
nlohmann::json constraintsTo(const std::vector<Constraint>& constraints);

// [{"parameter": NAME, "bounds": [LOWER, UPPER]}, ...] under "parameters" of `section`.
std::vector<BoundedParameter> boundedFrom(const JsonKeys& section);

}  // namespace kalvex::study
