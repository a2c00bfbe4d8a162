#pragma once
#include <QImage>

namespace kalvex::ui {

// The pictures of the windows, embedded in the program as JPEG files and decoded on request.
// A null image means the embedded data could not be read.

// Sketch of grain type 1..7 (all of one size); a null image for any other type.
QImage grainPicture(int grainType);
// Bore resistance br against travel, titled "Bore Resistance due to Friction".
QImage boreResistancePicture();
// The picture of the start and About windows, 265 x 105 pixels.
QImage titlePicture();

}  // namespace kalvex::ui
