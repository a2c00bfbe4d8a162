// kalvex-report: the PDF report of a run without the window.
//
//   kalvex-report INPUT.txt -o REPORT.pdf
//
// INPUT.txt is a report file (for example one of examples/), whose input values are run as
// Load and Start would run them; the PDF holds the weapon's name, the inputs by page with
// their units, the summary with its energy balance and the pressure and velocity plots, on A4.
#include "batch/BatchRun.h"
#include "plot/PlotState.h"
#include "plot/ReportPages.h"
#include "plot/SeriesSelection.h"
#include "report/InputSetBlock.h"
#include "report/SafeSave.h"

#include <CLI/CLI.hpp>

#include <QDate>
#include <QGuiApplication>

#include <clocale>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr int kPlotWidth = 680;   // px, about the text's width on A4
constexpr int kPlotHeight = 340;  // px

// The plots the report shows: the pressures over time and the velocity over travel.
std::vector<std::unique_ptr<kalvex::plot::PlotState>> reportPlots(const kalvex::RunResults& results)
{
    std::vector<std::unique_ptr<kalvex::plot::PlotState>> plots;
    auto pressures = std::make_unique<kalvex::plot::PlotState>();
    kalvex::plot::InitPlot(*pressures, kPlotWidth, kPlotHeight);
    kalvex::plot::plotPressuresOverTime(*pressures, results);
    plots.push_back(std::move(pressures));
    auto velocity = std::make_unique<kalvex::plot::PlotState>();
    kalvex::plot::InitPlot(*velocity, kPlotWidth, kPlotHeight);
    constexpr int kVelocityChoice = 4;
    constexpr int kTravelChoice = 1;
    kalvex::plot::plotSelection(*velocity, results, kVelocityChoice, kTravelChoice);
    plots.push_back(std::move(velocity));
    return plots;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App cli("The PDF report of a run: inputs, summary, energy balance and plots, on A4.", "kalvex-report");
    std::string input, output;
    cli.add_option("INPUT", input, "a report file, or a JSON input file, whose input values are run")->required();
    cli.add_option("-o,--output", output, "the PDF file to write")->required();
    cli.set_version_flag("--version", std::string("kalvex-report ") + KALVEX_VERSION);
    CLI11_PARSE(cli, argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // pages only: no screen needed
    QGuiApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // the summary's numbers with a point, as in the report file
    try {
        kalvex::batch::BatchOptions options;
        options.inputPath = input;
        options.showEnergy = true;
        std::ostringstream memo;
        const auto run = kalvex::batch::runReportInput(options, memo);
        const auto plots = reportPlots(*run.runs.completed);

        kalvex::plot::ReportPages pages;
        pages.weaponName = run.weaponName;
        pages.input = run.input;
        pages.inputSetBlock = kalvex::report::inputSetBlockText(run.input);
        pages.summary = memo.str();
        for (const auto& plot : plots)
            pages.plots.push_back(plot.get());
        pages.version = std::string("kalvex ") + KALVEX_VERSION;
        pages.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
        const QByteArray pdf = kalvex::plot::reportPdf(pages);
        kalvex::report::saveBytesSafely(output, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
