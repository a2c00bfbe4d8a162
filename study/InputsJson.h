#pragma once
// The "inputs" object of a study file and of the JSON input file: every parameter by its name
// in the unit of its field, and where the input set has them, "segments",
// "temperatureCoefficients", "chargeTemperature" and, for a charge of several components,
// "charge": the list of component records, the first included (docs/input-file.md).
#include "core/input/BallisticInput.h"
#include "core/input/InputFields.h"

#include <nlohmann/json_fwd.hpp>
#include <string>

namespace kalvex::study {

// StudyError naming the key (inputs.charge (component 2).F) when the object is wrong.
BallisticInput inputsFromJson(const nlohmann::json& inputs);
nlohmann::json inputsToJson(const BallisticInput& input);

// A stored value in its field's unit such that converting it back gives the stored value
// exactly, where a neighbour of the plain conversion does (x * 1e-6 * 1e6 need not be x): an
// input set written and read again runs with the same bits.
double valueReadingBack(const BallisticInput& input, const InputField& field);
double valueReadingBack(double stored, const InputField& field);

// A component's record of the "charge" list, values in the units of the input fields of the
// same names; reading names the component k in its messages.
nlohmann::json componentToJson(const ChargeComponent& component);
ChargeComponent componentFromJson(const nlohmann::json& record, std::size_t k);

// Temperature coefficients under `key`; StudyError naming what is wrong.
TemperatureCoefficients temperatureCoefficientsFrom(const nlohmann::json& object, const std::string& key);

// Sets the charge temperature of the input set and the factors it gives; StudyError
// "chargeTemperature: ..." when the coefficients refuse it.
void setChargeTemperatureJson(BallisticInput& input, double celsius);

}  // namespace kalvex::study
