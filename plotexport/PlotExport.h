#pragma once
// A plot written to a file: a PNG image, an SVG drawing or a PDF page, each replacing the
// target only when complete (report::SaveError naming the file and the reason). Needs a
// QGuiApplication (offscreen will do) for the fonts.
#include "plot/PlotState.h"

#include <QByteArray>
#include <QString>

#include <string>

namespace kalvex::plot {

enum class PlotFormat { png, svg, pdf };

// The format a file name asks for by its suffix (any case); PNG for any other.
PlotFormat plotFormatOf(const QString& path);

// The PNG at `pixelRatio` times the plot's pixels; SVG and PDF at the plot's logical size,
// in vector form. All three as every export: smooth curves, axis titles, a legend. Throws
// InputError when the picture cannot be encoded.
QByteArray plotBytes(const PlotState& plot, PlotFormat format, double pixelRatio = 1);

// `path` in the file system's encoding.
void savePlot(const PlotState& plot, const std::string& path, PlotFormat format, double pixelRatio = 1);

// The save dialog's choices for a plot, PNG first.
extern const QString kPlotFileFilter;

}  // namespace kalvex::plot
