#include "ui/Prevody1.h"

#include "ui/Command.h"
#include "ui/FieldNumbers.h"
#include "core/format/UnitConversion.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QPushButton>

namespace kalvex::ui {
namespace {

constexpr int kClientWidth = 512;
constexpr int kClientHeight = 236;
constexpr int kArrowButtonWidth = 25;
constexpr int kArrowButtonHeight = 45;  // spans both fields of a group

struct GroupSpec {
    const char* box;   // object name of the group box
    const char* caption;
    int row, column;   // place in the three-by-three grid
    int upper;         // Edit<n> above
    const char* upperUnit;
    int lower;         // Edit<n> below
    const char* lowerUnit;
    int down;          // BitBtn<n> on the left: upper into lower
    int up;            // BitBtn<n> on the right: lower into upper
};

constexpr GroupSpec kGroups[] = {
    {"GroupBox5", "Distance", 0, 0, 9, "cm", 10, "in", 9, 10},
    {"GroupBox6", "Distance", 0, 1, 11, "m", 12, "ft", 11, 12},
    {"GroupBox2", "Distance", 0, 2, 3, "m", 4, "yd", 3, 4},
    {"GroupBox1", "Mass", 1, 0, 1, "g", 2, "gr", 2, 1},
    {"GroupBox7", "Mass", 1, 1, 13, "g", 14, "oz", 14, 13},
    {"GroupBox3", "Velocity", 1, 2, 5, "m/s", 6, "ft/s", 5, 6},
    {"GroupBox4", "Energy", 2, 0, 7, "J", 8, "ft.lb", 7, 8},
    {"GroupBox8", "Pressure", 2, 1, 15, "MPa", 16, "psi", 15, 16},
    {"GroupBox9", "Pressure", 2, 2, 17, "MPa", 18, "bar", 17, 18},
};

// Fields that the Tab key passes over; they still take the focus on a click.
constexpr int kSkippedByTab[] = {2, 14};

// A thick arrow for the glyph of the conversion buttons.
QIcon arrowIcon(bool pointsDown)
{
    constexpr int w = 13;
    constexpr int h = 22;
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 96, 48));
    QPolygonF arrow({{4.5, 0}, {8.5, 0}, {8.5, 13}, {13, 13}, {6.5, 22}, {0, 13}, {4.5, 13}});
    if (!pointsDown) {
        for (QPointF& pt : arrow)
            pt.setY(h - pt.y());
    }
    p.drawPolygon(arrow);
    return QIcon(pixmap);
}

QPushButton* arrowButton(bool pointsDown, int n, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString("BitBtn%1").arg(n));
    button->setIcon(arrowIcon(pointsDown));
    button->setIconSize(QSize(13, 22));
    button->setFixedSize(kArrowButtonWidth, kArrowButtonHeight);
    button->setAutoDefault(false);  // Enter in a field must not press an arrow
    button->setToolTip(pointsDown ? "Convert the upper value" : "Convert the lower value");
    return button;
}

}  // namespace

Tprevody::Tprevody(QWidget* parent) : QDialog(parent)
{
    setObjectName("prevody");
    setWindowTitle("Unit Conversion");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    buildGroups();
    connectButtons();
    setTabChain();
}

void Tprevody::buildGroups()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setSpacing(6);
    for (const GroupSpec& g : kGroups) {
        auto* box = new QGroupBox(g.caption, this);
        box->setObjectName(g.box);
        auto* layout = new QGridLayout(box);
        layout->setContentsMargins(5, 2, 5, 5);
        layout->setHorizontalSpacing(4);
        layout->setVerticalSpacing(3);
        const int fields[2] = {g.upper, g.lower};
        const char* units[2] = {g.upperUnit, g.lowerUnit};
        for (int i = 0; i < 2; ++i) {
            auto* field = new QLineEdit("0", box);
            field->setObjectName(QString("Edit%1").arg(fields[i]));
            field->setFixedHeight(21);
            edits_[static_cast<size_t>(fields[i])] = field;
            auto* unit = new QLabel(units[i], box);
            unit->setMinimumWidth(28);
            layout->addWidget(field, i, 1);
            layout->addWidget(unit, i, 2);
        }
        QPushButton* down = arrowButton(true, g.down, box);
        QPushButton* up = arrowButton(false, g.up, box);
        bitBtns_[static_cast<size_t>(g.down)] = down;
        bitBtns_[static_cast<size_t>(g.up)] = up;
        layout->addWidget(down, 0, 0, 2, 1);
        layout->addWidget(up, 0, 3, 2, 1);
        layout->setColumnStretch(1, 1);
        grid->addWidget(box, g.row, g.column);
    }
    for (int n : kSkippedByTab)
        edits_[static_cast<size_t>(n)]->setFocusPolicy(Qt::ClickFocus);
}

void Tprevody::connectButtons()
{
    // each arrow converts its own pair of fields, in its own direction
    for (int n = 1; n <= 18; ++n)
        connect(bitBtn(n), &QPushButton::clicked, this, [this, n] { convertWith(n); });
}

// Group by group, row by row: the two fields, then the two arrows.
void Tprevody::setTabChain()
{
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (const GroupSpec& g : kGroups) {
        chain(edits_[static_cast<size_t>(g.upper)]);
        chain(edits_[static_cast<size_t>(g.lower)]);
        chain(bitBtns_[static_cast<size_t>(g.down)]);
        chain(bitBtns_[static_cast<size_t>(g.up)]);
    }
}

QLineEdit* Tprevody::edit(int n) const
{
    return n >= 1 && n <= 18 ? edits_[static_cast<size_t>(n)] : nullptr;
}

QPushButton* Tprevody::bitBtn(int n) const
{
    return n >= 1 && n <= 18 ? bitBtns_[static_cast<size_t>(n)] : nullptr;
}

void Tprevody::convertWith(int button)
{
    runCommand(this, [this, button] {
        const UnitConversion& c = conversionOfButton(button);
        const double x = fieldNumber(*edit(c.source));
        showNumber(*edit(c.target), convertUnits(c, x));
    });
}

}  // namespace kalvex::ui
