#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex::ui {

// "Burning Rate Coefficient Unit": converts a burning-rate coefficient for pressures in MPa into
// the one for pressures in Pa that the main window takes. The user copies the result by hand.
class Trate : public QDialog {
    Q_OBJECT
public:
    explicit Trate(QWidget* parent = nullptr);  // fills the start values (fillStartValues)

private slots:
    void convertCoefficient();

private:
    void fillStartValues();

    QLineEdit* edit1_ = nullptr;      // Edit1, coefficient, m/s/MPa^alpha
    QLineEdit* edit2_ = nullptr;      // Edit2, exponent alpha
    QLabel* label1_ = nullptr;        // Label1, coefficient, m/s/Pa^alpha
    QPushButton* button1_ = nullptr;  // Button1, "Convert to m/s/Pa"
};

}  // namespace kalvex::ui
