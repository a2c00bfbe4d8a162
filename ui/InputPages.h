#pragma once

class QWidget;

namespace kalvex::ui {

class FieldRegistry;

// The input pages of the main window; each adds its fields to the registry.
QWidget* buildWeaponPage(FieldRegistry& fields);
QWidget* buildPowderPage(FieldRegistry& fields);
QWidget* buildFrictionPage(FieldRegistry& fields);

}  // namespace kalvex::ui
