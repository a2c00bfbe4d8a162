#pragma once
// The results of a study as JSON text, as kalvex-study --json writes them: outputs named by
// the output table, missing values as null.
#include "study/Executor.h"
#include "study/Solve.h"
#include "study/ToleranceStats.h"

#include <string>
#include <vector>

namespace kalvex::study {

std::string rowJson(const RowResult& row);  // [run, varied..., outputs..., message]
std::string toleranceSummaryJson(const ToleranceSummary& summary);
std::string solveResultJson(const Study& study, const SolveResult& result);
std::string fitResultJson(const Study& study, const FitResult& result);

}  // namespace kalvex::study
