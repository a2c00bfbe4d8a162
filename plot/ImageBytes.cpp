#include "plot/ImageBytes.h"

#include <QBuffer>

namespace kalvex::plot {

QByteArray encodeImage(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        return {};
    return bytes;
}

}  // namespace kalvex::plot
