#pragma once
// The propellant library: named propellants with the seven values the model needs and the
// public source of those values. The program ships one file of them (beside the programs);
// the user keeps a second in the same format, whose rows come after the shipped ones and
// replace a shipped row of the same name. No Qt: the batch runner, the study engine and the
// Python module read the same files.
#include "core/input/BallisticInput.h"
#include "core/input/ChargeTemperature.h"

#include <optional>

#include <istream>
#include <string>
#include <vector>

namespace kalvex {

// Where a row reduced by the program from closed-vessel firings came from.
struct PropellantMeasurement {
    struct Trace {
        std::string file;    // the trace file's name as the reduction was given it
        std::string sha256;  // of the file's bytes, 64 lower-case hex digits
    };
    std::vector<Trace> traces;
    std::string date;      // of the reduction, ISO 8601 in UTC ("2026-12-08T00:10:00Z")
    std::string settings;  // the reduction's settings, the text of a JSON object
};

struct Propellant {
    std::string name;         // "M30"
    std::string family;       // "triple base", "nitramine", ...
    std::string composition;  // the ingredients in one line
    std::string source;       // the public document the values come from
    std::string transcription;  // how the values were read from it, when not directly
    double F = 0;      // force (impetus), J/kg
    double T0 = 0;     // adiabatic flame temperature at constant volume, K
    double b = 0;      // covolume, m^3/kg
    double gamma = 0;  // ratio of specific heats of the gas
    double rho = 0;    // density of the solid propellant, kg/m^3
    double beta = 0;   // burning-rate coefficient, m/s/Pa^alpha
    double alpha = 0;  // burning-rate exponent
    // The coefficients of fFT and fbetaT about a reference temperature, where the source
    // states them; none otherwise (nothing is estimated).
    std::optional<TemperatureCoefficients> temperatureCoefficients;
    // The burning law's segments above the first (beta, alpha from 0), as the input set's.
    std::vector<BurningSegment> upperSegments;
    std::optional<PropellantMeasurement> measurement;  // a row reduced from firings
    bool fromUser = false;  // a row of the user's library
};

// The rows of both files in the order they are listed, and what was wrong in them.
struct PropellantLibrary {
    std::vector<Propellant> rows;       // shipped rows, then the user's
    std::vector<std::string> problems;  // one line per malformed row or unreadable file

    // The row called `name`, or nullptr.
    const Propellant* find(const std::string& name) const;
};

// Where the two files are.
struct PropellantFiles {
    std::string shipped;  // propellants.json beside the programs
    std::string user;     // $XDG_DATA_HOME/kalvex/propellants.json
};

// The shipped file among the files shipped with a program in `programFolder` (beside it, or
// in ../share/kalvex when installed) and the user's file; `programFolder` empty means the
// folder of the running executable.
PropellantFiles defaultPropellantFiles(const std::string& programFolder = {});

// $XDG_DATA_HOME/kalvex/propellants.json, or ~/.local/share/kalvex/propellants.json when
// XDG_DATA_HOME is unset or not an absolute path.
std::string userPropellantPath();

// The rows of one library file's text, checked row by row. `fileName` names the file in the
// problems; a row with a missing value, a value that is no number or one that breaks its
// input rule is left out with a line in `problems`, and the other rows still load.
void readPropellantRows(std::istream& text, const std::string& fileName, bool fromUser,
                        PropellantLibrary& library);

// Both files: the shipped rows, then the user's, a user row replacing the shipped row of its
// name. A missing user file is no problem; a missing shipped file is.
PropellantLibrary loadPropellantLibrary(const PropellantFiles& files);

// Sets the seven propellant values of `input` and its burning law's segments (none: a law of
// one segment, the row's beta and alpha, so that no segment of another propellant's law is
// left behind); nothing else changes.
void applyPropellant(const Propellant& propellant, BallisticInput& input);

// The seven propellant values of `input` and its law's segments under `name`, as a row of the
// user's library.
Propellant propellantFromInput(const BallisticInput& input, const std::string& name);

// The first input rule the seven values break, or "" when they pass.
std::string propellantRuleProblem(const Propellant& propellant);

// The text of a user library: `existingText` (empty for a new file) with `propellant` added,
// or replacing the row of its name in place. Throws InputError, naming `fileName`, when the
// existing text is no propellant library, so that a save never overwrites the user's file with
// less than it held, and when the values break an input rule.
std::string userLibraryTextWith(const std::string& existingText, const std::string& fileName,
                                const Propellant& propellant);

// "source" of a row for display: its source, or "user library" for a user row without one.
std::string propellantSourceText(const Propellant& propellant);

// The line the results area and kalvex-batch show when a propellant's values are taken:
// " Propellant M30: <source>".
std::string propellantUsedLine(const Propellant& propellant);

}  // namespace kalvex
