// Save and Load: the report file of the stored input set and the last completed run.
#include "ui/Vstup1.h"

#include "core/Errors.h"
#include "core/NumberFormat.h"
#include "report/Report.h"
#include "report/ReportFile.h"
#include "ui/Command.h"
#include "ui/GrainPage.h"
#include "ui/Prompts.h"
#include "ui/RadioGroup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <climits>
#include <optional>

namespace kalvex::ui {
namespace {

const QString kReportFilter = QStringLiteral("Text files (*.txt)");
const QString kReportExtension = QStringLiteral("txt");
const QString kFirstReportName = QStringLiteral("Output.txt");
const QString kNotLoaded = QStringLiteral("Soubor nenačten");

[[noreturn]] void endWithMessage(QWidget* parent, const QString& text)
{
    prompts().showMessage(parent, text);
    throw RunAbandoned();
}

// The interval of the report's time table from Edit49.
int outputInterval(const std::string& text, QWidget* parent)
{
    const long every = parseIntField(text);
    if (every < 1)
        endWithMessage(parent, QStringLiteral("Step in Time Progress less than 1"));
    // an interval beyond the largest step count lists the first and the last entry only
    return every > INT_MAX ? INT_MAX : static_cast<int>(every);
}

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

void Tvstup::Button5Click()
{
    runCommand(this, [this] { saveReport(); });
}

void Tvstup::Button6Click()
{
    runCommand(this, [this] { loadReport(); });
}

void Tvstup::saveReport()
{
    const int every = outputInterval(fields_.text("Edit49"), this);
    if (!runs_.completed)
        return;  // Save is enabled only after a completed run
    SaveFileRequest request;
    request.caption = QStringLiteral("Save");
    request.proposedPath =
        lastSavePath_.isEmpty() ? QDir::current().filePath(kFirstReportName) : lastSavePath_;
    request.filter = kReportFilter;
    request.defaultExtension = kReportExtension;
    const QString path = prompts().saveFileName(this, request);
    if (path.isEmpty())
        return;
    lastSavePath_ = path;

    // written beside the target and renamed over it only when complete, so a failed write
    // (SaveError, naming the file and the reason) never destroys an existing report
    report::saveReportFile(localPath(path), weaponName_->text().toStdString(), stored_,
                           *runs_.completed, every);
}

void Tvstup::loadReport()
{
    OpenFileRequest request;
    request.caption = QStringLiteral("Load");
    request.folder = openFolder_;
    const QString path = prompts().openFileName(this, request);
    if (path.isEmpty())
        return;
    openFolder_ = QFileInfo(path).absolutePath();

    // A file that cannot be opened or ends before its last input value changes nothing.
    const std::optional<report::LoadedReport> loaded =
        report::loadReportFile(localPath(path), stored_);
    if (!loaded)
        endWithMessage(this, kNotLoaded);

    stored_ = loaded->input;
    for (const auto& [control, text] : report::fieldTextsFor(stored_, decimalSeparator()))
        fields_.setText(control, text);
    weaponName_->setText(QString::fromStdString(loaded->weaponName));
    grainPage_->selector()->setItemIndex(stored_.grainType - 1);
    RadioGroup1Click();
}

}  // namespace kalvex::ui
