#pragma once
#include <QString>
#include <QStringList>

namespace kalvex::ui {

// The reports last loaded or saved, newest first, kept between sessions in the user's
// settings (QSettings of the organisation and application names set by main).
QStringList recentFiles();
// Puts `path` first; a path already listed moves up, the oldest beyond the limit drops out.
void addRecentFile(const QString& path);

}  // namespace kalvex::ui
