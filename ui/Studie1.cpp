#include "ui/Studie1.h"

#include "core/Errors.h"
#include "core/InputFields.h"
#include "plot/StudyPlots.h"
#include "report/SafeSave.h"
#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/StudyCsv.h"
#include "study/StudyJson.h"
#include "study/ToleranceStats.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/FieldNumbers.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/StudyRunner.h"
#include "ui/StudyTableModel.h"
#include "ui/Vstup1.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>

namespace kalvex::ui {
namespace {

constexpr QSize kWindowSize{1060, 660};
constexpr int kSettingsWidth = 400;
constexpr int kMostCurves = plot::kSlotCount;  // a grid sweep draws one curve per value of its second axis
constexpr int kSettleRounds = 4;
const QString kStudyFilter = QStringLiteral("Study files (*.json)");

QPushButton* commandButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

std::string unitOf(std::string_view name)
{
    return std::string(study::findParameter(name).unit);
}

QString fixed(double value)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'g', 6);
}

}  // namespace

Tstudie::Tstudie(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("studie"));
    setWindowTitle(QStringLiteral("Study"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);
    plot::InitPlot(plot_, PlotView::kDesignWidth, PlotView::kDesignHeight);
    runner_ = new StudyRunner(this);
    model_ = new StudyTableModel(this);
    buildLayout();
    connectHandlers();
    resize(kWindowSize);
}

Tstudie::~Tstudie() = default;

void Tstudie::setMainWindow(Tvstup* vstup)
{
    vstup_ = vstup;
}

