#include "core/input/InputSet.h"

#include "core/results/Errors.h"
#include "core/model/GrainTypes.h"
#include "core/model/GrainGeometry.h"
#include "core/input/InputFields.h"
#include "core/input/MixedCharge.h"
#include "core/format/NumberFormat.h"
#include "core/propellant/PropellantValues.h"

#include <cmath>
#include <string>

namespace kalvex {

namespace {

void require(bool holds, const char* message)
{
    if (!holds)
        throw InputError(message);
}

// A rule of one component of the charge: its message begins with the component's label
// ("Component 2: "), empty for a charge of one component.
void require(bool holds, const std::string& label, const char* message)
{
    if (!holds)
        throw InputError(label + message);
}

void validateGrainSizes(const BallisticInput& in, const std::string& label)
{
    const auto require = [&label](bool holds, const char* message) { kalvex::require(holds, label, message); };
    const char* const lNotPositive = "Size of Grain L less than or equal to 0 mm";
    const char* const pNotPositive = "Size of Grain P less than or equal to 0 mm";
    const char* const perforationTooWide =
        "Diameter of Perforation P greater than or equal to Diameter of Grain D";
    switch (static_cast<GrainType>(in.grainType)) {
    case GrainType::slab:
        require(in.L > 0, lNotPositive);
        require(in.P > 0, pNotPositive);
        break;
    case GrainType::cylinder:
        require(in.L > 0, lNotPositive);
        break;
    case GrainType::tube:
        require(in.L > 0, lNotPositive);
        require(in.P > 0, pNotPositive);
        require(in.D > in.P, perforationTooWide);
        break;
    case GrainType::slottedStick:
        require(in.L > 0, lNotPositive);
        require(in.P > 0, pNotPositive);
        require(in.SW >= 0, "Size of Grain SW less than 0 mm");
        require(in.D > in.P, perforationTooWide);
        require(in.SW < in.P, "Slot Width SW greater than or equal to Diameter of Perforation P");
        break;
    case GrainType::sevenPerforated:
        require(in.L > 0, lNotPositive);
        require(in.P > 0, pNotPositive);
        require(in.D / 3 > in.P,
                "Diameter of Perforation P greater than or equal to 1/3 of Diameter of Grain D");
        break;
    case GrainType::nineteenPerforated:
        require(in.L > 0, lNotPositive);
        require(in.P > 0, pNotPositive);
        require(0.2 * in.D > in.P,
                "Diameter of Perforation P greater than or equal to 1/5 of Diameter of Grain D");
        break;
    default:  // a sphere needs its diameter only
        break;
    }
}

// The rules of beta and alpha for every segment above the first, and bounds that increase;
// each message names its segment, counted from 1 as the parameter names count.
void validateUpperSegments(const BallisticInput& in, const std::string& label)
{
    if (const std::string problem = upperSegmentsProblem(in.upperSegments); !problem.empty())
        throw InputError(label + problem);
}

// The rules of a component's mass and propellant, and of its burning law's segments.
void validatePropellant(const BallisticInput& in, const std::string& label)
{
    require(in.C > 0, label, "Mass of Propellant C less than or equal to 0 kg");
    for (const PropellantValue& value : kPropellantValues)
        require(passesRule(value, in.*value.quantity), label, value.ruleMessage);
    validateUpperSegments(in, label);
}

void validateFactors(const BallisticInput& in, const std::string& label)
{
    require(in.fFT >= 0.1, label, "Force Temperature Factor fFT less than 0.1");
    require(in.fbeta >= 0.1, label, "Burning Rate Factor fbeta less than 0.1");
    require(in.fbetaT >= 0.1, label, "Burning Rate Temperature Factor fbetaT less than 0.1");
}

void validateGrainShape(const BallisticInput& in, const std::string& label)
{
    require(in.D > 0, label, "Size of Grain D less than or equal to 0 mm");
    validateGrainSizes(in, label);
}

// A grain so small that its volume underflows would make the charge infinitely many grains.
void validateGrainVolume(const BallisticInput& in, const std::string& label)
{
    const double grainVolume = prepareGrainGeometry(in).initialGrainVolume;
    require(std::isfinite(grainVolume) && grainVolume > 0, label, "Volume of Grain not a finite positive number");
}

// Every component after the first, each alone by the rules of the first, in the order listed.
void validateExtraComponents(const BallisticInput& in)
{
    if (componentCount(in) > kMaxChargeComponents)
        throw InputError("Charge with more than 8 components");
    for (std::size_t c = 1; c < componentCount(in); ++c)
        validateChargeComponent(in, c);
}

}  // namespace

void readBallisticInput(const FieldSource& fields, int grainType, bool heatTransfer,
                        char decimalSeparator, BallisticInput& stored)
{
    stored.grainType = grainType;
    stored.heatTransfer = heatTransfer;
    for (const InputField& field : kInputFields) {
        const std::string text = fields.fieldText(field.name);
        const double value = parseFloatField(text, decimalSeparator) * field.toStored;  // x 1 is exact
        if (!std::isfinite(value))  // a typed number that overflows in the stored unit
            throw InputError(notAFloatMessage(text));
        stored.*field.quantity = value;
    }
}

double shownFieldValue(const BallisticInput& input, const InputField& field)
{
    return parseFloatField(formatGeneral(input.*field.quantity * field.toShown));
}

BallisticInput asShownInFields(const BallisticInput& input)
{
    BallisticInput shown = input;
    for (const InputField& field : kInputFields)
        storeShownValue(shown, field, shownFieldValue(input, field));
    // Factors set by a charge temperature are the law's own numbers, not their field texts:
    // a loaded report that carries its temperature runs as the input set that wrote it.
    if (input.chargeTemperature && input.temperatureCoefficients)
        applyChargeTemperature(*input.chargeTemperature, *input.temperatureCoefficients, shown);
    return shown;
}

void validateBurningLaw(const BallisticInput& in)
{
    for (const PropellantValue& value : kPropellantValues)
        if (value.quantity == &BallisticInput::beta || value.quantity == &BallisticInput::alpha)
            require(passesRule(value, in.*value.quantity), value.ruleMessage);
    validateUpperSegments(in, "");
}

void validateBallisticInput(const BallisticInput& in)
{
    // The first component's rules take their place among the others, as for a charge of one
    // component; in a mixed charge its messages name it, as every other component's do.
    const std::string first = isMixedCharge(in) ? componentLabel(0) : std::string();
    require(in.A > 0, "Area of Base of Projectile A less than or equal to 0 m^2");
    require(in.mp > 0, "Mass of Projectile mp less than or equal to 0 kg");
    require(in.xm > 0, "Travel of Projectile at Muzzle xm less than or equal to 0 m");
    require(in.V0 > 0, "Volume of Empty Chamber V0 less than or equal to 0 m^3");
    require(in.Tw >= 1, "Twist of Rifling Tw less than 1 cal/turn");
    require(in.Vp >= 0, "Parasitic Volume Vp less than 0 m^3");
    require(in.T0w >= -50, "Initial Temperature of Chamber Wall T0w less than -50\u00b0C");
    require(in.h0 >= 0, "Free Heat Transfer Coefficient for Air h0 less than 0 W/m^2/K");
    require(in.Dw > 0, "Chamber Wall Thickness heated Dw less than or equal to 0 m");
    require(in.rhow >= 1, "Density of Chamber Wall Steel rhow less than 1 kg/m^3");
    require(in.Cpw >= 1, "Heat Capacity of Steel of Chamber Cpw less than 1 J/kg/K");
    require(in.f >= 0, "Fraction of Work done against Bore Friction f less than 0");
    require(in.mrp > 0, "Mass of Recoiling Parts mrp less than or equal to 0 kg");
    require(in.RR > 0, "Recoil Resistance Force RR less than or equal to 0 N");
    validatePropellant(in, first);
    require(in.CI > 0, "Mass of Igniter CI less than or equal to 0 kg");
    require(in.FI >= 10000, "Force per Unit Mass of Igniter FI less than 10000 J/kg");
    require(in.T0I >= 1000, "Adiabatic Flame Temperature of Igniter T0I less than 1000 K");
    require(in.bI >= 0, " Covolume of Igniter bI less than 0 m^3/kg");
    require(in.gammaI > 1, "Ratio of specific Heats for Igniter gammaI less than or equal to 1");
    validateFactors(in, first);
    require(in.fr >= 0, "Down-Tube Resistance Factor fr less than 0");
    require(in.xe0 >= 0, "Travel of Projectile at xe0 less than 0 m");
    require(in.xe0 <= in.xm,
            "Travel of Projectile at xe0 greater than Travel of Projectile at Muzzle xm");
    require(in.xe >= 0, "Travel of Projectile at xe less than 0");
    require(in.xe >= in.xe0, "Travel of Projectile at xe less than Travel of Projectile at xe0");
    require(in.xe <= in.xm,
            "Travel of Projectile at xe greater than Travel of Projectile at Muzzle xm");
    require(in.px0 >= 0, "Resistive Pressure at x0 less than 0 Pa");
    require(in.pxe0 >= 0, "Resistive Pressure at xe0 less than 0 Pa");
    require(in.pxe >= 0, "Resistive Pressure at xe less than 0 Pa");
    require(in.pxm >= 0, "Resistive Pressure at xm less than 0 Pa");
    validateGrainShape(in, first);
    require(in.dt > 0, "Computation Step less than or equal to 0 s");
    validateGrainVolume(in, first);
    validateExtraComponents(in);
}

void validateChargeComponent(const BallisticInput& in, std::size_t c)
{
    const BallisticInput alone = componentInputSet(in, c);
    const std::string label = isMixedCharge(in) ? componentLabel(c) : std::string();
    validatePropellant(alone, label);
    validateFactors(alone, label);
    validateGrainShape(alone, label);
    validateGrainVolume(alone, label);
}

std::string componentLabel(std::size_t c)
{
    return "Component " + std::to_string(c + 1) + ": ";
}

}  // namespace kalvex
