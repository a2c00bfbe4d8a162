#include "python/ScriptInput.h"

#include "batch/BatchRun.h"
#include "core/Errors.h"
#include "core/GrainTypes.h"
#include "core/InputSet.h"

#include <cmath>

namespace kalvex::python {

namespace {

std::size_t fieldIndex(std::string_view name)
{
    const InputField* field = findInputField(name);
    if (!field)
        throw UnknownParameter(name);
    return static_cast<std::size_t>(field - kInputFields.data());
}

}  // namespace

std::vector<std::string> parameterNames()
{
    std::vector<std::string> names;
    for (const InputField& field : kInputFields)
        names.emplace_back(field.name);
    names.emplace_back(kGrainTypeName);
    return names;
}

std::string unknownParameterMessage(std::string_view name)
{
    std::string message = "InputSet has no parameter '" + std::string(name) + "'; the parameters are: ";
    const std::vector<std::string> names = parameterNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        message += (i ? ", " : "") + names[i];
    return message;
}

ScriptInput loadScriptInput(const std::string& path)
{
    const report::LoadedReport loaded = batch::loadReportInput(path);
    ScriptInput input{loaded.weaponName, loaded.input.grainType, {}};
    for (std::size_t i = 0; i < kInputFields.size(); ++i)
        input.shown[i] = shownFieldValue(loaded.input, kInputFields[i]);
    return input;
}

void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed)
{
    if (name == kGrainTypeName) {
        if (!(value >= kFirstGrainType && value <= kLastGrainType) || value != std::floor(value))
            throw InputError("'" + std::string(typed) + "' is not a valid grain type (1 to 7)");
        input.grainType = static_cast<int>(value);
        return;
    }
    const std::size_t i = fieldIndex(name);
    // The window's fields refuse such texts; a script gets the same answer instead of a run
    // on numbers that no field could hold.
    if (!std::isfinite(value) || !std::isfinite(value * kInputFields[i].toStored))
        throw InputError(std::string(name) + ": '" + std::string(typed) + "' is not a valid floating point value");
    input.shown[i] = value;
}

BallisticInput toBallisticInput(const ScriptInput& input, bool heatTransfer)
{
    BallisticInput stored;
    stored.grainType = input.grainType;
    stored.heatTransfer = heatTransfer;
    for (std::size_t i = 0; i < kInputFields.size(); ++i)
        storeShownValue(stored, kInputFields[i], input.shown[i]);
    return stored;
}

}  // namespace kalvex::python
