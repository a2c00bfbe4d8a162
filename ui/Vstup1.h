#pragma once
#include "core/input/BallisticInput.h"
#include "core/input/InputFields.h"
#include "core/input/StartCommand.h"
#include "core/propellant/PropellantLibrary.h"
#include "plot/PlotState.h"
#include "plot/ReportPages.h"
#include "ui/ExtrasPage.h"
#include "ui/FieldRegistry.h"
#include "ui/PlotExport.h"
#include "ui/PlotPages.h"
#include "ui/StartOffThread.h"
#include "ui/WorkingState.h"

#include "report/ReportTable.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QHBoxLayout;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

namespace kalvex::ui {

class ButtonPages;
class GrainPage;
class InputHistory;
class PlotView;
class ResultsArea;
class RubberBandOverlay;
class RunsWindow;
class StudyWindow;

// The working window: the input pages, the commands Load, Save and Start, the results text
// Memo1 and the plot Graf0 with its selection pages. It owns the stored input set, the
// results of the last completed run and the plot for the life of the program.
class Tvstup : public QDialog, private StartHost {
    Q_OBJECT
public:
    // The windows the menu opens; created after this one, so they are handed in later.
    struct ToolWindows {
        QDialog* about = nullptr;           // modal
        QWidget* unitConversion = nullptr;  // modeless
        QWidget* area = nullptr;            // modeless
        QWidget* burningRate = nullptr;     // modeless
        QWidget* study = nullptr;           // modeless
        QWidget* runs = nullptr;            // modeless
        QWidget* closedVessel = nullptr;    // modeless
    };

    // The window's caption; after a Load or Save the report's name stands before it.
    static const QString kCaption;

    explicit Tvstup(QWidget* parent = nullptr);
    ~Tvstup() override;

    void setToolWindows(const ToolWindows& windows);

    // The input sets, the last completed run and the fields' inputs, kept current at every edit.
    const WorkingState& workingState() const { return state_; }
    const BallisticInput& storedInput() const { return state_.stored; }
    // The input set of the last completed run: what Save writes beside its results.
    const BallisticInput& completedInput() const { return state_.completedInput; }
    // The fields through the Start command's reader and rules, with the same messages
    // (InputError); the stored input set does not change.
    BallisticInput inputCopy() const { return checkedShownInput(state_); }
    // Loads a report as Load does, without the dialog (the recent-files menu).
    void loadReportFile(const QString& path);
    const RunResults* completedRun() const { return state_.runs.completed.get(); }
    const plot::PlotState& plotState() const { return plot_; }
    int currentGrainType() const { return grainType_; }
    GrainPage* grainPage() const { return grainPage_; }
    PlotView* plotView() const { return graf0_; }
    RubberBandOverlay* rubberBandLayer() const { return overlay_; }

private slots:
    void resizePlot(int plotWidth, int plotHeight);
    void start();         // Button4
    void clearResults();  // Button2, below Memo1
    void save();          // Button5
    void load();          // Button6
    void chooseGrainType();  // RadioGroup1
    void plotChosenQuantity();  // RadioGroup3
    void plotOverChosenAxis();  // RadioGroup2
    void plotSurfaceOverBurned();
    void plotPressuresOverTime();
    void plotPressuresOverTravel();
    void cloneCurveOne();  // Button7, "Clone I"
    void cloneCurveTwo();  // Button8, "Clone II"
    void clearClones();    // Button9
    void pressOnPlot(int x, int y);
    void dragOnPlot(int x, int y);
    void releaseOnPlot(int x, int y);
    void restorePlotRanges(int x, int y);
    void showUnitConversion();
    void showAreaTool();
    void showBurningRateTool();
    void showAbout();
    void showStudy();
    void showRuns();
    void showClosedVessel();
    void exportSeries();
    void exportPlotPng();
    void exportLargerPlotPng();
    void exportPlotSvg();
    void exportPlotPdf();
    void exportReportPdf();
    void printReport();
    void copySummary();
    // "Save Input Set As...": the fields' input set with the parts no field shows, as JSON.
    void saveInputSet();
    // "Charge Temperature…" on the powder page: fFT and fbetaT from the charge's temperature.
    void chooseChargeTemperature();
    // "Burning Law…" on the powder page: the segments of the burning law; row 1 is beta, alpha.
    void editBurningLaw();
    // "Charge Components…" on the powder page: the table of the charge's components, row 1
    // being the page's fields.
    void editCharge();
    void showSavedRunFromReport();
    void removeSavedRun();

signals:
    // A run was kept for comparison (a completed Start or an added report).
    void runsChanged();

public slots:
    // Runs the inputs of a saved report as Load and Start would and keeps the run for
    // comparison; the window's own inputs and results stay as they are.
    void addSavedReportToRuns(const QString& path);
    // Writes a value, in the unit its field shows, into the field of a parameter ("C", ...), or
    // into the part of the input set no field shows ("C[2]", "split[2]", "beta[1,2]",
    // "chargeTemperature"); a name that is no parameter is refused with its message.
    void setParameterValue(const QString& parameter, double shownValue);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Unsaved work asks first; the plot's choices and the window's size are remembered.
    void closeEvent(QCloseEvent* event) override;

private:
    // The message of a file that is no readable report, for Load and for a saved run.
    static const QString kNotLoaded;

