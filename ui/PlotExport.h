#pragma once
// A plot written to a file: a PNG image, an SVG drawing or a PDF page, each replacing the
// target only when complete (SaveError naming the file and the reason).
#include "plot/PlotState.h"

#include <QString>

namespace kalvex::ui {

enum class PlotFormat { png, svg, pdf };

// The format a file name asks for by its suffix; PNG for any other.
PlotFormat plotFormatOf(const QString& path);

// The PNG at `pixelRatio` times the plot's pixels; SVG and PDF at the plot's logical size,
// in vector form. All three as every export: smooth curves, axis titles, a legend.
void savePlot(const plot::PlotState& plot, const QString& path, PlotFormat format, double pixelRatio = 1);

// The save dialog's choices for a plot, PNG first.
extern const QString kPlotFileFilter;

}  // namespace kalvex::ui
