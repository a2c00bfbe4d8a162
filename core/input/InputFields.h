#pragma once
// The numeric input fields of the main window: which control holds which quantity of the
// input set, and the factors between the unit the field shows and the stored SI unit.
// Studies, scripts and exports name and scale the inputs by the same table.
#include "core/input/BallisticInput.h"
#include "core/format/Units.h"

#include <array>
#include <string_view>

namespace kalvex {

struct InputField {
    const char* control;               // "Edit1" ... "Edit45"
    const char* name;                  // the member's name: the parameter of studies and scripts
    const char* caption;               // what the value is, in words
    const char* unit;                  // the unit the field shows, "-" for a pure number
    double BallisticInput::*quantity;  // where the value is stored
    double toStored;                   // field unit -> stored unit (mm, ms: 0.001; MPa: 1000000)
    double toShown;                    // stored unit -> field unit (m: 1000; Pa: 0.000001)
};

// In the order the Start command reads them: the weapon page, the propellant page, then the
// resistance page, the grain sizes, and the computation step last.
inline constexpr std::array<InputField, 42> kInputFields = {{
    {"Edit1", "A", "Area of Base of Projectile", "m^2", &BallisticInput::A, 1, 1},
    {"Edit2", "mp", "Mass of Projectile", "kg", &BallisticInput::mp, 1, 1},
    {"Edit3", "xm", "Travel of Projectile at Muzzle", "m", &BallisticInput::xm, 1, 1},
    {"Edit4", "V0", "Volume of Empty Chamber", "m^3", &BallisticInput::V0, 1, 1},
    {"Edit5", "Tw", "Twist of Rifling", "cal/turn", &BallisticInput::Tw, 1, 1},
    {"Edit6", "Vp", "Parasitic Volume", "m^3", &BallisticInput::Vp, 1, 1},
    {"Edit7", "T0w", "Initial Temperature of Chamber Wall", "\u00b0C", &BallisticInput::T0w, 1, 1},
    {"Edit8", "h0", "Free Heat Transfer Coefficient for Air", "W/m^2/K", &BallisticInput::h0, 1, 1},
    {"Edit9", "Dw", "Chamber Wall Thickness heated", "m", &BallisticInput::Dw, 1, 1},
    {"Edit10", "rhow", "Density of Chamber Wall Steel", "kg/m^3", &BallisticInput::rhow, 1, 1},
    {"Edit11", "Cpw", "Heat Capacity of Steel of Chamber", "J/kg/K", &BallisticInput::Cpw, 1, 1},
    {"Edit12", "f", "Fraction of Work done against Bore Friction", "-", &BallisticInput::f, 1, 1},
    {"Edit13", "mrp", "Mass of Recoiling Parts", "kg", &BallisticInput::mrp, 1, 1},
    {"Edit14", "RR", "Recoil Resistance Force", "N", &BallisticInput::RR, 1, 1},
    {"Edit19", "C", "Mass of Propellant", "kg", &BallisticInput::C, 1, 1},
    {"Edit20", "F", "Force per Unit Mass of Propellant", "J/kg", &BallisticInput::F, 1, 1},
    {"Edit21", "T0", "Adiabatic Flame Temperature of Propellant", "K", &BallisticInput::T0, 1, 1},
    {"Edit22", "b", "Covolume of Propellant", "m^3/kg", &BallisticInput::b, 1, 1},
    {"Edit23", "gamma", "Ratio of specific Heats for Propellant", "-", &BallisticInput::gamma, 1, 1},
    {"Edit24", "rho", "Density of Propellant", "kg/m^3", &BallisticInput::rho, 1, 1},
    {"Edit25", "beta", "Burning Rate Coeff. for Prop.", "m/s/Pa", &BallisticInput::beta, 1, 1},
    {"Edit26", "alpha", "Burning Rate Exponent for Propellant", "-", &BallisticInput::alpha, 1, 1},
    {"Edit27", "CI", "Mass of Igniter", "kg", &BallisticInput::CI, 1, 1},
    {"Edit28", "FI", "Force per Unit Mass of Igniter", "J/kg", &BallisticInput::FI, 1, 1},
    {"Edit29", "T0I", "Adiabatic Flame Temperature of Igniter", "K", &BallisticInput::T0I, 1, 1},
    {"Edit30", "bI", "Covolume of Igniter", "m^3/kg", &BallisticInput::bI, 1, 1},
    {"Edit31", "gammaI", "Ratio of specific Heats for Igniter", "-", &BallisticInput::gammaI, 1, 1},
    {"Edit32", "fFT", "Force Temperature Factor", "-", &BallisticInput::fFT, 1, 1},
    {"Edit34", "fbeta", "Burning Rate Factor", "-", &BallisticInput::fbeta, 1, 1},
    {"Edit35", "fbetaT", "Burning Rate Temperature Factor", "-", &BallisticInput::fbetaT, 1, 1},
    {"Edit16", "fr", "Down-Tube Resistance Factor", "-", &BallisticInput::fr, 1, 1},
    {"Edit36", "xe0", "Travel of Projectile at xe0", "m", &BallisticInput::xe0, 1, 1},
    {"Edit37", "xe", "Travel of Projectile at xe", "m", &BallisticInput::xe, 1, 1},
    {"Edit38", "px0", "Resistive Pressure at x0", "MPa", &BallisticInput::px0, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit39", "pxe0", "Resistive Pressure at xe0", "MPa", &BallisticInput::pxe0, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit40", "pxe", "Resistive Pressure at xe", "MPa", &BallisticInput::pxe, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit41", "pxm", "Resistive Pressure at xm", "MPa", &BallisticInput::pxm, kMegapascalToPascal, kPascalToMegapascal},
    {"Edit42", "D", "Diameter of Grain or Slab Size D", "mm", &BallisticInput::D, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit43", "L", "Length of Grain or Slab Size L", "mm", &BallisticInput::L, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit44", "P", "Diameter of Perforation or Slab Size P", "mm", &BallisticInput::P, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit45", "SW", "Slot Width SW", "mm", &BallisticInput::SW, kMillimetreToMetre, kMetreToMillimetre},
    {"Edit15", "dt", "Computation Step", "ms", &BallisticInput::dt, kMillisecondToSecond, kSecondToMillisecond},
}};

// Stores a value given in its field's unit, converted as Start converts the field's number
// (x 1 is exact for the SI fields).
inline void storeShownValue(BallisticInput& input, const InputField& field, double shown)
{
    input.*field.quantity = shown * field.toStored;
}

// The field of a parameter name ("C", "beta", ...); nullptr when there is none.
constexpr const InputField* findInputField(std::string_view name)
{
    for (const InputField& field : kInputFields)
        if (name == field.name)
            return &field;
    return nullptr;
}

// The field of a member of the input record; nullptr for one no field shows.
constexpr const InputField* findInputField(double BallisticInput::*member)
{
    for (const InputField& field : kInputFields)
        if (field.quantity == member)
            return &field;
    return nullptr;
}

}  // namespace kalvex
