#pragma once
// The parameters a study can vary: every numeric input field, named by the input record's
// member name and given in the unit the window's field shows, plus the grain type, a whole
// number that only a sweep can take (its values pick a shape; they have no order to solve,
// fit or scatter in).
#include "core/input/BallisticInput.h"
#include "core/input/ChargeList.h"
#include "core/input/InputFields.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalvex::study {

inline constexpr std::string_view kGrainTypeParameter = "grainType";
// The charge temperature, °C: it sets fFT and fbetaT from the input set's temperature
// coefficients (core/input/ChargeTemperature.h), so it is never varied together with them.
inline constexpr std::string_view kChargeTemperatureParameter = "chargeTemperature";
// A sweep axis over library propellants; its value in a row is the propellant's number in
// the axis's list, counted from 1.
inline constexpr std::string_view kPropellantParameter = "propellant";

// What a parameter sets in the input record.
enum class ParameterKind {
    field,              // one input field's value
    grainType,          // the shape number 1..7
    propellant,         // a sweep axis over library propellants
    chargeTemperature,  // fFT and fbetaT through the temperature coefficients
    burningSegment,     // a value of a segment of the burning law above the first
    componentValue,     // a value of a component after the first: C[2], D[3], ...
    split,              // the share of the charge's mass in one component, the total kept
};

// Which value of a burning-law segment a parameter names.
enum class SegmentValue { beta, alpha, pLow };

struct Parameter {
    std::string name;          // "C", "beta", ..., "grainType", "beta[1,2]"
    std::string_view caption;  // what the value is, in words
    std::string_view unit;     // the unit of the study's values, "-" for a pure number
    const InputField* field;   // the input field; nullptr for the other kinds
    ParameterKind kind = ParameterKind::field;
    SegmentValue segmentValue = SegmentValue::beta;  // of a burning segment
    std::size_t segment = 0;                         // of a burning segment, counted from 1
    std::size_t component = 1;                       // whose value it is, counted from 1
    const ComponentField* componentField = nullptr;  // of a component value after the first
    bool continuous() const { return kind != ParameterKind::grainType && kind != ParameterKind::propellant; }
};

// The column of a sweep over propellants: the number of the row's propellant in the list.
inline const Parameter kPropellantAxis{std::string(kPropellantParameter),
                                           "Number of the Propellant in the Sweep's List of Names", "-", nullptr,
                                           ParameterKind::propellant};

// Every parameter, in the order of the input fields, then the grain type and the charge
// temperature.
std::vector<Parameter> allParameters();

// The parameter of a name; StudyError naming the known names when there is none. Values that
// are not single numbers of the record are named by index, counted from 1: `beta[k]` is
// component k's coefficient (bare `beta` is component 1), and segment j of component k's
// burning law is `beta[k,j]`, `alpha[k,j]`, `pLow[k,j]` (MPa). Segment 1 is beta and alpha.
// Every value of a component has such a name: `C[2]`, `D[2]` (mm), `grainType[3]`, ...; and
// `split[k]` is the share of the charge's total mass in component k (the others scaled so that
// the total stays). Whether the component exists is checked against the input set.
Parameter findParameter(std::string_view name);

// Reads and writes a parameter of the record in the parameter's unit. Setting the grain type
// requires a whole number 1..7 (StudyError otherwise). The charge temperature reads as the
// coefficients' reference temperature while none was set; setting it requires temperature
// coefficients in the record (StudyError) and a temperature within their range (InputError).
double parameterValue(const BallisticInput& input, const Parameter& parameter);
void setParameterValue(BallisticInput& input, const Parameter& parameter, double value);
// A segment's or a component's value needs that segment or component in the record
// (StudyError naming the parameter).

// Whether the parameter is one of the two factors that the charge temperature sets.
bool isTemperatureFactor(std::string_view name);

}  // namespace kalvex::study
