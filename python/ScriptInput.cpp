#include "python/ScriptInput.h"

#include "batch/BatchRun.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/propellant/PropellantValues.h"
#include "study/InputsJson.h"
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

// Parameters of a component after the first or of the charge's split: read and set on the
// whole record, where the study's rules for them live.
bool isChargeParameter(const study::Parameter& p)
{
    return p.kind == study::ParameterKind::componentValue || p.kind == study::ParameterKind::split || p.component > 1;
}

double parameter(const ScriptInput& input, std::string_view name)
{
    const study::Parameter p = knownParameter(name);
    if (isChargeParameter(p))
        return study::parameterValue(toBallisticInput(input, true), p);
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
    ScriptInput input{loaded.weaponName, loaded.input.grainType, {}, {}, {}, loaded.input.temperatureCoefficients,
                      loaded.input.upperSegments, loaded.input.extraComponents};
    for (const InputField& field : kInputFields)
        input.shown[fieldIndex(field)] = shownFieldValue(loaded.input, field);
    // the rest of an extended set from the report's block; its factors as the law gives them
    if (loaded.input.chargeTemperature)
        setChargeTemperature(input, *loaded.input.chargeTemperature);
    return input;
}

void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed)
{
    const study::Parameter p = knownParameter(name);
    if (isChargeParameter(p)) {
        if (!std::isfinite(value))
            throw InputError(std::string(name) + ": " + notAFloatMessage(typed));
        BallisticInput whole = toBallisticInput(input, true);
        study::setParameterValue(whole, p, value);
        input.shown[fieldIndex(*findInputField("C"))] = whole.C;  // a split moves component 1's mass, kg as shown
        input.extraComponents = whole.extraComponents;
        return;
    }
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
    // The components with coefficients of their own follow the temperature too (their rules first).
    BallisticInput whole = toBallisticInput(input, true);
    applyChargeTemperature(celsius, *input.temperatureCoefficients, whole);
    input.shown[fieldIndex(*findInputField("fFT"))] = whole.fFT;  // a pure number: shown as stored
    input.shown[fieldIndex(*findInputField("fbetaT"))] = whole.fbetaT;
    input.extraComponents = whole.extraComponents;
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
    stored.extraComponents = input.extraComponents;
    return stored;
}

ScriptInput fromBallisticInput(const BallisticInput& input, const std::string& weaponName)
{
    ScriptInput script{weaponName, input.grainType, {}, {}, input.chargeTemperature, input.temperatureCoefficients,
                       input.upperSegments, input.extraComponents};
    for (std::size_t i = 0; i < kInputFields.size(); ++i)
        script.shown[i] = study::valueReadingBack(input, kInputFields[i]);
    return script;
}

}  // namespace kalvex::python
