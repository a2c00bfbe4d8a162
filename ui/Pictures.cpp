#include "ui/Pictures.h"

#include "core/model/GrainTypes.h"
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
    const auto info = grainTypeInfo(grainType);
    if (!info)
        return {};
    return embeddedPicture(QString::fromLatin1(info->picture));
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
