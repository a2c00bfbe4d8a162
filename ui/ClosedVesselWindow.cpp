#include "ui/ClosedVesselWindow.h"

#include "core/format/Units.h"
#include "report/PropellantSave.h"
#include "study/StudyJson.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/PlotExport.h"
#include "ui/PlotView.h"
#include "vessel/ReducedRow.h"
#include "vessel/ReductionText.h"
#include "vessel/TraceCsv.h"
#include "vessel/TypedOptions.h"
#include "vessel/pictures/FileChecksum.h"
#include "vessel/pictures/VesselPlots.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <chrono>
#include <fstream>
#include <locale>
#include <sstream>
#include <stdexcept>

namespace kalvex::ui {

namespace {

enum Column { kFile, kVolume, kCharge, kTemperature, kStart, kEnd, kColumns };
const char* const kHeaders[kColumns] = {"Trace file", "Volume [cm3]", "Charge [g]", "Temperature [\u00b0C]",
                                        "Start [ms]", "End [ms]"};
const char* const kPictures[] = {"Traces", "Burning rate", "Vivacity", "Residuals"};

// A number typed with a point or a comma; empty is no value.
std::optional<double> numberIn(const QString& text, const QString& what)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        throw std::runtime_error(what.toStdString() + ": \"" + text.toStdString() + "\" is not a number");
    return value;
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->text() : QString();
}

}  // namespace

// The worker's results, read by the GUI thread once the thread has finished.
struct ClosedVesselWindow::Outcome {
    std::optional<vessel::VesselReduction> reduction;
    std::vector<vessel::ResimulatedTrace> again;
    std::string error;
};

ClosedVesselWindow::ClosedVesselWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClosedVessel"));
    setWindowTitle(QStringLiteral("Closed Vessel"));
    plot::InitPlot(plot_, PlotView::kDesignWidth * 2, PlotView::kDesignHeight);
    buildLayout();
}

ClosedVesselWindow::~ClosedVesselWindow()
{
    if (thread_) {  // the worker holds its own copies; it is asked to stop and waited for
        stop_->store(true);
        thread_->wait();
    }
}

