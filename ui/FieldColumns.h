#pragma once
#include <span>

class QGridLayout;
class QWidget;

namespace kalvex::ui {

class FieldRegistry;

// One input row: caption left of the field, unit caption right of it (nullptr: no unit).
struct FieldRow {
    const char* control;
    const char* caption;
    const char* unit;
};

// Width of an input field on the pages: wide enough for a number like 1.65837E-9.
inline constexpr int kInputFieldWidth = 56;

// Adds rows to a grid, starting at grid column `firstColumn` (caption, field, unit) and grid
// row `firstRow`; every field starts with the text "0".
void addFieldRows(QGridLayout& grid, int firstRow, int firstColumn, std::span<const FieldRow> rows,
                  FieldRegistry& fields, QWidget* parent);

// A page whose fields stand in two columns, each filled top to bottom.
QWidget* buildTwoColumnPage(std::span<const FieldRow> left, std::span<const FieldRow> right,
                            FieldRegistry& fields);

}  // namespace kalvex::ui
