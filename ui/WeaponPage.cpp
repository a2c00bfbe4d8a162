#include "ui/FieldColumns.h"
#include "ui/InputPages.h"

#include <array>

namespace kalvex::ui {
namespace {

constexpr std::array<FieldRow, 8> kWeaponLeft{{
    {"Edit1", "Area of Base of Projectile:", "m^2"},
    {"Edit2", "Mass of Projectile:", "kg"},
    {"Edit3", "Travel of Projectile at Muzzle:", "m"},
    {"Edit4", "Volume of Empty Chamber:", "m^3"},
    {"Edit5", "Twist of Rifling:", "cal/turn"},
    {"Edit6", "Parasitic Volume:", "m^3"},
    {"Edit7", "Initial Temp. of Chamber Wall:", "°C"},
    {"Edit8", "Free Heat Transfer Coefficient:", "W/m^2/K:"},
}};

constexpr std::array<FieldRow, 7> kWeaponRight{{
    {"Edit9", "Chamber Wall Thickness heated:", "m"},
    {"Edit10", "Density of Chamber Wall Steel:", "kg/m^3"},
    {"Edit11", "Heat Capacity of Steel:", "J/kg/K"},
    {"Edit12", "Fraction of Work done by Friction:", nullptr},
    {"Edit13", "Mass of Recoiling Parts:", "kg"},
    {"Edit14", "Recoil Resistance Force:", "N"},
    {"Edit15", "Computation Step:", "ms"},
}};

}  // namespace

QWidget* buildWeaponPage(FieldRegistry& fields)
{
    return buildTwoColumnPage(kWeaponLeft, kWeaponRight, fields);
}

}  // namespace kalvex::ui
