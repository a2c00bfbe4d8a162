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

// "beta[1,2]" and the like: the value, the component and the segment (0 when not given);
// nothing when the name has no index.
std::optional<Parameter> indexedParameter(std::string_view name)
{
    static const std::regex pattern(R"(^(beta|alpha|pLow)\[([0-9]+)(?:,([0-9]+))?\]$)");
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
    if (component != 1)
        throw StudyError(text + ": the charge has one component, counted from 1");
    if (segment == 0 && m[3].matched)
        throw StudyError(text + ": segments are counted from 1");
    if (segment > kMaxBurningSegments)
        throw StudyError(text + ": a burning law has at most " + std::to_string(kMaxBurningSegments) + " segments");
    if (segment <= 1) {  // the input set's own beta and alpha
        if (value == "pLow")
            throw StudyError(text + ": the first segment starts at 0 MPa");
        if (!m[3].matched && value != "beta")
            throw StudyError(text + ": name a segment, " + value + "[k,j]");
        const InputField* field = findInputField(value);
        return Parameter{text, field->caption, field->unit, field};
    }
    static constexpr std::string_view kCaptions[] = {"Burning Rate Coeff. of the Segment", "Burning Rate Exponent of the Segment",
                                                     "Lower Pressure Bound of the Segment"};
    static constexpr std::string_view kUnits[] = {"m/s/Pa", "-", "MPa"};
    const SegmentValue which = value == "beta" ? SegmentValue::beta : value == "alpha" ? SegmentValue::alpha : SegmentValue::pLow;
    const auto i = static_cast<std::size_t>(which);
    return Parameter{text, kCaptions[i], kUnits[i], nullptr, ParameterKind::burningSegment, which, segment};
}

// The segment a parameter names, in the record's law; StudyError when the law has fewer.
template <class Input>
auto& segmentOf(Input& input, const Parameter& p)
{
    if (p.segment - 2 >= input.upperSegments.size())
        throw StudyError(p.name + ": the burning law has " + std::to_string(input.upperSegments.size() + 1) +
                         (input.upperSegments.empty() ? " segment" : " segments"));
    return input.upperSegments[p.segment - 2];
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
        throw StudyError("grainType must be a whole number from 1 to 7");
    input.grainType = static_cast<int>(value);
}

bool isTemperatureFactor(std::string_view name) { return name == "fFT" || name == "fbetaT"; }

}  // namespace kalvex::study
