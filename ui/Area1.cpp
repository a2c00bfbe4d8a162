#include "ui/Area1.h"

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
constexpr int kClientWidth = 249;
constexpr int kClientHeight = 169;

QLineEdit* field(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit("0", parent);
    edit->setObjectName(name);
    return edit;
}
}  // namespace

Tarea::Tarea(QWidget* parent) : QDialog(parent)
{
    setObjectName("area");
    QGridLayout* grid = calculatorFrame(*this, "Area of Base Of Projectile", kClientWidth, kClientHeight);
    QWidget* box = grid->parentWidget();
    edit1_ = field("Edit1", box);
    edit2_ = field("Edit2", box);
    edit3_ = field("Edit3", box);
    label1_ = resultLabel("Label1", box);
    addCalculatorRow(*grid, 0, "Groove to Land Width Ratio:", edit1_, {});
    addCalculatorRow(*grid, 1, "Diameter of Grooves:", edit2_, "mm");
    addCalculatorRow(*grid, 2, "Diameter of Lands:", edit3_, "mm");
    addCalculatorRow(*grid, 3, "Area:", label1_, "m^2");
    button1_ = new QPushButton("Compute", box);
    button1_->setObjectName("Button1");
    grid->addWidget(button1_, 4, 0, 1, 3);
    connect(button1_, &QPushButton::clicked, this, &Tarea::computeArea);
}

void Tarea::computeArea()
{
    runCommand(this, [this] {
        const double ratio = fieldNumber(*edit1_);
        const double grooves = fieldNumber(*edit2_);
        const double lands = fieldNumber(*edit3_);
        label1_->setText(numberText(projectileBaseArea(ratio, grooves, lands)));
    });
}

}  // namespace kalvex::ui
