#pragma once
// A design study as a plain record: a base input set plus what to vary and what to compute.
// The command line reads it from JSON (StudyJson.h), the Study window edits a copy of it,
// the Python module builds it from a dict. Values are in the parameters' units (Parameters.h),
// outputs are named by the output table (Outputs.h).
#include "core/stepping/Integrator.h"
#include "core/input/BallisticInput.h"
#include "core/propellant/PropellantLibrary.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalvex::study {

enum class StudyKind { sweep, solve, fit, tolerance, optimize, sensitivity };

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

// A parameter moved continuously between two bounds, both in its unit.
struct BoundedParameter {
    std::string parameter;
    double lower = 0;
    double upper = 0;
};

// An output aimed at: accepted when |output - target| <= tolerance.
struct OutputTarget {
    std::string output;
    double target = 0;     // in the output's unit
    double tolerance = 0;  // 0: 1e-6 of the target
};

// Two parameters that make two outputs hit their targets together, e.g. the charge and the
// grain size for a muzzle velocity at a given peak pressure.
struct TwoTargetSpec {
    std::array<BoundedParameter, 2> parameters;
    std::array<OutputTarget, 2> targets;
    int maxRuns = 200;
};

struct SolveSpec {
    // Set: two parameters for two targets, solved together; the single-parameter keys
    // below (parameter, bracket, output, target, tolerance, maxIterations) are then unused.
    std::optional<TwoTargetSpec> pair;
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

enum class Goal { minimize, maximize };

struct OptimizeSpec {
    std::vector<BoundedParameter> parameters;  // 1 to 4
    std::string output = "vMuzzle";            // the objective, a smooth output
    Goal goal = Goal::maximize;
    std::vector<Constraint> constraints;
    // A constraint counts as met within this share of its bound (at least of 1 in its unit).
    double constraintTolerance = 1e-4;
    // The search stops when a step moves every parameter by less than this share of its range.
    double stepTolerance = 1e-7;
    int maxRuns = 300;
};

// First-order and total Sobol' indices over the parameters and distributions of a tolerance
// study: `draws.samples` base samples cost samples * (k + 2) runs; `draws.seed` seeds the
// bootstrap (the Sobol' sequence itself has no seed).
inline constexpr std::size_t kMaxSensitivityParameters = 20;
// The indices keep every output of every run of the design: 10 million runs take about 3 GB.
inline constexpr std::size_t kMaxSensitivityRuns = 10'000'000;

struct SensitivitySpec {
    ToleranceSpec draws;
    int resamples = 500;       // bootstrap resamples of the base samples
    double confidence = 0.95;  // of the bootstrap intervals
};

struct Study {
    StudyKind kind = StudyKind::sweep;
    std::string description;  // free text, e.g. where the firings come from
    std::string basePath;     // "base": a report file, relative to the study file; empty: inline
    BallisticInput base;      // the base input set, read or given ("inputs"), SI units
    std::string propellant;   // "propellant": the library row whose seven values the base
                              // took when read; empty: the base's own values
    bool heatTransfer = true;
    IntegratorChoice integrator;   // "integrator": the fixed step unless the study asks for the adaptive one
    std::vector<SweepAxis> sweep;  // one axis, or two crossed as a grid (first axis outer)
    SolveSpec solve;
    FitSpec fit;
    ToleranceSpec tolerance;
    OptimizeSpec optimize;
    SensitivitySpec sensitivity;
};

// "sweep", "solve", "fit", "tolerance", "optimize", "sensitivity"
const char* studyKindName(StudyKind kind);
inline constexpr std::array kStudyKinds{StudyKind::sweep, StudyKind::solve, StudyKind::fit,
                                        StudyKind::tolerance, StudyKind::optimize, StudyKind::sensitivity};

// Whether a study runs as a whole on one thread (solve, fit, optimize) rather than as rows
// that threads, shards and a cluster can share (sweep, tolerance, sensitivity).
bool runsAsWhole(StudyKind kind);

// Runs of a sensitivity study: samples * (parameters + 2).
std::size_t sensitivityRuns(const SensitivitySpec& spec);

// Whether the study takes propellant values from the library: a named base propellant or an
// axis over propellants. Its rows then record the seven propellant values each run used.
bool usesPropellants(const Study& study);

// The base with the study's heat-transfer switch applied: the record every row starts from.
BallisticInput baseInput(const Study& study);

// Checks names, ranges, counts and spreads; StudyError naming the key at fault.
void validateStudy(const Study& study);

}  // namespace kalvex::study
