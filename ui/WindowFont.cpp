#include "ui/WindowFont.h"

#include <QApplication>
#include <QFont>

namespace kalvex::ui {

void useWindowFontFamily()
{
    QFont font = QApplication::font();
    font.setFamily(kWindowFontFamily);
    QApplication::setFont(font);
}

}  // namespace kalvex::ui
