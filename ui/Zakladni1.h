#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace kalvex::ui {

// The start window and the application's main window: START opens the working window modally,
// CLOSE (or the close box) ends the program. It is shown modeless with show().
class Tzakladni : public QDialog {
    Q_OBJECT
public:
    explicit Tzakladni(QWidget* parent = nullptr);

    // The working window that START shows; not owned.
    void setMainWindow(QDialog* vstup);

protected:
    // Every way of closing the start window (CLOSE, the close box, Escape) ends the program,
    // also when tool windows are still open beside it.
    void done(int result) override;

private slots:
    void openMainWindow();
    void closeProgram();

private:
    QDialog* vstup_ = nullptr;
    QLabel* image1_ = nullptr;        // Image1
    QFrame* panel1_ = nullptr;        // Panel1
    QPushButton* button1_ = nullptr;  // Button1, "START"
    QPushButton* button2_ = nullptr;  // Button2, "CLOSE"
};

}  // namespace kalvex::ui
