#pragma once

class QWidget;

namespace kalvex::ui {

// Shows a modeless tool window beside the main window; one that is already open comes to the
// front. The window keeps its texts between openings, since it is only hidden when closed.
void showToolWindow(QWidget* window);

}  // namespace kalvex::ui
