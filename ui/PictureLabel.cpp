#include "ui/PictureLabel.h"

#include <QLabel>
#include <QPixmap>

namespace kalvex::ui {

QLabel* pictureLabel(const QImage& image, const QString& objectName, QSize size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedSize(size);
    label->setAlignment(Qt::AlignCenter);
    if (!image.isNull())
        label->setPixmap(QPixmap::fromImage(image));
    return label;
}

}  // namespace kalvex::ui
