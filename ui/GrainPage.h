#pragma once
#include "core/model/GrainTypes.h"

#include <QWidget>

#include <array>
#include <cstddef>

class QLabel;
class QLineEdit;

namespace kalvex::ui {

class FieldRegistry;
class RadioGroup;

inline constexpr int kStartGrainType = static_cast<int>(GrainType::slab);

// The "Grains Sizes" page: the grain-type selector, the size rows D, L, P, SW (in mm) and a
// sketch of the selected grain shape.
class GrainPage : public QWidget {
    Q_OBJECT
public:
    explicit GrainPage(FieldRegistry& fields, QWidget* parent = nullptr);

    RadioGroup* selector() const { return selector_; }
    // Shows the sketch of the type and only the size rows that the shape has;
    // hidden fields keep their texts.
    void showGrainType(int grainType);
    bool sizeRowVisible(int row) const;  // 0 D, 1 L, 2 P, 3 SW
    bool pictureVisible(int grainType) const;
    // The page's fields hold the charge's first component; with more than one, a line says so
    // and where the others' grains are.
    void showComponentCount(std::size_t count);

private:
    struct SizeRow {
        QLabel* caption = nullptr;
        QLineEdit* field = nullptr;
        QLabel* unit = nullptr;
    };
    RadioGroup* selector_;
    std::array<SizeRow, 4> rows_;
    std::array<QLabel*, kGrainTypeCount> pictures_{};
    QLabel* componentNote_ = nullptr;
};

}  // namespace kalvex::ui
