#include "ui/GrainPage.h"

#include "ui/FieldColumns.h"
#include "ui/FieldRegistry.h"
#include "ui/PictureLabel.h"
#include "ui/Pictures.h"
#include "ui/RadioGroup.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QLineEdit>

namespace kalvex::ui {
namespace {

// The blanks line the digits up under each other in the window's proportional font.
const QStringList kGrainTypeCaptions{
    QStringLiteral("Spherical           1"), QStringLiteral("Slab                  2"),
    QStringLiteral("Cylinder             3"), QStringLiteral("Tube                 4"),
    QStringLiteral("Slotted Stick     5"),    QStringLiteral("7-perforated      6"),
    QStringLiteral("19-perforated    7"),
};

constexpr std::array<FieldRow, 4> kSizeRows{{
    {"Edit42", "D:", "mm"},
    {"Edit43", "L:", "mm"},
    {"Edit44", "P:", "mm"},
    {"Edit45", "SW:", "mm"},
}};

// The size rows D, L, P, SW in their order on the page.
constexpr std::array<GrainSize, 4> kRowSizes{GrainSize::D, GrainSize::L, GrainSize::P, GrainSize::SW};

// Every grain sketch has this size and stands in the same place.
constexpr QSize kPictureSize{200, 160};

}  // namespace

GrainPage::GrainPage(FieldRegistry& fields, QWidget* parent)
    : QWidget(parent),
      selector_(new RadioGroup(QStringLiteral("Type of Grains"), kGrainTypeCaptions, this))
{
    selector_->setObjectName(QStringLiteral("RadioGroup1"));
    selector_->setItemIndex(kStartGrainType - 1);

    auto* sizes = new QGridLayout;
    sizes->setHorizontalSpacing(4);
    sizes->setVerticalSpacing(2);
    addFieldRows(*sizes, 0, 0, kSizeRows, fields, this);
    for (int row = 0; row < 4; ++row) {
        rows_[row].caption = qobject_cast<QLabel*>(sizes->itemAtPosition(row, 0)->widget());
        rows_[row].field = fields.field(kSizeRows[row].control);
        rows_[row].unit = qobject_cast<QLabel*>(sizes->itemAtPosition(row, 2)->widget());
    }
    sizes->setRowStretch(4, 1);

    auto* pictureCell = new QGridLayout;
    for (int type = kFirstGrainType; type <= kLastGrainType; ++type) {
        QLabel* picture = pictureLabel(grainPicture(type), QStringLiteral("GrainPicture%1").arg(type),
                                       kPictureSize, this);
        pictureCell->addWidget(picture, 0, 0, Qt::AlignLeft | Qt::AlignTop);
        pictures_[type - 1] = picture;
    }

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(selector_, 0, Qt::AlignTop);
    row->addLayout(sizes);
    row->addLayout(pictureCell);
    row->addStretch(1);
    componentNote_ = new QLabel(this);
    componentNote_->setObjectName(QStringLiteral("GrainComponentNote"));
    componentNote_->hide();  // a charge of one component: the page as it always was
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(row, 1);
    column->addWidget(componentNote_);
    showGrainType(kStartGrainType);
}

void GrainPage::showComponentCount(std::size_t count)
{
    componentNote_->setVisible(count > 1);
    componentNote_->setText(
        QStringLiteral("The grain of component 1 of %1; the others' grains: \u201cCharge Components\u2026\u201d on the "
                       "powder page.")
            .arg(count));
}

void GrainPage::showGrainType(int grainType)
{
    for (SizeRow& row : rows_) {
        row.caption->hide();
        row.field->hide();
        row.unit->hide();
    }
    for (QLabel* picture : pictures_)
        picture->hide();
    if (!isGrainType(grainType))
        return;
    pictures_[static_cast<std::size_t>(grainType - kFirstGrainType)]->show();
    for (std::size_t i = 0; i < kRowSizes.size(); ++i) {
        if (!grainTypeUses(grainType, kRowSizes[i]))
            continue;
        rows_[i].caption->show();
        rows_[i].field->show();
        rows_[i].unit->show();
    }
}

bool GrainPage::sizeRowVisible(int row) const
{
    const SizeRow& r = rows_.at(static_cast<std::size_t>(row));
    return !r.caption->isHidden() && !r.field->isHidden() && !r.unit->isHidden();
}

bool GrainPage::pictureVisible(int grainType) const
{
    return !pictures_.at(static_cast<std::size_t>(grainType - 1))->isHidden();
}

}  // namespace kalvex::ui
