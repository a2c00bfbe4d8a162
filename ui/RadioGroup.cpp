#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kalvex::ui {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, title.isEmpty() ? 4 : 2, 6, 4);
    column->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], this);
        group_->addButton(radio, i);
        column->addWidget(radio);
        items_.push_back(radio);
    }
    column->addStretch(1);
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

void RadioGroup::setItemHeight(int pixels)
{
    for (QRadioButton* radio : items_)
        radio->setFixedHeight(pixels);
}

int RadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* button = group_->button(index))
        button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const
{
    return items_.at(static_cast<std::size_t>(index));
}

}  // namespace kalvex::ui
