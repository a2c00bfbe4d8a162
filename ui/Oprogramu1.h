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

    QLabel* Label3 = nullptr;  // title
    QLabel* Label8 = nullptr;  // version
    QLabel* Label1 = nullptr;  // date
    QLabel* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace kalvex::ui
