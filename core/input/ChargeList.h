#pragma once
// The charge as a list of components, counted from 1: component 1 is the input set's own
// propellant and grain fields (with its upperSegments and temperatureCoefficients), the others
// are BallisticInput::extraComponents. Files, studies and scripts address the charge through
// this list, so that the first component needs no case of its own.
#include "core/input/BallisticInput.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace kalvex {

// A value every component has, by the name the input record gives it.
struct ComponentField {
    std::string_view name;                  // "C", "F", ... as the input field of component 1
    double BallisticInput::* ofFirst;       // where component 1 keeps it
    double ChargeComponent::* ofComponent;  // where the others keep it
};

// The component values that are numbers, in the order of the input fields; the grain type,
// the one whole number, is ChargeComponent::grainType.
inline constexpr std::array<ComponentField, 15> kComponentFields = {{
    {"C", &BallisticInput::C, &ChargeComponent::C},
    {"F", &BallisticInput::F, &ChargeComponent::F},
    {"T0", &BallisticInput::T0, &ChargeComponent::T0},
    {"b", &BallisticInput::b, &ChargeComponent::b},
    {"gamma", &BallisticInput::gamma, &ChargeComponent::gamma},
    {"rho", &BallisticInput::rho, &ChargeComponent::rho},
    {"beta", &BallisticInput::beta, &ChargeComponent::beta},
    {"alpha", &BallisticInput::alpha, &ChargeComponent::alpha},
    {"fFT", &BallisticInput::fFT, &ChargeComponent::fFT},
    {"fbeta", &BallisticInput::fbeta, &ChargeComponent::fbeta},
    {"fbetaT", &BallisticInput::fbetaT, &ChargeComponent::fbetaT},
    {"D", &BallisticInput::D, &ChargeComponent::D},
    {"L", &BallisticInput::L, &ChargeComponent::L},
    {"P", &BallisticInput::P, &ChargeComponent::P},
    {"SW", &BallisticInput::SW, &ChargeComponent::SW},
}};

// The component field of a name; nullptr when the name is no component value.
constexpr const ComponentField* findComponentField(std::string_view name)
{
    for (const ComponentField& field : kComponentFields)
        if (field.name == name)
            return &field;
    return nullptr;
}

// The number of components, 1 for a charge of one propellant.
inline std::size_t componentCount(const BallisticInput& input) { return input.extraComponents.size() + 1; }

// Component k (1 <= k <= componentCount) as a record.
ChargeComponent chargeComponent(const BallisticInput& input, std::size_t k);
// Replaces component k (1 <= k <= componentCount) by `component`.
void setChargeComponent(BallisticInput& input, std::size_t k, const ChargeComponent& component);

// Every component, the first included; and the charge replaced by such a list (at least one).
std::vector<ChargeComponent> chargeList(const BallisticInput& input);
void setChargeList(BallisticInput& input, const std::vector<ChargeComponent>& charge);

// A number of component k (1 <= k <= componentCount), where the record keeps it.
double& componentValue(BallisticInput& input, std::size_t k, const ComponentField& field);
double componentValue(const BallisticInput& input, std::size_t k, const ComponentField& field);
// The grain type of component k.
int& componentGrainType(BallisticInput& input, std::size_t k);

// The mass of the whole charge, kg.
double totalChargeMass(const BallisticInput& input);

}  // namespace kalvex
