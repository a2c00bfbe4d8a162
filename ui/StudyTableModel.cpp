#include "ui/StudyTableModel.h"

#include "ui/FieldNumbers.h"

#include <cmath>

namespace kalvex::ui {

void StudyTableModel::reset(const std::vector<std::string>& columns)
{
    beginResetModel();
    columns_.clear();
    for (const std::string& c : columns)
        columns_ << QString::fromStdString(c);
    rows_.clear();
    endResetModel();
}

void StudyTableModel::appendRow(std::vector<double> numbers, const std::string& message)
{
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push_back({std::move(numbers), QString::fromStdString(message)});
    endInsertRows();
}

int StudyTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int StudyTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant StudyTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole))
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    if (column >= row.numbers.size()) {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return row.message;
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    const double value = row.numbers[column];
    // seven significant digits read well in a table; the CSV export keeps every digit
    return std::isnan(value) ? QString() : numberText(QString::number(value, 'g', 7).toDouble());
}

QVariant StudyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < columns_.size() ? columns_[section] : QVariant();
}

std::vector<double> StudyTableModel::column(int index) const
{
    std::vector<double> values;
    values.reserve(rows_.size());
    for (const Row& row : rows_)
        values.push_back(index >= 0 && static_cast<std::size_t>(index) < row.numbers.size()
                             ? row.numbers[static_cast<std::size_t>(index)]
                             : std::nan(""));
    return values;
}

}  // namespace kalvex::ui
