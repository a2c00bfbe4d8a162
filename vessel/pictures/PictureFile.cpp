#include "vessel/pictures/PictureFile.h"

#include "plotexport/PlotExport.h"

#include <filesystem>

namespace kalvex::vessel {

namespace {
constexpr double kPngPixelRatio = 2;  // device pixels per logical pixel of the plot
}  // namespace

void savePicture(const plot::PlotState& plot, const std::string& path)
{
    const bool svg = std::filesystem::path(path).extension() == ".svg";
    plot::savePlot(plot, path, svg ? plot::PlotFormat::svg : plot::PlotFormat::png, kPngPixelRatio);
}

}  // namespace kalvex::vessel
