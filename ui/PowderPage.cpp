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

void choose(QWidget* page, FieldRegistry& fields, const Say& say)
{
    const std::optional<Propellant> chosen = choosePropellant(loadLibrary(), page);
    if (!chosen)
        return;
    fillPropellantFields(*chosen, fields);
    say(propellantUsedLine(*chosen));
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

}  // namespace

QWidget* buildPowderPage(FieldRegistry& fields, std::function<void(const std::string&)> say)
{
    QWidget* page = buildTwoColumnPage(kPropellant, kIgniterAndFactors, fields);
    auto* grid = static_cast<QGridLayout*>(page->layout());
    auto* chooseButton = new QPushButton(QStringLiteral("Propellant\u2026"), page);
    chooseButton->setObjectName(QStringLiteral("PropellantButton"));
    auto* saveButton = new QPushButton(QStringLiteral("Save as propellant\u2026"), page);
    saveButton->setObjectName(QStringLiteral("SavePropellantButton"));
    // The window is a dialog: Return in a field must press no button.
    for (QPushButton* b : {chooseButton, saveButton})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chooseButton);
    buttons->addWidget(saveButton);
    buttons->addStretch(1);
    const int row = static_cast<int>(kPropellant.size());
    grid->addLayout(buttons, row, 0, 1, 3);
    grid->setRowStretch(row, 0);
    grid->setRowStretch(row + 1, 1);
    QObject::connect(chooseButton, &QPushButton::clicked, page, [page, &fields, say] {
        runCommand(page, [&] { choose(page, fields, say); });
    });
    QObject::connect(saveButton, &QPushButton::clicked, page, [page, &fields, say] {
        runCommand(page, [&] { saveAs(page, fields, say); });
    });
    return page;
}

}  // namespace kalvex::ui
