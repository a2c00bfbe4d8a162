#include "ui/ToolWindow.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace kalvex::ui {

namespace {

constexpr int kCascadeStep = 28;  // px down and right from one tool window to the next
constexpr int kGap = 6;           // px between the main window and the first tool window
const char* const kPlacedProperty = "kalvexToolPlaced";
const char* const kOpenedProperty = "kalvexToolWindowsOpened";

QPoint besideMainWindow(const QWidget& window, const QWidget& mainWindow)
{
    const int opened = mainWindow.property(kOpenedProperty).toInt();
    const QRect main = mainWindow.frameGeometry();
    QPoint place(main.right() + 1 + kGap + opened * kCascadeStep, main.top() + opened * kCascadeStep);
    if (const QScreen* screen = mainWindow.screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = window.frameGeometry().size();
        // no room right of the main window but room left of it: there, not over it
        const int left = main.left() - kGap - size.width() - opened * kCascadeStep;
        if (place.x() + size.width() > area.right() && left >= area.left())
            place.setX(left);
        // no room on either side: cascade over its right edge instead
        place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    }
    return place;
}

}  // namespace

void showToolWindow(QWidget* window, QWidget* mainWindow)
{
    if (!window)
        return;
    if (mainWindow && !window->property(kPlacedProperty).toBool()) {
        window->setProperty(kPlacedProperty, true);
        window->move(besideMainWindow(*window, *mainWindow));
        mainWindow->setProperty(kOpenedProperty, mainWindow->property(kOpenedProperty).toInt() + 1);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kalvex::ui
