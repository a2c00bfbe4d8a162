#include "ui/StudyPages.h"

#include "study/Outputs.h"
#include "study/Parameters.h"
#include "ui/FieldNumbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <string_view>

namespace kalvex::ui {
namespace {

constexpr int kFiringRows = 6;  // rows of the measured firings' table
constexpr double kRangeShare = 0.1;  // proposed ranges run 10 % below and above the base
constexpr double kSpreadShare = 0.01;  // a proposed scatter: 1 % of the base value

QString qText(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

// An item of a parameter or output box: "caption [unit]", with the name as its data.
void addNamedItem(QComboBox& box, std::string_view caption, std::string_view unit, std::string_view name)
{
    box.addItem(QStringLiteral("%1 [%2]").arg(qText(caption), qText(unit)), qText(name));
}

constexpr int kShortestCaption = 12;  // characters a squeezed parameter box still shows

QComboBox* parameterBox(QWidget* parent, bool continuousOnly, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    for (const study::Parameter& p : study::allParameters()) {
        if (continuousOnly && !p.continuous())
            continue;
        addNamedItem(*box, p.caption, p.unit, p.name);
    }
    return box;
}

QLineEdit* numberField(QWidget* parent, const char* name, const QString& text = QStringLiteral("0"))
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromUtf8(name));
    return field;
}

void select(QComboBox* box, const std::string& name)
{
    const int at = box->findData(QString::fromStdString(name));
    if (at >= 0)
        box->setCurrentIndex(at);
}

int wholeNumber(const QLineEdit& field)
{
    return static_cast<int>(std::lround(fieldNumber(field)));
}

QWidget* buildSweepPage(StudyPages& pages, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    const auto axisRow = [&](SweepAxisFields& axis, int row, const char* prefix) {
        const std::string p(prefix);
        axis.parameter = parameterBox(page, false, (p + "Parameter").c_str());
        axis.from = numberField(page, (p + "From").c_str());
        axis.to = numberField(page, (p + "To").c_str());
        axis.count = numberField(page, (p + "Count").c_str(), QStringLiteral("5"));
        axis.logarithmic = new QCheckBox(QStringLiteral("Logarithmic"), page);
        grid->addWidget(axis.parameter, row, 0, 1, 4);
        grid->addWidget(new QLabel(QStringLiteral("From"), page), row + 1, 0);
        grid->addWidget(axis.from, row + 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("to"), page), row + 1, 2);
        grid->addWidget(axis.to, row + 1, 3);
        grid->addWidget(new QLabel(QStringLiteral("Runs"), page), row + 2, 0);
        grid->addWidget(axis.count, row + 2, 1);
        grid->addWidget(axis.logarithmic, row + 2, 2, 1, 2);
    };
    grid->addWidget(new QLabel(QStringLiteral("Parameter:"), page), 0, 0, 1, 4);
    axisRow(pages.firstAxis, 1, "Sweep1");
    pages.useSecondAxis = new QCheckBox(QStringLiteral("And a second parameter, on a grid:"), page);
    pages.useSecondAxis->setObjectName(QStringLiteral("SweepUseSecond"));
    grid->addWidget(pages.useSecondAxis, 4, 0, 1, 4);
    axisRow(pages.secondAxis, 5, "Sweep2");
    grid->setRowStretch(8, 1);
    return page;
}

QWidget* buildSolvePage(StudyPages& pages, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* form = new QFormLayout(page);
    pages.solveParameter = parameterBox(page, true, "SolveParameter");
    pages.lower = numberField(page, "SolveLower");
    pages.upper = numberField(page, "SolveUpper");
    pages.solveOutput = outputBox(page, true, "SolveOutput");
    pages.target = numberField(page, "SolveTarget");
    pages.tolerance = numberField(page, "SolveTolerance");
    pages.useConstraint = new QCheckBox(QStringLiteral("Check at most"), page);
    pages.useConstraint->setObjectName(QStringLiteral("SolveUseConstraint"));
    pages.constraintOutput = outputBox(page, false, "SolveConstraintOutput");
    pages.constraintMax = numberField(page, "SolveConstraintMax");
    select(pages.constraintOutput, "P0Max");
    form->addRow(QStringLiteral("Parameter:"), pages.solveParameter);
    form->addRow(QStringLiteral("Bracket from:"), pages.lower);
    form->addRow(QStringLiteral("to:"), pages.upper);
    form->addRow(QStringLiteral("Output:"), pages.solveOutput);
    form->addRow(QStringLiteral("Target:"), pages.target);
    form->addRow(QStringLiteral("Tolerance (0: automatic):"), pages.tolerance);
    form->addRow(pages.useConstraint, pages.constraintOutput);
    form->addRow(QStringLiteral("Largest value:"), pages.constraintMax);
    return page;
}

