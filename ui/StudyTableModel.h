#pragma once
// The rows of a study for a QTableView: named columns with their units, numbers kept as
// doubles (NaN for a value a run does not have, shown empty) and a message per row.
#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <vector>

namespace kalvex::ui {

class StudyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Empties the table and names its columns; the last column holds the message.
    void reset(const std::vector<std::string>& columns);
    void appendRow(std::vector<double> numbers, const std::string& message);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The values of a numeric column, one per row.
    std::vector<double> column(int index) const;

private:
    struct Row {
        std::vector<double> numbers;
        QString message;
    };
    QStringList columns_;
    std::vector<Row> rows_;
};

}  // namespace kalvex::ui
