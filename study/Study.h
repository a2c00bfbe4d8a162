#pragma once
// A design study as a plain record: a base input set plus what to vary and what to compute.
// The command line reads it from JSON (StudyJson.h), the Study window edits a copy of it,
// the Python module builds it from a dict. Values are in the parameters' units (Parameters.h),
// outputs are named by the output table (Outputs.h).
#include "core/input/BallisticInput.h"
#include "core/propellant/PropellantLibrary.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::study {

enum class StudyKind { sweep, solve, fit, tolerance };

// One swept parameter: an explicit list of values, or `count` values from `from` to `to`
// (both included), evenly spaced or, when logarithmic, evenly spaced in the logarithm.
struct SweepAxis {
    std::string parameter;
    std::vector<double> values;  // used when not empty
    double from = 0;
    double to = 0;
    int count = 0;
    bool logarithmic = false;
    // An axis over propellants (parameter "propellant"): the library rows in the order the
    // study names them, each row taking all seven propellant values of one.
    std::vector<Propellant> propellants;
};

// An output that must stay at or below `max` and/or at or above `min` at a solution.
struct Constraint {
    std::string output;
    std::optional<double> min;
    std::optional<double> max;
};

struct SolveSpec {
    std::string parameter;
    double lower = 0;  // the bracket, in the parameter's unit
    double upper = 0;
    std::string output = "vMuzzle";  // a smooth output (OutputInfo::solvable)
    double target = 0;               // in the output's unit
    double tolerance = 0;            // accepted |output - target|; 0: 1e-6 of the target
    int maxIterations = 60;
    std::vector<Constraint> constraints;
};

// One measured firing: the inputs it changed from the base, what was measured.
struct Firing {
    std::vector<std::pair<std::string, double>> inputs;  // parameter name, value
    double velocity = 0;                                  // measured muzzle velocity, m/s
    std::optional<double> pressure;                       // measured peak pressure, MPa
};

struct FitSpec {
    std::vector<std::string> parameters;  // one or two, typically beta or beta and F
    std::vector<double> start;            // starting values; empty: the base's values
    std::string pressureOutput = "P0Max"; // the output a measured pressure is compared with
    double pressureWeight = 1;            // residual weight of 1 MPa relative to 1 m/s
    std::vector<Firing> firings;
};

// The measurements of a fit: a velocity per firing, and a pressure where one was measured.
std::size_t residualCount(const FitSpec& fit);

enum class Distribution { normal, uniform };

struct ToleranceParameter {
    std::string parameter;
    Distribution distribution = Distribution::normal;
    double spread = 0;  // sigma for normal, half-width for uniform, in the parameter's unit
};

struct ExceedanceLimit {
    std::string output = "P0Max";
    double value = 0;  // a sample exceeds it when the output is above it
};

struct ToleranceSpec {
    std::vector<ToleranceParameter> parameters;
    long long samples = 0;  // N
    std::uint64_t seed = 1;
    std::optional<ExceedanceLimit> limit;
};

struct Study {
    StudyKind kind = StudyKind::sweep;
    std::string description;  // free text, e.g. where the firings come from
    std::string basePath;     // "base": a report file, relative to the study file; empty: inline
    BallisticInput base;      // the base input set, read or given ("inputs"), SI units
    std::string propellant;   // "propellant": the library row whose seven values the base
                              // took when read; empty: the base's own values
    bool heatTransfer = true;
    std::vector<SweepAxis> sweep;  // one axis, or two crossed as a grid (first axis outer)
    SolveSpec solve;
    FitSpec fit;
    ToleranceSpec tolerance;
};

const char* studyKindName(StudyKind kind);  // "sweep", "solve", "fit", "tolerance"

// Whether the study takes propellant values from the library: a named base propellant or an
// axis over propellants. Its rows then record the seven propellant values each run used.
bool usesPropellants(const Study& study);

// The base with the study's heat-transfer switch applied: the record every row starts from.
BallisticInput baseInput(const Study& study);

// Checks names, ranges, counts and spreads; StudyError naming the key at fault.
void validateStudy(const Study& study);

}  // namespace kalvex::study
