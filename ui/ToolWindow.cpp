#include "ui/ToolWindow.h"

#include <QWidget>

namespace kalvex::ui {

void showToolWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kalvex::ui
