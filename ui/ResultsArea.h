#pragma once
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace kalvex::ui {

// Memo1, the results text area, with its small "Clear" button (Button2) in the lower right
// corner. A fixed-pitch font keeps the columns of the run summary under their headings.
class ResultsArea : public QWidget {
    Q_OBJECT
public:
    explicit ResultsArea(QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return memo_; }
    // Adds a line and its line end: an empty line shows as one, also as the first line.
    // Text the user typed without a line end is ended first.
    void appendLine(const QString& line);
    QPushButton* clearButton() const { return clear_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* memo_;
    QPushButton* clear_;
};

}  // namespace kalvex::ui
