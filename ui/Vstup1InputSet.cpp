// The parts of the input set no field shows: the burning law's segments, the charge temperature
// and its coefficients; and the JSON input file that keeps them with the fields' values.
#include "ui/Vstup1.h"

#include "core/input/InputSet.h"
#include "core/results/Errors.h"
#include "report/Report.h"
#include "study/InputFile.h"
#include "ui/BurningLawDialog.h"
#include "ui/ChargeTemperatureDialog.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"
#include "ui/GrainPage.h"
#include "ui/LocalPath.h"
#include "ui/RadioGroup.h"

#include <QFileInfo>
#include <QLineEdit>

namespace kalvex::ui {
namespace {

const QString kInputSetFilter = QStringLiteral("Kalvex input set (*.json)");

const InputField& fieldOf(const char* parameter)
{
    return *findInputField(parameter);
}

}  // namespace

void Tvstup::showInputSet(const BallisticInput& input, const std::string& weaponName)
{
    state_.stored = input;
    for (const auto& [parameter, text] : report::fieldTextsFor(input, decimalSeparator()))
        fields_.setText(fieldOf(parameter.c_str()).control, text);
    // the factors a temperature sets are the law's own numbers, to the last bit
    if (input.chargeTemperature)
        for (const char* parameter : {"fFT", "fbetaT"})
            fields_.setText(fieldOf(parameter).control, exactNumberText(input.*fieldOf(parameter).quantity).toStdString());
    // the fields filled one by one passed through states the temperature does not give
    setExtendedInputs(state_.stored, extendedInputsOf(input));
    weaponName_->setText(QString::fromStdString(weaponName));
    grainPage_->selector()->setItemIndex(input.grainType - 1);
    chooseGrainType();
}

void Tvstup::loadInputSetFrom(const QString& path)
{
    const study::InputFile file = study::loadInputFile(localPath(path));  // StudyError naming the key
    showInputSet(file.input, file.weaponName);
    reportFolder_ = QFileInfo(path).absolutePath();
    state_.fileInput = state_.shown;
    recordInputStep(QStringLiteral("Load"));
    showLoadedReport(path);
}

void Tvstup::saveInputSet()
{
    runCommand(this, [this] {
        if (!state_.unreadable.empty()) {
            showBadField(state_.unreadable);
            throw InputError(state_.unreadable);
        }
        const QString name = (reportPath_.isEmpty() ? QStringLiteral("Inputs") : QFileInfo(reportPath_).completeBaseName()) +
                             QStringLiteral(".json");
        const QString path = saveTarget(QStringLiteral("Save Input Set"), name, kInputSetFilter, QStringLiteral("json"));
        if (path.isEmpty())
            return;
        study::saveInputFile(localPath(path), study::InputFile{weaponName_->text().toStdString(), state_.shown});
        reportFolder_ = QFileInfo(path).absolutePath();
        state_.fileInput = state_.shown;
        showLoadedReport(path);
    });
}

void Tvstup::notePropellantChosen(const Propellant& propellant)
{
    pickedPropellant_ = propellant;
    state_.stored.temperatureCoefficients = propellant.temperatureCoefficients;
    state_.stored.chargeTemperature.reset();
    if (!state_.stored.upperSegments.empty()) {
        state_.stored.upperSegments.clear();
        appendLine(" Burning law: the segments above the first went with the propellant before.");
    }
    noteInputsChanged();
}

QString Tvstup::coefficientOrigin() const
{
    const std::optional<TemperatureCoefficients>& now = state_.shown.temperatureCoefficients;
    if (pickedPropellant_) {
        const QString name = QString::fromStdString(pickedPropellant_->name);
        if (!pickedPropellant_->temperatureCoefficients && !now)
            return QStringLiteral("The library row %1 has no temperature coefficients: type them.").arg(name);
        if (now && now == pickedPropellant_->temperatureCoefficients)
            return QStringLiteral("Coefficients of %1 (%2).").arg(name, QString::fromStdString(pickedPropellant_->source));
    }
    if (now)
        return QStringLiteral("Coefficients of the current input set, as typed or read from its file.");
    return QStringLiteral("No picked propellant gives temperature coefficients: type them.");
}

void Tvstup::chooseChargeTemperature()
{
    runCommand(this, [this] {
        const BallisticInput& now = state_.shown;
        const double celsius = now.chargeTemperature.value_or(
            now.temperatureCoefficients ? now.temperatureCoefficients->reference : kDefaultReferenceTemperature);
        ChargeTemperatureDialog dialog(celsius, now.temperatureCoefficients, coefficientOrigin(), this);
        if (dialog.exec() == QDialog::Accepted && dialog.choice())
            setChargeTemperature(dialog.choice()->celsius, dialog.choice()->coefficients);
    });
}

void Tvstup::setChargeTemperature(double celsius, const TemperatureCoefficients& coefficients)
{
    BallisticInput set = state_.stored;
    applyChargeTemperature(celsius, coefficients, set);  // InputError naming the temperature
    for (const char* parameter : {"fFT", "fbetaT"})
        fields_.setText(fieldOf(parameter).control, exactNumberText(set.*fieldOf(parameter).quantity).toStdString());
    state_.stored.chargeTemperature = set.chargeTemperature;
    state_.stored.temperatureCoefficients = set.temperatureCoefficients;
    state_.stored.extraComponents = set.extraComponents;  // those with coefficients of their own follow
    noteInputsChanged();
    appendLine(chargeTemperatureLine(celsius, coefficients));
    appendLine(" Force Temperature Factor and Burning Rate Temp. Factor replaced by these factors.");
    recordInputStep(QStringLiteral("Charge Temperature"));
}

void Tvstup::editBurningLaw()
{
    runCommand(this, [this] {
        const InputField& beta = fieldOf("beta");
        const InputField& alpha = fieldOf("alpha");
        const BurningLaw law{fieldNumber(*fields_.field(beta.control)) * beta.toStored,
                             fieldNumber(*fields_.field(alpha.control)) * alpha.toStored, state_.stored.upperSegments};
        BurningLawDialog dialog(law, checkBurningLaw, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const BurningLaw& chosen = dialog.law();
        if (chosen.beta != law.beta)
            fields_.setText(beta.control, exactNumberText(chosen.beta * beta.toShown).toStdString());
        if (chosen.alpha != law.alpha)
            fields_.setText(alpha.control, exactNumberText(chosen.alpha * alpha.toShown).toStdString());
        state_.stored.upperSegments = chosen.upperSegments;
        noteInputsChanged();
        recordInputStep(QStringLiteral("Burning Law"));
    });
}

}  // namespace kalvex::ui
