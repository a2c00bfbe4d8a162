#include "ui/Rate1.h"

#include "core/CalculatorFormulas.h"
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
    Edit1 = new QLineEdit(box);
    Edit1->setObjectName("Edit1");
    Edit2 = new QLineEdit(box);
    Edit2->setObjectName("Edit2");
    Label1 = resultLabel("Label1", box);
    addCalculatorRow(*grid, 0, "Burning Rate Coefficient:", Edit1, "m/s/MPa");
    addCalculatorRow(*grid, 1, "Burning Rate Exponent:", Edit2, {});
    addCalculatorRow(*grid, 2, "Burning Rate Coefficient:", Label1, "m/s/Pa");
    Button1 = new QPushButton("Convert to m/s/Pa", box);
    Button1->setObjectName("Button1");
    grid->addWidget(Button1, 3, 0, 1, 3);
    connect(Button1, &QPushButton::clicked, this, &Trate::Button1Click);
    FormCreate();
}

// The start values are numbers, written with the user's decimal separator.
void Trate::FormCreate()
{
    Edit1->setText(numberText(kStartCoefficient));
    Edit2->setText(numberText(kStartExponent));
}

void Trate::Button1Click()
{
    runCommand(this, [this] {
        const double betaMPa = fieldNumber(*Edit1);
        const double alpha = fieldNumber(*Edit2);
        Label1->setText(numberText(pascalBurningRateCoefficient(betaMPa, alpha)));
    });
}

}  // namespace kalvex::ui
