// The Study window: its pages and commands, the study they describe, and the run with its
// progress.
#include "ui/StudyWindow.h"

#include "core/results/Errors.h"
#include "core/input/InputFields.h"
#include "study/Parameters.h"
#include "study/StudyCsv.h"
#include "study/StudyJson.h"
#include "ui/Command.h"
#include "ui/LocalPath.h"
#include "ui/PlotView.h"
#include "ui/StudyRunner.h"
#include "ui/StudyTableModel.h"
#include "ui/WorkingState.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
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
constexpr int kSummaryLines = 7;  // a tolerance study's statistics with two failure lines

QPushButton* commandButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

StudyWindow::StudyWindow(QWidget* parent) : QDialog(parent)
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

StudyWindow::~StudyWindow() = default;

void StudyWindow::setWorkingState(const WorkingState* state)
{
    state_ = state;
}

void StudyWindow::buildLayout()
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
    // The status and the summary change while a study runs; their places are fixed so that
    // the buttons above them never move under the mouse.
    status_ = new QLabel(settings);
    status_->setObjectName(QStringLiteral("Label1"));
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    status_->setFixedHeight(status_->fontMetrics().height());
    auto* summaryArea = new QScrollArea(settings);
    summaryArea->setWidgetResizable(true);
    summaryArea->setFrameShape(QFrame::NoFrame);
    summaryArea->setFixedHeight(kSummaryLines * status_->fontMetrics().lineSpacing());
    summary_ = new QLabel(summaryArea);
    summary_->setObjectName(QStringLiteral("Label2"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summaryArea->setWidget(summary_);

    settingsColumn->addWidget(new QLabel(QStringLiteral("Kind of study:"), settings));
    settingsColumn->addWidget(kind_);
    settingsColumn->addWidget(kindPages_, 1);
    settingsColumn->addWidget(base_);
    settingsColumn->addWidget(useMainInputs_);
    settingsColumn->addLayout(commands);
    settingsColumn->addWidget(progress_);
    settingsColumn->addWidget(status_);
    settingsColumn->addWidget(summaryArea);

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
    plotChoice_ = outputBox(plotArea, false, "ComboBox2");
    graf_ = new PlotView(plot_, plotArea);
    graf_->setObjectName(QStringLiteral("Graf1"));
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(new QLabel(QStringLiteral("Plot:"), plotArea));
    choiceRow->addWidget(plotChoice_, 1);
    exportPlot_ = commandButton("Button8", "Export &Plot...", plotArea);
    choiceRow->addWidget(exportPlot_);
    plotColumn->addLayout(choiceRow);
    plotColumn->addWidget(graf_, 1);
    results->addWidget(grid_);
    results->addWidget(plotArea);

    auto* row = new QHBoxLayout(this);
    row->addWidget(settings);
    row->addWidget(results, 1);
}

void StudyWindow::connectHandlers()
{
    connect(kind_, &QComboBox::currentIndexChanged, this, &StudyWindow::showKindPage);
    connect(run_, &QPushButton::clicked, this, &StudyWindow::run);
    connect(cancel_, &QPushButton::clicked, this, &StudyWindow::cancel);
    connect(useValue_, &QPushButton::clicked, this, &StudyWindow::useValue);
    connect(exportCsv_, &QPushButton::clicked, this, &StudyWindow::exportCsv);
    connect(save_, &QPushButton::clicked, this, &StudyWindow::saveStudy);
    connect(open_, &QPushButton::clicked, this, &StudyWindow::openStudy);
    connect(useMainInputs_, &QPushButton::clicked, this, &StudyWindow::useMainWindowInputs);
    connect(plotChoice_, &QComboBox::currentIndexChanged, this, &StudyWindow::replotChosenOutput);
    connect(exportPlot_, &QPushButton::clicked, this, &StudyWindow::exportPlot);
    connect(runner_, &StudyRunner::progressed, this, &StudyWindow::showProgress);
    connect(runner_, &StudyRunner::finished, this, &StudyWindow::showFinishedRun);
    connect(graf_, &PlotView::resized, this, &StudyWindow::resizePlot);
    // a parameter the user picks gets a range around its own base value, in its own unit
    const auto proposeOnChoice = [this](QComboBox* box, QLineEdit* low, QLineEdit* high) {
        connect(box, &QComboBox::activated, this, [this, box, low, high] { proposeRangeFor(*box, low, high); });
    };
    proposeOnChoice(pages_.firstAxis.parameter, pages_.firstAxis.from, pages_.firstAxis.to);
    proposeOnChoice(pages_.secondAxis.parameter, pages_.secondAxis.from, pages_.secondAxis.to);
    proposeOnChoice(pages_.solveParameter, pages_.lower, pages_.upper);
    for (ToleranceRow& row : pages_.scattered)
        proposeOnChoice(row.parameter, row.spread, nullptr);
}

void StudyWindow::proposeRangeFor(const QComboBox& box, QLineEdit* low, QLineEdit* high)
{
    try {
        proposeRange(box, low, high, baseInput());
    } catch (const std::exception&) {
        // fields that cannot be read give no base: the range stays as typed
    }
}

void StudyWindow::showEvent(QShowEvent* event)
{
    static constexpr const char* kProposedProperty = "kalvexProposed";
    if (!property(kProposedProperty).toBool() && state_) {
        setProperty(kProposedProperty, true);
        // ranges around the main window's values, when they can be read
        try {
            proposeAround(pages_, checkedShownInput(*state_));
        } catch (const std::exception&) {
        }
    }
    QDialog::showEvent(event);
}

void StudyWindow::showKindPage(int kind)
{
    kindPages_->setCurrentIndex(kind);
}

void StudyWindow::resizePlot(int width, int height)
{
    runCommand(this, [&] {
        if (plot::ResizePlot(plot_, width, height, graf_->devicePixelRatioF()))
            graf_->update();
    });
}

// --- The study of the pages ------------------------------------------------------------

BallisticInput StudyWindow::baseInput()
{
    if (opened_)
        return study::baseInput(*opened_);
    if (!state_)
        throw InputError("There is no main window to take the inputs from.");
    return checkedShownInput(*state_);  // the Start command's reader and rules, into a copy
}

StudyWindow::StudyText StudyWindow::currentStudy()
{
    study::Study s = readStudyPages(pages_, static_cast<study::StudyKind>(kind_->currentIndex()));
    s.base = baseInput();
    s.heatTransfer = s.base.heatTransfer;
    keepWhatThePagesCannotShow(s);
    // A value in its field's unit, written as text and read back, can move by its last bit,
    // and need not settle on any later round trip. The window runs what it reads back from
    // the very text Save writes, so kalvex-study on the saved file runs the same inputs.
    StudyText settled;
    settled.text = study::studyToJsonText(s);
    settled.study = study::studyFromJsonText(settled.text, localPath(filesFolder()));
    return settled;
}

QString StudyWindow::filesFolder() const
{
    return studyFolder_.isEmpty() ? QDir::currentPath() : studyFolder_;
}

void StudyWindow::keepWhatThePagesCannotShow(study::Study& s) const
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

void StudyWindow::setRunning(bool running)
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

void StudyWindow::run()
{
    runCommand(this, [this] {
        if (runner_->running())
            return;
        const study::Study s = currentStudy().study;
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
        showProgress();
    });
}

void StudyWindow::cancel()
{
    runner_->cancel();
}


void StudyWindow::showProgress()
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

void StudyWindow::showRows(const std::vector<study::RowResult>& rows)
{
    for (const study::RowResult& row : rows) {
        std::vector<double> numbers{static_cast<double>(row.index + 1)};
        numbers.insert(numbers.end(), row.varied.begin(), row.varied.end());
        numbers.insert(numbers.end(), row.outputs.values.begin(), row.outputs.values.end());
        model_->appendRow(std::move(numbers), row.outputs.message);
        rows_.push_back(row);
    }
}


}  // namespace kalvex::ui
