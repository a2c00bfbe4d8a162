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
    explicit Trate(QWidget* parent = nullptr);  // fills the start values (FormCreate)

    QLineEdit* Edit1 = nullptr;      // coefficient, m/s/MPa^alpha
    QLineEdit* Edit2 = nullptr;      // exponent alpha
    QLabel* Label1 = nullptr;        // coefficient, m/s/Pa^alpha
    QPushButton* Button1 = nullptr;  // "Convert to m/s/Pa"

    void FormCreate();
    void Button1Click();
};

}  // namespace kalvex::ui
