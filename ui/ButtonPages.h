#pragma once
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;
class QStackedWidget;

namespace kalvex::ui {

// Pages chosen by a row of buttons above them: the pressed button marks the page shown.
class ButtonPages : public QWidget {
    Q_OBJECT
public:
    explicit ButtonPages(QWidget* parent = nullptr);

    int addPage(const QString& title, QWidget* page);
    int currentIndex() const;
    void setCurrentIndex(int index);
    QAbstractButton* pageButton(int index) const;
    int pageCount() const;
    QWidget* page(int index) const;

private:
    QButtonGroup* buttons_;
    QHBoxLayout* buttonRow_;
    QStackedWidget* stack_;
};

}  // namespace kalvex::ui
