#pragma once
// The 43 input value lines of a report, in file order. The writer prints them and the
// reader finds their values in the same order, one per colon, so both share this table.

#include "core/input/BallisticInput.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace kalvex::report {

// The printf conversion of a value line.
enum class Conversion {
    Exp6,       // "%6.6e"
    Exp4,       // "%6.4e"
    Exp3,       // "%6.3e"
    Fixed4,     // "%6.4f"
    Fixed3,     // "%6.3f"
    Fixed2,     // "%6.2f"
    GrainType,  // "%6.0i", the one integer of the set
};

struct ValueLine {
    std::string_view label;               // up to the value column, in Windows-1250
    Conversion conversion;
    double BallisticInput::* member;      // nullptr for the grain type
};

inline constexpr std::size_t kValueCount = 43;

// Where the sections of the input part begin (indices into kValueLines).
inline constexpr std::size_t kFirstPowderLine = 14;
inline constexpr std::size_t kFirstGrainLine = 30;
inline constexpr std::size_t kFirstFrictionLine = 35;
inline constexpr std::size_t kStepLine = 42;

// Labels are padded so that the value begins in the 55th character of the line; the twist,
// wall temperature, h0 and f lines are one shorter and the grain-type line five shorter.
// The degree sign of the wall temperature line is the Windows-1250 byte 0xB0.
inline constexpr std::array<ValueLine, kValueCount> kValueLines = {{
    {" Area of Base of Projectile A [m^2]:                  ", Conversion::Exp6, &BallisticInput::A},
    {" Mass of Projectile mp [kg]:                          ", Conversion::Exp6, &BallisticInput::mp},
    {" Travel of Projectile at Muzzle xm [m]:               ", Conversion::Fixed4, &BallisticInput::xm},
    {" Volume of Empty Chamber V0 [m^3]:                    ", Conversion::Exp6, &BallisticInput::V0},
    {" Twist of Rifling Tw [cal/turn]:                     ", Conversion::Fixed2, &BallisticInput::Tw},
    {" Parasitic Volume Vp [m^3]:                           ", Conversion::Exp6, &BallisticInput::Vp},
    {" Initial Temperature of Chamber Wall T0w [\xB0" "C]:       ", Conversion::Fixed2, &BallisticInput::T0w},
    {" Free Heat Transfer Coefficient for Air h0 [W/m^2/K]:", Conversion::Fixed2, &BallisticInput::h0},
    {" Chamber Wall Thickness heated Dw [m]:                ", Conversion::Exp6, &BallisticInput::Dw},
    {" Density of Chamber Wall Steel rhow [kg/m^3]:         ", Conversion::Fixed2, &BallisticInput::rhow},
    {" Heat Capacity of Steel of Chamber Cpw [J/kg/K]:      ", Conversion::Fixed2, &BallisticInput::Cpw},
    {" Fraction of Work done against Bore Friction f:      ", Conversion::Fixed3, &BallisticInput::f},
    {" Mass of Recoiling Parts mrp [kg]:                    ", Conversion::Exp6, &BallisticInput::mrp},
    {" Recoil Resistance Force RR [N]:                      ", Conversion::Exp6, &BallisticInput::RR},
    {" Mass of Propellant C [kg]:                           ", Conversion::Exp6, &BallisticInput::C},
    {" Force per Unit Mass of Propellant F [J/kg]:          ", Conversion::Exp6, &BallisticInput::F},
    {" Adiabatic Flame Temperature of Propellant T0 [K]:    ", Conversion::Fixed2, &BallisticInput::T0},
    {" Covolume of Propellant b [m^3/kg]:                   ", Conversion::Exp6, &BallisticInput::b},
    {" Ratio of specific Heats for Propellant gamma:        ", Conversion::Fixed4, &BallisticInput::gamma},
    {" Density of Propellant rho [kg/m^3]:                  ", Conversion::Fixed2, &BallisticInput::rho},
    {" Burning Rate Coeff. for Prop. beta [m/s/Pa]:         ", Conversion::Exp6, &BallisticInput::beta},
    {" Burning Rate Exponent for Propellant alpha:          ", Conversion::Fixed4, &BallisticInput::alpha},
    {" Mass of Igniter CI [kg]:                             ", Conversion::Exp6, &BallisticInput::CI},
    {" Force per Unit Mass of Igniter FI [J/kg]:            ", Conversion::Exp6, &BallisticInput::FI},
    {" Adiabatic Flame Temperature of Igniter T0I [K]:      ", Conversion::Fixed2, &BallisticInput::T0I},
    {" Covolume of Igniter bI [m^3/kg]:                     ", Conversion::Exp6, &BallisticInput::bI},
    {" Ratio of specific Heats for Igniter gammaI:          ", Conversion::Fixed4, &BallisticInput::gammaI},
    {" Force Temperature Factor fFT:                        ", Conversion::Fixed4, &BallisticInput::fFT},
    {" Burning Rate Factor fbeta:                           ", Conversion::Fixed4, &BallisticInput::fbeta},
    {" Burning Rate Temperature Factor fbetaT:              ", Conversion::Fixed4, &BallisticInput::fbetaT},
    {" Type of Grains:                                 ", Conversion::GrainType, nullptr},
    {" Diameter of Grain or Slab Size D [m]:                ", Conversion::Exp6, &BallisticInput::D},
    {" Length of Grain or Slab Size L [m]:                  ", Conversion::Exp6, &BallisticInput::L},
    {" Diameter of Perforation or Slab Size P [m]:          ", Conversion::Exp6, &BallisticInput::P},
    {" Slot Width SW [m]:                                   ", Conversion::Exp6, &BallisticInput::SW},
    {" Down-Tube Resistance Factor fr:                      ", Conversion::Fixed4, &BallisticInput::fr},
    {" Travel of Projectile at xe0 [m]:                     ", Conversion::Fixed4, &BallisticInput::xe0},
    {" Travel of Projectile at xe [m]:                      ", Conversion::Fixed4, &BallisticInput::xe},
    {" Resistive Pressure at x0 [Pa]:                       ", Conversion::Exp3, &BallisticInput::px0},
    {" Resistive Pressure at xe0 [Pa]:                      ", Conversion::Exp3, &BallisticInput::pxe0},
    {" Resistive Pressure at xe [Pa]:                       ", Conversion::Exp3, &BallisticInput::pxe},
    {" Resistive Pressure at xm [Pa]:                       ", Conversion::Exp3, &BallisticInput::pxm},
    {" Computation Step [s]:                                ", Conversion::Exp4, &BallisticInput::dt},
}};

}  // namespace kalvex::report
