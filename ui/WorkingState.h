#pragma once
// No Qt here: the record can be read and tested without a window.
#include "core/input/BallisticInput.h"
#include "core/input/StartCommand.h"

#include <string>

namespace kalvex::ui {

// What the main window works on, apart from its widgets: the input set Start last read, the
// last completed run with its inputs, and the inputs as the fields show them now. The main
// window owns it and keeps it current at every edit; the Study window reads it.
struct WorkingState {
    BallisticInput stored;          // the input set Start last read, with the step it finally used
    BallisticInput completedInput;  // the inputs of runs.completed
    RunStore runs;                  // runs.completed is null until a run reaches the muzzle
    // The fields read through the Start command's reader, without its rules: the input set they
    // describe, or the message of the first text that is not a number.
    BallisticInput shown;
    std::string unreadable;  // empty when every field reads
};

// Every input quantity, the grain type and the heat-transfer choice are equal.
bool sameInputs(const BallisticInput& a, const BallisticInput& b);

// The title's "modified" mark: the fields' inputs differ from those of the last completed run,
// or cannot be read, or no run has completed.
bool inputsModified(const WorkingState& state);

// The fields' input set under the input rules, as Start would run it; InputError with the
// message of the text or rule at fault.
BallisticInput checkedShownInput(const WorkingState& state);

}  // namespace kalvex::ui
