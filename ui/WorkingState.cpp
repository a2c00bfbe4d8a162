#include "ui/WorkingState.h"

#include "core/input/InputFields.h"
#include "core/input/InputSet.h"
#include "core/results/Errors.h"

namespace kalvex::ui {

bool sameInputs(const BallisticInput& a, const BallisticInput& b)
{
    for (const InputField& field : kInputFields)
        if (a.*field.quantity != b.*field.quantity)
            return false;
    return a.grainType == b.grainType && a.heatTransfer == b.heatTransfer;
}

bool inputsModified(const WorkingState& state)
{
    return !state.runs.completed || !state.unreadable.empty() || !sameInputs(state.shown, state.completedInput);
}

BallisticInput checkedShownInput(const WorkingState& state)
{
    if (!state.unreadable.empty())
        throw InputError(state.unreadable);
    validateBallisticInput(state.shown);
    return state.shown;
}

}  // namespace kalvex::ui
