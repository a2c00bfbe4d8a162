#include "ui/Pictures.h"

#include "ui/JpegImage.h"

#include <QFile>
#include <QString>

namespace kalvex::ui {
namespace {

QImage embeddedPicture(const QString& name)
{
    QFile file(":/assets/" + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

}  // namespace

QImage grainPicture(int grainType)
{
    if (grainType < 1 || grainType > 7)
        return {};
    return embeddedPicture(QString("grain%1.jpg").arg(grainType));
}

QImage boreResistancePicture()
{
    return embeddedPicture("friction.jpg");
}

QImage titlePicture()
{
    return embeddedPicture("title.jpg");
}

}  // namespace kalvex::ui
