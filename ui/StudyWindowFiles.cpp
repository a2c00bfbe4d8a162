// The Study window's files and the main window: Use This Value, the CSV of the rows, the
// study file saved and opened.
#include "ui/StudyWindow.h"

#include "report/SafeSave.h"
#include "study/StudyCsv.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/PlotExport.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/StudyRunner.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace kalvex::ui {
namespace {
const QString kStudyFilter = QStringLiteral("Study files (*.json)");
}  // namespace

void StudyWindow::useValue()
{
    runCommand(this, [this] {
        for (const auto& [name, value] : usable_)
            emit parameterValueChosen(QString::fromStdString(name), value);
    });
}

void StudyWindow::exportCsv()
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
            study::writeCsvHeader(out, runner_->varied(), ran_.integrator);
            for (const study::RowResult& row : rows_)
                study::writeCsvRow(out, row, ran_.integrator);
        });
    });
}

void StudyWindow::saveStudy()
{
    runCommand(this, [this] {
        const StudyText current = currentStudy();
        const study::Study& s = current.study;
        SaveFileRequest request;
        request.caption = QStringLiteral("Save Study");
        request.proposedPath = QDir(filesFolder()).filePath(QStringLiteral("%1.json").arg(study::studyKindName(s.kind)));
        request.filter = kStudyFilter;
        request.defaultExtension = QStringLiteral("json");
        const QString path = prompts().saveFileName(this, request);
        if (path.isEmpty())
            return;
        // the text the window runs, with its inputs, ready for kalvex-study
        try {
            report::saveBytesSafely(localPath(path), current.text);
        } catch (const std::exception& e) {
            throw study::StudyError(e.what());
        }
        studyFolder_ = QFileInfo(path).absolutePath();
    });
}

void StudyWindow::openStudy()
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

void StudyWindow::exportPlot()
{
    runCommand(this, [this] {
        SaveFileRequest request;
        request.caption = QStringLiteral("Export Plot");
        request.proposedPath = QDir(filesFolder()).filePath(QStringLiteral("%1-plot.png").arg(study::studyKindName(ran_.kind)));
        request.filter = kPlotFileFilter;
        request.defaultExtension = QStringLiteral("png");
        const QString path = prompts().saveFileName(this, request);
        if (!path.isEmpty())
            savePlot(plot_, path, plotFormatOf(path), graf_->devicePixelRatioF());
    });
}

void StudyWindow::useMainWindowInputs()
{
    runCommand(this, [this] {
        opened_.reset();
        base_->setText(QStringLiteral("Base: the main window's inputs, read at each Run"));
        proposeAround(pages_, baseInput());
    });
}


}  // namespace kalvex::ui
