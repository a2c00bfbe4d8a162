#pragma once

class QPushButton;
class QTabWidget;
class QWidget;

namespace kalvex::ui {

class RadioGroup;

// The plot selection pages "Axis Y", "Axis X" and "Others" (PageControl2).
struct PlotPages {
    QTabWidget* control = nullptr;
    RadioGroup* yChoice = nullptr;  // RadioGroup3
    RadioGroup* xChoice = nullptr;  // RadioGroup2
    QPushButton* surfaceOverBurned = nullptr;    // Button1
    QPushButton* pressuresOverTime = nullptr;    // Button3
    QPushButton* pressuresOverTravel = nullptr;  // Button10
    QPushButton* unused = nullptr;               // Button11, disabled, no caption
    QPushButton* cloneOne = nullptr;             // Button7
    QPushButton* cloneTwo = nullptr;             // Button8
    QPushButton* clearClones = nullptr;          // Button9
};

PlotPages buildPlotPages(QWidget* parent);

}  // namespace kalvex::ui
