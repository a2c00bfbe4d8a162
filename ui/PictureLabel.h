#pragma once
#include <QImage>
#include <QString>

class QLabel;
class QWidget;

namespace kalvex::ui {

// A static picture of exactly the image's size. A picture that could not be decoded leaves an
// empty frame of the given size rather than stopping the window from opening.
QLabel* pictureLabel(const QImage& image, const QString& objectName, QSize size, QWidget* parent);

}  // namespace kalvex::ui
