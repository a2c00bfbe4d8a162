#pragma once
#include "plot/PlotState.h"
#include "vessel/Reduction.h"
#include "vessel/Resimulation.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QThread;

namespace kalvex::ui {

class PlotView;

// "Closed Vessel": measured pressure traces of closed-vessel firings reduced to the
// propellant's force, covolume, burning law and temperature coefficients. The firings list
// names each trace with what was loaded, its charge temperature and its trim window; the
// trimming rules and the law's segment bounds are fields; Reduce works off the GUI thread
// (Stop ends it); the results, the pictures and "Save to propellant library" follow.
class ClosedVesselWindow : public QDialog {
    Q_OBJECT
public:
    explicit ClosedVesselWindow(QWidget* parent = nullptr);
    ~ClosedVesselWindow() override;

    const plot::PlotState& plotState() const { return plot_; }
    // The firings and options as the fields give them; std::runtime_error naming the field.
    std::vector<vessel::Firing> firingsFromTable() const;
    vessel::ReductionOptions optionsFromFields() const;
    bool reducing() const { return thread_ != nullptr; }

public slots:
    // Adds a row per trace file, volume and charge left for the user.
    void addTraces(const QStringList& paths);

signals:
    void reductionFinished();  // results shown, or the failure

private slots:
    void chooseTraces();
    void chooseInput();
    void removeFiring();
    void reduceOrStop();
    void showReduction();
    void drawPicture();
    void resizePlot(int width, int height);
    void savePicture();
    void saveToLibrary();

private:
    struct Outcome;  // what the worker thread hands back
    void buildLayout();

    plot::PlotState plot_;
    std::unique_ptr<QThread> thread_;
    std::shared_ptr<Outcome> outcome_;
    std::shared_ptr<std::atomic<bool>> stop_;
    // The last reduction, what it was given, and its re-simulations.
    std::vector<vessel::Firing> firings_;
    vessel::ReductionOptions options_;
    BallisticInput propellant_;
    std::optional<vessel::VesselReduction> reduction_;
    std::vector<vessel::ResimulatedTrace> again_;

    QLineEdit* input_ = nullptr;          // VesselInput
    QLineEdit* igniter_ = nullptr;        // VesselIgniter, g
    QTableWidget* firingTable_ = nullptr; // VesselFirings
    QLineEdit* bounds_ = nullptr;         // VesselBounds, MPa
    QSpinBox* segments_ = nullptr;        // VesselSegments (0: the bounds given)
    QCheckBox* ignitionAtZero_ = nullptr; // VesselIgnitionAtZero
    QSpinBox* smoothing_ = nullptr;       // VesselSmoothing
    QLineEdit* ignitionFraction_ = nullptr;  // VesselIgnitionFraction
    QLineEdit* lowFraction_ = nullptr;    // VesselLowFraction
    QLineEdit* highFraction_ = nullptr;   // VesselHighFraction
    QLineEdit* heatLoss_ = nullptr;       // VesselHeatLoss, W/m^2/K (0: none)
    QLineEdit* innerDiameter_ = nullptr;  // VesselInnerDiameter, mm
    QLineEdit* wallTemperature_ = nullptr;  // VesselWallTemperature, °C
    QPushButton* reduce_ = nullptr;       // VesselReduce ("Reduce" / "Stop")
    QProgressBar* progress_ = nullptr;    // VesselProgress
    QPlainTextEdit* results_ = nullptr;   // VesselResults
    QComboBox* picture_ = nullptr;        // VesselPicture
    PlotView* graf_ = nullptr;            // VesselPlot
    QPushButton* savePicture_ = nullptr;  // VesselSavePicture
    QPushButton* save_ = nullptr;         // VesselSave
};

}  // namespace kalvex::ui
