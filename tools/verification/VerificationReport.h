#pragma once
// The verification report: docs/verification.md with its figures, from the closed-form
// checks, the convergence studies and the step-size error estimate of the examples.
#include <ostream>
#include <string>

namespace kalvex::verification {

// Writes `folder`/verification.md and its PNG figures into `folder`/verification/; the
// examples are read from `examplesFolder`. Returns whether every check passed; a check that
// fails is named on `log`, and the report says so too.
bool writeVerificationReport(const std::string& folder, const std::string& examplesFolder, std::ostream& log);

}  // namespace kalvex::verification
