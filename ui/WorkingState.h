#pragma once
// No Qt here: the record can be read and tested without a window.
#include "core/input/BallisticInput.h"
#include "core/input/StartCommand.h"
#include "study/Outputs.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalvex::ui {

// The parts of an input set that no field shows: the burning law's segments above the first,
// the charge temperature with the propellant's temperature coefficients, and the components
// of a mixed charge after the first. The main window keeps them in its stored input set,
// which the fields' reader leaves as they are.
struct ExtendedInputs {
    std::vector<BurningSegment> upperSegments;
    std::optional<double> chargeTemperature;  // °C
    std::optional<TemperatureCoefficients> temperatureCoefficients;
    std::vector<ChargeComponent> extraComponents;
    bool operator==(const ExtendedInputs&) const = default;
};

ExtendedInputs extendedInputsOf(const BallisticInput& input);
void setExtendedInputs(BallisticInput& input, const ExtendedInputs& extended);

// A charge temperature stands for the two factors it set: once fFT or fbetaT differs from what
// the temperature gives (the user typed another), the input set no longer has a temperature.
void dropStaleChargeTemperature(BallisticInput& input);

// A run kept for comparison: its inputs and results, named after the weapon and what changed.
struct KeptRun {
    int number = 0;     // 1, 2, ... in the order the runs were kept
    std::string label;  // "3 Rifle 7.62 mm: C = 0.003 kg"
    BallisticInput input;
    std::shared_ptr<const RunResults> results;  // characteristics computed
    study::RunOutputs outputs;                  // the key results, as a study names them
};
inline constexpr std::size_t kKeptRunCount = 10;  // the oldest goes when one more is kept

// What the main window works on, apart from its widgets: the input set Start last read, the
// last completed run with its inputs, and the inputs as the fields show them now. The main
// window owns it and keeps it current at every edit; the Study window reads it.
struct WorkingState {
    BallisticInput stored;          // the input set Start last read, with the step it finally used
    BallisticInput completedInput;  // the inputs of runs.completed
    IntegratorChoice completedIntegrator;  // how runs.completed was integrated
    RunStore runs;                  // runs.completed is null until a run reaches the muzzle
    // The fields read through the Start command's reader, without its rules: the input set they
    // describe, or the message of the first text that is not a number.
    BallisticInput shown;
    std::string unreadable;  // empty when every field reads
    // The inputs of the report named in the title, as the fields read them after its Load or
    // Save; none before the first.
    std::optional<BallisticInput> fileInput;
    // The last runs since the program started, the newest last.
    std::deque<KeptRun> keptRuns;
    int runsKept = 0;  // kept so far, the number of the newest
};

// Keeps a copy of a completed run under its weapon's name and the inputs that differ from the
// run kept before it; the oldest kept run goes beyond kKeptRunCount.
void keepRun(WorkingState& state, const std::string& weaponName, const BallisticInput& input,
             const RunResults& results);

// The inputs in which `after` differs from `before`, with their values in the fields' units:
// "C = 0.003 kg, grain type 4".
std::string changedInputs(const BallisticInput& before, const BallisticInput& after);

// The parameter names ("C", "grainType", ...) whose values differ between any two of `runs`.
std::vector<std::string> differingInputs(const std::deque<KeptRun>& runs);

// Every input quantity, the grain type, the heat-transfer choice and the extended inputs are equal.
bool sameInputs(const BallisticInput& a, const BallisticInput& b);

// The title's "modified" mark, as in any editor: the fields' inputs differ from those of the
// report named in the title, or cannot be read. False while no report is named.
bool inputsModified(const WorkingState& state);

// The fields' input set under the input rules, as Start would run it; InputError with the
// message of the text or rule at fault.
BallisticInput checkedShownInput(const WorkingState& state);

}  // namespace kalvex::ui
