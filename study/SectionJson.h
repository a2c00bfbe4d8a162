#pragma once
// The sections of a study file read into and written from their records through the JSON
// library's own mapping (`section.get<ToleranceSpec>()`, `json section = spec`). Reading
// checks every key (JsonKeys.h) and refuses with a StudyError naming the key's path; the
// ranges that involve more than one key are validateStudy's. A propellant axis reads only
// its names: the study file's reader looks them up in the library.
#include "study/Study.h"

#include <nlohmann/json.hpp>

namespace kalvex::study {

void from_json(const nlohmann::json& j, SweepAxis& axis);
void to_json(nlohmann::json& j, const SweepAxis& axis);

void from_json(const nlohmann::json& j, SolveSpec& spec);
void to_json(nlohmann::json& j, const SolveSpec& spec);

void from_json(const nlohmann::json& j, FitSpec& spec);
void to_json(nlohmann::json& j, const FitSpec& spec);

void from_json(const nlohmann::json& j, ToleranceSpec& spec);
void to_json(nlohmann::json& j, const ToleranceSpec& spec);

void from_json(const nlohmann::json& j, SensitivitySpec& spec);
void to_json(nlohmann::json& j, const SensitivitySpec& spec);

void from_json(const nlohmann::json& j, OptimizeSpec& spec);
void to_json(nlohmann::json& j, const OptimizeSpec& spec);

}  // namespace kalvex::study
