#pragma once
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;
class QWidget;

namespace kalvex::ui {

// The input fields of the main window by control name ("Edit1" ... "Edit49"), so that the
// Start command, Load and the tests reach a field by the name the program's design gives it.
class FieldRegistry {
public:
    // Creates the field with its start text; the widget's object name is the control name.
    QLineEdit* create(const std::string& control, const QString& startText, QWidget* parent);
    // nullptr when no field of that name exists.
    QLineEdit* field(std::string_view control) const;
    // Throws std::out_of_range for an unknown name: a misspelt control is a program fault.
    std::string text(std::string_view control) const;
    void setText(std::string_view control, const std::string& text);
    int size() const { return static_cast<int>(fields_.size()); }
    std::vector<QLineEdit*> all() const;

private:
    QLineEdit* require(std::string_view control) const;
    std::map<std::string, QLineEdit*, std::less<>> fields_;
};

}  // namespace kalvex::ui
