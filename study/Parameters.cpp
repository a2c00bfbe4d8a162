#include "study/Parameters.h"

#include "core/model/GrainTypes.h"
#include "study/StudyError.h"

#include <cmath>
#include <optional>
#include <regex>

namespace kalvex::study {

namespace {

const Parameter kGrainType{std::string(kGrainTypeParameter), "Grain Type (1 spherical ... 7 19-perforated)", "-", nullptr,
                               ParameterKind::grainType};
const Parameter kChargeTemperature{std::string(kChargeTemperatureParameter), "Charge Temperature", "\u00b0C", nullptr,
                                       ParameterKind::chargeTemperature};

constexpr std::string_view kSplitName = "split";

// The parameter of component k's value `value` ("C", "grainType", ...), or nothing when the
// name is no component value.
std::optional<Parameter> componentParameter(const std::string& text, const std::string& value, std::size_t component)
{
    if (value == kGrainTypeParameter) {
        Parameter p = kGrainType;
        p.name = text;
        p.component = component;
        return p;
    }
    const ComponentField* componentField = findComponentField(value);
    if (!componentField)
        return std::nullopt;
    const InputField* field = findInputField(value);
    if (component == 1)  // the input set's own field
        return Parameter{text, field->caption, field->unit, field};
    Parameter p{text, field->caption, field->unit, nullptr, ParameterKind::componentValue};
    p.component = component;
    p.componentField = componentField;
    return p;
}

// "beta[1,2]", "C[2]", "split[2]" and the like: the value, the component and the segment (0
// when not given); nothing when the name has no index.
std::optional<Parameter> indexedParameter(std::string_view name)
{
    static const std::regex pattern(R"(^([A-Za-z0-9]+)\[([0-9]+)(?:,([0-9]+))?\]$)");
    std::match_results<std::string_view::const_iterator> m;
    if (!std::regex_match(name.begin(), name.end(), m, pattern))
        return std::nullopt;
    const std::string value = m[1].str();
    const std::string text(name);
    const auto index = [&](const std::string& digits) {
        return digits.size() > 2 ? std::size_t(100) : static_cast<std::size_t>(std::stoul(digits));
    };
    const std::size_t component = index(m[2].str());
    const std::size_t segment = m[3].matched ? index(m[3].str()) : 0;
    const bool segmentValue = value == "beta" || value == "alpha" || value == "pLow";
    if (!segmentValue && value != kSplitName && !findComponentField(value) && value != kGrainTypeParameter)
        return std::nullopt;  // no indexed name: named as unknown
    if (component == 0)
        throw StudyError(text + ": components are counted from 1");
    if (component > kMaxChargeComponents)
        throw StudyError(text + ": a charge has at most " + std::to_string(kMaxChargeComponents) + " components");
    if (m[3].matched && !segmentValue)
        throw StudyError(text + ": " + value + " has no segments; name it " + value + "[k]");
    if (value == kSplitName) {
        Parameter p{text, "Share of the Charge's Mass in the Component", "-", nullptr, ParameterKind::split};
        p.component = component;
        return p;
    }
    if (!segmentValue)
        return componentParameter(text, value, component);
    if (segment == 0 && m[3].matched)
        throw StudyError(text + ": segments are counted from 1");
    if (segment > kMaxBurningSegments)
        throw StudyError(text + ": a burning law has at most " + std::to_string(kMaxBurningSegments) + " segments");
    if (segment <= 1) {  // the component's own beta and alpha
        if (value == "pLow")
            throw StudyError(text + ": the first segment starts at 0 MPa");
        if (!m[3].matched && value != "beta")
            throw StudyError(text + ": name a segment, " + value + "[k,j]");
        return componentParameter(text, value, component);
    }
    static constexpr std::string_view kCaptions[] = {"Burning Rate Coeff. of the Segment", "Burning Rate Exponent of the Segment",
                                                     "Lower Pressure Bound of the Segment"};
    static constexpr std::string_view kUnits[] = {"m/s/Pa", "-", "MPa"};
    const SegmentValue which = value == "beta" ? SegmentValue::beta : value == "alpha" ? SegmentValue::alpha : SegmentValue::pLow;
    const auto i = static_cast<std::size_t>(which);
    Parameter p{text, kCaptions[i], kUnits[i], nullptr, ParameterKind::burningSegment, which, segment};
    p.component = component;
    return p;
}

// The component a parameter names must be in the record's charge.
void checkComponent(const BallisticInput& input, const Parameter& p)
{
    const std::size_t count = componentCount(input);
    if (p.component > count)
        throw StudyError(p.name + (count == 1 ? std::string(": the charge has one component, counted from 1")
                                              : ": the charge has " + std::to_string(count) + " components"));
}

// The burning law's segments above the first of the component a parameter names.
template <class Input>
auto& upperSegmentsOf(Input& input, const Parameter& p)
{
    checkComponent(input, p);
    return p.component == 1 ? input.upperSegments : input.extraComponents[p.component - 2].upperSegments;
}

// The segment a parameter names, in the record's law; StudyError when the law has fewer.
template <class Input>
auto& segmentOf(Input& input, const Parameter& p)
{
    auto& segments = upperSegmentsOf(input, p);
    if (p.segment - 2 >= segments.size())
        throw StudyError(p.name + ": the burning law has " + std::to_string(segments.size() + 1) +
                         (segments.empty() ? " segment" : " segments"));
    return segments[p.segment - 2];
}

// Sets component k's share of the total mass, scaling the others so that the total stays.
void setSplit(BallisticInput& input, const Parameter& p, double share)
{
    checkComponent(input, p);
    const double total = totalChargeMass(input);
    double& own = p.component == 1 ? input.C : input.extraComponents[p.component - 2].C;
    const double others = total - own;
    if (!(others > 0))
        throw StudyError(p.name + ": the other components hold no mass to give or take");
    const double scale = (1 - share) * total / others;
    for (std::size_t k = 1; k <= componentCount(input); ++k)
        if (k != p.component)
            componentValue(input, k, kComponentFields[0]) *= scale;
    own = share * total;
}

}  // namespace

std::vector<Parameter> allParameters()
{
    std::vector<Parameter> parameters;
    for (const InputField& field : kInputFields)
        parameters.push_back({std::string(field.name), field.caption, field.unit, &field});
    parameters.push_back(kGrainType);
    parameters.push_back(kChargeTemperature);
    return parameters;
}

Parameter findParameter(std::string_view name)
{
    if (const InputField* field = findInputField(name))
        return {std::string(field->name), field->caption, field->unit, field};
    if (std::optional<Parameter> indexed = indexedParameter(name))
        return *indexed;
    if (name == kGrainTypeParameter)
        return kGrainType;
    if (name == kChargeTemperatureParameter)
        return kChargeTemperature;
    std::string known;
    for (const Parameter& p : allParameters())
        known += (known.empty() ? "" : ", ") + std::string(p.name);
    throw StudyError("Unknown parameter \"" + std::string(name) + "\"; the parameters are " + known);
}

double parameterValue(const BallisticInput& input, const Parameter& parameter)
{
    if (parameter.kind == ParameterKind::componentValue) {
        checkComponent(input, parameter);
        return componentValue(input, parameter.component, *parameter.componentField) *
               findInputField(parameter.componentField->name)->toShown;
    }
    if (parameter.kind == ParameterKind::split) {
        checkComponent(input, parameter);
        return componentValue(input, parameter.component, kComponentFields[0]) / totalChargeMass(input);
    }
    if (parameter.kind == ParameterKind::grainType && parameter.component > 1) {
        checkComponent(input, parameter);
        return input.extraComponents[parameter.component - 2].grainType;
    }
    if (parameter.kind == ParameterKind::burningSegment) {
        const BurningSegment& s = segmentOf(input, parameter);
        switch (parameter.segmentValue) {
        case SegmentValue::beta: return s.beta;
        case SegmentValue::alpha: return s.alpha;
        case SegmentValue::pLow: return s.pLow;
        }
    }
    if (parameter.kind == ParameterKind::chargeTemperature) {
        if (input.chargeTemperature)
            return *input.chargeTemperature;
        return input.temperatureCoefficients ? input.temperatureCoefficients->reference : kDefaultReferenceTemperature;
    }
    if (!parameter.field)
        return input.grainType;
    return input.*(parameter.field->quantity) * parameter.field->toShown;
}

void setParameterValue(BallisticInput& input, const Parameter& parameter, double value)
{
    if (parameter.field) {
        input.*(parameter.field->quantity) = value * parameter.field->toStored;
        if (isTemperatureFactor(parameter.name))
            input.chargeTemperature.reset();  // the factor no longer follows from a temperature
        return;
    }
    if (parameter.kind == ParameterKind::componentValue) {
        checkComponent(input, parameter);
        componentValue(input, parameter.component, *parameter.componentField) =
            value * findInputField(parameter.componentField->name)->toStored;
        return;
    }
    if (parameter.kind == ParameterKind::split) {
        setSplit(input, parameter, value);
        return;
    }
    if (parameter.kind == ParameterKind::burningSegment) {
        BurningSegment& s = segmentOf(input, parameter);
        switch (parameter.segmentValue) {
        case SegmentValue::beta: s.beta = value; break;
        case SegmentValue::alpha: s.alpha = value; break;
        case SegmentValue::pLow: s.pLow = value; break;
        }
        return;
    }
    if (parameter.kind == ParameterKind::chargeTemperature) {
        if (!input.temperatureCoefficients)
            throw StudyError("chargeTemperature: the input set has no temperature coefficients; give "
                             "\"temperatureCoefficients\" or a propellant that has them");
        applyChargeTemperature(value, *input.temperatureCoefficients, input);
        return;
    }
    // Compared as a double first: a huge value would not fit the integer it is cast to.
    if (value != std::floor(value) || value < kFirstGrainType || value > kLastGrainType)
        throw StudyError(parameter.name + " must be a whole number from 1 to 7");
    checkComponent(input, parameter);
    componentGrainType(input, parameter.component) = static_cast<int>(value);
}

bool isTemperatureFactor(std::string_view name) { return name == "fFT" || name == "fbetaT"; }

}  // namespace kalvex::study
