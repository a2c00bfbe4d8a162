#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvex::ui {

// "Area of Base Of Projectile": the bore cross-section of a rifled barrel from the groove and
// land diameters and the groove-to-land width ratio. The user copies the result by hand.
class Tarea : public QDialog {
    Q_OBJECT
public:
    explicit Tarea(QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;      // groove-to-land width ratio
    QLineEdit* Edit2 = nullptr;      // groove diameter, mm
    QLineEdit* Edit3 = nullptr;      // land diameter, mm
    QLabel* Label1 = nullptr;        // area, m^2
    QPushButton* Button1 = nullptr;  // "Compute"

    void Button1Click();
};

}  // namespace kalvex::ui
