#include "ui/PlotPages.h"

#include "plot/SeriesSelection.h"
#include "ui/RadioGroup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

QStringList captionsOf(const auto& captions)
{
    QStringList list;
    for (const char* caption : captions)
        list << QString::fromUtf8(caption);
    return list;
}

constexpr int kCloneButtonWidth = 54;
constexpr int kChoiceHeight = 17;  // twelve y choices fit above the plot

QPushButton* makeButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    return button;
}

QWidget* buildOthersPage(PlotPages& pages)
{
    auto* page = new QWidget;
    pages.surfaceOverBurned = makeButton("Button1", "Rel. Surf. S/Sg [-] / Z [-]", page);
    pages.pressuresOverTime = makeButton("Button3", "Pmean P0 Pg / Time [ms]", page);
    pages.pressuresOverTravel = makeButton("Button10", "Pmean P0 Pg / Travel [m]", page);
    pages.unused = makeButton("Button11", "", page);
    pages.unused->setEnabled(false);
    pages.cloneOne = makeButton("Button7", "Clone I", page);
    pages.cloneTwo = makeButton("Button8", "Clone II", page);
    pages.clearClones = makeButton("Button9", "Clear", page);

    for (QPushButton* narrow : {pages.cloneOne, pages.cloneTwo, pages.clearClones})
        narrow->setFixedWidth(kCloneButtonWidth);  // three side by side on the narrow page
    auto* clones = new QHBoxLayout;
    clones->setSpacing(3);
    clones->addWidget(pages.cloneOne);
    clones->addWidget(pages.cloneTwo);
    clones->addWidget(pages.clearClones);

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addWidget(pages.surfaceOverBurned);
    column->addWidget(pages.pressuresOverTime);
    column->addWidget(pages.pressuresOverTravel);
    column->addWidget(pages.unused);
    column->addLayout(clones);
    column->addStretch(1);
    return page;
}

}  // namespace

PlotPages buildPlotPages(QWidget* parent)
{
    PlotPages pages;
    pages.control = new QTabWidget(parent);
    pages.control->setObjectName(QStringLiteral("PageControl2"));

    pages.yChoice = new RadioGroup(QString(), captionsOf(plot::kYAxisCaptions));
    pages.yChoice->setObjectName(QStringLiteral("RadioGroup3"));
    pages.yChoice->setItemIndex(plot::kDefaultYChoice);
    pages.yChoice->setFlat(true);
    pages.yChoice->setItemHeight(kChoiceHeight);

    pages.xChoice = new RadioGroup(QString(), captionsOf(plot::kXAxisCaptions));
    pages.xChoice->setObjectName(QStringLiteral("RadioGroup2"));
    pages.xChoice->setItemIndex(0);
    pages.xChoice->setFlat(true);
    pages.xChoice->setItemHeight(kChoiceHeight);

    pages.control->addTab(pages.yChoice, QStringLiteral("Axis Y"));
    pages.control->addTab(pages.xChoice, QStringLiteral("Axis X"));
    pages.control->addTab(buildOthersPage(pages), QStringLiteral("Others"));
    pages.control->setEnabled(false);  // nothing to plot before the first run
    return pages;
}

}  // namespace kalvex::ui
