#pragma once
// Which input field a failed input rule is about, so that a window can show the user where
// the value is without changing the rule's message.
#include "core/input/InputFields.h"

#include <string_view>

namespace kalvex {

// The field of the value a rule's message names ("Mass of Projectile mp less than ...":
// mp); nullptr when the message names no field.
const InputField* fieldOfRuleMessage(std::string_view message);

}  // namespace kalvex
