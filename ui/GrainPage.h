#pragma once
#include "core/input/ChargeComponent.h"
#include "core/model/GrainTypes.h"

#include <QWidget>

#include <array>
#include <cstddef>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
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
    // The page's fields hold the charge's first component. With more than one, "Grain of:"
    // chooses the component shown: another's grain is shown read only (its type, sizes and
    // sketch), with a button that asks for the charge table, which edits it.
    void showCharge(const std::vector<ChargeComponent>& others);  // components 2, 3, ...
    void showComponent(std::size_t c);  // 0 for the fields' component
    std::size_t shownComponent() const;

signals:
    void editComponentRequested(std::size_t c);  // 1 for component 2

private:
    struct SizeRow {
        QLabel* caption = nullptr;
        QLineEdit* field = nullptr;
        QLabel* unit = nullptr;
    };
    RadioGroup* selector_;
    std::array<SizeRow, 4> rows_;
    std::array<QLabel*, kGrainTypeCount> pictures_{};
    void showChosenComponent();
    void hideSizesAndSketches();  // hidden fields keep their texts

    int grainType_ = kStartGrainType;
    std::vector<ChargeComponent> others_;
    QWidget* componentRow_ = nullptr;
    QComboBox* componentChoice_ = nullptr;
    QLabel* otherGrain_ = nullptr;
    QPushButton* editOther_ = nullptr;
};

}  // namespace kalvex::ui
