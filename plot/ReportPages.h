#pragma once
// The report of a run on A4 pages, for a PDF file or a printer: the weapon's name, the inputs
// by the window's pages with their units, the summary with its energy balance, and the plots.
#include "core/input/BallisticInput.h"
#include "plot/PlotState.h"

#include <QByteArray>

#include <string>
#include <vector>

class QPagedPaintDevice;

namespace kalvex::plot {

struct ReportPages {
    std::string weaponName;             // UTF-8
    BallisticInput input;               // of the run
    std::string inputSetBlock;          // the report file's lines of what the 43 values cannot hold
                                        // (segments, charge temperature, components), '\n' between; "" for a plain set
    std::string summary;                // the run's summary lines, '\n' between them
    std::vector<const PlotState*> plots;  // drawn one under the other, each the page's width
    std::string version;                // "kalvex 1.0"
    std::string date;                   // "2026-12-07"
};

// Paints the pages on a device already set to its page size (A4 for a PDF) at 96 dots per
// inch, the plot's own unit (a QPdfWriter, a QPrinter).
void paintReportPages(QPagedPaintDevice& device, const ReportPages& report);

// The pages as the bytes of a PDF file.
QByteArray reportPdf(const ReportPages& report);

}  // namespace kalvex::plot
