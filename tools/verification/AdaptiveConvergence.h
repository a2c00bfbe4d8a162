#pragma once
// The adaptive integrator beside the fixed step on the examples: the error of the muzzle
// velocity against a run at a relative tolerance of 1e-13, over the model evaluations spent.
#include "tools/verification/ReportPage.h"

#include <string>

namespace kalvex::verification {

void writeAdaptiveConvergence(ReportPage& p, const std::string& examplesFolder);

}  // namespace kalvex::verification
