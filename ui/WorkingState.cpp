#include "ui/WorkingState.h"

#include "core/input/InputFields.h"
#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/results/Errors.h"

#include <algorithm>
#include <functional>

namespace kalvex::ui {

bool sameInputs(const BallisticInput& a, const BallisticInput& b)
{
    for (const InputField& field : kInputFields)
        if (a.*field.quantity != b.*field.quantity)
            return false;
    return a.grainType == b.grainType && a.heatTransfer == b.heatTransfer &&
           extendedInputsOf(a) == extendedInputsOf(b);
}

ExtendedInputs extendedInputsOf(const BallisticInput& input)
{
    return {input.upperSegments, input.chargeTemperature, input.temperatureCoefficients, input.extraComponents};
}

void setExtendedInputs(BallisticInput& input, const ExtendedInputs& extended)
{
    input.upperSegments = extended.upperSegments;
    input.chargeTemperature = extended.chargeTemperature;
    input.temperatureCoefficients = extended.temperatureCoefficients;
    input.extraComponents = extended.extraComponents;
}

void dropStaleChargeTemperature(BallisticInput& input)
{
    if (!input.chargeTemperature || !input.temperatureCoefficients) {
        input.chargeTemperature.reset();
        return;
    }
    try {
        const TemperatureFactors factors = temperatureFactors(*input.chargeTemperature, *input.temperatureCoefficients);
        if (factors.force == input.fFT && factors.burningRate == input.fbetaT)
            return;
    } catch (const InputError&) {
        // a temperature outside the coefficients' range sets no factors
    }
    input.chargeTemperature.reset();
}

bool inputsModified(const WorkingState& state)
{
    return state.fileInput && (!state.unreadable.empty() || !sameInputs(state.shown, *state.fileInput));
}

BallisticInput checkedShownInput(const WorkingState& state)
{
    if (!state.unreadable.empty())
        throw InputError(state.unreadable);
    validateBallisticInput(state.shown);
    return state.shown;
}

std::string changedInputs(const BallisticInput& before, const BallisticInput& after)
{
    std::string text;
    const auto add = [&text](const std::string& item) { text += (text.empty() ? "" : ", ") + item; };
    for (const InputField& field : kInputFields)
        if (before.*field.quantity != after.*field.quantity)
            add(std::string(field.name) + " = " + formatGeneral(shownFieldValue(after, field)) + " " + field.unit);
    if (before.grainType != after.grainType)
        add("grain type " + std::to_string(after.grainType));
    if (before.heatTransfer != after.heatTransfer)
        add(after.heatTransfer ? "with heat transfer" : "without heat transfer");
    if (before.upperSegments != after.upperSegments)
        add("burning law of " + std::to_string(after.upperSegments.size() + 1) + " segments");
    if (before.chargeTemperature != after.chargeTemperature && after.chargeTemperature)
        add("charge temperature " + formatGeneral(*after.chargeTemperature) + " \u00b0C");
    if (before.extraComponents != after.extraComponents)
        add("charge of " + std::to_string(after.extraComponents.size() + 1) + " components");
    return text;
}

void keepRun(WorkingState& state, const std::string& weaponName, const BallisticInput& input,
             const RunResults& results)
{
    KeptRun run;
    run.number = ++state.runsKept;
    run.label = std::to_string(run.number) + " " + weaponName;
    if (!state.keptRuns.empty()) {
        const std::string changes = changedInputs(state.keptRuns.back().input, input);
        if (!changes.empty())
            run.label += ": " + changes;
    }
    run.input = input;
    auto copy = std::make_shared<RunResults>(results);
    run.outputs = study::computeRunOutputs(input, *copy, StartOutcome{});
    run.results = std::move(copy);
    state.keptRuns.push_back(std::move(run));
    while (state.keptRuns.size() > kKeptRunCount)
        state.keptRuns.pop_front();
}

std::vector<std::string> differingInputs(const std::deque<KeptRun>& runs)
{
    std::vector<std::string> names;
    if (runs.empty())
        return names;
    const BallisticInput& first = runs.front().input;
    for (const InputField& field : kInputFields)
        for (const KeptRun& run : runs)
            if (run.input.*field.quantity != first.*field.quantity) {
                names.emplace_back(field.name);
                break;
            }
    const auto anyDiffers = [&runs](const std::function<bool(const BallisticInput&)>& differs) {
        return std::any_of(runs.begin(), runs.end(), [&differs](const KeptRun& run) { return differs(run.input); });
    };
    if (anyDiffers([&first](const BallisticInput& in) { return in.grainType != first.grainType; }))
        names.emplace_back("grainType");
    // the parts no field shows, by the names study files give them
    if (anyDiffers([&first](const BallisticInput& in) { return in.upperSegments != first.upperSegments; }))
        names.emplace_back("segments");
    if (anyDiffers([&first](const BallisticInput& in) { return in.chargeTemperature != first.chargeTemperature; }))
        names.emplace_back("chargeTemperature");
    if (anyDiffers([&first](const BallisticInput& in) { return in.extraComponents != first.extraComponents; }))
        names.emplace_back("charge");
    return names;
}

}  // namespace kalvex::ui
