// Save and Load: the report file of the last completed run; the report named in the title;
// the recent reports; the field a failed read or rule is about.
#include "ui/Vstup1.h"

#include "core/results/Errors.h"
#include "core/input/ChargeList.h"
#include "core/input/InputSet.h"
#include "core/format/NumberFormat.h"
#include "core/input/RuleField.h"
#include "core/input/StartSequence.h"
#include "report/Report.h"
#include "report/ReportFile.h"
#include "study/InputFile.h"
#include "study/Parameters.h"
#include "ui/ButtonPages.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/GrainPage.h"
#include "ui/Prompts.h"
#include "ui/RadioGroup.h"
#include "ui/RecentFiles.h"
#include "ui/StartOffThread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

#include <climits>
#include <optional>

namespace kalvex::ui {
namespace {

const QString kReportFilter = QStringLiteral("Text files (*.txt)");
const QString kReportExtension = QStringLiteral("txt");
const QString kFirstReportName = QStringLiteral("Output.txt");
const QString kUnreadValues =
    QStringLiteral("These values could not be read and keep their previous value:");

const char* const kIntervalTooSmall = "Step in Time Progress less than 1";

// The interval of the report's time table from Edit49; InputError with the message to show.
int outputInterval(const std::string& text)
{
    const long every = parseIntField(text);
    if (every < 1)
        throw InputError(kIntervalTooSmall);
    // an interval beyond the largest step count lists the first and the last entry only
    return every > INT_MAX ? INT_MAX : static_cast<int>(every);
}

}  // namespace

const QString Tvstup::kNotLoaded = QStringLiteral("Soubor nenačten");

void Tvstup::save()
{
    runCommand(this, [this] {
        try {
            saveReport();
        } catch (const InputError& e) {
            showBadField(e.what());
            throw;
        }
    });
}

void Tvstup::load()
{
    runCommand(this, [this] { loadReport(); });
}

void Tvstup::saveReport()
{
    const int every = outputInterval(fields_.text("Edit49"));
    if (!state_.runs.completed)
        return;  // Save is enabled only after a completed run
    SaveFileRequest request;
    request.caption = QStringLiteral("Save");
    const QString name = lastSavePath_.isEmpty() ? kFirstReportName : QFileInfo(lastSavePath_).fileName();
    request.proposedPath = QDir(reportFolder_).filePath(name);
    request.filter = kReportFilter;
    request.defaultExtension = kReportExtension;
    const QString path = prompts().saveFileName(this, request);
    if (path.isEmpty())
        return;
    lastSavePath_ = path;

    // The inputs of the run whose results are written, not the fields' texts of a refused
    // Start, a Load or edits since. Written beside the target and renamed over it only when
    // complete, so a failed write (SaveError, naming the file and the reason) never destroys
    // an existing report.
    report::saveReportFile(localPath(path), weaponName_->text().toStdString(), state_.completedInput,
                           *state_.runs.completed, every, integrationNotes(state_.completedIntegrator));
    reportFolder_ = QFileInfo(path).absolutePath();
    state_.fileInput = state_.completedInput;
    completedRunSaved_ = true;
    showLoadedReport(path);
}

void Tvstup::loadReport()
{
    OpenFileRequest request;
    request.caption = QStringLiteral("Load");
    request.folder = openFolder_;
    // every file first, as the design has it; reports as a choice
    request.filter = QStringLiteral("All files (*);;Reports (*.txt);;Kalvex input set (*.json)");
    const QString path = prompts().openFileName(this, request);
    if (path.isEmpty())
        return;
    openFolder_ = QFileInfo(path).absolutePath();
    loadFrom(path);
}

void Tvstup::loadReportFile(const QString& path)
{
    runCommand(this, [&] { loadFrom(path); });
}

void Tvstup::loadFrom(const QString& path)
{
    if (study::isInputFilePath(localPath(path))) {
        loadInputSetFrom(path);
        return;
    }
    // A file that cannot be opened, ends before its last input value or has not one value
    // that can be read (it is no report) changes nothing. A value it cannot give keeps the
    // value before it; the parts no field shows are the report's own, none when it has none.
    BallisticInput before = state_.stored;
    setExtendedInputs(before, {});
    const std::optional<report::LoadedReport> loaded = report::loadReportFile(localPath(path), before);
    if (!loaded || loaded->nothingRead())
        endCommandWithMessage(this, kNotLoaded);
    report::refuseDamagedBlock(path.toStdString(), *loaded);  // changes nothing, names PATH:LINE

    showInputSet(loaded->input, loaded->weaponName);
    reportFolder_ = QFileInfo(path).absolutePath();
    // the file's values as the fields read them: unchanged fields mark no change
    state_.fileInput = state_.shown;
    recordInputStep(QStringLiteral("Load"));
    showLoadedReport(path);

    // A value kept from before (say a 7-perforated grain type beside a tube's sizes) would
    // otherwise go unnoticed into the next run.
    if (!loaded->unreadable.empty()) {
        QString message = kUnreadValues;
        for (const report::UnreadableValue& value : loaded->unreadable)
            message += QStringLiteral("\n") + QString::fromStdString(report::valueLineName(value.value));
        prompts().showMessage(this, message);
    }
}

void Tvstup::addSavedReportToRuns(const QString& path)
{
    runCommand(this, [&] {
        BallisticInput before = state_.stored;
        setExtendedInputs(before, {});  // the window's segments and temperature are not the report's
        const std::optional<report::LoadedReport> loaded = report::loadReportFile(localPath(path), before);
        if (!loaded || loaded->nothingRead())
            endCommandWithMessage(this, kNotLoaded);
        report::refuseDamagedBlock(path.toStdString(), *loaded);
        // the values as Load shows them in the fields and Start reads them back
        const BallisticInput input = asShownInFields(loaded->input);
        validateBallisticInput(input);
        auto results = std::make_unique_for_overwrite<RunResults>();
        StartOutcome outcome;
        if (const std::exception_ptr failure =
                runOffGuiThread([&] { outcome = runStartSequence(input, *results, [](const std::string&) {}); }))
            std::rethrow_exception(failure);
        if (outcome.end != RunEnd::MuzzleReached)
            throw InputError(startEndMessage(outcome));
        BallisticInput ran = input;
        ran.dt = outcome.dt;
        keepRun(state_, loaded->weaponName + " (" + QFileInfo(path).fileName().toStdString() + ")", ran, *results);
        emit runsChanged();
    });
}

// --- Title and recent reports ----------------------------------------------------------

void Tvstup::showLoadedReport(const QString& path)
{
    reportPath_ = path;
    setWindowFilePath(path);
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral("[*] \u2013 ") + kCaption);
    rememberRecentReport(path);
    updateModifiedMark();
}

