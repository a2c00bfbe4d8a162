#pragma once
#include <functional>
#include <string>

class QWidget;

namespace kalvex::ui {

class FieldRegistry;

// The input pages of the main window; each adds its fields to the registry.
QWidget* buildWeaponPage(FieldRegistry& fields);
// The powder page also chooses the seven propellant values from the propellant library and
// saves them into the user's library, saying so through `say` (a line for the results area).
QWidget* buildPowderPage(FieldRegistry& fields, std::function<void(const std::string&)> say);
QWidget* buildFrictionPage(FieldRegistry& fields);

}  // namespace kalvex::ui
