// The program: six windows created once, in a fixed order; the start window is shown, START
// opens the working window modally and CLOSE ends the program.
#include "ui/Area1.h"
#include "ui/DisplayCheck.h"
#include "ui/DisplayConnection.h"
#include "ui/Oprogramu1.h"
#include "ui/Prevody1.h"
#include "ui/Prompts.h"
#include "ui/Rate1.h"
#include "ui/Vstup1.h"
#include "ui/WindowFont.h"
#include "ui/Zakladni1.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <exception>
#include <optional>

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
    vstup.setToolWindows({&oprogramu, &prevody, &area, &rate});
    zakladni.setMainWindow(&vstup);
    zakladni.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
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
