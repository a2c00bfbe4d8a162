// Renders the pressure plot of a complete run to a PNG, the picture the main window shows
// after "Pmean P0 Pg / Time [ms]" (or "/ Travel [m]"), so the plot can be looked at
// without the window.
//
//   kalvex-render-plot OUT.png [WIDTH HEIGHT] [time|travel]
//
// The run is a 155 mm howitzer with 7-perforated grains, the sample weapon of the tests.

#include "core/BallisticInput.h"
#include "core/Errors.h"
#include "core/FieldSource.h"
#include "core/InputSet.h"
#include "core/RunResults.h"
#include "core/Solver.h"
#include "plot/PlotState.h"
#include "plot/SeriesSelection.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

using kalvex::BallisticInput;
using kalvex::RunEnd;
using kalvex::RunResults;

constexpr int kHowitzerGrainType = 6;  // 7-perforated
constexpr int kMaxStepDoublings = 20;

// The field texts as a user types them, in the form's units.
class HowitzerFields : public kalvex::FieldSource {
public:
    std::string fieldText(std::string_view control) const override
    {
        const auto it = texts_.find(std::string(control));
        return it == texts_.end() ? "0" : it->second;
    }

private:
    std::map<std::string, std::string> texts_ = {
        {"Edit1", "0.01922"}, {"Edit2", "43.5"},    {"Edit3", "5.08"},    {"Edit4", "0.0188"},
        {"Edit5", "20"},      {"Edit6", "0.0002"},  {"Edit7", "21"},      {"Edit8", "10"},
        {"Edit9", "0.0002"},  {"Edit10", "7850"},   {"Edit11", "460"},    {"Edit12", "0.2"},
        {"Edit13", "2500"},   {"Edit14", "150000"}, {"Edit15", "0.01"},   {"Edit19", "11.5"},
        {"Edit20", "1.08e6"}, {"Edit21", "3040"},   {"Edit22", "0.00102"}, {"Edit23", "1.24"},
        {"Edit24", "1660"},   {"Edit25", "4.8e-9"}, {"Edit26", "0.9"},    {"Edit27", "0.1"},
        {"Edit28", "3e5"},    {"Edit29", "2000"},   {"Edit30", "0.0005"}, {"Edit31", "1.25"},
        {"Edit32", "1.01"},   {"Edit34", "0.98"},   {"Edit35", "1.03"},   {"Edit16", "1"},
        {"Edit36", "0.03"},   {"Edit37", "0.2"},    {"Edit38", "5"},      {"Edit39", "30"},
        {"Edit40", "10"},     {"Edit41", "5"},      {"Edit42", "10"},     {"Edit43", "22"},
        {"Edit44", "0.9"},    {"Edit45", "0"},
    };
};

// Runs to the muzzle, doubling the step as often as the step limit asks.
std::unique_ptr<RunResults> runHowitzer()
{
    BallisticInput input;
    kalvex::readBallisticInput(HowitzerFields(), kHowitzerGrainType, true, '.', input);
    kalvex::validateBallisticInput(input);
    for (int doubling = 0; doubling <= kMaxStepDoublings; ++doubling) {
        auto results = std::make_unique<RunResults>();
        const RunEnd end = kalvex::runSolver(input, *results);
        if (end == RunEnd::MuzzleReached)
            return results;
        if (end != RunEnd::StepLimit)
            throw kalvex::InputError(kalvex::runEndMessage(end));
        input.dt *= 2;
    }
    throw kalvex::InputError("the run did not reach the muzzle");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [WIDTH HEIGHT] [time|travel]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // a bitmap only: no screen needed
    QGuiApplication app(argc, argv);
    const int width = argc >= 4 ? std::atoi(argv[2]) : 247;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 226;
    const bool overTravel = argc >= 5 && std::string(argv[4]) == "travel";
    try {
        const auto results = runHowitzer();
        auto plot = std::make_unique<kalvex::plot::PlotState>();
        kalvex::plot::InitPlot(*plot, width, height);
        if (overTravel)
            kalvex::plot::plotPressuresOverTravel(*plot, *results);
        else
            kalvex::plot::plotPressuresOverTime(*plot, *results);
        if (!plot->surface.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            return 1;
        }
        std::printf("%d steps; x %g to %g, y %g to %g\n", results->stepCount, plot->xMin,
                    plot->xMax, plot->yMin, plot->yMax);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
