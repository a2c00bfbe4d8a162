// Data out of the main window: the run's series as CSV, the plot as PNG, the summary to the
// clipboard; and a run saved in a report drawn beside the current one.
#include "ui/Vstup1.h"

#include "core/results/Errors.h"
#include "core/results/RunSummary.h"
#include "plot/SeriesSelection.h"
#include "report/InputSetBlock.h"
#include "report/SafeSave.h"
#include "report/SeriesCsv.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/PlotExport.h"
#include "ui/PlotPages.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/RadioGroup.h"
#include "ui/ReportExport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <cmath>
#include <fstream>

namespace kalvex::ui {
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

void Tvstup::exportPlot(PlotFormat format, double pixelRatio)
{
    struct Choice {
        const char* name;
        const char* filter;
        const char* extension;
    };
    static constexpr Choice kChoices[] = {{"Plot.png", "PNG images (*.png)", "png"},
                                          {"Plot.svg", "SVG drawings (*.svg)", "svg"},
                                          {"Plot.pdf", "PDF documents (*.pdf)", "pdf"}};
    const Choice& choice = kChoices[static_cast<int>(format)];
    const QString path = saveTarget(QStringLiteral("Export Plot"), QString::fromUtf8(choice.name),
                                    QString::fromUtf8(choice.filter), QString::fromUtf8(choice.extension));
    if (!path.isEmpty())
        savePlot(plot_, path, format, pixelRatio);
}

void Tvstup::exportPlotPng()
{
    // at the window's size, as sharp as the screen shows it
    runCommand(this, [this] { exportPlot(PlotFormat::png, graf0_->devicePixelRatioF()); });
}

void Tvstup::exportPlotSvg()
{
    runCommand(this, [this] { exportPlot(PlotFormat::svg, 1); });
}

void Tvstup::exportPlotPdf()
{
    runCommand(this, [this] { exportPlot(PlotFormat::pdf, 1); });
}

void Tvstup::exportLargerPlotPng()
{
    runCommand(this, [this] {
        // the same plot, drawn with more pixels: every position and label stays in its place
        const int width = plot::plotWidth(plot_);
        const int chosen = prompts().imageWidth(this, width + 1, 2 * width);
        if (chosen > width)
            exportPlot(PlotFormat::png, static_cast<double>(chosen) / width);
    });
}

plot::ReportPages Tvstup::reportPages(std::vector<std::unique_ptr<plot::PlotState>>& plots) const
{
    plot::ReportPages pages;
    pages.weaponName = weaponName_->text().toStdString();
    pages.input = state_.completedInput;
    pages.inputSetBlock = report::inputSetBlockText(state_.completedInput);
    // the summary of the completed run with its energy balance, whatever the window shows
    SummaryOptions options = summaryOptions();
    options.showEnergy = true;
    std::string summary;
    writeRunSummary(state_.completedInput, *state_.runs.completed, options,
                    [&summary](const std::string& line) { summary += line + '\n'; });
    pages.summary = summary;
    pages.plots.push_back(&plot_);
    auto pressures = std::make_unique<plot::PlotState>(plot_);
    plot::plotPressuresOverTime(*pressures, *state_.runs.completed);
    pages.plots.push_back(pressures.get());
    plots.push_back(std::move(pressures));
    stampReportPages(pages);
    return pages;
}

void Tvstup::exportReportPdf()
{
    runCommand(this, [this] {
        if (!state_.runs.completed)
            endCommandWithMessage(this, QStringLiteral("There is no completed run to report."));
        const QString name = QStringLiteral("%1.pdf").arg(reportPath_.isEmpty() ? QStringLiteral("Report")
                                                                               : QFileInfo(reportPath_).completeBaseName());
        const QString path = saveTarget(QStringLiteral("Export Report"), name, QStringLiteral("PDF documents (*.pdf)"),
                                        QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        std::vector<std::unique_ptr<plot::PlotState>> plots;
        saveReportPdf(reportPages(plots), path);
    });
}

void Tvstup::printReport()
{
    runCommand(this, [this] {
        if (!state_.runs.completed)
            endCommandWithMessage(this, QStringLiteral("There is no completed run to report."));
        std::vector<std::unique_ptr<plot::PlotState>> plots;
        printReportPages(this, reportPages(plots));
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
