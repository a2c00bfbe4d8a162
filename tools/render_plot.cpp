// Renders the pressure plot of a complete run to a PNG, the picture the main window shows
// after "Pmean P0 Pg / Time [ms]" (or "/ Travel [m]"), so the plot can be looked at
// without the window.
//
//   kalvex-render-plot INPUT.txt OUT.png [WIDTH HEIGHT] [time|travel]
//
// INPUT.txt is a report file (for example one of examples/), whose input values are run
// as Load and Start would run them.

#include "batch/BatchRun.h"
#include "plot/ImageBytes.h"
#include "plot/PlotState.h"
#include "plot/SeriesSelection.h"
#include "report/SafeSave.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s INPUT.txt OUT.png [WIDTH HEIGHT] [time|travel]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // a bitmap only: no screen needed
    QGuiApplication app(argc, argv);
    const int width = argc >= 5 ? std::atoi(argv[3]) : 247;
    const int height = argc >= 5 ? std::atoi(argv[4]) : 226;
    const bool overTravel = argc >= 6 && std::string(argv[5]) == "travel";
    try {
        kalvex::batch::BatchOptions options;
        options.inputPath = argv[1];
        std::ostringstream memo;
        const auto run = kalvex::batch::runReportInput(options, memo);
        const kalvex::RunResults& results = *run.runs.completed;

        auto plot = std::make_unique<kalvex::plot::PlotState>();
        kalvex::plot::InitPlot(*plot, width, height);
        if (overTravel)
            kalvex::plot::plotPressuresOverTravel(*plot, results);
        else
            kalvex::plot::plotPressuresOverTime(*plot, results);
        const QByteArray png = kalvex::plot::encodeImage(plot->surface, "PNG");
        if (png.isEmpty()) {
            std::fprintf(stderr, "cannot encode the plot as PNG\n");
            return 1;
        }
        kalvex::report::saveBytesSafely(argv[2], std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
        std::printf("%d steps; x %g to %g, y %g to %g\n", results.stepCount, plot->xMin,
                    plot->xMax, plot->yMin, plot->yMax);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
