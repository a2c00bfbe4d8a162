#include "ui/Area1.h"

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
    Edit1 = field("Edit1", box);
    Edit2 = field("Edit2", box);
    Edit3 = field("Edit3", box);
    Label1 = resultLabel("Label1", box);
    addCalculatorRow(*grid, 0, "Groove to Land Width Ratio:", Edit1, {});
    addCalculatorRow(*grid, 1, "Diameter of Grooves:", Edit2, "mm");
    addCalculatorRow(*grid, 2, "Diameter of Lands:", Edit3, "mm");
    addCalculatorRow(*grid, 3, "Area:", Label1, "m^2");
    Button1 = new QPushButton("Compute", box);
    Button1->setObjectName("Button1");
    grid->addWidget(Button1, 4, 0, 1, 3);
    connect(Button1, &QPushButton::clicked, this, &Tarea::Button1Click);
}

void Tarea::Button1Click()
{
    runCommand(this, [this] {
        const double ratio = fieldNumber(*Edit1);
        const double grooves = fieldNumber(*Edit2);
        const double lands = fieldNumber(*Edit3);
        Label1->setText(numberText(projectileBaseArea(ratio, grooves, lands)));
    });
}

}  // namespace kalvex::ui
