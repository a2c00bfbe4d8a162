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

private slots:
    void computeArea();

private:
    QLineEdit* edit1_ = nullptr;      // Edit1, groove-to-land width ratio
    QLineEdit* edit2_ = nullptr;      // Edit2, groove diameter, mm
    QLineEdit* edit3_ = nullptr;      // Edit3, land diameter, mm
    QLabel* label1_ = nullptr;        // Label1, area, m^2
    QPushButton* button1_ = nullptr;  // Button1, "Compute"
};

}  // namespace kalvex::ui
