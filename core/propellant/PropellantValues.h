#pragma once
// The seven values that describe a propellant to the model, with the input rule each must
// pass. The input rules, the propellant library and its file format share this one table, so
// a library row is checked by exactly the rules the Start command applies.
#include "core/input/BallisticInput.h"

#include <array>

namespace kalvex {

struct PropellantValue {
    const char* name;                  // the parameter's name, also its key in a library file
    double BallisticInput::*quantity;  // where the value is stored in the input set
    double minimum;                    // the smallest value the rule admits ...
    bool minimumAdmitted;              // ... itself included (>=) or excluded (>)
    const char* ruleMessage;           // the input rule's message when the value is below it
};

inline constexpr std::array<PropellantValue, 7> kPropellantValues = {{
    {"F", &BallisticInput::F, 100000, true,
     "Force per Unit Mass of Propellant F less than 100000 J/kg"},
    {"T0", &BallisticInput::T0, 1000, true,
     "Adiabatic Flame Temperature of Propellant T0 less than 1000 K"},
    {"b", &BallisticInput::b, 0, true, "Covolume of Propellant b less than 0 m^3/kg"},
    {"gamma", &BallisticInput::gamma, 1, false,
     "Ratio of specific Heats for Propellant gamma less than or equal to 1"},
    {"rho", &BallisticInput::rho, 1000, true, "Density of Propellant rho less than 1000 kg/m^3"},
    {"beta", &BallisticInput::beta, 0, false,
     "Burning Rate Coeff. for Prop. beta less than or equal to 0 m/s/Pa"},
    {"alpha", &BallisticInput::alpha, 0.5, true,
     "Burning Rate Exponent for Propellant alpha less than 0.5"},
}};

// Whether `value` passes the rule of `v`.
constexpr bool passesRule(const PropellantValue& v, double value)
{
    return v.minimumAdmitted ? value >= v.minimum : value > v.minimum;
}

}  // namespace kalvex
