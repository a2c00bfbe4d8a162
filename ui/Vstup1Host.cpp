// What the Start command reads from and writes into the main window.
#include "ui/Vstup1.h"

#include "core/input/InputFields.h"
#include "plot/UserLocale.h"
#include "ui/ExtrasPage.h"
#include "ui/ResultsArea.h"
#include "ui/RunsWindow.h"
#include "ui/StudyWindow.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include <stdexcept>

namespace kalvex::ui {
namespace {

// The control that shows a parameter; an unknown name is a program fault, as a misspelt control is.
std::string_view controlHolding(std::string_view parameter)
{
    const InputField* field = findInputField(parameter);
    if (!field)
        throw std::out_of_range("no input field holds " + std::string(parameter));
    return field->control;
}

}  // namespace

std::string Tvstup::fieldText(std::string_view parameter) const
{
    return fields_.text(controlHolding(parameter));
}

void Tvstup::setFieldText(std::string_view parameter, const std::string& text)
{
    fields_.setText(controlHolding(parameter), text);
}

int Tvstup::grainType() const
{
    return grainType_;
}

bool Tvstup::heatTransfer() const
{
    return extras_.heatTransfer->isChecked();
}

SummaryOptions Tvstup::summaryOptions() const
{
    SummaryOptions options;
    options.showEnergy = extras_.showEnergy->isChecked();
    options.showGrains = extras_.showGrains->isChecked();
    return options;
}

char Tvstup::decimalSeparator() const
{
    return userDecimalSeparator();
}

void Tvstup::appendLine(const std::string& line)
{
    const QString text = QString::fromUtf8(line);
    results_->appendLine(text);
    if (collectingSummary_)
        lastSummary_.append(text).append(QLatin1Char('\n'));
}

void Tvstup::runCompleted(const RunResults& results)
{
    plotCurrentSelection(results);
    // the lines that follow until the command ends are this run's summary
    lastSummary_.clear();
    collectingSummary_ = true;
}

void linkStudyWindow(StudyWindow& study, Tvstup& mainWindow)
{
    study.setWorkingState(&mainWindow.workingState());
    QObject::connect(&study, &StudyWindow::parameterValueChosen, &mainWindow, &Tvstup::setParameterValue);
}

void linkRunsWindow(RunsWindow& runs, Tvstup& mainWindow)
{
    runs.setWorkingState(&mainWindow.workingState());
    QObject::connect(&mainWindow, &Tvstup::runsChanged, &runs, &RunsWindow::showRuns);
    QObject::connect(&runs, &RunsWindow::savedReportChosen, &mainWindow, &Tvstup::addSavedReportToRuns);
}

}  // namespace kalvex::ui
