#pragma once

class QWidget;

namespace kalvex::ui {

// Shows a modeless tool window; one that is already open comes to the front. The window keeps
// its texts between openings, since it is only hidden when closed. The first time, it opens
// beside `mainWindow`, each further tool window a step lower and to the right, so that they
// neither cover the inputs nor lie on top of each other; always within the screen.
void showToolWindow(QWidget* window, QWidget* mainWindow = nullptr);

}  // namespace kalvex::ui