void ClosedVesselWindow::buildLayout()
{
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromUtf8(name));
        return widget;
    };
    input_ = named(new QLineEdit(this), "VesselInput");
    igniter_ = named(new QLineEdit(QStringLiteral("1"), this), "VesselIgniter");
    auto* browse = named(new QPushButton(QStringLiteral("Choose..."), this), "VesselInputBrowse");
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(new QLabel(QStringLiteral("Propellant, igniter and grain (report or input file):"), this));
    inputRow->addWidget(input_, 1);
    inputRow->addWidget(browse);
    inputRow->addWidget(new QLabel(QStringLiteral("Igniter [g]:"), this));
    inputRow->addWidget(igniter_);

    firingTable_ = named(new QTableWidget(0, kColumns, this), "VesselFirings");
    for (int c = 0; c < kColumns; ++c)
        firingTable_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kHeaders[c])));
    firingTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);  // headers whole
    firingTable_->horizontalHeader()->setSectionResizeMode(kFile, QHeaderView::Stretch);
    auto* add = named(new QPushButton(QStringLiteral("Add Traces..."), this), "VesselAddTraces");
    auto* remove = named(new QPushButton(QStringLiteral("Remove"), this), "VesselRemoveFiring");
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addWidget(add);
    tableButtons->addWidget(remove);
    tableButtons->addStretch(1);

    bounds_ = named(new QLineEdit(this), "VesselBounds");
    segments_ = named(new QSpinBox(this), "VesselSegments");
    segments_->setRange(0, 8);
    ignitionAtZero_ = named(new QCheckBox(QStringLiteral("Traces start at ignition"), this), "VesselIgnitionAtZero");
    const vessel::ReductionSettings rules;
    smoothing_ = named(new QSpinBox(this), "VesselSmoothing");
    smoothing_->setRange(1, 10000);
    smoothing_->setValue(rules.smoothingHalfWidth);
    ignitionFraction_ = named(new QLineEdit(QString::number(rules.ignitionFraction), this), "VesselIgnitionFraction");
    lowFraction_ = named(new QLineEdit(QString::number(rules.lowFraction), this), "VesselLowFraction");
    highFraction_ = named(new QLineEdit(QString::number(rules.highFraction), this), "VesselHighFraction");
    const vessel::TypedHeatLoss heat;
    heatLoss_ = named(new QLineEdit(QString::number(heat.coefficient), this), "VesselHeatLoss");
    innerDiameter_ = named(new QLineEdit(QString::number(heat.innerDiameter), this), "VesselInnerDiameter");
    wallTemperature_ = named(new QLineEdit(QString::number(heat.wallTemperature), this), "VesselWallTemperature");
    auto* rulesForm = new QFormLayout;
    rulesForm->addRow(QStringLiteral("Segment bounds above 0 [MPa]:"), bounds_);
    rulesForm->addRow(QStringLiteral("Segments to find (0: the bounds given):"), segments_);
    rulesForm->addRow(QString(), ignitionAtZero_);
    rulesForm->addRow(QStringLiteral("Smoothing, samples each side:"), smoothing_);
    rulesForm->addRow(QStringLiteral("Trace starts above, of pmax:"), ignitionFraction_);
    rulesForm->addRow(QStringLiteral("Rates kept above, of pmax:"), lowFraction_);
    rulesForm->addRow(QStringLiteral("Rates kept below, of pmax:"), highFraction_);
    rulesForm->addRow(QStringLiteral("Heat loss h [W/m\u00b2K] (0: none):"), heatLoss_);
    rulesForm->addRow(QStringLiteral("Vessel inner diameter [mm]:"), innerDiameter_);
    rulesForm->addRow(QStringLiteral("Wall temperature [\u00b0C]:"), wallTemperature_);

    reduce_ = named(new QPushButton(QStringLiteral("Reduce"), this), "VesselReduce");
    progress_ = named(new QProgressBar(this), "VesselProgress");
    progress_->setRange(0, 1);
    progress_->setValue(0);
    results_ = named(new QPlainTextEdit(this), "VesselResults");
    results_->setReadOnly(true);
    picture_ = named(new QComboBox(this), "VesselPicture");
    for (const char* name : kPictures)
        picture_->addItem(QString::fromUtf8(name));
    graf_ = named(new PlotView(plot_, this), "VesselPlot");
    savePicture_ = named(new QPushButton(QStringLiteral("Save Picture..."), this), "VesselSavePicture");
    save_ = named(new QPushButton(QStringLiteral("Save to propellant library"), this), "VesselSave");
    savePicture_->setEnabled(false);
    save_->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(firingTable_, 1);
    left->addLayout(tableButtons);
    left->addLayout(rulesForm);
    auto* run = new QHBoxLayout;
    run->addWidget(reduce_);
    run->addWidget(progress_, 1);
    left->addLayout(run);
    left->addWidget(results_, 1);
    auto* right = new QVBoxLayout;
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(picture_, 1);
    pictureRow->addWidget(savePicture_);
    right->addLayout(pictureRow);
    right->addWidget(graf_, 1);
    right->addWidget(save_);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(inputRow);
    all->addLayout(columns, 1);

    connect(browse, &QPushButton::clicked, this, &ClosedVesselWindow::chooseInput);
    connect(add, &QPushButton::clicked, this, &ClosedVesselWindow::chooseTraces);
    connect(remove, &QPushButton::clicked, this, &ClosedVesselWindow::removeFiring);
    connect(reduce_, &QPushButton::clicked, this, &ClosedVesselWindow::reduceOrStop);
    connect(picture_, &QComboBox::currentIndexChanged, this, &ClosedVesselWindow::drawPicture);
    connect(graf_, &PlotView::resized, this, &ClosedVesselWindow::resizePlot);
    connect(savePicture_, &QPushButton::clicked, this, &ClosedVesselWindow::savePicture);
    connect(save_, &QPushButton::clicked, this, &ClosedVesselWindow::saveToLibrary);
}

void ClosedVesselWindow::chooseInput()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Propellant, igniter and grain"), {},
                                                      QStringLiteral("Reports and input files (*.txt *.json)"));
    if (!path.isEmpty())
        input_->setText(path);
}

