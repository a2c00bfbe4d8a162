#pragma once
#include <QString>

class QDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QWidget;

namespace kalvex::ui {

// The common frame of the small calculator windows: a fixed-size dialog holding one group box
// without caption, whose grid has a caption, a field or result, and a unit per row.
QGridLayout* calculatorFrame(QDialog& window, const QString& caption, int width, int height);
// Adds a row: caption on the left, the control in the middle, the unit (if any) on the right.
void addCalculatorRow(QGridLayout& grid, int row, const QString& caption, QWidget* control,
                      const QString& unit);
// A read-only result shown like a sunken field, so it stands out from the captions.
QLabel* resultLabel(const QString& objectName, QWidget* parent);

}  // namespace kalvex::ui
