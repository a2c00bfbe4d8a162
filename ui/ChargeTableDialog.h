#pragma once
// The charge as a table: one row per component with its mass, propellant values, factors,
// grain type and sizes, in the units of the page's fields. Row 1 is the component the
// propellant and grain pages show; the others are the mixed charge's further components.
#include "core/input/ChargeComponent.h"
#include "core/propellant/PropellantLibrary.h"

#include <QDialog>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kalvex::ui {

class ChargeTableDialog : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        // Throws InputError with the message of the first rule that component `row` (0 for
        // the first) of `charge` breaks, naming the component as the input rules do.
        std::function<void(const std::vector<ChargeComponent>& charge, std::size_t row)> check;
        // A row of the propellant library, or nothing when the user cancels.
        std::function<std::optional<Propellant>(QWidget* parent)> choosePropellant;
    };

    // `selected` is the row shown selected at first (0 for the first component).
    ChargeTableDialog(const std::vector<ChargeComponent>& charge, std::size_t selected, Actions actions,
                      QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // The charge accepted with OK.
    const std::vector<ChargeComponent>& charge() const { return charge_; }

    // Reads the table and checks every component; a fault is shown with its row selected and
    // the dialog stays open.
    void accept() override;

private slots:
    void addComponent();     // a copy of the selected one, after it
    void removeComponent();  // the selected one; never the last one left
    void moveUp();
    void moveDown();
    void fillFromLibrary();  // the selected row's propellant values from the library
    void editBurningLaw();   // the selected row's segments
    void showSelectedGrain();
    void showTotalMass();  // of the masses the table holds now

private:
    void showCharge(const std::vector<ChargeComponent>& charge, int selectedRow);
    void setRow(int row, const ChargeComponent& component);
    // The table's values over the records kept for each row (their segments and coefficients);
    // InputError "Component k: '…' is not a valid floating point value" for a cell, whose row
    // is then selected.
    std::vector<ChargeComponent> readTable();
    int selectedRow() const;
    void moveSelected(int step);
    void enableButtons();

    Actions actions_;
    std::vector<ChargeComponent> rows_;  // what no cell shows, row by row
    std::vector<ChargeComponent> charge_;
    QTableWidget* table_;
    QLabel* grain_;        // the selected row's grain: its sketch ...
    QLabel* grainName_;    // ... and its type
    QLabel* totalMass_;
    QPushButton* add_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

}  // namespace kalvex::ui
