#include "ui/RunsWindow.h"

#include "plot/SeriesSelection.h"
#include "plot/StudyPlots.h"
#include "study/Outputs.h"
#include "ui/Command.h"
#include "plot/UserLocale.h"
#include "ui/FieldNumbers.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/WorkingState.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kalvex::ui {
namespace {

constexpr QSize kWindowSize{900, 620};
// The key results side by side, by the study outputs' names.
constexpr study::OutputId kKeyResults[] = {study::OutputId::PmeanMax, study::OutputId::P0Max, study::OutputId::PbMax,
                                           study::OutputId::vMuzzle,  study::OutputId::tBurnout, study::OutputId::efficiency};
constexpr int kFirstResultColumn = 2;  // after "Draw" and "Run"
constexpr int kRunsDrawnAtFirst = 4;   // the newest runs are drawn until the user ticks others
constexpr int kReadableDigits = 5;     // significant digits of the table's results

// A result as a reader compares it: five significant digits, the user's separator.
QString readableNumber(double value)
{
    if (std::isnan(value))
        return QStringLiteral("-");
    if (value == 0 || !std::isfinite(value))
        return numberText(value);
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(kReadableDigits - 1 - magnitude, 0, 12);
    QString text = QString::number(value, 'f', decimals);
    text.replace(QLatin1Char('.'), QLatin1Char(userDecimalSeparator()));
    return text;
}

QString outputHeading(study::OutputId id)
{
    const study::OutputInfo& info = study::outputInfo(id);
    return QStringLiteral("%1 [%2]").arg(QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size())),
                                         QString::fromUtf8(info.unit.data(), static_cast<qsizetype>(info.unit.size())));
}

}  // namespace

RunsWindow::RunsWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("runs"));
    setWindowTitle(QStringLiteral("Runs"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    plot::InitPlot(plot_, PlotView::kDesignWidth * 2, PlotView::kDesignHeight);
    buildLayout();
    resize(kWindowSize);
}

void RunsWindow::setWorkingState(const WorkingState* state)
{
    state_ = state;
    showRuns();
}

void RunsWindow::buildLayout()
{
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("RunsTable"));
    QStringList headings{QStringLiteral("Draw"), QStringLiteral("Run")};
    for (study::OutputId id : kKeyResults)
        headings << outputHeading(id);
    headings << QStringLiteral("Differs in");
    table_->setColumnCount(static_cast<int>(headings.size()));
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);

    quantity_ = new QComboBox(this);
    quantity_->setObjectName(QStringLiteral("RunsQuantity"));
    for (const char* caption : plot::kYAxisCaptions)
        quantity_->addItem(QString::fromUtf8(caption).simplified());
    quantity_->setCurrentIndex(plot::kDefaultYChoice);
    axis_ = new QComboBox(this);
    axis_->setObjectName(QStringLiteral("RunsAxis"));
    for (const char* caption : plot::kXAxisCaptions)
        axis_->addItem(QString::fromUtf8(caption).simplified());
    addReport_ = new QPushButton(QStringLiteral("&Add Saved Report..."), this);
    addReport_->setObjectName(QStringLiteral("RunsAddReport"));
    addReport_->setAutoDefault(false);
    graf_ = new PlotView(plot_, this);
    graf_->setObjectName(QStringLiteral("RunsPlot"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Plot:"), this));
    choices->addWidget(quantity_, 1);
    choices->addWidget(new QLabel(QStringLiteral("over"), this));
    choices->addWidget(axis_);
    choices->addWidget(addReport_);
    auto* plotArea = new QWidget(this);
    auto* plotColumn = new QVBoxLayout(plotArea);
    plotColumn->setContentsMargins(0, 0, 0, 0);
    plotColumn->addLayout(choices);
    plotColumn->addWidget(graf_, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(plotArea);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Tick the runs to draw them together (all %1 at most).").arg(plot::kSlotCount), this));
    column->addWidget(split, 1);

    connect(addReport_, &QPushButton::clicked, this, &RunsWindow::chooseSavedReport);
    connect(quantity_, &QComboBox::currentIndexChanged, this, &RunsWindow::drawTickedRuns);
    connect(axis_, &QComboBox::currentIndexChanged, this, &RunsWindow::drawTickedRuns);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 0)
            drawTickedRuns();
    });
    connect(graf_, &PlotView::resized, this, &RunsWindow::resizePlot);
}

