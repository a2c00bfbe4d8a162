#include "vessel/pictures/FileChecksum.h"

#include <QCryptographicHash>
#include <QFile>

#include <stdexcept>

namespace kalvex::vessel {

std::string fileSha256(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        throw std::runtime_error("cannot read " + path + " for its checksum");
    return hash.result().toHex().toStdString();
}

}  // namespace kalvex::vessel