void ClosedVesselWindow::chooseTraces()
{
    addTraces(QFileDialog::getOpenFileNames(this, QStringLiteral("Pressure traces"), {},
                                            QStringLiteral("CSV traces (*.csv)")));
}

void ClosedVesselWindow::addTraces(const QStringList& paths)
{
    for (const QString& path : paths) {
        const int row = firingTable_->rowCount();
        firingTable_->insertRow(row);
        firingTable_->setItem(row, kFile, new QTableWidgetItem(path));
        for (int c = kVolume; c < kColumns; ++c)
            firingTable_->setItem(row, c, new QTableWidgetItem());
    }
}

void ClosedVesselWindow::removeFiring()
{
    if (firingTable_->currentRow() >= 0)
        firingTable_->removeRow(firingTable_->currentRow());
}

std::vector<vessel::Firing> ClosedVesselWindow::firingsFromTable() const
{
    std::vector<vessel::Firing> firings;
    for (int row = 0; row < firingTable_->rowCount(); ++row) {
        const QString label = QStringLiteral("Firing %1").arg(row + 1);
        const auto volume = numberIn(cellText(firingTable_, row, kVolume), label + QStringLiteral(" volume"));
        const auto charge = numberIn(cellText(firingTable_, row, kCharge), label + QStringLiteral(" charge"));
        if (!volume || !charge || !(*volume > 0) || !(*charge > 0))
            throw std::runtime_error(label.toStdString() + " needs a positive volume and charge");
        vessel::TypedFiring typed{*volume, *charge};
        typed.temperature = numberIn(cellText(firingTable_, row, kTemperature), label + QStringLiteral(" temperature"));
        typed.start = numberIn(cellText(firingTable_, row, kStart), label + QStringLiteral(" start"));
        typed.end = numberIn(cellText(firingTable_, row, kEnd), label + QStringLiteral(" end"));
        vessel::Firing f = typed.firing(localPath(cellText(firingTable_, row, kFile)));
        std::ifstream file(f.name);
        if (!file)
            throw std::runtime_error("cannot read " + f.name);
        f.trace = vessel::readTraceCsv(file);
        firings.push_back(std::move(f));
    }
    if (firings.empty())
        throw std::runtime_error("add the traces of the firings first");
    return firings;
}

vessel::ReductionOptions ClosedVesselWindow::optionsFromFields() const
{
    vessel::TypedReduction typed;
    for (const QString& bound : bounds_->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        typed.pLow.push_back(*numberIn(bound, QStringLiteral("Segment bounds")));
    typed.segments = segments_->value();
    typed.ignitionAtZero = ignitionAtZero_->isChecked();
    vessel::ReductionSettings& rules = typed.settings;
    rules.smoothingHalfWidth = smoothing_->value();
    rules.ignitionFraction = numberIn(ignitionFraction_->text(), QStringLiteral("Trace start")).value_or(0);
    rules.lowFraction = numberIn(lowFraction_->text(), QStringLiteral("Rates above")).value_or(0);
    rules.highFraction = numberIn(highFraction_->text(), QStringLiteral("Rates below")).value_or(1);
    vessel::TypedHeatLoss& heat = typed.heatLoss;
    heat.coefficient = numberIn(heatLoss_->text(), QStringLiteral("Heat loss")).value_or(heat.coefficient);
    heat.innerDiameter =
        numberIn(innerDiameter_->text(), QStringLiteral("Vessel inner diameter")).value_or(heat.innerDiameter);
    heat.wallTemperature =
        numberIn(wallTemperature_->text(), QStringLiteral("Wall temperature")).value_or(heat.wallTemperature);
    const vessel::ReductionOptions options = typed.options();
    if (const std::string problem = options.heatLoss.problem(); !problem.empty())
        throw std::runtime_error(problem);
    return options;
}

void ClosedVesselWindow::reduceOrStop()
{
    if (thread_) {
        stop_->store(true);
        return;
    }
    try {
        firings_ = firingsFromTable();
        options_ = optionsFromFields();
        propellant_ = study::readBaseReport(localPath(input_->text()));
        if (const auto igniter = numberIn(igniter_->text(), QStringLiteral("Igniter")))
            propellant_.CI = *igniter * kGramToKilogram;  // the vessel's, not the gun's
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(e.what()));
        return;
    }
    stop_ = std::make_shared<std::atomic<bool>>(false);
    outcome_ = std::make_shared<Outcome>();
    options_.stop = stop_.get();
    // The worker gets copies and the shared outcome; nothing of the window is touched off
    // the GUI thread, and no exception leaves it.
    thread_.reset(QThread::create([firings = firings_, options = options_, propellant = propellant_,
                                   outcome = outcome_, stop = stop_] {
        try {
            outcome->reduction = vessel::reduceFirings(firings, propellant, options);
            for (std::size_t i = 0; i < firings.size() && !stop->load(); ++i)
                outcome->again.push_back(vessel::resimulateFiring(firings, i, *outcome->reduction, propellant));
        } catch (const std::exception& e) {
            outcome->reduction.reset();
            outcome->error = e.what();
        }
    }));
    connect(thread_.get(), &QThread::finished, this, &ClosedVesselWindow::showReduction);
    reduce_->setText(QStringLiteral("Stop"));
    progress_->setRange(0, 0);  // busy: a least-squares fit has no count of steps
    save_->setEnabled(false);
    thread_->start();
}

