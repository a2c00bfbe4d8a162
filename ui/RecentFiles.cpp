#include "ui/RecentFiles.h"

#include <QSettings>

namespace kalvex::ui {

namespace {
const QString kRecentKey = QStringLiteral("recentReports");
constexpr int kMostRecent = 8;  // entries of the Recent menu
}  // namespace

QStringList recentFiles()
{
    return QSettings().value(kRecentKey).toStringList();
}

void addRecentFile(const QString& path)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kMostRecent)
        paths.removeLast();
    QSettings().setValue(kRecentKey, paths);
}

}  // namespace kalvex::ui
