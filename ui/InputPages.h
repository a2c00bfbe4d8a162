#pragma once
#include <functional>
#include <string>

class QWidget;

namespace kalvex {
struct Propellant;
}

namespace kalvex::ui {

class FieldRegistry;

// The input pages of the main window; each adds its fields to the registry.
QWidget* buildWeaponPage(FieldRegistry& fields);
// What the powder page's commands leave to the window.
struct PowderPageActions {
    std::function<void(const std::string&)> say;  // a line for the results area
    // A library row filled the seven propellant values (before `say` names it).
    std::function<void(const Propellant&)> propellantChosen;
    std::function<void()> chooseChargeTemperature;  // "Charge Temperature…"
    std::function<void()> editBurningLaw;           // "Burning Law…"
    std::function<void()> editCharge;               // "Charge Components…"
};

// The powder page also chooses the seven propellant values from the propellant library and
// saves them into the user's library, saying so through `say`. Its fields are the charge's
// first component; "Charge Components…" (ChargeComponentsButton) opens the whole charge.
QWidget* buildPowderPage(FieldRegistry& fields, PowderPageActions actions);
QWidget* buildFrictionPage(FieldRegistry& fields);

}  // namespace kalvex::ui
