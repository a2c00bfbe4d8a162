#pragma once
// The short readable tables kalvex-study prints on standard output.
#include "study/Solve.h"
#include "study/ToleranceStats.h"

#include <ostream>

namespace kalvex::batch {

void writeParameterList(std::ostream& out);  // --list-parameters
void writeOutputList(std::ostream& out);     // --list-outputs
void writeToleranceTable(std::ostream& out, const study::ToleranceSummary& summary);
void writeSolveTable(std::ostream& out, const study::Study& study, const study::SolveResult& result);
void writeFitTable(std::ostream& out, const study::Study& study, const study::FitResult& result);

}  // namespace kalvex::batch
