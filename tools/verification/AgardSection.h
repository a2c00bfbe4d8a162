#pragma once
// The validation page's section on the 132 mm AGARD gun: Kalvex beside the peer code
// pyballistics, term by term.
#include "tools/verification/ReportPage.h"

#include <string>

namespace kalvex::verification {

// Runs examples/agard-132mm.txt (from `examples`) with its switches and writes the section,
// its table of terms and its figure; the recorded figures count as one check of the page.
void writeAgardSection(ReportPage& p, const std::string& examples);

}  // namespace kalvex::verification
