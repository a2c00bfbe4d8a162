#include "core/input/ChargeList.h"

namespace kalvex {

ChargeComponent chargeComponent(const BallisticInput& input, std::size_t k)
{
    if (k > 1)
        return input.extraComponents.at(k - 2);
    ChargeComponent first;
    for (const ComponentField& field : kComponentFields)
        first.*field.ofComponent = input.*field.ofFirst;
    first.grainType = input.grainType;
    first.upperSegments = input.upperSegments;
    first.temperatureCoefficients = input.temperatureCoefficients;
    return first;
}

void setChargeComponent(BallisticInput& input, std::size_t k, const ChargeComponent& component)
{
    if (k > 1) {
        input.extraComponents.at(k - 2) = component;
        return;
    }
    for (const ComponentField& field : kComponentFields)
        input.*field.ofFirst = component.*field.ofComponent;
    input.grainType = component.grainType;
    input.upperSegments = component.upperSegments;
    input.temperatureCoefficients = component.temperatureCoefficients;
}

std::vector<ChargeComponent> chargeList(const BallisticInput& input)
{
    std::vector<ChargeComponent> charge{chargeComponent(input, 1)};
    charge.insert(charge.end(), input.extraComponents.begin(), input.extraComponents.end());
    return charge;
}

void setChargeList(BallisticInput& input, const std::vector<ChargeComponent>& charge)
{
    setChargeComponent(input, 1, charge.at(0));
    input.extraComponents.assign(charge.begin() + 1, charge.end());
}

double& componentValue(BallisticInput& input, std::size_t k, const ComponentField& field)
{
    return k > 1 ? input.extraComponents.at(k - 2).*field.ofComponent : input.*field.ofFirst;
}

double componentValue(const BallisticInput& input, std::size_t k, const ComponentField& field)
{
    return k > 1 ? input.extraComponents.at(k - 2).*field.ofComponent : input.*field.ofFirst;
}

int& componentGrainType(BallisticInput& input, std::size_t k)
{
    return k > 1 ? input.extraComponents.at(k - 2).grainType : input.grainType;
}

double totalChargeMass(const BallisticInput& input)
{
    double total = input.C;
    for (const ChargeComponent& c : input.extraComponents)
        total += c.C;
    return total;
}

}  // namespace kalvex
