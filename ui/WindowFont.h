#pragma once
#include <QString>

namespace kalvex::ui {

// The one font family of every window and message box. "Arial" is the face the windows were
// designed with; fontconfig gives its metric twin where Arial itself is missing.
inline const QString kWindowFontFamily = QStringLiteral("Arial");

// Makes the family the application's, so that windows and message boxes that set no font of
// their own use it too. Call once after the QApplication exists.
void useWindowFontFamily();

}  // namespace kalvex::ui
