#pragma once
// An input set as a script sees it: every parameter in the unit its window field shows,
// exactly as given, so that a run from a script reads the numbers the way Start reads the
// fields' texts. Parameters are named as in the study file (study/Parameters.h).
#include "core/input/BallisticInput.h"
#include "core/input/InputFields.h"
#include "core/propellant/PropellantLibrary.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::python {

struct ScriptInput {
    std::string weaponName;                           // UTF-8
    int grainType = 0;                                // 1 to 7
    std::array<double, kInputFields.size()> shown{};  // in kInputFields order, field units
    std::string propellantLine;  // " Propellant M30: <source>" while its seven values are unchanged
    std::optional<double> chargeTemperature;  // °C, while fFT and fbetaT follow from it
    std::optional<TemperatureCoefficients> temperatureCoefficients;  // the propellant's, when known
    std::vector<BurningSegment> upperSegments;  // the burning law above its first segment, SI units
    std::vector<ChargeComponent> extraComponents;  // the charge's components after the first, SI units
};

// A name that is no parameter; the message lists the parameters.
class UnknownParameter : public std::runtime_error {
public:
    explicit UnknownParameter(const std::string& message) : std::runtime_error(message) {}
};

// The parameter names, in the order of the study file's parameters; the charge temperature,
// which an input set may or may not have, is not among them.
std::vector<std::string> parameterNames();

// The value of a parameter in its unit (the grain type as a number); UnknownParameter.
double parameter(const ScriptInput& input, std::string_view name);

// The input set of a report, read as kalvex-batch reads it (InputError as it gives).
ScriptInput loadScriptInput(const std::string& path);

// Sets one parameter in its unit: InputError quoting `typed` for a value that is not finite
// or not finite once converted to the stored unit; StudyError for a grain type other than
// a whole number 1..7; UnknownParameter for a name that is none.
void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed);

// The charge temperature: fFT and fbetaT from the input set's temperature coefficients,
// replaced first by `coefficients` when given. InputError when there are none, or when the
// temperature lies outside their range.
void setChargeTemperature(ScriptInput& input, double celsius,
                          const std::optional<TemperatureCoefficients>& coefficients = {});

// The seven values of a library propellant, and the line that names it before a run's memo;
// the row's temperature coefficients, when it has them.
void applyPropellant(ScriptInput& input, const Propellant& propellant);

// The record a run starts from: each value times its field's factor, as Start converts.
BallisticInput toBallisticInput(const ScriptInput& input, bool heatTransfer);

// A script's input set of a whole record: each field's value the one that converts back to it.
ScriptInput fromBallisticInput(const BallisticInput& input, const std::string& weaponName);

}  // namespace kalvex::python
