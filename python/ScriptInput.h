#pragma once
// An input set as a script sees it: every parameter in the unit its window field shows,
// exactly as given, so that a run from a script reads the numbers the way Start reads the
// fields' texts.
#include "core/BallisticInput.h"
#include "core/InputFields.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::python {

inline constexpr std::string_view kGrainTypeName = "grainType";  // the one integer parameter

struct ScriptInput {
    std::string weaponName;                           // UTF-8
    int grainType = 0;                                // 1 to 7
    std::array<double, kInputFields.size()> shown{};  // in kInputFields order, field units
};

// The parameter names, in kInputFields order with grainType after the numeric ones.
std::vector<std::string> parameterNames();

// "InputSet has no parameter 'X'; the parameters are: A, mp, ...".
std::string unknownParameterMessage(std::string_view name);

// The input set of a report, read as kalvex-batch reads it (InputError as it gives).
ScriptInput loadScriptInput(const std::string& path);

// Sets one parameter: a field value (InputError quoting `typed` when it is not finite, or
// not finite in stored units) or the grain type (1 to 7). Unknown names throw
// UnknownParameter.
void setParameter(ScriptInput& input, std::string_view name, double value, std::string_view typed);

// The record a run starts from: each value times its field's factor, as Start converts.
BallisticInput toBallisticInput(const ScriptInput& input, bool heatTransfer);

class UnknownParameter : public std::exception {
public:
    explicit UnknownParameter(std::string_view name) : message_(unknownParameterMessage(name)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace kalvex::python
