#pragma once
#include "core/input/BallisticInput.h"
#include "plot/PlotState.h"
#include "study/Study.h"
#include "ui/StudyPages.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace kalvex::study {
struct RowResult;
}

namespace kalvex::ui {

class PlotView;
class StudyRunner;
class StudyTableModel;
struct WorkingState;

// "Study": many runs from the main window's inputs — a sweep of one or two parameters, the
// value that reaches a target, a fit to measured firings, a tolerance analysis. Modeless, one
// instance. The runs go on in the background; the rows fill a table and a plot as they come.
class StudyWindow : public QDialog {
    Q_OBJECT
public:
    explicit StudyWindow(QWidget* parent = nullptr);
    ~StudyWindow() override;

    // The main window's working state, whose fields' inputs are the base of a study.
    void setWorkingState(const WorkingState* state);
    StudyRunner& runner() const { return *runner_; }
    const StudyTableModel& table() const { return *model_; }
    const plot::PlotState& plotState() const { return plot_; }

signals:
    // "Use This Value": a solved or fitted value, in the unit its field shows, for the main
    // window's field of that parameter.
    void parameterValueChosen(const QString& parameter, double shownValue);

private slots:
    void showKindPage(int kind);
    void run();  // Run
    void cancel();  // Cancel
    void useValue();  // Use This Value
    void exportCsv();  // Export CSV
    void saveStudy();  // Save Study
    void openStudy();  // Open Study
    void useMainWindowInputs();  // Use Main Window's Inputs
    void exportPlot();           // as PNG, SVG or PDF, by the name's suffix
    void replotChosenOutput();
    void showProgress();
    void showFinishedRun();
    void resizePlot(int width, int height);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();
    // The study as the pages describe it on the base: the study file's text, and the study
    // read back from that text, so the window runs exactly what Save writes and kalvex-study reads.
    struct StudyText {
        std::string text;
        study::Study study;
    };
    StudyText currentStudy();
    BallisticInput baseInput();
    void keepWhatThePagesCannotShow(study::Study& s) const;
    // Fills a parameter's range (or, without `high`, its spread) around its base value.
    void proposeRangeFor(const QComboBox& box, QLineEdit* low, QLineEdit* high);
    // Where the study's files are proposed and its relative paths read: the folder of the
    // study file last opened or saved, else the current folder.
    QString filesFolder() const;
    void showRows(const std::vector<study::RowResult>& rows);
    void showSolveResult();
    void showFitResult();
    void replot();
    void setRunning(bool running);

    const WorkingState* state_ = nullptr;  // the main window's, not owned
    // An opened study file: its base, and what the pages show only in part (a sweep's list of
    // values or of propellants, the description), kept while the pages name the same things.
    std::optional<study::Study> opened_;
    QString studyFolder_;
    StudyRunner* runner_ = nullptr;
    StudyTableModel* model_ = nullptr;
    std::vector<study::RowResult> rows_;  // of the last sweep or tolerance run, for the CSV
    study::Study ran_;                     // the study of the last run
    std::vector<std::pair<std::string, double>> usable_;  // solved or fitted values
    plot::PlotState plot_;

    QComboBox* kind_ = nullptr;           // ComboBox1
    QStackedWidget* kindPages_ = nullptr;
    StudyPages pages_;
    QLabel* base_ = nullptr;              // Label3
    QPushButton* run_ = nullptr;          // Button1
    QPushButton* cancel_ = nullptr;       // Button2
    QPushButton* useValue_ = nullptr;     // Button3
    QPushButton* exportCsv_ = nullptr;    // Button4
    QPushButton* save_ = nullptr;         // Button5
    QPushButton* open_ = nullptr;         // Button6
    QPushButton* useMainInputs_ = nullptr;  // Button7
    QProgressBar* progress_ = nullptr;    // ProgressBar1
    QLabel* status_ = nullptr;            // Label1
    QLabel* summary_ = nullptr;           // Label2
    QTableView* grid_ = nullptr;          // Grid1
    QComboBox* plotChoice_ = nullptr;     // ComboBox2
    PlotView* graf_ = nullptr;            // Graf1
    QPushButton* exportPlot_ = nullptr;   // Button8
};

}  // namespace kalvex::ui
