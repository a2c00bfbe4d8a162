#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace kalvex::ui {

// The About window: title, version and date beside the program's picture, and a notice text.
// It has no commands; the user closes it with the close box. The main window shows it modally.
class Toprogramu : public QDialog {
    Q_OBJECT
public:
    explicit Toprogramu(QWidget* parent = nullptr);

private:
    QLabel* label3_ = nullptr;  // Label3, title
    QLabel* label8_ = nullptr;  // Label8, version
    QLabel* label1_ = nullptr;  // Label1, date
    QLabel* image1_ = nullptr;  // Image1
    QPlainTextEdit* memo1_ = nullptr;  // Memo1
};

}  // namespace kalvex::ui
