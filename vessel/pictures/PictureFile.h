#pragma once
// A plot saved as a picture file: PNG at twice the plot's pixels, or SVG in vector form, by
// the file's suffix; both as every export of the program draws (smooth curves, axis titles, a
// legend). Needs a QGuiApplication (offscreen will do) for the fonts.
#include "plot/PlotState.h"

#include <string>

namespace kalvex::vessel {

// Saves through the program's safe save (report::SaveError naming the file on failure);
// InputError when the image cannot be encoded.
void savePicture(const plot::PlotState& plot, const std::string& path);

}  // namespace kalvex::vessel
