#pragma once
// The short readable tables kalvex-study prints on standard output.
#include "study/Optimize.h"
#include "study/SobolIndices.h"
#include "study/Solve.h"
#include "study/TwoTargetSolve.h"
#include "study/ToleranceStats.h"

#include <ostream>

namespace kalvex::batch {

void writeParameterList(std::ostream& out);  // --list-parameters
void writeOutputList(std::ostream& out);     // --list-outputs
void writeToleranceTable(std::ostream& out, const study::ToleranceSummary& summary);
void writeSolveTable(std::ostream& out, const study::Study& study, const study::SolveResult& result);
void writeFitTable(std::ostream& out, const study::Study& study, const study::FitResult& result);
void writeOptimizeTable(std::ostream& out, const study::Study& study, const study::OptimizeResult& result);
void writeTwoTargetTable(std::ostream& out, const study::Study& study, const study::TwoTargetResult& result);
// S1 and ST with their intervals, per output and parameter.
void writeSensitivityTable(std::ostream& out, const study::SensitivitySummary& summary);

}  // namespace kalvex::batch
