#pragma once
#include "core/input/BallisticInput.h"
#include "core/input/FieldSource.h"
#include "core/input/InputFields.h"

#include <cstddef>
#include <string>

namespace kalvex {

// Parses every input field into `stored`, in the fixed reading order, converting mm and ms
// (x 0.001) and MPa (x 1000000) to SI units. Each value is stored as soon as it is parsed,
// so a bad text (InputError) leaves the fields read before it already updated.
void readBallisticInput(const FieldSource& fields, int grainType, bool heatTransfer,
                        char decimalSeparator, BallisticInput& stored);

// The input set as Load shows it in the fields and Start reads it back: each value rounded
// to the 15 significant digits of its field, in the field's unit. A report loaded into the
// window runs with these values, so every other way of running a report does the same.
// fFT and fbetaT set by a charge temperature keep the bits its law gives them.
BallisticInput asShownInFields(const BallisticInput& input);

// One value of asShownInFields in the field's unit: the number the field's text reads as.
double shownFieldValue(const BallisticInput& input, const InputField& field);

// Checks the plausibility rules in their fixed order; throws InputError with the message
// of the first rule that does not hold. Changes nothing. In a mixed charge, the rules of each
// component's propellant, factors and grain name it (componentLabel); the components after
// the first are checked after every other rule, in the order listed.
void validateBallisticInput(const BallisticInput& input);

// The rules of the burning law alone, in the same order and with the same messages: beta and
// alpha of the first segment, then each segment above it. For an editor of the law, whose
// other values may still be incomplete.
void validateBurningLaw(const BallisticInput& input);

// The rules of component c (0 for the first) alone: its mass, propellant, burning law,
// factors and grain, in the order validateBallisticInput checks them and with its messages
// (named by componentLabel in a mixed charge). For an editor of the charge, whose other values
// may still be incomplete.
void validateChargeComponent(const BallisticInput& input, std::size_t c);

// "Component 2: " for component c = 1 (counted from 1 in messages, as parameter names count).
std::string componentLabel(std::size_t c);

}  // namespace kalvex