QWidget* buildFitPage(StudyPages& pages, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* column = new QVBoxLayout(page);
    auto* form = new QFormLayout;
    pages.fitParameter = parameterBox(page, true, "FitParameter");
    select(pages.fitParameter, "beta");
    pages.useSecondFitParameter = new QCheckBox(QStringLiteral("And"), page);
    pages.useSecondFitParameter->setObjectName(QStringLiteral("FitUseSecond"));
    pages.secondFitParameter = parameterBox(page, true, "FitSecondParameter");
    select(pages.secondFitParameter, "F");
    pages.firingParameter = parameterBox(page, false, "FitFiringParameter");
    select(pages.firingParameter, "C");
    // Boxes as wide as their longest parameter's caption would leave the captions beside them
    // no room in the settings column ("Each firing sets:" was cut to "Each firi"): they take the
    // width left, and their popups still show whole captions.
    for (QComboBox* box : {pages.fitParameter, pages.secondFitParameter, pages.firingParameter}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(kShortestCaption);
    }
    form->addRow(QStringLiteral("Fit:"), pages.fitParameter);
    form->addRow(pages.useSecondFitParameter, pages.secondFitParameter);
    form->addRow(QStringLiteral("Each firing sets:"), pages.firingParameter);
    column->addLayout(form);
    pages.firings = new QTableWidget(kFiringRows, 3, page);
    pages.firings->setObjectName(QStringLiteral("FitFirings"));
    pages.firings->setHorizontalHeaderLabels(
        {QStringLiteral("Value set"), QStringLiteral("v measured [m/s]"), QStringLiteral("P measured [MPa]")});
    pages.firings->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    column->addWidget(new QLabel(QStringLiteral("Measured firings (P may stay empty):"), page));
    column->addWidget(pages.firings, 1);
    return page;
}

QWidget* buildTolerancePage(StudyPages& pages, QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("Scatter"), page), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Distribution"), page), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("\u03c3 or \u00b1"), page), 0, 3);
    const char* defaults[] = {"C", "beta", "mp", "T0w"};
    for (std::size_t i = 0; i < pages.scattered.size(); ++i) {
        ToleranceRow& row = pages.scattered[i];
        const std::string n = std::to_string(i + 1);
        row.use = new QCheckBox(page);
        row.use->setObjectName(QString::fromStdString("TolUse" + n));
        row.parameter = parameterBox(page, true, ("TolParameter" + n).c_str());
        row.parameter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        row.parameter->setMinimumContentsLength(14);
        select(row.parameter, defaults[i]);
        row.distribution = new QComboBox(page);
        row.distribution->setObjectName(QString::fromStdString("TolDistribution" + n));
        row.distribution->addItems({QStringLiteral("normal"), QStringLiteral("uniform")});
        row.spread = numberField(page, ("TolSpread" + n).c_str());
        row.spread->setMinimumWidth(70);
        const int r = static_cast<int>(i) + 1;
        grid->addWidget(row.use, r, 0);
        grid->addWidget(row.parameter, r, 1);
        grid->addWidget(row.distribution, r, 2);
        grid->addWidget(row.spread, r, 3);
    }
    pages.samples = numberField(page, "TolSamples", QStringLiteral("200"));
    pages.seed = numberField(page, "TolSeed", QStringLiteral("1"));
    pages.useLimit = new QCheckBox(QStringLiteral("Limit"), page);
    pages.useLimit->setObjectName(QStringLiteral("TolUseLimit"));
    pages.limitOutput = outputBox(page, false, "TolLimitOutput");
    select(pages.limitOutput, "P0Max");
    pages.limitValue = numberField(page, "TolLimitValue");
    grid->addWidget(new QLabel(QStringLiteral("Samples"), page), 5, 0, 1, 2);
    grid->addWidget(pages.samples, 5, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Seed"), page), 6, 0, 1, 2);
    grid->addWidget(pages.seed, 6, 2, 1, 2);
    grid->addWidget(pages.useLimit, 7, 0);
    grid->addWidget(pages.limitOutput, 7, 1, 1, 2);
    grid->addWidget(pages.limitValue, 7, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(8, 1);
    return page;
}

study::SweepAxis readAxis(const SweepAxisFields& axis)
{
    study::SweepAxis a;
    a.parameter = chosenName(*axis.parameter);
    a.from = fieldNumber(*axis.from);
    a.to = fieldNumber(*axis.to);
    a.count = wholeNumber(*axis.count);
    a.logarithmic = axis.logarithmic->isChecked();
    return a;
}

void fillAxis(SweepAxisFields& fields, const study::SweepAxis& axis)
{
    select(fields.parameter, axis.parameter);
    // a list of values shows as its first and last value and its length
    const bool listed = !axis.values.empty();
    showNumber(*fields.from, listed ? axis.values.front() : axis.from);
    showNumber(*fields.to, listed ? axis.values.back() : axis.to);
    showNumber(*fields.count, listed ? static_cast<double>(axis.values.size()) : axis.count);
    fields.logarithmic->setChecked(axis.logarithmic);
}

QString cellText(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item ? item->text().trimmed() : QString();
}

double cellNumber(const QString& text)
{
    QLineEdit reader(text);
    return fieldNumber(reader);
}

void setCell(QTableWidget& table, int row, int column, const QString& text)
{
    table.setItem(row, column, new QTableWidgetItem(text));
}

}  // namespace

