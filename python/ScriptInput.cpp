#include "python/ScriptInput.h"

#include "batch/BatchRun.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/propellant/PropellantValues.h"
#include "study/Parameters.h"
#include "study/StudyError.h"

#include <cmath>

namespace kalvex::python {

namespace {

study::Parameter knownParameter(std::string_view name)
{
    try {
        return study::findParameter(name);
    } catch (const study::StudyError& e) {
        throw UnknownParameter(e.what());
    }
}

std::size_t fieldIndex(const InputField& field) { return static_cast<std::size_t>(&field - kInputFields.data()); }

bool isPropellantValue(std::string_view name)
{
    for (const PropellantValue& v : kPropellantValues)
        if (name == v.name)
            return true;
    return false;
}

}  // namespace

std::vector<std::string> parameterNames()
{
    std::vector<std::string> names;
    for (const study::Parameter& p : study::allParameters())
        names.emplace_back(p.name);
    return names;
}

double parameter(const ScriptInput& input, std::string_view name)
{
    const study::Parameter p = knownParameter(name);
    return p.field ? input.shown[fieldIndex(*p.field)] : input.grainType;
}

ScriptInput loadScriptInput(const std::string& path)
{
    const report::LoadedReport loaded = batch::loadReportInput(path);
    ScriptInput input{loaded.weaponName, loaded.input.grainType, {}, {}};
    for (const InputField& field : kInputFields)
        input.shown[fieldIndex(field)] = shownFieldValue(loaded.input, field);
    return input;
}

void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed)
{
    const study::Parameter p = knownParameter(name);
    if (!p.field) {
        BallisticInput checked;
        study::setParameterValue(checked, p, value);  // the study's rule for a grain type
        input.grainType = checked.grainType;
        return;
    }
    // The window's fields refuse such texts; a script gets the same answer instead of a run
    // on numbers that no field could hold.
    if (!std::isfinite(value) || !std::isfinite(value * p.field->toStored))
        throw InputError(std::string(name) + ": " + notAFloatMessage(typed));
    input.shown[fieldIndex(*p.field)] = value;
    if (isPropellantValue(name))
        input.propellantLine.clear();  // the set no longer holds that propellant's values
}

void applyPropellant(ScriptInput& input, const Propellant& propellant)
{
    BallisticInput values;
    kalvex::applyPropellant(propellant, values);
    for (const PropellantValue& v : kPropellantValues)
        input.shown[fieldIndex(*findInputField(v.name))] = values.*v.quantity;  // all in SI units
    input.propellantLine = propellantUsedLine(propellant);
}

BallisticInput toBallisticInput(const ScriptInput& input, bool heatTransfer)
{
    BallisticInput stored;
    stored.grainType = input.grainType;
    stored.heatTransfer = heatTransfer;
    for (const InputField& field : kInputFields)
        storeShownValue(stored, field, input.shown[fieldIndex(field)]);
    return stored;
}

}  // namespace kalvex::python
