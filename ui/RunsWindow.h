#pragma once
#include "plot/PlotState.h"

#include <QDialog>

class QComboBox;
class QTableWidget;
class QPushButton;

namespace kalvex::ui {

class PlotView;
struct WorkingState;

// "Runs": the last runs since the program started side by side. A table lists their key
// results and the inputs in which they differ; the ticked runs are drawn together,
// with a legend, as any quantity over time or travel. Modeless, one instance; it reads the
// main window's working state and asks it to add a saved report.
class RunsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RunsWindow(QWidget* parent = nullptr);

    void setWorkingState(const WorkingState* state);
    const plot::PlotState& plotState() const { return plot_; }

signals:
    // "Add Saved Report...": the report whose inputs the main window runs and keeps.
    void savedReportChosen(const QString& path);

public slots:
    // The kept runs changed: the table and the plot follow.
    void showRuns();

private slots:
    void chooseSavedReport();
    void drawTickedRuns();
    void resizePlot(int width, int height);

private:
    void buildLayout();

    const WorkingState* state_ = nullptr;
    plot::PlotState plot_;
    QTableWidget* table_ = nullptr;     // RunsTable
    QComboBox* quantity_ = nullptr;     // RunsQuantity
    QComboBox* axis_ = nullptr;         // RunsAxis
    QPushButton* addReport_ = nullptr;  // RunsAddReport
    PlotView* graf_ = nullptr;          // RunsPlot
};

}  // namespace kalvex::ui
