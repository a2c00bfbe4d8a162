#pragma once
// The burning law by pressure segments as a table: one row per segment, its lower pressure
// bound (MPa), coefficient and exponent. Row 1 is the propellant page's beta and alpha from 0 MPa.
#include "core/input/BurningSegments.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace kalvex::ui {

struct BurningLaw {
    double beta = 0;   // first segment, m/s/Pa^alpha
    double alpha = 0;  // first segment
    std::vector<BurningSegment> upperSegments;
};

// The input rules of a burning law alone, InputError naming the segment at fault: the other
// values of an input set play no part.
void checkBurningLaw(const BurningLaw& law);

class BurningLawDialog : public QDialog {
    Q_OBJECT
public:
    // Throws InputError with the message of the first rule the law breaks.
    using Check = std::function<void(const BurningLaw&)>;

    BurningLawDialog(const BurningLaw& law, Check check, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // The law accepted with OK.
    const BurningLaw& law() const { return law_; }

    // Reads the table and checks the law; a fault is shown and the dialog stays open.
    void accept() override;

private slots:
    void addSegment();     // after the last, as fast as the last
    void removeSegment();  // the selected one, else the last; never the first

private:
    void setRow(int row, const BurningSegment& segment);
    BurningLaw readTable() const;
    void enableButtons();

    Check check_;
    BurningLaw law_;
    QTableWidget* table_;
    QPushButton* add_;
    QPushButton* remove_;
};

}  // namespace kalvex::ui
