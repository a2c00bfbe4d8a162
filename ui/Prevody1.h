#pragma once
#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace kalvex::ui {

// "Unit Conversion": nine groups of two fields; the arrow buttons convert the upper field into
// the lower one (down) or back (up). Works on its own fields only.
class Tprevody : public QDialog {
    Q_OBJECT
public:
    explicit Tprevody(QWidget* parent = nullptr);

    QLineEdit* edit(int n) const;       // Edit1 .. Edit18
    QPushButton* bitBtn(int n) const;   // BitBtn1 .. BitBtn18

private:
    void buildGroups();
    void connectButtons();
    void setTabChain();
    // Reads the button's source field, converts and writes the target field (BitBtn<n>).
    void convertWith(int button);

    std::array<QLineEdit*, 19> edits_{};       // index = n of Edit<n>; 0 unused
    std::array<QPushButton*, 19> bitBtns_{};   // index = n of BitBtn<n>; 0 unused
};

}  // namespace kalvex::ui
