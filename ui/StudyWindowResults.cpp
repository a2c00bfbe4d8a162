// The Study window's results: the table of a solve or fit, the statistics of a tolerance
// study, and the plot of each kind.
#include "ui/StudyWindow.h"

#include "plot/StudyPlots.h"
#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/StudyCsv.h"
#include "study/ToleranceStats.h"
#include "ui/FieldNumbers.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/StudyRunner.h"
#include "ui/StudyTableModel.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace kalvex::ui {
namespace {

constexpr int kMostCurves = plot::kSlotCount;  // a grid sweep draws one curve per value of its second axis

std::string unitOf(std::string_view name)
{
    return std::string(study::findParameter(name).unit);
}

// A parameter's caption with its unit, for an axis title.
std::string parameterTitle(std::string_view name)
{
    const study::Parameter p = name == study::kPropellantParameter ? study::kPropellantAxis : study::findParameter(name);
    return std::string(p.caption) + " [" + std::string(p.unit) + "]";
}

QString fixed(double value)
{
    return std::isnan(value) ? QStringLiteral("-") : QString::number(value, 'g', 6);
}

}  // namespace

void StudyWindow::showFinishedRun()
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

void StudyWindow::showSolveResult()
{
    const study::SolveResult& r = *runner_->solveResult();
    const study::SolveSpec& spec = ran_.solve;
    // the columns of a study's rows for the solved parameter, without the run number
    std::vector<std::string> columns = study::csvColumns({study::findParameter(spec.parameter)});
    columns.erase(columns.begin());
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

void StudyWindow::showFitResult()
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

// --- Plot ---------------------------------------------------------------------------

void StudyWindow::replotChosenOutput()
{
    replot();
}

void StudyWindow::replot()
{
    const std::size_t output = static_cast<std::size_t>(std::max(0, plotChoice_->currentIndex()));
    const auto outputOf = [output](const study::RowResult& row) { return row.outputs.values[output]; };
    plot_.yTitle = plotChoice_->currentText().toStdString();
    plot_.xTitle.clear();
    if (ran_.kind == study::StudyKind::sweep && !rows_.empty()) {
        // one curve over the first parameter per value of the second (a grid: first axis outer)
        const std::size_t inner = ran_.sweep.size() > 1 ? study::axisValues(ran_.sweep[1]).size() : 1;
        std::vector<plot::CurvePoints> curves(std::min<std::size_t>(inner, kMostCurves));
        for (const study::RowResult& row : rows_) {
            const std::size_t curve = row.index % inner;
            if (curve < curves.size()) {
                curves[curve].x.push_back(row.varied[0]);
                curves[curve].y.push_back(outputOf(row));
                if (row.varied.size() > 1)
                    curves[curve].name = ran_.sweep[1].parameter + " = " + numberText(row.varied[1]).toStdString();
            }
        }
        plot_.xTitle = parameterTitle(ran_.sweep[0].parameter);
        plot::plotCurves(plot_, curves);
    } else if (ran_.kind == study::StudyKind::tolerance && !rows_.empty()) {
        std::vector<double> values;
        for (const study::RowResult& row : rows_)
            values.push_back(outputOf(row));
        plot_.xTitle = plot_.yTitle;
        plot_.yTitle = "samples";
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
        model.name = "model";
        plot_.xTitle = parameterTitle(ran_.solve.parameter);
        std::vector<plot::CurvePoints> curves{model};
        if (plotChoice_->currentData().toString().toStdString() == ran_.solve.output) {
            target = {{ran_.solve.lower, ran_.solve.upper}, {ran_.solve.target, ran_.solve.target}, "target"};
            const double x = runner_->solveResult()->value;
            double bottom = ran_.solve.target;
            for (double y : model.y)
                if (!std::isnan(y))
                    bottom = std::min(bottom, y);
            solution = {{x, x}, {bottom, ran_.solve.target}, "solution"};  // a drop line from the solution
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
        model.name = "model";
        measured.name = "measured";
        measured.markers = true;
        plot_.yTitle = "Muzzle velocity [m/s]";
        if (!ran_.fit.firings.empty() && !ran_.fit.firings[0].inputs.empty())
            plot_.xTitle = parameterTitle(ran_.fit.firings[0].inputs[0].first);
        plot::plotCurves(plot_, {model, measured});
    } else {
        plot::plotCurves(plot_, {});
    }
    graf_->update();
}


}  // namespace kalvex::ui
