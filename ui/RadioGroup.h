#pragma once
#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace kalvex::ui {

// A framed column of mutually exclusive choices with one selected item.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    // Packs the items closer than the style would, for long lists in little room.
    void setItemHeight(int pixels);

    int itemIndex() const;
    // Selects an item without emitting itemClicked; the caller runs the click handler.
    void setItemIndex(int index);
    QRadioButton* item(int index) const;
    int count() const { return static_cast<int>(items_.size()); }

signals:
    // The user clicked an item (also the one already selected).
    void itemClicked(int index);

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> items_;
};

}  // namespace kalvex::ui