void ClosedVesselWindow::showReduction()
{
    thread_->wait();
    thread_.reset();
    reduce_->setText(QStringLiteral("Reduce"));
    progress_->setRange(0, 1);
    progress_->setValue(1);
    reduction_ = outcome_->reduction;
    again_ = outcome_->again;
    if (!reduction_ || again_.size() != firings_.size()) {
        reduction_.reset();
        results_->setPlainText(QString::fromStdString(
            outcome_->error.empty() ? std::string("the reduction was stopped") : outcome_->error));
    } else {
        results_->setPlainText(QString::fromStdString(vessel::reductionText(firings_, *reduction_, again_)));
    }
    save_->setEnabled(reduction_.has_value());
    savePicture_->setEnabled(reduction_.has_value());
    drawPicture();
    emit reductionFinished();
}

void ClosedVesselWindow::drawPicture()
{
    if (!reduction_)
        return;
    switch (picture_->currentIndex()) {
    case 0: vessel::plotTraces(plot_, firings_, *reduction_); break;
    case 1: vessel::plotBurningRate(plot_, *reduction_); break;
    case 2: vessel::plotVivacity(plot_, firings_, *reduction_); break;
    default: vessel::plotResiduals(plot_, firings_, again_); break;
    }
    graf_->update();
}

// The plot fills the view: the picture is drawn again at the view's size.
void ClosedVesselWindow::resizePlot(int width, int height)
{
    runCommand(this, [&] {
        if (plot::ResizePlot(plot_, width, height, graf_->devicePixelRatioF()))
            graf_->update();
    });
}

void ClosedVesselWindow::savePicture()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Picture"), {}, kPlotFileFilter);
    if (path.isEmpty())
        return;
    try {
        ui::savePlot(plot_, path, plotFormatOf(path), 2);
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(e.what()));
    }
}

void ClosedVesselWindow::saveToLibrary()
{
    if (!reduction_)
        return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Save to propellant library"),
                                               QStringLiteral("Name of the propellant:"), QLineEdit::Normal, {}, &ok);
    if (!ok || name.trimmed().isEmpty())
        return;
    try {
        std::vector<std::string> checksums;
        for (const vessel::Firing& f : firings_)
            checksums.push_back(vessel::fileSha256(f.name));
        const Propellant row =
            vessel::reducedPropellantRow(name.trimmed().toStdString(), firings_, checksums, propellant_, options_,
                                         *reduction_, vessel::isoDateUtc(std::chrono::system_clock::now()));
        report::savePropellantToLibrary(row);
        results_->appendPlainText(QStringLiteral("saved as \"%1\" in the propellant library").arg(name.trimmed()));
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(e.what()));
    }
}

}  // namespace kalvex::ui
