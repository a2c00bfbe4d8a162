#pragma once
// The windows' plot export: the shared picture export (plotexport/PlotExport.h) with the
// dialogs' file names.
#include "plotexport/PlotExport.h"
#include "ui/LocalPath.h"

namespace kalvex::ui {

using plot::kPlotFileFilter;
using plot::PlotFormat;
using plot::plotFormatOf;

// `path` as a file dialog gives it.
inline void savePlot(const plot::PlotState& plot, const QString& path, PlotFormat format, double pixelRatio = 1)
{
    plot::savePlot(plot, localPath(path), format, pixelRatio);
}

}  // namespace kalvex::ui
