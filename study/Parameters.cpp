#include "study/Parameters.h"

#include "core/model/GrainTypes.h"
#include "study/StudyError.h"

#include <cmath>

namespace kalvex::study {

namespace {

constexpr Parameter kGrainType{kGrainTypeParameter, "Grain Type (1 spherical ... 7 19-perforated)", "-", nullptr};

}  // namespace

std::vector<Parameter> allParameters()
{
    std::vector<Parameter> parameters;
    for (const InputField& field : kInputFields)
        parameters.push_back({field.name, field.caption, field.unit, &field});
    parameters.push_back(kGrainType);
    return parameters;
}

Parameter findParameter(std::string_view name)
{
    if (const InputField* field = findInputField(name))
        return {field->name, field->caption, field->unit, field};
    if (name == kGrainTypeParameter)
        return kGrainType;
    std::string known;
    for (const Parameter& p : allParameters())
        known += (known.empty() ? "" : ", ") + std::string(p.name);
    throw StudyError("Unknown parameter \"" + std::string(name) + "\"; the parameters are " + known);
}

double parameterValue(const BallisticInput& input, const Parameter& parameter)
{
    if (!parameter.field)
        return input.grainType;
    return input.*(parameter.field->quantity) * parameter.field->toShown;
}

void setParameterValue(BallisticInput& input, const Parameter& parameter, double value)
{
    if (parameter.field) {
        input.*(parameter.field->quantity) = value * parameter.field->toStored;
        return;
    }
    // Compared as a double first: a huge value would not fit the integer it is cast to.
    if (value != std::floor(value) || value < kFirstGrainType || value > kLastGrainType)
        throw StudyError("grainType must be a whole number from 1 to 7");
    input.grainType = static_cast<int>(value);
}

}  // namespace kalvex::study
