#pragma once
// The report of a run as a PDF file or on a printer through the system's dialog.
#include "plot/ReportPages.h"

#include <QString>

class QWidget;

namespace kalvex::ui {

// The program's name and version and today's date, as the report's pages show them.
void stampReportPages(plot::ReportPages& pages);

// Writes the pages as a PDF file, replacing the target only when complete.
void saveReportPdf(const plot::ReportPages& pages, const QString& path);

// Whether the system offers a printer at all.
bool printerAvailable();

// Asks for a printer through the system's dialog and prints the pages; false when cancelled.
bool printReportPages(QWidget* parent, const plot::ReportPages& pages);

}  // namespace kalvex::ui
