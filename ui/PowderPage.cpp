#include "core/results/Errors.h"
#include "core/input/InputFields.h"
#include "core/propellant/PropellantLibrary.h"
#include "core/propellant/PropellantValues.h"
#include "report/PropellantSave.h"
#include "ui/Command.h"
#include "ui/FieldColumns.h"
#include "ui/FieldNumbers.h"
#include "ui/FieldRegistry.h"
#include "ui/InputPages.h"
#include "ui/PropellantDialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <string>

#include <array>

namespace kalvex::ui {
namespace {

constexpr std::array<FieldRow, 8> kPropellant{{
    {"Edit19", "Mass of Propellant:", "kg"},
    {"Edit20", "Force per Mass of Propellant:", "J/kg"},
    {"Edit21", "Flame Temp. of Propellant:", "K"},
    {"Edit22", "Covolume of Propellant:", "m^3/kg"},
    {"Edit23", "Ratio of Heats for Propellant:", nullptr},
    {"Edit24", "Density of Propellant:", "kg/m^3"},
    {"Edit25", "Burning Rate Coeff. for Prop.:", "m/s/Pa"},
    {"Edit26", "Burning Rate Exp. for Prop.:", nullptr},
}};

constexpr std::array<FieldRow, 8> kIgniterAndFactors{{
    {"Edit27", "Mass of Igniter:", "kg"},
    {"Edit28", "Force per Mass of Igniter:", "J/kg"},
    {"Edit29", "Flame Temp. of Igniter:", "K"},
    {"Edit30", "Covolume of Igniter:", "m^3/kg"},
    {"Edit31", "Ratio of Heats for Igniter:", nullptr},
    {"Edit32", "Force Temperature Factor:", nullptr},
    {"Edit34", "Burning Rate Factor:", nullptr},
    {"Edit35", "Burning Rate Temp. Factor:", nullptr},
}};

using Say = std::function<void(const std::string&)>;

const char* controlOf(const PropellantValue& value)
{
    return findInputField(value.name)->control;
}

// Writes the seven values as Load would write them; the other fields stay as they are.
void fillPropellantFields(const Propellant& propellant, FieldRegistry& fields)
{
    BallisticInput values;
    applyPropellant(propellant, values);
    for (const PropellantValue& value : kPropellantValues)
        fields.setText(controlOf(value), numberText(values.*value.quantity).toStdString());
}

// The seven values as the fields hold them; a text that is no number throws InputError.
Propellant propellantFromFields(const FieldRegistry& fields)
{
    BallisticInput values;
    for (const PropellantValue& value : kPropellantValues)
        values.*value.quantity = fieldNumber(*fields.field(controlOf(value)));
    return propellantFromInput(values, {});
}

PropellantLibrary loadLibrary()
{
    return loadPropellantLibrary(
        defaultPropellantFiles(QCoreApplication::applicationDirPath().toStdString()));
}

void choose(QWidget* page, FieldRegistry& fields, const PowderPageActions& actions)
{
    const std::optional<Propellant> chosen = choosePropellant(loadLibrary(), page);
    if (!chosen)
        return;
    fillPropellantFields(*chosen, fields);
    if (actions.propellantChosen)
        actions.propellantChosen(*chosen);
    actions.say(propellantUsedLine(*chosen));
}

void saveAs(QWidget* page, const FieldRegistry& fields, const Say& say)
{
    // Values that could not be saved fail before the question for the name.
    Propellant propellant = propellantFromFields(fields);
    if (const std::string problem = propellantRuleProblem(propellant); !problem.empty())
        throw InputError(problem);
    bool ok = false;
    const QString name =
        QInputDialog::getText(page, QStringLiteral("Save as propellant"),
                              QStringLiteral("Name of the propellant:"), QLineEdit::Normal,
                              QString(), &ok)
            .trimmed();
    if (!ok || name.isEmpty())
        return;
    propellant.name = name.toStdString();
    const std::string path = userPropellantPath();
    report::savePropellantToLibrary(propellant, path);
    say(" Propellant " + propellant.name + " saved in " + path);
}

QPushButton* pageButton(const char* name, const char* caption, QWidget* page)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), page);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);  // the window is a dialog: Return in a field must press no button
    return button;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons)
        row->addWidget(b);
    row->addStretch(1);
    return row;
}

}  // namespace

QWidget* buildPowderPage(FieldRegistry& fields, PowderPageActions actions)
{
    QWidget* page = buildTwoColumnPage(kPropellant, kIgniterAndFactors, fields);
    auto* grid = static_cast<QGridLayout*>(page->layout());
    QPushButton* chooseButton = pageButton("PropellantButton", "Propellant\u2026", page);
    QPushButton* saveButton = pageButton("SavePropellantButton", "Save as propellant\u2026", page);
    QPushButton* lawButton = pageButton("BurningLawButton", "Burning Law\u2026", page);
    QPushButton* temperatureButton = pageButton("ChargeTemperatureButton", "Charge Temperature\u2026", page);
    QPushButton* chargeButton = pageButton("ChargeComponentsButton", "Charge Components\u2026", page);
    // the propellant's commands below its column, the factors' and the charge's below theirs
    const int row = static_cast<int>(kPropellant.size());
    grid->addLayout(buttonRow({chooseButton, saveButton, lawButton}), row, 0, 1, 3);
    grid->addLayout(buttonRow({temperatureButton}), row, 4, 1, 3);
    grid->addLayout(buttonRow({chargeButton}), row + 1, 4, 1, 3);
    grid->setRowStretch(row, 0);
    grid->setRowStretch(row + 1, 0);
    grid->setRowStretch(row + 2, 1);
    QObject::connect(chooseButton, &QPushButton::clicked, page, [page, &fields, actions] {
        runCommand(page, [&] { choose(page, fields, actions); });
    });
    QObject::connect(saveButton, &QPushButton::clicked, page, [page, &fields, say = actions.say] {
        runCommand(page, [&] { saveAs(page, fields, say); });
    });
    QObject::connect(lawButton, &QPushButton::clicked, page, actions.editBurningLaw);
    QObject::connect(temperatureButton, &QPushButton::clicked, page, actions.chooseChargeTemperature);
    QObject::connect(chargeButton, &QPushButton::clicked, page, actions.editCharge);
    return page;
}

}  // namespace kalvex::ui
