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
        if (p.kind != study::ParameterKind::chargeTemperature)
            names.emplace_back(p.name);
    return names;
}

double parameter(const ScriptInput& input, std::string_view name)
{
    const study::Parameter p = knownParameter(name);
    if (p.kind == study::ParameterKind::chargeTemperature) {
        if (input.chargeTemperature)
            return *input.chargeTemperature;
        return input.temperatureCoefficients ? input.temperatureCoefficients->reference : kDefaultReferenceTemperature;
    }
    if (p.kind == study::ParameterKind::burningSegment) {
        BallisticInput law;
        law.upperSegments = input.upperSegments;
        return study::parameterValue(law, p);
    }
    return p.field ? input.shown[fieldIndex(*p.field)] : input.grainType;
}

ScriptInput loadScriptInput(const std::string& path)
{
    const report::LoadedReport loaded = batch::loadReportInput(path);
    ScriptInput input{loaded.weaponName, loaded.input.grainType, {}, {}, {}, {}, {}};
    for (const InputField& field : kInputFields)
        input.shown[fieldIndex(field)] = shownFieldValue(loaded.input, field);
    return input;
}

void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed)
{
    const study::Parameter p = knownParameter(name);
    if (p.kind == study::ParameterKind::chargeTemperature) {
        if (!std::isfinite(value))
            throw InputError(std::string(name) + ": " + notAFloatMessage(typed));
        setChargeTemperature(input, value);
        return;
    }
    if (p.kind == study::ParameterKind::burningSegment) {
        if (!std::isfinite(value))
            throw InputError(std::string(name) + ": " + notAFloatMessage(typed));
        BallisticInput law;
        law.upperSegments = input.upperSegments;
        study::setParameterValue(law, p, value);
        input.upperSegments = law.upperSegments;
        return;
    }
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
    if (study::isTemperatureFactor(name))
        input.chargeTemperature.reset();  // the factor no longer follows from a temperature
}

void setChargeTemperature(ScriptInput& input, double celsius, const std::optional<TemperatureCoefficients>& coefficients)
{
    if (coefficients)
        input.temperatureCoefficients = coefficients;
    if (!input.temperatureCoefficients)
        throw InputError("A charge temperature needs the propellant's temperature coefficients: give them, "
                         "or take a propellant of the library that has them");
    const TemperatureFactors f = temperatureFactors(celsius, *input.temperatureCoefficients);
    input.shown[fieldIndex(*findInputField("fFT"))] = f.force;  // a pure number: shown as stored
    input.shown[fieldIndex(*findInputField("fbetaT"))] = f.burningRate;
    input.chargeTemperature = celsius;
}

void applyPropellant(ScriptInput& input, const Propellant& propellant)
{
    BallisticInput values;
    kalvex::applyPropellant(propellant, values);
    for (const PropellantValue& v : kPropellantValues)
        input.shown[fieldIndex(*findInputField(v.name))] = values.*v.quantity;  // all in SI units
    input.propellantLine = propellantUsedLine(propellant);
    if (propellant.temperatureCoefficients) {
        input.temperatureCoefficients = propellant.temperatureCoefficients;
        if (input.chargeTemperature)  // the factors follow the new coefficients
            setChargeTemperature(input, *input.chargeTemperature);
    }
}

BallisticInput toBallisticInput(const ScriptInput& input, bool heatTransfer)
{
    BallisticInput stored;
    stored.grainType = input.grainType;
    stored.heatTransfer = heatTransfer;
    for (const InputField& field : kInputFields)
        storeShownValue(stored, field, input.shown[fieldIndex(field)]);
    stored.chargeTemperature = input.chargeTemperature;
    stored.upperSegments = input.upperSegments;
    stored.temperatureCoefficients = input.temperatureCoefficients;
    return stored;
}

}  // namespace kalvex::python