void Tstudie::buildLayout()
{
    auto* settings = new QWidget(this);
    settings->setFixedWidth(kSettingsWidth);
    auto* settingsColumn = new QVBoxLayout(settings);
    settingsColumn->setContentsMargins(0, 0, 0, 0);

    kind_ = new QComboBox(settings);
    kind_->setObjectName(QStringLiteral("ComboBox1"));
    kind_->addItems({QStringLiteral("Sweep of one or two parameters"), QStringLiteral("Solve for a target"),
                     QStringLiteral("Fit to measured firings"), QStringLiteral("Tolerance analysis")});
    pages_ = buildStudyPages(settings);
    kindPages_ = new QStackedWidget(settings);
    for (QWidget* page : {pages_.sweep, pages_.solve, pages_.fit, pages_.tolerancePage})
        kindPages_->addWidget(page);

    base_ = new QLabel(QStringLiteral("Base: the main window's inputs, read at each Run"), settings);
    base_->setObjectName(QStringLiteral("Label3"));
    base_->setWordWrap(true);
    useMainInputs_ = commandButton("Button7", "Use &Main Window's Inputs", settings);

    run_ = commandButton("Button1", "&Run", settings);
    cancel_ = commandButton("Button2", "&Cancel", settings);
    cancel_->setEnabled(false);
    useValue_ = commandButton("Button3", "&Use This Value", settings);
    useValue_->setEnabled(false);
    exportCsv_ = commandButton("Button4", "&Export CSV...", settings);
    exportCsv_->setEnabled(false);
    save_ = commandButton("Button5", "&Save Study...", settings);
    open_ = commandButton("Button6", "&Open Study...", settings);
    auto* commands = new QGridLayout;
    commands->addWidget(run_, 0, 0);
    commands->addWidget(cancel_, 0, 1);
    commands->addWidget(useValue_, 0, 2);
    commands->addWidget(open_, 1, 0);
    commands->addWidget(save_, 1, 1);
    commands->addWidget(exportCsv_, 1, 2);

    progress_ = new QProgressBar(settings);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setValue(0);
    status_ = new QLabel(settings);
    status_->setObjectName(QStringLiteral("Label1"));
    summary_ = new QLabel(settings);
    summary_->setObjectName(QStringLiteral("Label2"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    settingsColumn->addWidget(new QLabel(QStringLiteral("Kind of study:"), settings));
    settingsColumn->addWidget(kind_);
    settingsColumn->addWidget(kindPages_, 1);
    settingsColumn->addWidget(base_);
    settingsColumn->addWidget(useMainInputs_);
    settingsColumn->addLayout(commands);
    settingsColumn->addWidget(progress_);
    settingsColumn->addWidget(status_);
    settingsColumn->addWidget(summary_);

    auto* results = new QSplitter(Qt::Vertical, this);
    grid_ = new QTableView(results);
    grid_->setObjectName(QStringLiteral("Grid1"));
    grid_->setModel(model_);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid_->verticalHeader()->hide();  // the run number is the first column
    grid_->setWordWrap(false);
    auto* plotArea = new QWidget(results);
    auto* plotColumn = new QVBoxLayout(plotArea);
    plotColumn->setContentsMargins(0, 0, 0, 0);
    plotChoice_ = new QComboBox(plotArea);
    plotChoice_->setObjectName(QStringLiteral("ComboBox2"));
    for (const study::OutputInfo& o : study::kOutputInfo)
        plotChoice_->addItem(QStringLiteral("%1 [%2]").arg(QString::fromUtf8(o.caption.data(), o.caption.size()),
                                                           QString::fromUtf8(o.unit.data(), o.unit.size())),
                             QString::fromUtf8(o.name.data(), o.name.size()));
    graf_ = new PlotView(plot_, plotArea);
    graf_->setObjectName(QStringLiteral("Graf1"));
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(new QLabel(QStringLiteral("Plot:"), plotArea));
    choiceRow->addWidget(plotChoice_, 1);
    plotColumn->addLayout(choiceRow);
    plotColumn->addWidget(graf_, 1);
    results->addWidget(grid_);
    results->addWidget(plotArea);

    auto* row = new QHBoxLayout(this);
    row->addWidget(settings);
    row->addWidget(results, 1);
}

void Tstudie::connectHandlers()
{
    connect(kind_, &QComboBox::currentIndexChanged, this, &Tstudie::KindChange);
    connect(run_, &QPushButton::clicked, this, &Tstudie::Button1Click);
    connect(cancel_, &QPushButton::clicked, this, &Tstudie::Button2Click);
    connect(useValue_, &QPushButton::clicked, this, &Tstudie::Button3Click);
    connect(exportCsv_, &QPushButton::clicked, this, &Tstudie::Button4Click);
    connect(save_, &QPushButton::clicked, this, &Tstudie::Button5Click);
    connect(open_, &QPushButton::clicked, this, &Tstudie::Button6Click);
    connect(useMainInputs_, &QPushButton::clicked, this, &Tstudie::Button7Click);
    connect(plotChoice_, &QComboBox::currentIndexChanged, this, &Tstudie::PlotChoiceChange);
    connect(runner_, &StudyRunner::progressed, this, &Tstudie::RunnerProgress);
    connect(runner_, &StudyRunner::finished, this, &Tstudie::RunnerFinished);
    connect(graf_, &PlotView::resized, this, &Tstudie::PlotResize);
}

void Tstudie::showEvent(QShowEvent* event)
{
    static constexpr const char* kProposedProperty = "kalvexProposed";
    if (!property(kProposedProperty).toBool() && vstup_) {
        setProperty(kProposedProperty, true);
        // ranges around the main window's values, when they can be read
        try {
            proposeAround(pages_, vstup_->inputCopy());
        } catch (const std::exception&) {
        }
    }
    QDialog::showEvent(event);
}

void Tstudie::KindChange(int kind)
{
    kindPages_->setCurrentIndex(kind);
}

void Tstudie::PlotResize(int width, int height)
{
    runCommand(this, [&] {
        if (plot::ResizePlot(plot_, width, height, graf_->devicePixelRatioF()))
            graf_->update();
    });
}

// --- The study of the pages ------------------------------------------------------------

BallisticInput Tstudie::baseInput()
{
    if (opened_)
        return study::baseInput(*opened_);
    if (!vstup_)
        throw InputError("There is no main window to take the inputs from.");
    return vstup_->inputCopy();  // the Start command's reader and rules, into a copy
}

study::Study Tstudie::currentStudy()
{
    study::Study s = readStudyPages(pages_, static_cast<study::StudyKind>(kind_->currentIndex()));
    s.base = baseInput();
    s.heatTransfer = s.base.heatTransfer;
    keepWhatThePagesCannotShow(s);
    // A value in its field's unit and back can move by its last bit; after a round trip
    // through the file's text it stays, so the saved file runs what the window ran.
    const std::filesystem::path folder = localPath(studyFolder_.isEmpty() ? QDir::currentPath() : studyFolder_);
    std::string text = study::studyToJsonText(s);
    for (int round = 0; round < kSettleRounds; ++round) {
        std::string again = study::studyToJsonText(study::studyFromJsonText(text, folder));
        if (again == text)
            break;
        text = std::move(again);
    }
    return study::studyFromJsonText(text, folder);
}

void Tstudie::keepWhatThePagesCannotShow(study::Study& s) const
{
    if (!opened_)
        return;
    s.propellant = opened_->propellant;
    // a base report stays the file's base, so the study reads it as kalvex-study does; named
    // by its whole path, so that a study saved into another folder still finds it
    if (!opened_->basePath.empty())
        s.basePath = std::filesystem::absolute(std::filesystem::path(localPath(studyFolder_)) / opened_->basePath)
                         .lexically_normal()
                         .string();
    if (opened_->kind != s.kind)
        return;
    s.description = opened_->description;
    for (std::size_t i = 0; i < s.sweep.size() && i < opened_->sweep.size(); ++i) {
        const study::SweepAxis& axis = opened_->sweep[i];
        const bool listed = !axis.values.empty() || !axis.propellants.empty();
        if (listed && (axis.parameter == study::kPropellantParameter || axis.parameter == s.sweep[i].parameter))
            s.sweep[i] = axis;
    }
}

// --- Run, Cancel, progress -------------------------------------------------------------

void Tstudie::setRunning(bool running)
{
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    open_->setEnabled(!running);
    kind_->setEnabled(!running);
    if (running) {
        useValue_->setEnabled(false);
        exportCsv_->setEnabled(false);
    }
}

void Tstudie::Button1Click()
{
    runCommand(this, [this] {
        if (runner_->running())
            return;
        const study::Study s = currentStudy();
        runner_->start(s);
        ran_ = s;
        rows_.clear();
        usable_.clear();
        summary_->clear();
        if (s.kind == study::StudyKind::sweep || s.kind == study::StudyKind::tolerance)
            model_->reset(study::csvColumns(runner_->varied()));
        else
            model_->reset({});
        const char* shown = s.kind == study::StudyKind::tolerance && s.tolerance.limit
                                ? s.tolerance.limit->output.c_str()
                                : (s.kind == study::StudyKind::tolerance ? "P0Max" : "vMuzzle");
        plotChoice_->setCurrentIndex(std::max(0, plotChoice_->findData(QString::fromUtf8(shown))));
        setRunning(true);
        RunnerProgress();
    });
}

void Tstudie::Button2Click()
{
    runner_->cancel();
}

void Tstudie::RunnerProgress()
{
    const std::vector<study::RowResult> rows = runner_->takeRows();
    showRows(rows);
    const std::size_t total = runner_->total();
    const std::size_t done = runner_->done();
    const double elapsed = runner_->elapsedSeconds();
    if (total > 0) {
        progress_->setRange(0, static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
        const double left = done > 0 ? elapsed / static_cast<double>(done) * static_cast<double>(total - done) : 0;
        status_->setText(done > 0 && done < total
                             ? QStringLiteral("%1 of %2 runs, about %3 s left").arg(done).arg(total).arg(std::ceil(left))
                             : QStringLiteral("%1 of %2 runs").arg(done).arg(total));
    } else if (runner_->running()) {
        progress_->setRange(0, 0);  // a solve or fit: runs one after the other, count unknown
        status_->setText(QStringLiteral("Running, %1 s").arg(std::floor(elapsed)));
    }
    if (!rows.empty())
        replot();
}

void Tstudie::showRows(const std::vector<study::RowResult>& rows)
{
    for (const study::RowResult& row : rows) {
        std::vector<double> numbers{static_cast<double>(row.index + 1)};
        numbers.insert(numbers.end(), row.varied.begin(), row.varied.end());
        numbers.insert(numbers.end(), row.outputs.values.begin(), row.outputs.values.end());
        model_->appendRow(std::move(numbers), row.outputs.message);
        rows_.push_back(row);
    }
}

void Tstudie::RunnerFinished()
{
    setRunning(false);
    progress_->setRange(0, std::max<int>(1, static_cast<int>(runner_->total())));
    progress_->setValue(runner_->total() > 0 ? static_cast<int>(runner_->done()) : 1);
    const bool cancelled = runner_->cancelled();
    if (ran_.kind == study::StudyKind::sweep || ran_.kind == study::StudyKind::tolerance) {
        status_->setText(cancelled ? QStringLiteral("Stopped: %1 of %2 runs finished").arg(rows_.size()).arg(runner_->total())
                                   : QStringLiteral("%1 runs in %2 s").arg(rows_.size()).arg(runner_->elapsedSeconds(), 0, 'f', 1));
        exportCsv_->setEnabled(!rows_.empty());
    } else if (!runner_->error().empty()) {
        status_->setText(cancelled ? QStringLiteral("Stopped") : QStringLiteral("Failed"));
        if (!cancelled)
            prompts().showMessage(this, QString::fromStdString(runner_->error()));
    } else if (ran_.kind == study::StudyKind::solve) {
        showSolveResult();
    } else {
        showFitResult();
    }
    grid_->resizeColumnsToContents();
    replot();
}

void Tstudie::showSolveResult()
{
    const study::SolveResult& r = *runner_->solveResult();
    const study::SolveSpec& spec = ran_.solve;
    std::vector<std::string> columns{spec.parameter + " [" + unitOf(spec.parameter) + "]"};
    for (const study::OutputInfo& o : study::kOutputInfo)
        columns.push_back(std::string(o.name) + " [" + std::string(o.unit) + "]");
    columns.push_back("message [-]");
    model_->reset(columns);
    std::vector<double> numbers{r.value};
    numbers.insert(numbers.end(), r.outputs.values.begin(), r.outputs.values.end());
    model_->appendRow(std::move(numbers), r.outputs.message);
    QString text = QStringLiteral("Solved %1 = %2 %3 for %4 = %5 (%6 runs)")
                       .arg(QString::fromStdString(spec.parameter), numberText(r.value),
                            QString::fromStdString(unitOf(spec.parameter)), QString::fromStdString(spec.output),
                            numberText(spec.target))
                       .arg(r.iterations);
    for (const study::ConstraintCheck& c : r.constraints)
        text += QStringLiteral("\n%1 at most %2: %3, %4")
                    .arg(QString::fromStdString(c.constraint.output), fixed(c.constraint.max.value_or(NAN)),
                         fixed(c.value), c.satisfied ? QStringLiteral("satisfied") : QStringLiteral("NOT satisfied"));
    summary_->setText(text);
    status_->setText(QStringLiteral("Solved"));
    usable_ = {{spec.parameter, r.value}};
    useValue_->setEnabled(true);
}

void Tstudie::showFitResult()
{
    const study::FitResult& r = *runner_->fitResult();
    model_->reset({"firing [-]", "v measured [m/s]", "v model [m/s]", "P measured [MPa]", "P model [MPa]", "message [-]"});
    for (std::size_t i = 0; i < r.firings.size(); ++i) {
        const study::FiringResidual& f = r.firings[i];
        model_->appendRow({static_cast<double>(i + 1), f.measuredVelocity, f.modelVelocity,
                           f.measuredPressure.value_or(NAN), f.measuredPressure ? f.modelPressure : NAN},
                          f.message);
    }
    QString text;
    usable_.clear();
    for (std::size_t i = 0; i < r.values.size() && i < ran_.fit.parameters.size(); ++i) {
        const std::string& name = ran_.fit.parameters[i];
        text += QStringLiteral("%1 = %2 %3 \u00b1 %4\n")
                    .arg(QString::fromStdString(name), numberText(r.values[i]), QString::fromStdString(unitOf(name)),
                         fixed(i < r.standardErrors.size() ? r.standardErrors[i] : NAN));
        usable_.emplace_back(name, r.values[i]);
    }
    text += QStringLiteral("RMS of the velocities: %1 m/s").arg(fixed(r.rmsVelocity));
    if (r.rmsPressure > 0)
        text += QStringLiteral(", of the pressures: %1 MPa").arg(fixed(r.rmsPressure));
    text += QStringLiteral("\n%1 iterations, %2").arg(r.iterations).arg(QString::fromStdString(r.status));
    summary_->setText(text);
    status_->setText(QStringLiteral("Fitted"));
    useValue_->setEnabled(!usable_.empty());
}

// --- Plot ------------------------------------------------------------------------------

void Tstudie::PlotChoiceChange()
{
    replot();
}

void Tstudie::replot()
{
    const std::size_t output = static_cast<std::size_t>(std::max(0, plotChoice_->currentIndex()));
    const auto outputOf = [output](const study::RowResult& row) { return row.outputs.values[output]; };
    if (ran_.kind == study::StudyKind::sweep && !rows_.empty()) {
        // one curve over the first parameter per value of the second (a grid: first axis outer)
        const std::size_t inner = ran_.sweep.size() > 1 ? study::axisValues(ran_.sweep[1]).size() : 1;
        std::vector<plot::CurvePoints> curves(std::min<std::size_t>(inner, kMostCurves));
        for (const study::RowResult& row : rows_) {
            const std::size_t curve = row.index % inner;
            if (curve < curves.size()) {
                curves[curve].x.push_back(row.varied[0]);
                curves[curve].y.push_back(outputOf(row));
            }
        }
        plot::plotCurves(plot_, curves);
    } else if (ran_.kind == study::StudyKind::tolerance && !rows_.empty()) {
        std::vector<double> values;
        for (const study::RowResult& row : rows_)
            values.push_back(outputOf(row));
        std::optional<double> limit;
        if (ran_.tolerance.limit && plotChoice_->currentData().toString().toStdString() == ran_.tolerance.limit->output)
            limit = ran_.tolerance.limit->value;
        const int bins = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(values.size()))), 5, 40);
        plot::plotHistogram(plot_, values, bins, limit);
        study::ToleranceAccumulator statistics(ran_.tolerance.limit);
        for (const study::RowResult& row : rows_)
            statistics.add(row);
        const study::ToleranceSummary sum = statistics.summary();
        const study::OutputStatistics& o = sum.outputs[output];
        QString text = QStringLiteral("%1: mean %2, sd %3, min %4, max %5\npercentiles 1 %6, 5 %7, 50 %8, 95 %9, 99 %10")
                           .arg(plotChoice_->currentText(), fixed(o.mean), fixed(o.standardDeviation), fixed(o.minimum),
                                fixed(o.maximum), fixed(o.p1), fixed(o.p5), fixed(o.p50), fixed(o.p95))
                           .arg(fixed(o.p99));
        if (sum.exceedance)
            text += QStringLiteral("\nAbove %1 %2: %3 of %4, p = %5 (95 %: %6 to %7)")
                        .arg(QString::fromStdString(sum.exceedance->limit.output), fixed(sum.exceedance->limit.value))
                        .arg(sum.exceedance->exceeding)
                        .arg(sum.exceedance->total)
                        .arg(fixed(sum.exceedance->probability), fixed(sum.exceedance->lower), fixed(sum.exceedance->upper));
        for (const auto& [message, count] : sum.failures)
            text += QStringLiteral("\n%1 samples failed: %2").arg(count).arg(QString::fromStdString(message));
        summary_->setText(text);
    } else if (ran_.kind == study::StudyKind::solve && runner_->solveResult()) {
        // the output over the bracket, the target across it and a line down from the solution
        plot::CurvePoints model, target, solution;
        for (const study::RowResult& row : runner_->bracketRows()) {
            model.x.push_back(row.varied[0]);
            model.y.push_back(outputOf(row));
        }
        std::vector<plot::CurvePoints> curves{model};
        if (plotChoice_->currentData().toString().toStdString() == ran_.solve.output) {
            target = {{ran_.solve.lower, ran_.solve.upper}, {ran_.solve.target, ran_.solve.target}};
            const double x = runner_->solveResult()->value;
            double bottom = ran_.solve.target;
            for (double y : model.y)
                if (!std::isnan(y))
                    bottom = std::min(bottom, y);
            solution = {{x, x}, {bottom, ran_.solve.target}};  // a drop line from the solution
            curves.push_back(target);
            curves.push_back(solution);
        }
        plot::plotCurves(plot_, curves);
    } else if (ran_.kind == study::StudyKind::fit && runner_->fitResult()) {
        // model and measured velocity over the value each firing set
        plot::CurvePoints model, measured;
        const study::FitResult& r = *runner_->fitResult();
        for (std::size_t i = 0; i < r.firings.size() && i < ran_.fit.firings.size(); ++i) {
            const double x = ran_.fit.firings[i].inputs.empty() ? static_cast<double>(i + 1)
                                                                : ran_.fit.firings[i].inputs[0].second;
            model.x.push_back(x);
            model.y.push_back(r.firings[i].modelVelocity);
            measured.x.push_back(x);
            measured.y.push_back(r.firings[i].measuredVelocity);
        }
        plot::plotCurves(plot_, {model, measured});
    } else {
        plot::plotCurves(plot_, {});
    }
    graf_->update();
}