    void createContents();
    void buildLayout();
    void keepTopRowAtDesignWidths();
    QWidget* buildInputPages();
    QWidget* buildCommandColumn();
    void buildMenu();
    void buildDataMenu(QMenu* menu);
    void buildShortcuts();
    void showNeighbouringInputPage(int step);
    // Undo and redo over the input set (Ctrl+Z, Ctrl+Shift+Z), also from inside a field.
    void buildInputHistory(QMenu* menu);
    void recordInputStep(const QString& what);
    void undoInputs();
    void redoInputs();  // +1 the next page, -1 the one before, around
    // The plot's quantity and axis and the window's size of the last session.
    void restoreRememberedChoices();
    void rememberChoices() const;
    // False when the user keeps the window open.
    bool settleUnsavedWork();
    void connectHandlers();
    // The Extras page's choice: the fixed step, or the adaptive integrator at the page's relative
    // tolerance. A tolerance that is no number or out of range throws InputError, its field focused.
    IntegratorChoice chosenIntegrator();
    void watchInputs();
    // Reads the fields again into the working state and marks the title: after every edit.
    void noteInputsChanged();
    // Re-plots slot 0 from the radio choices (the end of a run and the radio clicks).
    void plotCurrentSelection(const RunResults& results);
    void redrawPlot();
    void saveReport();
    void loadReport();
    void loadFrom(const QString& path);
    void loadInputSetFrom(const QString& path);
    // Shows a loaded input set in the fields and keeps the parts no field shows.
    void showInputSet(const BallisticInput& input, const std::string& weaponName);
    // A library row filled the propellant values: its temperature coefficients (or none) become
    // the input set's, and the burning law is the row's one segment.
    void notePropellantChosen(const Propellant& propellant);
    // Sets fFT and fbetaT from the temperature and records both with the coefficients.
    void setChargeTemperature(double celsius, const TemperatureCoefficients& coefficients);
    // The charge from the components' table: the first into the fields, the others kept with
    // the parts no field shows.
    void setCharge(const std::vector<ChargeComponent>& charge);
    // "Charge Components…", or with more than one component "3 Components…".
    void showChargeSummary();
    // A rule's message naming a component after the first: shows the powder page with
    // "Charge Components…" focused, whose table opens at that row. False for any other message.
    bool showBadComponent(const std::string& message);
    // Where the coefficients the charge-temperature dialog shows come from.
    QString coefficientOrigin() const;
    void showLoadedReport(const QString& path);
    // The title names the report last loaded or saved and marks inputs that differ from
    // those of the last completed run.
    void updateModifiedMark();
    void rememberRecentReport(const QString& path);
    void fillRecentMenu();
    // Switches to the page of the field a failed read or rule is about, focuses it and
    // selects its text; the message is shown as it is.
    void showBadField(const std::string& message);
    void focusField(QLineEdit& field);  // its page shown, its text selected
    void showSavedRun();
    void exportPlot(PlotFormat format, double pixelRatio);
    // The report of the last completed run for a PDF or a printer, with the plot shown and
    // the pressures over time, whose states `plots` keeps.
    plot::ReportPages reportPages(std::vector<std::unique_ptr<plot::PlotState>>& plots) const;
    QString saveTarget(const QString& caption, const QString& name, const QString& filter,
                       const QString& extension);

    // The fields and options the Start command reads, for its run off the GUI thread.
    DeferredStartHost::Snapshot startSnapshot() const;

    // What the Start command needs from the window.
    std::string fieldText(std::string_view parameter) const override;
    void setFieldText(std::string_view parameter, const std::string& text) override;
    int grainType() const override;
    bool heatTransfer() const override;
    SummaryOptions summaryOptions() const override;
    char decimalSeparator() const override;
    void appendLine(const std::string& line) override;
    void runCompleted(const RunResults& results) override;

    WorkingState state_;
    QString lastSummary_;      // the summary block of the last completed run
    bool collectingSummary_ = false;
    std::optional<report::ReportTable> savedRun_;  // the overlay read from a report
    QString reportPath_;       // the report last loaded or saved; empty before the first
    bool completedRunSaved_ = false;  // the report of the last completed run has been written
    plot::PlotState plot_;
    int grainType_ = 2;
    std::optional<Propellant> pickedPropellant_;  // the library row picked last
    std::size_t selectedComponent_ = 0;  // the row the charge table opens at, 0 for the first
    QString openFolder_;    // where Load's dialog starts
    QString lastSavePath_;  // proposed by the next Save
    QString reportFolder_;  // where the last report was loaded or saved: Save starts there

    FieldRegistry fields_;
    QLineEdit* weaponName_ = nullptr;  // Edit33
    QHBoxLayout* top_ = nullptr;  // input pages, commands, plot choices
    ButtonPages* inputPages_ = nullptr;  // PageControl1
    GrainPage* grainPage_ = nullptr;
    ExtrasPage extras_;
    QLineEdit* readOutX_ = nullptr;  // Edit17
    QLineEdit* readOutY_ = nullptr;  // Edit18
    QPushButton* loadButton_ = nullptr;   // Button6
    QPushButton* saveButton_ = nullptr;   // Button5
    QPushButton* startButton_ = nullptr;  // Button4
    PlotPages plotPages_;                 // PageControl2
    ResultsArea* results_ = nullptr;
    QSplitter* resultsAndPlot_ = nullptr;  // Memo1 and Graf0 share added width
    QMenu* recentMenu_ = nullptr;
    QAction* removeSavedRun_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;  // Memo1
    PlotView* graf0_ = nullptr;
    RubberBandOverlay* overlay_ = nullptr;
    ToolWindows tools_;
    std::unique_ptr<InputHistory> history_;
};

// The Study window reads the main window's working state and fills its fields with "Use This
// Value"; it knows no more of the main window.
void linkStudyWindow(StudyWindow& study, Tvstup& mainWindow);
// The Runs window shows the main window's kept runs and adds saved reports to them.
void linkRunsWindow(RunsWindow& runs, Tvstup& mainWindow);

}  // namespace kalvex::ui
