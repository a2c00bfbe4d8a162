// The charge's components: the table of "Charge Components…", whose first row is the
// propellant and grain pages' fields, and the rules that name a component after the first.
#include "ui/Vstup1.h"

#include "core/input/ChargeList.h"
#include "core/input/InputSet.h"
#include "core/results/Errors.h"
#include "ui/ButtonPages.h"
#include "ui/ChargeTableDialog.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"
#include "ui/GrainPage.h"
#include "ui/PropellantDialog.h"
#include "ui/RadioGroup.h"

#include <QCoreApplication>
#include <QPushButton>

#include <charconv>

namespace kalvex::ui {
namespace {

constexpr std::string_view kComponentPrefix = "Component ";
const QString kOneComponentCaption = QStringLiteral("Charge Components\u2026");

// The component a rule's message names ("Component 3: …", 1-based), 0 for none.
std::size_t componentOfMessage(std::string_view message)
{
    if (!message.starts_with(kComponentPrefix))
        return 0;
    message.remove_prefix(kComponentPrefix.size());
    std::size_t k = 0;
    const auto [end, error] = std::from_chars(message.data(), message.data() + message.size(), k);
    return error == std::errc() && end != message.data() + message.size() && *end == ':' ? k : 0;
}

}  // namespace

void Tvstup::editCharge()
{
    runCommand(this, [this] {
        if (!state_.unreadable.empty()) {
            showBadField(state_.unreadable);
            throw InputError(state_.unreadable);
        }
        ChargeTableDialog::Actions actions;
        const BallisticInput base = state_.shown;
        // each component by the rules of the input set's charge, named as Start names it
        actions.check = [base](const std::vector<ChargeComponent>& charge, std::size_t row) {
            BallisticInput input = base;
            setChargeList(input, charge);
            validateChargeComponent(input, row);
        };
        actions.choosePropellant = [](QWidget* parent) {
            return choosePropellant(loadPropellantLibrary(defaultPropellantFiles(
                                        QCoreApplication::applicationDirPath().toStdString())),
                                    parent);
        };
        ChargeTableDialog dialog(chargeList(state_.shown), selectedComponent_, std::move(actions), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        setCharge(dialog.charge());
        recordInputStep(QStringLiteral("Charge Components"));
    });
}

void Tvstup::setCharge(const std::vector<ChargeComponent>& charge)
{
    BallisticInput set = state_.shown;
    setChargeList(set, charge);
    // Row 1 is the fields: only the values that changed are written, with every digit, so an
    // unchanged field keeps its text and a changed one runs exactly the table's number.
    for (const ComponentField& value : kComponentFields) {
        if (set.*value.ofFirst == state_.shown.*value.ofFirst)
            continue;
        const InputField& field = *findInputField(value.name);
        fields_.setText(field.control, exactNumberText(set.*value.ofFirst * field.toShown).toStdString());
    }
    if (set.grainType != grainType_) {
        grainPage_->selector()->setItemIndex(set.grainType - 1);
        chooseGrainType();
    }
    state_.stored.upperSegments = set.upperSegments;
    state_.stored.temperatureCoefficients = set.temperatureCoefficients;
    state_.stored.extraComponents = set.extraComponents;
    noteInputsChanged();
}

void Tvstup::showChargeSummary()
{
    auto* charge = findChild<QPushButton*>(QStringLiteral("ChargeComponentsButton"));
    if (!charge)
        return;
    const std::size_t count = componentCount(state_.stored);
    grainPage_->showCharge(state_.stored.extraComponents);
    charge->setText(count < 2 ? kOneComponentCaption : QStringLiteral("%1 Components\u2026").arg(count));
}

bool Tvstup::showBadComponent(const std::string& message)
{
    const std::size_t k = componentOfMessage(message);
    if (k < 2)
        return false;  // the first component is the page's fields
    // the table shows the component's row selected when it opens
    selectedComponent_ = k - 1;
    auto* charge = findChild<QPushButton*>(QStringLiteral("ChargeComponentsButton"));
    for (int page = 0; page < inputPages_->pageCount(); ++page)
        if (inputPages_->page(page)->isAncestorOf(charge))
            inputPages_->setCurrentIndex(page);
    charge->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace kalvex::ui
