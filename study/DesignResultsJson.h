#pragma once
// The results of the design kinds as JSON text, as kalvex-study --json writes them; missing
// values as null.
#include "study/Optimize.h"
#include "study/SobolIndices.h"
#include "study/TwoTargetSolve.h"

#include <string>

namespace kalvex::study {

std::string optimizeResultJson(const Study& study, const OptimizeResult& result);
std::string twoTargetResultJson(const Study& study, const TwoTargetResult& result);
std::string sensitivitySummaryJson(const SensitivitySummary& summary);

}  // namespace kalvex::study
