#pragma once
// The parameters a study can vary: every numeric input field, named by the input record's
// member name and given in the unit the window's field shows, plus the grain type, a whole
// number that only a sweep can take (its values pick a shape; they have no order to solve,
// fit or scatter in).
#include "core/input/BallisticInput.h"
#include "core/input/InputFields.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalvex::study {

inline constexpr std::string_view kGrainTypeParameter = "grainType";
// A sweep axis over library propellants; its value in a row is the propellant's number in
// the axis's list, counted from 1.
inline constexpr std::string_view kPropellantParameter = "propellant";

struct Parameter {
    std::string_view name;     // "C", "beta", ..., "grainType"
    std::string_view caption;  // what the value is, in words
    std::string_view unit;     // the unit of the study's values, "-" for a pure number
    const InputField* field;   // nullptr for the grain type
    bool continuous() const { return field != nullptr; }
};

// The column of a sweep over propellants: the number of the row's propellant in the list.
inline constexpr Parameter kPropellantAxis{kPropellantParameter,
                                           "Number of the Propellant in the Sweep's List of Names", "-", nullptr};

// Every parameter, in the order of the input fields, the grain type last.
std::vector<Parameter> allParameters();

// The parameter of a name; StudyError naming the known names when there is none.
Parameter findParameter(std::string_view name);

// Reads and writes a parameter of the record in the parameter's unit. Setting the grain type
// requires a whole number 1..7 (StudyError otherwise).
double parameterValue(const BallisticInput& input, const Parameter& parameter);
void setParameterValue(BallisticInput& input, const Parameter& parameter, double value);

}  // namespace kalvex::study
