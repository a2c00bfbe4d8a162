#include "ui/PictureLabel.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

namespace kalvex::ui {

QLabel* makePictureLabel(const QImage& picture, QSize room, QWidget* parent)
{
    auto* label = new QLabel(parent);
    const bool tooLarge = picture.width() > room.width() || picture.height() > room.height();
    const QImage shown =
        tooLarge ? picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation) : picture;
    label->setPixmap(QPixmap::fromImage(shown));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace kalvex::ui