void RunsWindow::showRuns()
{
    if (!state_)
        return;
    const QSignalBlocker quiet(table_);
    const std::deque<KeptRun>& runs = state_->keptRuns;
    const std::vector<std::string> differing = differingInputs(runs);
    QString differs;
    for (const std::string& name : differing)
        differs += (differs.isEmpty() ? QString() : QStringLiteral(", ")) + QString::fromStdString(name);
    table_->setRowCount(static_cast<int>(runs.size()));
    for (int row = 0; row < static_cast<int>(runs.size()); ++row) {
        const KeptRun& run = runs[static_cast<std::size_t>(row)];
        auto* draw = new QTableWidgetItem;
        draw->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        // the newest runs are drawn until the user ticks others
        draw->setCheckState(row >= static_cast<int>(runs.size()) - kRunsDrawnAtFirst ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, 0, draw);
        table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(run.label)));
        const study::RunOutputs& outputs = run.outputs;
        int column = kFirstResultColumn;
        for (study::OutputId id : kKeyResults) {
            const double value = outputs[id];
            auto* cell = new QTableWidgetItem(readableNumber(value));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            cell->setToolTip(numberText(value));  // every digit, on demand
            table_->setItem(row, column++, cell);
        }
        table_->setItem(row, column, new QTableWidgetItem(differs));
    }
    table_->resizeColumnsToContents();
    drawTickedRuns();
}

void RunsWindow::drawTickedRuns()
{
    runCommand(this, [this] {
        if (!state_)
            return;
        const int y = quantity_->currentIndex();
        const int x = axis_->currentIndex();
        std::vector<plot::CurvePoints> curves;
        for (int row = 0; row < table_->rowCount() && static_cast<int>(curves.size()) < plot::kSlotCount; ++row) {
            if (!table_->item(row, 0) || table_->item(row, 0)->checkState() != Qt::Checked)
                continue;
            const KeptRun& run = state_->keptRuns[static_cast<std::size_t>(row)];
            const RunResults& results = *run.results;
            const ResultSeries& xs = results[plot::xAxisSeries(x)];
            const ResultSeries& ys = results[plot::kYAxisSeries[static_cast<std::size_t>(y)]];
            plot::CurvePoints curve;
            curve.name = run.label;
            const int first = x == 1 ? plot::firstMovingRow(results) : 0;
            const int step = plot::seriesStep(results.stepCount);
            for (int i = first; i <= results.stepCount; i += step) {
                curve.x.push_back(xs[static_cast<std::size_t>(i)]);
                curve.y.push_back(ys[static_cast<std::size_t>(i)]);
            }
            curves.push_back(std::move(curve));
        }
        plot_.xTitle = axis_->currentText().toStdString();
        plot_.yTitle = quantity_->currentText().toStdString();
        plot::plotCurves(plot_, curves);
        graf_->update();
    });
}

void RunsWindow::chooseSavedReport()
{
    runCommand(this, [this] {
        OpenFileRequest request;
        request.caption = QStringLiteral("Add Saved Report");
        request.filter = QStringLiteral("Reports (*.txt);;All files (*)");
        const QString path = prompts().openFileName(this, request);
        if (!path.isEmpty())
            emit savedReportChosen(path);
    });
}

void RunsWindow::resizePlot(int width, int height)
{
    runCommand(this, [&] {
        if (plot::ResizePlot(plot_, width, height, graf_->devicePixelRatioF()))
            graf_->update();
    });
}

}  // namespace kalvex::ui
