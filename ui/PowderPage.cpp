#include "ui/FieldColumns.h"
#include "ui/InputPages.h"

#include <array>

namespace kalvex::ui {
namespace {

constexpr std::array<FieldRow, 8> kPropellant{{
    {"Edit19", "Mass of Propellant:", "kg"},
    {"Edit20", "Force per Mass of Propellant:", "J/kg"},
    {"Edit21", "Flame Temp. of Propellant:", "K"},
    {"Edit22", "Covolume of Propellant:", "m^3/kg"},
    {"Edit23", "Ratio of Heats for Propellant:", nullptr},
    {"Edit24", "Density of Propellant:", "kg/m^3"},
    {"Edit25", "Burning Rate Coeff. for Prop.:", "m/s/Pa"},
    {"Edit26", "Burning Rate Exp. for Prop.:", nullptr},
}};

constexpr std::array<FieldRow, 8> kIgniterAndFactors{{
    {"Edit27", "Mass of Igniter:", "kg"},
    {"Edit28", "Force per Mass of Igniter:", "J/kg"},
    {"Edit29", "Flame Temp. of Igniter:", "K"},
    {"Edit30", "Covolume of Igniter:", "m^3/kg"},
    {"Edit31", "Ratio of Heats for Igniter:", nullptr},
    {"Edit32", "Force Temperature Factor:", nullptr},
    {"Edit34", "Burning Rate Factor:", nullptr},
    {"Edit35", "Burning Rate Temp. Factor:", nullptr},
}};

}  // namespace

QWidget* buildPowderPage(FieldRegistry& fields)
{
    return buildTwoColumnPage(kPropellant, kIgniterAndFactors, fields);
}

}  // namespace kalvex::ui
