#include "ui/FieldColumns.h"

#include "ui/FieldRegistry.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace kalvex::ui {

void addFieldRows(QGridLayout& grid, int firstRow, int firstColumn, std::span<const FieldRow> rows,
                  FieldRegistry& fields, QWidget* parent)
{
    int row = firstRow;
    for (const FieldRow& spec : rows) {
        auto* caption = new QLabel(QString::fromUtf8(spec.caption), parent);
        QLineEdit* edit = fields.create(spec.control, QStringLiteral("0"), parent);
        edit->setFixedWidth(kInputFieldWidth);
        caption->setBuddy(edit);
        grid.addWidget(caption, row, firstColumn);
        grid.addWidget(edit, row, firstColumn + 1);
        if (spec.unit)
            grid.addWidget(new QLabel(QString::fromUtf8(spec.unit), parent), row, firstColumn + 2);
        ++row;
    }
}

QWidget* buildTwoColumnPage(std::span<const FieldRow> left, std::span<const FieldRow> right,
                            FieldRegistry& fields)
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    addFieldRows(*grid, 0, 0, left, fields, page);
    // a gap between the unit captions of the left column and the captions of the right one
    grid->setColumnMinimumWidth(3, 4);
    addFieldRows(*grid, 0, 4, right, fields, page);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(static_cast<int>(std::max(left.size(), right.size())), 1);
    return page;
}

}  // namespace kalvex::ui
