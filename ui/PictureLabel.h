#pragma once
#include <QSize>

class QImage;
class QLabel;
class QWidget;

namespace kalvex::ui {

// A label showing a picture, scaled down (keeping its proportions) when it is larger than
// the room the page has for it.
QLabel* makePictureLabel(const QImage& picture, QSize room, QWidget* parent);

}  // namespace kalvex::ui
