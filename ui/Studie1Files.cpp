// The Study window's files and the main window: Use This Value, the CSV of the rows, the
// study file saved and opened.
#include "ui/Studie1.h"

#include "core/input/InputFields.h"
#include "report/SafeSave.h"
#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/Prompts.h"
#include "ui/StudyRunner.h"
#include "ui/Vstup1.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace kalvex::ui {
namespace {
const QString kStudyFilter = QStringLiteral("Study files (*.json)");
}  // namespace

void Tstudie::Button3Click()
{
    runCommand(this, [this] {
        if (!vstup_)
            return;
        for (const auto& [name, value] : usable_)
            if (const InputField* field = findInputField(name))
                vstup_->setParameterField(*field, value);
    });
}

void Tstudie::Button4Click()
{
    runCommand(this, [this] {
        if (rows_.empty())
            return;
        SaveFileRequest request;
        request.caption = QStringLiteral("Export CSV");
        request.proposedPath = QDir(filesFolder()).filePath(QStringLiteral("%1.csv").arg(study::studyKindName(ran_.kind)));
        request.filter = QStringLiteral("CSV files (*.csv)");
        request.defaultExtension = QStringLiteral("csv");
        const QString path = prompts().saveFileName(this, request);
        if (path.isEmpty())
            return;
        // the bytes kalvex-study writes for the same rows
        report::streamFileSafely(localPath(path), [this](std::ostream& out) {
            study::writeCsvHeader(out, runner_->varied());
            for (const study::RowResult& row : rows_)
                study::writeCsvRow(out, row);
        });
    });
}

void Tstudie::Button5Click()
{
    runCommand(this, [this] {
        const study::Study s = currentStudy();
        SaveFileRequest request;
        request.caption = QStringLiteral("Save Study");
        request.proposedPath = QDir(filesFolder()).filePath(QStringLiteral("%1.json").arg(study::studyKindName(s.kind)));
        request.filter = kStudyFilter;
        request.defaultExtension = QStringLiteral("json");
        const QString path = prompts().saveFileName(this, request);
        if (path.isEmpty())
            return;
        study::saveStudyFile(localPath(path), s);  // with its inputs, ready for kalvex-study
        studyFolder_ = QFileInfo(path).absolutePath();
    });
}

void Tstudie::Button6Click()
{
    runCommand(this, [this] {
        OpenFileRequest request;
        request.caption = QStringLiteral("Open Study");
        request.folder = studyFolder_;
        request.filter = kStudyFilter;
        const QString path = prompts().openFileName(this, request);
        if (path.isEmpty())
            return;
        const study::Study s = study::loadStudyFile(localPath(path));
        if (static_cast<int>(s.kind) >= kind_->count())
            throw study::StudyError(std::string("a ") + study::studyKindName(s.kind) +
                                    " study runs with kalvex-study or from Python");
        studyFolder_ = QFileInfo(path).absolutePath();
        opened_ = s;
        kind_->setCurrentIndex(static_cast<int>(s.kind));
        fillStudyPages(pages_, s);
        base_->setText(QStringLiteral("Base: the inputs of %1").arg(QFileInfo(path).fileName()));
        for (const study::SweepAxis& axis : s.sweep)
            if (!axis.values.empty() || !axis.propellants.empty())
                base_->setText(base_->text() + QStringLiteral("; its lists of values are kept as they are"));
    });
}

void Tstudie::Button7Click()
{
    runCommand(this, [this] {
        opened_.reset();
        base_->setText(QStringLiteral("Base: the main window's inputs, read at each Run"));
        proposeAround(pages_, baseInput());
    });
}


}  // namespace kalvex::ui