QComboBox* outputBox(QWidget* parent, bool solvableOnly, const char* name)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    for (const study::OutputInfo& o : study::kOutputInfo) {
        if (solvableOnly && !o.solvable)
            continue;
        addNamedItem(*box, o.caption, o.unit, o.name);
    }
    return box;
}

std::string chosenName(const QComboBox& box)
{
    return box.currentData().toString().toStdString();
}

StudyPages buildStudyPages(QWidget* parent)
{
    StudyPages pages;
    pages.sweep = buildSweepPage(pages, parent);
    pages.solve = buildSolvePage(pages, parent);
    pages.fit = buildFitPage(pages, parent);
    pages.tolerancePage = buildTolerancePage(pages, parent);
    return pages;
}

study::Study readStudyPages(const StudyPages& pages, study::StudyKind kind)
{
    study::Study s;
    s.kind = kind;
    switch (kind) {
    case study::StudyKind::sweep:
        s.sweep.push_back(readAxis(pages.firstAxis));
        if (pages.useSecondAxis->isChecked())
            s.sweep.push_back(readAxis(pages.secondAxis));
        break;
    case study::StudyKind::solve:
        s.solve.parameter = chosenName(*pages.solveParameter);
        s.solve.lower = fieldNumber(*pages.lower);
        s.solve.upper = fieldNumber(*pages.upper);
        s.solve.output = chosenName(*pages.solveOutput);
        s.solve.target = fieldNumber(*pages.target);
        s.solve.tolerance = fieldNumber(*pages.tolerance);
        if (pages.useConstraint->isChecked())
            s.solve.constraints.push_back({chosenName(*pages.constraintOutput), std::nullopt,
                                           fieldNumber(*pages.constraintMax)});
        break;
    case study::StudyKind::fit: {
        s.fit.parameters.push_back(chosenName(*pages.fitParameter));
        if (pages.useSecondFitParameter->isChecked())
            s.fit.parameters.push_back(chosenName(*pages.secondFitParameter));
        const std::string varied = chosenName(*pages.firingParameter);
        for (int r = 0; r < pages.firings->rowCount(); ++r) {
            const QString value = cellText(*pages.firings, r, 0);
            const QString velocity = cellText(*pages.firings, r, 1);
            if (velocity.isEmpty())
                continue;
            study::Firing firing;
            if (!value.isEmpty())
                firing.inputs.emplace_back(varied, cellNumber(value));
            firing.velocity = cellNumber(velocity);
            if (const QString pressure = cellText(*pages.firings, r, 2); !pressure.isEmpty())
                firing.pressure = cellNumber(pressure);
            s.fit.firings.push_back(firing);
        }
        break;
    }
    case study::StudyKind::tolerance:
        for (const ToleranceRow& row : pages.scattered)
            if (row.use->isChecked())
                s.tolerance.parameters.push_back(
                    {chosenName(*row.parameter),
                     row.distribution->currentIndex() == 0 ? study::Distribution::normal : study::Distribution::uniform,
                     fieldNumber(*row.spread)});
        s.tolerance.samples = wholeNumber(*pages.samples);
        s.tolerance.seed = static_cast<std::uint64_t>(std::max(0, wholeNumber(*pages.seed)));
        if (pages.useLimit->isChecked())
            s.tolerance.limit = study::ExceedanceLimit{chosenName(*pages.limitOutput), fieldNumber(*pages.limitValue)};
        break;
    case study::StudyKind::optimize:
    case study::StudyKind::sensitivity: break;  // run from kalvex-study and Python
    }
    return s;
}

