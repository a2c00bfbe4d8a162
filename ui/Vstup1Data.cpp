// Data out of the main window: the run's series as CSV, the plot as PNG, the summary to the
// clipboard; and a run saved in a report drawn beside the current one.
#include "ui/Vstup1.h"

#include "core/results/Errors.h"
#include "plot/ImageBytes.h"
#include "plot/SeriesSelection.h"
#include "report/SafeSave.h"
#include "report/SeriesCsv.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/PlotPages.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <fstream>

namespace kalvex::ui {
namespace {

void savePng(const QImage& image, const QString& path)
{
    const QByteArray png = plot::encodeImage(image, "PNG");
    if (png.isEmpty())
        throw InputError("The plot could not be encoded as PNG.");
    // replaces the target only when the whole image was written
    report::saveBytesSafely(localPath(path), std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

}  // namespace

QString Tvstup::saveTarget(const QString& caption, const QString& name, const QString& filter,
                           const QString& extension)
{
    SaveFileRequest request;
    request.caption = caption;
    request.proposedPath = QDir(reportFolder_).filePath(name);
    request.filter = filter;
    request.defaultExtension = extension;
    return prompts().saveFileName(this, request);
}

void Tvstup::exportSeries()
{
    runCommand(this, [this] {
        if (!state_.runs.completed)
            endCommandWithMessage(this, QStringLiteral("There is no completed run to export."));
        const QString path = saveTarget(QStringLiteral("Export Series"), QStringLiteral("Series.csv"),
                                        QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
        if (path.isEmpty())
            return;
        const RunResults& run = *state_.runs.completed;
        report::streamFileSafely(localPath(path), [&run](std::ostream& out) { report::writeSeriesCsv(out, run); });
    });
}

void Tvstup::exportPlot(double pixelRatio)
{
    const QString path = saveTarget(QStringLiteral("Export Plot"), QStringLiteral("Plot.png"),
                                    QStringLiteral("PNG images (*.png)"), QStringLiteral("png"));
    if (!path.isEmpty())
        savePng(plot::renderPlotImage(plot_, pixelRatio), path);
}

void Tvstup::exportPlotPng()
{
    // at the window's size, as sharp as the screen shows it
    runCommand(this, [this] { exportPlot(graf0_->devicePixelRatioF()); });
}

void Tvstup::exportLargerPlotPng()
{
    runCommand(this, [this] {
        // the same plot, drawn with more pixels: every position and label stays in its place
        const int width = plot::plotWidth(plot_);
        const int chosen = prompts().imageWidth(this, width + 1, 2 * width);
        if (chosen > width)
            exportPlot(static_cast<double>(chosen) / width);
    });
}

void Tvstup::copySummary()
{
    runCommand(this, [this] {
        if (!lastSummary_.isEmpty())
            QApplication::clipboard()->setText(lastSummary_);
    });
}

// --- The saved run of a report ---------------------------------------------------------

void Tvstup::showSavedRunFromReport()
{
    runCommand(this, [this] {
        OpenFileRequest request;
        request.caption = QStringLiteral("Saved Run");
        request.folder = reportFolder_;
        request.filter = QStringLiteral("Text files (*.txt);;All files (*)");
        const QString path = prompts().openFileName(this, request);
        if (path.isEmpty())
            return;
        std::ifstream in(localPath(path), std::ios::binary);
        std::optional<report::ReportTable> table;
        if (in)
            table = report::readReportTable(in);
        if (!table)
            endCommandWithMessage(this, kNotLoaded);
        savedRun_ = std::move(table);
        removeSavedRun_->setEnabled(true);
        showSavedRun();
        redrawPlot();
    });
}

void Tvstup::removeSavedRun()
{
    runCommand(this, [this] {
        savedRun_.reset();
        removeSavedRun_->setEnabled(false);
        showSavedRun();
        redrawPlot();
    });
}

void Tvstup::showSavedRun()
{
    // A report's table holds eleven of the quantities: the saved run is drawn only when both
    // chosen axes are among them.
    const SeriesId y = plot::kYAxisSeries[static_cast<std::size_t>(plotPages_.yChoice->itemIndex())];
    const SeriesId x = plot::xAxisSeries(plotPages_.xChoice->itemIndex());
    if (savedRun_ && report::ReportTable::holds(y)) {
        plot::plotSavedRun(plot_, savedRun_->column(x), savedRun_->column(y));
        return;
    }
    plot::hideSavedRun(plot_);
}

}  // namespace kalvex::ui
