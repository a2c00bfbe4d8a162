#include "ui/ButtonPages.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kalvex::ui {

ButtonPages::ButtonPages(QWidget* parent)
    : QWidget(parent), buttons_(new QButtonGroup(this)), buttonRow_(new QHBoxLayout),
      stack_(new QStackedWidget(this))
{
    buttons_->setExclusive(true);
    buttonRow_->setSpacing(2);
    buttonRow_->addStretch(1);
    stack_->setFrameShape(QFrame::StyledPanel);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(buttonRow_);
    column->addWidget(stack_, 1);
    connect(buttons_, &QButtonGroup::idClicked, stack_, &QStackedWidget::setCurrentIndex);
}

int ButtonPages::addPage(const QString& title, QWidget* page)
{
    const int index = stack_->addWidget(page);
    auto* button = new QPushButton(title, this);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    buttons_->addButton(button, index);
    buttonRow_->insertWidget(index, button);
    if (index == 0)
        button->setChecked(true);
    return index;
}

int ButtonPages::currentIndex() const
{
    return stack_->currentIndex();
}

void ButtonPages::setCurrentIndex(int index)
{
    if (QAbstractButton* button = buttons_->button(index)) {
        button->setChecked(true);
        stack_->setCurrentIndex(index);
    }
}

QAbstractButton* ButtonPages::pageButton(int index) const
{
    return buttons_->button(index);
}

int ButtonPages::pageCount() const
{
    return stack_->count();
}

QWidget* ButtonPages::page(int index) const
{
    return stack_->widget(index);
}

}  // namespace kalvex::ui
