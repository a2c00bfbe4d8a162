#include "ui/GrainPage.h"

#include "core/format/Units.h"
#include "ui/FieldColumns.h"
#include "ui/FieldNumbers.h"
#include "ui/FieldRegistry.h"
#include "ui/PictureLabel.h"
#include "ui/Pictures.h"
#include "ui/RadioGroup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

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

    otherGrain_ = new QLabel(this);  // another component's grain, in place of the selector
    otherGrain_->setObjectName(QStringLiteral("OtherComponentGrain"));
    otherGrain_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    editOther_ = new QPushButton(QStringLiteral("Charge Components\u2026"), this);
    editOther_->setObjectName(QStringLiteral("EditComponentGrainButton"));
    editOther_->setAutoDefault(false);
    connect(editOther_, &QPushButton::clicked, this, [this] { emit editComponentRequested(shownComponent()); });
    auto* otherColumn = new QVBoxLayout;
    otherColumn->addWidget(otherGrain_);
    otherColumn->addWidget(editOther_);
    otherColumn->addStretch(1);

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(selector_, 0, Qt::AlignTop);
    row->addLayout(otherColumn);
    row->addLayout(sizes);
    row->addLayout(pictureCell);
    row->addStretch(1);

    // With more than one component: which component's grain the page shows.
    componentRow_ = new QWidget(this);
    componentChoice_ = new QComboBox(componentRow_);
    componentChoice_->setObjectName(QStringLiteral("GrainComponentChoice"));
    auto* choiceRow = new QHBoxLayout(componentRow_);
    choiceRow->setContentsMargins(0, 0, 0, 0);
    choiceRow->addWidget(new QLabel(QStringLiteral("Grain of:"), componentRow_));
    choiceRow->addWidget(componentChoice_);
    choiceRow->addStretch(1);
    componentRow_->hide();  // a charge of one component: the page as it always was
    connect(componentChoice_, &QComboBox::currentIndexChanged, this, [this] { showChosenComponent(); });

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(row, 1);
    column->addWidget(componentRow_);
    showChosenComponent();
}

void GrainPage::showCharge(const std::vector<ChargeComponent>& others)
{
    // called at every edit of a field: nothing changes, not even the focus, unless the charge did
    if (others == others_ && componentChoice_->count() == static_cast<int>(others.size()) + 1)
        return;
    others_ = others;
    const QSignalBlocker quiet(componentChoice_);
    const int shown = componentChoice_->currentIndex();
    componentChoice_->clear();
    for (std::size_t c = 0; c <= others.size(); ++c)
        componentChoice_->addItem(c == 0 ? QStringLiteral("Component 1 (the fields)") : QStringLiteral("Component %1").arg(c + 1));
    componentChoice_->setCurrentIndex(shown >= 0 && shown < componentChoice_->count() ? shown : 0);
    componentRow_->setVisible(!others.empty());
    showChosenComponent();
}

void GrainPage::showComponent(std::size_t c)
{
    if (c < static_cast<std::size_t>(componentChoice_->count()))
        componentChoice_->setCurrentIndex(static_cast<int>(c));
}

std::size_t GrainPage::shownComponent() const
{
    return componentChoice_->currentIndex() > 0 ? static_cast<std::size_t>(componentChoice_->currentIndex()) : 0;
}

void GrainPage::showChosenComponent()
{
    const std::size_t c = shownComponent();
    if (c == 0 || c > others_.size()) {
        otherGrain_->hide();
        editOther_->hide();
        selector_->show();
        showGrainType(grainType_);
        return;
    }
    // another component's grain, read only: the charge table edits it
    const ChargeComponent& other = others_[c - 1];
    selector_->hide();
    hideSizesAndSketches();
    QString text = QStringLiteral("Component %1").arg(c + 1);
    if (const auto info = grainTypeInfo(other.grainType)) {
        text += QStringLiteral("\n%1 (%2)").arg(QString::fromUtf8(info->name)).arg(other.grainType);
        pictures_[static_cast<std::size_t>(other.grainType - kFirstGrainType)]->show();
    }
    const std::array<double, 4> sizes{other.D, other.L, other.P, other.SW};
    for (std::size_t i = 0; i < kRowSizes.size(); ++i)
        if (i == 0 || grainTypeUses(other.grainType, kRowSizes[i]))
            text += QStringLiteral("\n%1 %2 mm").arg(QString::fromUtf8(kSizeRows[i].caption)).arg(numberText(sizes[i] * kMetreToMillimetre));
    otherGrain_->setText(text);
    otherGrain_->show();
    editOther_->show();
}

void GrainPage::hideSizesAndSketches()
{
    for (SizeRow& row : rows_) {
        row.caption->hide();
        row.field->hide();
        row.unit->hide();
    }
    for (QLabel* picture : pictures_)
        picture->hide();
}

void GrainPage::showGrainType(int grainType)
{
    grainType_ = grainType;
    if (shownComponent() != 0)
        return;  // the fields' grain shows again when component 1 is chosen
    hideSizesAndSketches();
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