void fillStudyPages(StudyPages& pages, const study::Study& s)
{
    switch (s.kind) {
    case study::StudyKind::sweep:
        if (!s.sweep.empty())
            fillAxis(pages.firstAxis, s.sweep[0]);
        pages.useSecondAxis->setChecked(s.sweep.size() > 1);
        if (s.sweep.size() > 1)
            fillAxis(pages.secondAxis, s.sweep[1]);
        break;
    case study::StudyKind::solve:
        select(pages.solveParameter, s.solve.parameter);
        showNumber(*pages.lower, s.solve.lower);
        showNumber(*pages.upper, s.solve.upper);
        select(pages.solveOutput, s.solve.output);
        showNumber(*pages.target, s.solve.target);
        showNumber(*pages.tolerance, s.solve.tolerance);
        pages.useConstraint->setChecked(!s.solve.constraints.empty() && s.solve.constraints[0].max);
        if (pages.useConstraint->isChecked()) {
            select(pages.constraintOutput, s.solve.constraints[0].output);
            showNumber(*pages.constraintMax, *s.solve.constraints[0].max);
        }
        break;
    case study::StudyKind::fit: {
        if (!s.fit.parameters.empty())
            select(pages.fitParameter, s.fit.parameters[0]);
        pages.useSecondFitParameter->setChecked(s.fit.parameters.size() > 1);
        if (s.fit.parameters.size() > 1)
            select(pages.secondFitParameter, s.fit.parameters[1]);
        pages.firings->clearContents();
        pages.firings->setRowCount(std::max<int>(kFiringRows, static_cast<int>(s.fit.firings.size())));
        for (std::size_t r = 0; r < s.fit.firings.size(); ++r) {
            const study::Firing& f = s.fit.firings[r];
            const int row = static_cast<int>(r);
            if (!f.inputs.empty()) {
                select(pages.firingParameter, f.inputs[0].first);
                setCell(*pages.firings, row, 0, numberText(f.inputs[0].second));
            }
            setCell(*pages.firings, row, 1, numberText(f.velocity));
            if (f.pressure)
                setCell(*pages.firings, row, 2, numberText(*f.pressure));
        }
        break;
    }
    case study::StudyKind::tolerance:
        for (std::size_t i = 0; i < pages.scattered.size(); ++i) {
            ToleranceRow& row = pages.scattered[i];
            row.use->setChecked(i < s.tolerance.parameters.size());
            if (i >= s.tolerance.parameters.size())
                continue;
            const study::ToleranceParameter& p = s.tolerance.parameters[i];
            select(row.parameter, p.parameter);
            row.distribution->setCurrentIndex(p.distribution == study::Distribution::normal ? 0 : 1);
            showNumber(*row.spread, p.spread);
        }
        showNumber(*pages.samples, static_cast<double>(s.tolerance.samples));
        showNumber(*pages.seed, static_cast<double>(s.tolerance.seed));
        pages.useLimit->setChecked(s.tolerance.limit.has_value());
        if (s.tolerance.limit) {
            select(pages.limitOutput, s.tolerance.limit->output);
            showNumber(*pages.limitValue, s.tolerance.limit->value);
        }
        break;
    case study::StudyKind::optimize:
    case study::StudyKind::sensitivity: break;
    }
}

void proposeRange(const QComboBox& box, QLineEdit* low, QLineEdit* high, const BallisticInput& base)
{
    const std::string name = chosenName(box);
    const study::Parameter parameter = study::findParameter(name);
    if (!parameter.field)
        return;  // the grain type and the propellant are picked from lists, not ranges
    const double v = study::parameterValue(base, parameter);
    if (!high) {
        showNumber(*low, v * kSpreadShare);
        return;
    }
    showNumber(*low, v * (1 - kRangeShare));
    showNumber(*high, v * (1 + kRangeShare));
}

void proposeAround(StudyPages& pages, const BallisticInput& base)
{
    proposeRange(*pages.firstAxis.parameter, pages.firstAxis.from, pages.firstAxis.to, base);
    proposeRange(*pages.secondAxis.parameter, pages.secondAxis.from, pages.secondAxis.to, base);
    proposeRange(*pages.solveParameter, pages.lower, pages.upper, base);
    for (ToleranceRow& row : pages.scattered)
        if (fieldNumber(*row.spread) == 0)
            proposeRange(*row.parameter, row.spread, nullptr, base);
}

}  // namespace kalvex::ui
