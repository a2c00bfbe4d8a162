#pragma once
// A picture encoded in memory, so that it is saved by the program's one safe save routine
// rather than by the toolkit writing the file itself.
#include <QByteArray>
#include <QImage>

namespace kalvex::plot {

// The bytes of `image` in `format` ("PNG", "JPEG"); quality -1 is the format's default.
// Empty when the image cannot be encoded.
QByteArray encodeImage(const QImage& image, const char* format, int quality = -1);

}  // namespace kalvex::plot