void Tvstup::noteInputsChanged()
{
    state_.shown = state_.stored;
    state_.unreadable.clear();
    try {
        readBallisticInput(*this, grainType_, heatTransfer(), decimalSeparator(), state_.shown);
    } catch (const InputError& e) {
        state_.unreadable = e.what();
    }
    if (state_.unreadable.empty()) {
        dropStaleChargeTemperature(state_.shown);
        if (!state_.shown.chargeTemperature)
            state_.stored.chargeTemperature.reset();
    }
    showChargeSummary();
    updateModifiedMark();
}

void Tvstup::updateModifiedMark()
{
    if (!reportPath_.isEmpty())
        setWindowModified(inputsModified(state_));
}

void Tvstup::rememberRecentReport(const QString& path)
{
    addRecentFile(QFileInfo(path).absoluteFilePath());
}

void Tvstup::fillRecentMenu()
{
    recentMenu_->clear();
    const QStringList paths = recentFiles();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        // the folder too: reports of several weapons are often all "Output.txt"
        const QFileInfo file(path);
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2  \u2013  %3")
                                                   .arg(i + 1)
                                                   .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
        item->setToolTip(path);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { loadReportFile(path); });
    }
    if (paths.isEmpty())
        recentMenu_->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

// --- The field at fault ----------------------------------------------------------------

void Tvstup::showBadField(const std::string& message)
{
    if (showBadComponent(message))
        return;
    grainPage_->showComponent(0);  // the fields' own component, whose fields may be at fault
    QLineEdit* bad = nullptr;
    if (const InputField* field = fieldOfRuleMessage(message)) {
        bad = fields_.field(field->control);
    } else {
        // a text that is not a number: the first field, in reading order, that does not parse
        const char separator = decimalSeparator();
        for (const InputField& field : kInputFields) {
            try {
                parseFloatField(fields_.text(field.control), separator);
            } catch (const InputError&) {
                bad = fields_.field(field.control);
                break;
            }
        }
        if (!bad) {
            try {
                outputInterval(fields_.text("Edit49"));
            } catch (const InputError&) {
                bad = fields_.field("Edit49");
            }
        }
    }
    if (bad)
        focusField(*bad);
}

void Tvstup::focusField(QLineEdit& field)
{
    for (int page = 0; page < inputPages_->pageCount(); ++page)
        if (inputPages_->page(page)->isAncestorOf(&field))
            inputPages_->setCurrentIndex(page);
    field.setFocus(Qt::OtherFocusReason);
    field.selectAll();
}

// --- The input set for others ----------------------------------------------------------

void Tvstup::setParameterValue(const QString& parameter, double shownValue)
{
    if (const InputField* field = findInputField(parameter.toStdString())) {
        fields_.setText(field->control, formatGeneral(shownValue, decimalSeparator()));
        recordInputStep(QStringLiteral("Use This Value"));
        return;
    }
    // A parameter no field holds (a later component's value, the split, a segment, the charge
    // temperature): set as a study sets it, then shown as the charge table's OK shows a charge.
    // Before, such a value was dropped without a word.
    runCommand(this, [&] {
        if (!state_.unreadable.empty()) {
            showBadField(state_.unreadable);
            throw InputError(state_.unreadable);
        }
        const study::Parameter chosen = study::findParameter(parameter.toStdString());  // StudyError
        BallisticInput set = state_.shown;
        study::setParameterValue(set, chosen, shownValue);
        if (chosen.kind == study::ParameterKind::chargeTemperature) {
            setChargeTemperature(*set.chargeTemperature, *set.temperatureCoefficients);
            return;
        }
        setCharge(chargeList(set));
        recordInputStep(QStringLiteral("Use This Value"));
    });
}

}  // namespace kalvex::ui
