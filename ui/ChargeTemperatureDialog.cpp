#include "ui/ChargeTemperatureDialog.h"

#include "core/results/Errors.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

QLineEdit* numberField(const char* name, double value, QWidget* parent)
{
    auto* field = new QLineEdit(exactNumberText(value), parent);
    field->setObjectName(QString::fromUtf8(name));
    return field;
}

}  // namespace

ChargeTemperatureDialog::ChargeTemperatureDialog(double celsius,
                                                 const std::optional<TemperatureCoefficients>& coefficients,
                                                 const QString& origin, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ChargeTemperatureDialog"));
    setWindowTitle(QStringLiteral("Charge Temperature"));
    // typed coefficients start empty: a zero would read as a propellant that does not change
    const TemperatureCoefficients shown = coefficients.value_or(TemperatureCoefficients{});
    temperature_ = numberField("ChargeTemperatureField", celsius, this);
    force_ = numberField("ForceCoefficientField", shown.force, this);
    burningRate_ = numberField("BurningRateCoefficientField", shown.burningRate, this);
    reference_ = numberField("ReferenceTemperatureField", shown.reference, this);
    lowest_ = numberField("LowestTemperatureField", shown.lowest, this);
    highest_ = numberField("HighestTemperatureField", shown.highest, this);
    if (!coefficients) {
        force_->clear();
        burningRate_->clear();
    }

    auto* originLine = new QLabel(origin, this);
    originLine->setObjectName(QStringLiteral("CoefficientOrigin"));
    originLine->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Charge Temperature [\u00b0C]:"), temperature_);
    form->addRow(originLine);
    form->addRow(QStringLiteral("Force Coefficient [1/K]:"), force_);
    form->addRow(QStringLiteral("Burning Rate Coefficient [1/K]:"), burningRate_);
    form->addRow(QStringLiteral("Reference Temperature [\u00b0C]:"), reference_);
    form->addRow(QStringLiteral("Valid from [\u00b0C]:"), lowest_);
    form->addRow(QStringLiteral("Valid to [\u00b0C]:"), highest_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChargeTemperatureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChargeTemperatureDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(buttons);
}

ChargeTemperatureChoice ChargeTemperatureDialog::readFields() const
{
    ChargeTemperatureChoice read;
    read.celsius = fieldNumber(*temperature_);
    read.coefficients.force = fieldNumber(*force_);
    read.coefficients.burningRate = fieldNumber(*burningRate_);
    read.coefficients.reference = fieldNumber(*reference_);
    read.coefficients.lowest = fieldNumber(*lowest_);
    read.coefficients.highest = fieldNumber(*highest_);
    return read;
}

void ChargeTemperatureDialog::accept()
{
    runCommand(this, [this] {
        const ChargeTemperatureChoice read = readFields();
        if (const std::string problem = temperatureCoefficientsProblem(read.coefficients); !problem.empty())
            throw InputError(problem);
        temperatureFactors(read.celsius, read.coefficients);  // the message names the temperature
        choice_ = read;
        QDialog::accept();
    });
}

}  // namespace kalvex::ui
