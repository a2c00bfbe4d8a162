#include "ui/FieldColumns.h"
#include "ui/InputPages.h"
#include "ui/PictureLabel.h"
#include "ui/Pictures.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>

#include <array>

namespace kalvex::ui {
namespace {

constexpr std::array<FieldRow, 7> kBoreResistance{{
    {"Edit16", "Down-Tube Resistance Factor:", nullptr},
    {"Edit36", "Travel of Projectile at xe0:", "m"},
    {"Edit37", "Travel of Projectile at xe:", "m"},
    {"Edit38", "Resistive Pressure at x0:", "MPa"},
    {"Edit39", "Resistive Pressure at xe0:", "MPa"},
    {"Edit40", "Resistive Pressure at xe:", "MPa"},
    {"Edit41", "Resistive Pressure at xm:", "MPa"},
}};

// The sketch beside the seven rows of fields.
constexpr QSize kPictureSize{240, 170};

}  // namespace

QWidget* buildFrictionPage(FieldRegistry& fields)
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    addFieldRows(*grid, 0, 0, kBoreResistance, fields, page);

    QLabel* picture =
        pictureLabel(boreResistancePicture(), QStringLiteral("FrictionPicture"), kPictureSize, page);
    grid->setColumnMinimumWidth(3, 10);
    grid->addWidget(picture, 0, 4, static_cast<int>(kBoreResistance.size()) + 1, 1,
                    Qt::AlignLeft | Qt::AlignTop);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(static_cast<int>(kBoreResistance.size()), 1);
    return page;
}

}  // namespace kalvex::ui
