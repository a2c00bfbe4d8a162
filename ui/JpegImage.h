#pragma once
#include <QByteArray>
#include <QImage>

namespace kalvex::ui {

// Decodes a JPEG stream held in memory with libjpeg. Damaged or truncated data, and data that
// is no JPEG at all, give a null image; the decoder never ends the program.
QImage decodeJpeg(const QByteArray& data);

}  // namespace kalvex::ui
