#include "ui/CalculatorLayout.h"

#include "ui/WindowFont.h"

#include <QDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kalvex::ui {

QGridLayout* calculatorFrame(QDialog& window, const QString& caption, int width, int height)
{
    window.setWindowTitle(caption);
    window.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setFixedSize(width, height);
    // The captions are long for so small a window: a compact font keeps them whole.
    QFont font(kWindowFontFamily);
    font.setPointSize(8);
    window.setFont(font);
    auto* outer = new QVBoxLayout(&window);
    outer->setContentsMargins(4, 4, 4, 4);
    auto* box = new QGroupBox(&window);
    box->setObjectName("GroupBox1");
    outer->addWidget(box);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    return grid;
}

void addCalculatorRow(QGridLayout& grid, int row, const QString& caption, QWidget* control,
                      const QString& unit)
{
    QWidget* parent = grid.parentWidget();
    grid.addWidget(new QLabel(caption, parent), row, 0);
    grid.addWidget(control, row, 1);
    if (!unit.isEmpty())
        grid.addWidget(new QLabel(unit, parent), row, 2);
    // The window keeps its design size unless a caption needs more room: then it grows, so no
    // caption is cut and no field runs over it (fonts differ from one desktop to the next).
    QWidget* window = parent->window();
    window->setFixedSize(window->sizeHint().expandedTo(window->size()));
}

QLabel* resultLabel(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel("0", parent);
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the user copies it by hand
    label->setMinimumHeight(21);
    return label;
}

}  // namespace kalvex::ui
