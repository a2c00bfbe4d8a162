// What the Start command reads from and writes into the main window.
#include "ui/Vstup1.h"

#include "ui/ExtrasPage.h"
#include "ui/ResultsArea.h"

#include <QCheckBox>
#include <QLocale>
#include <QPlainTextEdit>

namespace kalvex::ui {

std::string Tvstup::fieldText(std::string_view control) const
{
    return fields_.text(control);
}

void Tvstup::setFieldText(std::string_view control, const std::string& text)
{
    fields_.setText(control, text);
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
    // the user's separator, for numbers typed into and written into fields
    const QString point = QLocale::system().decimalPoint();
    const char separator = point.isEmpty() ? '.' : point.front().toLatin1();
    return separator == '\0' ? '.' : separator;
}

void Tvstup::appendLine(const std::string& line)
{
    results_->appendLine(QString::fromUtf8(line));
}

void Tvstup::runCompleted(const RunResults& results)
{
    plotCurrentSelection(results);
}

}  // namespace kalvex::ui
