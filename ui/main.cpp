// The program: six windows created once, in a fixed order; the start window is shown, START
// opens the working window modally and CLOSE ends the program.
#include "ui/Area1.h"
#include "ui/DisplayCheck.h"
#include "ui/DisplayConnection.h"
#include "ui/Oprogramu1.h"
#include "ui/Prevody1.h"
#include "ui/Prompts.h"
#include "ui/Rate1.h"
#include "ui/ClosedVesselWindow.h"
#include "ui/RunsWindow.h"
#include "ui/StudyWindow.h"
#include "ui/Vstup1.h"
#include "ui/WindowFont.h"
#include "ui/Zakladni1.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>

namespace {

int runWindows()
{
    using namespace kalvex::ui;
    Tzakladni zakladni;
    Tvstup vstup;
    // The About and tool windows belong to the working window, so they stay usable while it
    // is shown modally; they are still separate windows.
    Toprogramu oprogramu(&vstup);
    Tprevody prevody(&vstup);
    Tarea area(&vstup);
    Trate rate(&vstup);
    StudyWindow study(&vstup);
    linkStudyWindow(study, vstup);
    RunsWindow runs(&vstup);
    linkRunsWindow(runs, vstup);
    ClosedVesselWindow closedVessel(&vstup);
    vstup.setToolWindows({&oprogramu, &prevody, &area, &rate, &study, &runs, &closedVessel});
    zakladni.setMainWindow(&vstup);
    zakladni.show();
    return QApplication::exec();
}

// What `kalvex --help` prints; also the source of its manual page.
constexpr const char* kUsage =
    "Usage: kalvex [--help] [--version]\n"
    "\n"
    "Opens the interior ballistics window. Describe the weapon, the propellant charge, the\n"
    "grains and the bore resistance on the input pages and press Start: the run is\n"
    "summarised, plotted, and can be saved as a report that Load reads back. The menu\n"
    "opens the unit conversion, the bore-area and the burning-rate tools.\n"
    "\n"
    "The example reports ship in the program's data folder (share/kalvex), where Load's\n"
    "first dialog opens. kalvex-batch runs a report without the window.\n"
    "\n"
    "Options:\n"
    "  --help      show this text\n"
    "  --version   show the program's version\n";

// --help and --version answer without a display; true when one of them was given.
bool answeredCommandLine(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (argument == "--version") {
            std::printf("kalvex %s\n", KALVEX_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (answeredCommandLine(argc, argv))
        return 0;
    // Without a display Qt would abort inside the application's constructor; say so plainly.
    if (!kalvex::ui::displayAvailable()) {
        std::fputs(kalvex::ui::kNoDisplayLine, stderr);
        return 1;
    }
    std::optional<kalvex::ui::DisplayConnectionGuard> connecting(std::in_place);
    QApplication app(argc, argv);
    connecting.reset();
    // Report files use a point as the decimal separator whatever the user's locale; fields
    // take the user's separator from QLocale.
    std::setlocale(LC_NUMERIC, "C");
    app.setQuitOnLastWindowClosed(false);  // only the start window ends the program
    QApplication::setOrganizationName(QStringLiteral("Kalvex"));  // where QSettings keeps the recent reports
    QApplication::setApplicationName(QStringLiteral("Kalvex"));
    kalvex::ui::useWindowFontFamily();
    try {
        return runWindows();
    } catch (const std::exception& e) {
        kalvex::ui::prompts().showMessage(nullptr, QString::fromUtf8(e.what()));
    } catch (...) {
        kalvex::ui::prompts().showMessage(nullptr, QString());
    }
    return 1;
}
