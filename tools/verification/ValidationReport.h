#pragma once
// The validation report: docs/validation.md with its figures. Kalvex beside another code on the
// 132 mm AGARD gun, and beside guns that were fired and published (examples/validation/).
#include <ostream>
#include <string>

namespace kalvex::verification {

// Writes `folder`/validation.md and its PNG figures into `folder`/validation/; the inputs are
// read from `examplesFolder` and its validation/ folder. Returns whether every figure is still
// the one the page records; one that moved is named on `log`, and the page says so too.
bool writeValidationReport(const std::string& folder, const std::string& examplesFolder, std::ostream& log);

}  // namespace kalvex::verification
