#pragma once
// The propellant library as a list to choose from: each row with its seven values and the
// source they come from.
#include "core/propellant/PropellantLibrary.h"

#include <QDialog>

#include <optional>

class QLabel;
class QTableWidget;

namespace kalvex::ui {

class PropellantDialog : public QDialog {
    Q_OBJECT
public:
    PropellantDialog(PropellantLibrary library, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // The row selected, or nullptr.
    const Propellant* chosen() const;

private:
    void showDetails();

    PropellantLibrary library_;
    QTableWidget* table_;
    QLabel* details_;
};

// Opens the dialog over `parent`; the propellant chosen, or nothing when cancelled.
std::optional<Propellant> choosePropellant(const PropellantLibrary& library, QWidget* parent);

}  // namespace kalvex::ui
