#include "ui/Rate1.h"

#include "core/input/CalculatorFormulas.h"
#include "ui/CalculatorLayout.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kalvex::ui {
namespace {
constexpr int kClientWidth = 295;
constexpr int kClientHeight = 145;
// A typical double-base propellant: coefficient in m/s/MPa^alpha and pressure exponent.
constexpr double kStartCoefficient = 0.000575;
constexpr double kStartExponent = 0.923;
}  // namespace

Trate::Trate(QWidget* parent) : QDialog(parent)
{
    setObjectName("rate");
    QGridLayout* grid = calculatorFrame(*this, "Burning Rate Coefficient Unit", kClientWidth, kClientHeight);
    QWidget* box = grid->parentWidget();
    edit1_ = new QLineEdit(box);
    edit1_->setObjectName("Edit1");
    edit2_ = new QLineEdit(box);
    edit2_->setObjectName("Edit2");
    label1_ = resultLabel("Label1", box);
    addCalculatorRow(*grid, 0, "Burning Rate Coefficient:", edit1_, "m/s/MPa");
    addCalculatorRow(*grid, 1, "Burning Rate Exponent:", edit2_, {});
    addCalculatorRow(*grid, 2, "Burning Rate Coefficient:", label1_, "m/s/Pa");
    button1_ = new QPushButton("Convert to m/s/Pa", box);
    button1_->setObjectName("Button1");
    grid->addWidget(button1_, 3, 0, 1, 3);
    connect(button1_, &QPushButton::clicked, this, &Trate::convertCoefficient);
    fillStartValues();
}

// The start values are numbers, written with the user's decimal separator.
void Trate::fillStartValues()
{
    showNumber(*edit1_, kStartCoefficient);
    showNumber(*edit2_, kStartExponent);
}

void Trate::convertCoefficient()
{
    runCommand(this, [this] {
        const double betaMPa = fieldNumber(*edit1_);
        const double alpha = fieldNumber(*edit2_);
        label1_->setText(numberText(pascalBurningRateCoefficient(betaMPa, alpha)));
    });
}

}  // namespace kalvex::ui
