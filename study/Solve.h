#pragma once
// Solving for a target and fitting to firings: both run their rows one after the other on the
// calling thread and return plain result records.
#include "study/Outputs.h"
#include "study/Study.h"

#include <atomic>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace kalvex::study {

struct ConstraintCheck {
    Constraint constraint;
    double value = 0;  // the output at the solution
    bool satisfied = false;
};

struct SolveResult {
    double value = 0;            // the parameter at the solution, in its unit
    RunOutputs outputs;          // the run at the solution
    int iterations = 0;          // runs of the model
    std::vector<ConstraintCheck> constraints;
    bool constraintsSatisfied() const;
};

// Brackets the target with the model's output at both ends and closes in on it with TOMS 748.
// StudyError when the bracket does not contain the target (its message gives the output at
// both ends), when a run in the bracket fails, or when cancelled.
SolveResult solveStudy(const Study& study, const std::atomic<bool>* cancel = nullptr);

struct FiringResidual {
    double measuredVelocity = 0, modelVelocity = 0;  // m/s
    std::optional<double> measuredPressure;          // MPa
    double modelPressure = 0;                        // the fit's pressure output, MPa
    std::string message;                             // a run that failed at the fitted values
};

struct FitResult {
    std::vector<double> values;          // fitted parameters, in the order of FitSpec::parameters
    std::vector<double> standardErrors;  // from the Jacobian at the solution
    std::vector<FiringResidual> firings;
    double rmsVelocity = 0;              // m/s
    double rmsPressure = std::numeric_limits<double>::quiet_NaN();  // MPa; NaN without measured pressures
    int iterations = 0;
    std::string status;                  // the solver's word on convergence
};

// Least squares (GSL's trust-region Levenberg-Marquardt) of the firings' muzzle velocities,
// and pressures where measured, over one or two parameters. StudyError when a firing's run
// fails at the starting values or the solver gives up.
FitResult fitStudy(const Study& study, const std::atomic<bool>* cancel = nullptr);

// The base with a firing's inputs and the given parameter values applied.
BallisticInput firingInput(const Study& study, const Firing& firing, const std::vector<double>& values);

}  // namespace kalvex::study
