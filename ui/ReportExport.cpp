#include "ui/ReportExport.h"

#include "report/SafeSave.h"
#include "ui/LocalPath.h"

#include <QDate>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kalvex::ui {
namespace {
constexpr int kReportDotsPerInch = 96;  // the unit the pages are painted in
}  // namespace

void stampReportPages(plot::ReportPages& pages)
{
    pages.version = std::string("kalvex ") + KALVEX_VERSION;
    pages.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
}

void saveReportPdf(const plot::ReportPages& pages, const QString& path)
{
    const QByteArray pdf = plot::reportPdf(pages);
    report::saveBytesSafely(localPath(path), std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

bool printerAvailable()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool printReportPages(QWidget* parent, const plot::ReportPages& pages)
{
    QPrinter printer;
    printer.setResolution(kReportDotsPerInch);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(pages.weaponName));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    plot::paintReportPages(printer, pages);
    return true;
}

}  // namespace kalvex::ui
