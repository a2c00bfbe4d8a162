#pragma once
#include "core/BallisticInput.h"
#include "core/StartCommand.h"
#include "plot/PlotState.h"
#include "ui/ExtrasPage.h"
#include "ui/FieldRegistry.h"
#include "ui/PlotPages.h"

#include <QDialog>
#include <QString>

class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kalvex::ui {

class ButtonPages;
class GrainPage;
class PlotView;
class ResultsArea;
class RubberBandOverlay;

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
    };

    explicit Tvstup(QWidget* parent = nullptr);
    ~Tvstup() override;

    void setToolWindows(const ToolWindows& windows);

    const BallisticInput& storedInput() const { return stored_; }
    const RunResults* completedRun() const { return runs_.completed.get(); }
    const plot::PlotState& plotState() const { return plot_; }
    int currentGrainType() const { return grainType_; }
    GrainPage* grainPage() const { return grainPage_; }
    PlotView* plotView() const { return graf0_; }
    RubberBandOverlay* rubberBandLayer() const { return overlay_; }

private slots:
    void FormResize(int plotWidth, int plotHeight);
    void Button4Click();  // Start
    void Button2Click();  // Clear
    void Button5Click();  // Save
    void Button6Click();  // Load
    void RadioGroup1Click();
    void RadioGroup3Click();
    void RadioGroup2Click();
    void Button1Click();
    void Button3Click();
    void Button10Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Graf0MouseDown(int x, int y);
    void Graf0MouseMove(int x, int y);
    void Graf0MouseUp(int x, int y);
    void Graf0DblClick(int x, int y);
    void UnitConversionClick();
    void AreaClick();
    void BurnRateClick();
    void AboutClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void buildLayout();
    void keepTopRowAtDesignWidths();
    QWidget* buildInputPages();
    QWidget* buildCommandColumn();
    void buildMenu();
    void connectHandlers();
    // Re-plots slot 0 from the radio choices (the end of a run and the radio clicks).
    void plotCurrentSelection(const RunResults& results);
    void redrawPlot();
    void saveReport();
    void loadReport();

    // What the Start command needs from the window.
    std::string fieldText(std::string_view control) const override;
    void setFieldText(std::string_view control, const std::string& text) override;
    int grainType() const override;
    bool heatTransfer() const override;
    SummaryOptions summaryOptions() const override;
    char decimalSeparator() const override;
    void appendLine(const std::string& line) override;
    void runCompleted(const RunResults& results) override;

    BallisticInput stored_;
    RunStore runs_;
    plot::PlotState plot_;
    int grainType_ = 2;
    QString openFolder_;    // where Load's dialog starts
    QString lastSavePath_;  // proposed by the next Save

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
    QPlainTextEdit* memo_ = nullptr;  // Memo1
    PlotView* graf0_ = nullptr;
    RubberBandOverlay* overlay_ = nullptr;
    ToolWindows tools_;
};

}  // namespace kalvex::ui
