#pragma once
#include <QFile>
#include <QString>

#include <string>

namespace kalvex::ui {

// A path from a dialog as the standard library opens it: in the file system's encoding.
inline std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace kalvex::ui