// --- Use, export, save, open -----------------------------------------------------------

void Tstudie::Button3Click()
{
    runCommand(this, [this] {
        if (!vstup_)
            return;
        for (const auto& [name, value] : usable_)
            if (const InputField* field = findInputField(name))
                vstup_->setParameterField(*field, value);
    });
}

void Tstudie::Button4Click()
{
    runCommand(this, [this] {
        if (rows_.empty())
            return;
        SaveFileRequest request;
        request.caption = QStringLiteral("Export CSV");
        request.proposedPath = QDir(studyFolder_.isEmpty() ? QDir::currentPath() : studyFolder_)
                                   .filePath(QStringLiteral("%1.csv").arg(study::studyKindName(ran_.kind)));
        request.filter = QStringLiteral("CSV files (*.csv)");
        request.defaultExtension = QStringLiteral("csv");
        const QString path = prompts().saveFileName(this, request);
        if (path.isEmpty())
            return;
        // the bytes kalvex-study writes for the same rows
        report::streamFileSafely(localPath(path), [this](std::ostream& out) {
            study::writeCsvHeader(out, runner_->varied());
            for (const study::RowResult& row : rows_)
                study::writeCsvRow(out, row);
        });
    });
}

void Tstudie::Button5Click()
{
    runCommand(this, [this] {
        const study::Study s = currentStudy();
        SaveFileRequest request;
        request.caption = QStringLiteral("Save Study");
        request.proposedPath = QDir(studyFolder_.isEmpty() ? QDir::currentPath() : studyFolder_)
                                   .filePath(QStringLiteral("%1.json").arg(study::studyKindName(s.kind)));
        request.filter = kStudyFilter;
        request.defaultExtension = QStringLiteral("json");
        const QString path = prompts().saveFileName(this, request);
        if (path.isEmpty())
            return;
        study::saveStudyFile(localPath(path), s);  // with its inputs, ready for kalvex-study
        studyFolder_ = QFileInfo(path).absolutePath();
    });
}

void Tstudie::Button6Click()
{
    runCommand(this, [this] {
        OpenFileRequest request;
        request.caption = QStringLiteral("Open Study");
        request.folder = studyFolder_;
        request.filter = kStudyFilter;
        const QString path = prompts().openFileName(this, request);
        if (path.isEmpty())
            return;
        const study::Study s = study::loadStudyFile(localPath(path));
        studyFolder_ = QFileInfo(path).absolutePath();
        opened_ = s;
        kind_->setCurrentIndex(static_cast<int>(s.kind));
        fillStudyPages(pages_, s);
        base_->setText(QStringLiteral("Base: the inputs of %1").arg(QFileInfo(path).fileName()));
        for (const study::SweepAxis& axis : s.sweep)
            if (!axis.values.empty() || !axis.propellants.empty())
                base_->setText(base_->text() + QStringLiteral("; its lists of values are kept as they are"));
    });
}

void Tstudie::Button7Click()
{
    runCommand(this, [this] {
        opened_.reset();
        base_->setText(QStringLiteral("Base: the main window's inputs, read at each Run"));
        proposeAround(pages_, baseInput());
    });
}

}  // namespace kalvex::ui
