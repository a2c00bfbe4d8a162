// The main window at start-up, the grain-type selector and Clear.
#include "WindowDriver.h"

#include "ui/ButtonPages.h"
#include "ui/GrainPage.h"
#include "ui/PlotView.h"
#include "ui/RadioGroup.h"
#include "ui/ResultsArea.h"
#include "ui/Vstup1.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>

using namespace kalvex;
using namespace kalvex::test;

namespace {

// Input fields and their start texts: every input field starts at "0" except two.
constexpr std::array kZeroFields{
    "Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit7",  "Edit8",  "Edit9",
    "Edit10", "Edit11", "Edit12", "Edit13", "Edit14", "Edit15", "Edit16", "Edit19", "Edit20",
    "Edit21", "Edit22", "Edit23", "Edit24", "Edit25", "Edit26", "Edit27", "Edit28", "Edit29",
    "Edit30", "Edit31", "Edit32", "Edit34", "Edit35", "Edit36", "Edit37", "Edit38", "Edit39",
    "Edit40", "Edit41", "Edit42", "Edit43", "Edit44", "Edit45", "Edit17", "Edit18",
};

QStringList labelTexts(const QWidget& parent)
{
    QStringList texts;
    for (const QLabel* label : parent.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

}  // namespace

TEST(MainWindow, StartsWithTheDesignDefaults)
{
    WindowUnderTest ui;
    const ui::Tvstup& w = *ui.window;
    EXPECT_EQ(w.windowTitle(), "Interior Ballistics: Stanag 4367");
    for (const char* name : kZeroFields)
        EXPECT_EQ(field(w, name)->text(), "0") << name;
    EXPECT_EQ(field(w, "Edit33")->text(), "Weapon");
    EXPECT_EQ(field(w, "Edit49")->text(), "20");
    EXPECT_FALSE(w.findChild<QCheckBox*>("CheckBox1")->isChecked());
    EXPECT_TRUE(w.findChild<QCheckBox*>("CheckBox2")->isChecked());
    EXPECT_TRUE(w.findChild<QCheckBox*>("CheckBox3")->isChecked());
    EXPECT_EQ(w.currentGrainType(), 2);
    EXPECT_TRUE(w.grainPage()->selector()->item(1)->isChecked());
    EXPECT_FALSE(button(w, "Button5")->isEnabled());
    EXPECT_TRUE(button(w, "Button6")->isEnabled());
    EXPECT_FALSE(w.findChild<QTabWidget*>("PageControl2")->isEnabled());
    EXPECT_TRUE(memoText(w).isEmpty());
    EXPECT_EQ(w.findChild<ui::ButtonPages*>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(w.completedRun(), nullptr);
}

TEST(MainWindow, ShowsTheDesignSizes)
{
    WindowUnderTest ui;
    const ui::Tvstup& w = *ui.window;
    const int menuHeight = w.findChild<QMenuBar*>()->height();
    EXPECT_EQ(w.width(), 783);
    EXPECT_EQ(w.height() - menuHeight, 514);
    EXPECT_EQ(w.plotView()->size(), QSize(247, 226));
    EXPECT_EQ(w.plotState().surface.size(), QSize(247, 226));
    // the plot choices end where the plot ends
    const auto* plotPages = w.findChild<QTabWidget*>("PageControl2");
    const int plotRight = w.plotView()->mapTo(&w, QPoint(w.plotView()->width() - 1, 0)).x();
    EXPECT_EQ(plotPages->geometry().right(), plotRight);
}

TEST(MainWindow, PagesCaptionsAndMenuReadAsDesigned)
{
    WindowUnderTest ui;
    const ui::Tvstup& w = *ui.window;
    const auto* pages = w.findChild<ui::ButtonPages*>("PageControl1");
    const QStringList titles{"Weapon and Cartridge", "Powder and Igniter", "Grains Sizes",
                             "Friction", "Extras"};
    for (int i = 0; i < titles.size(); ++i)
        EXPECT_EQ(pages->pageButton(i)->text(), titles[i]);

    const auto* plotPages = w.findChild<QTabWidget*>("PageControl2");
    ASSERT_EQ(plotPages->count(), 3);
    EXPECT_EQ(plotPages->tabText(0), "Axis Y");
    EXPECT_EQ(plotPages->tabText(1), "Axis X");
    EXPECT_EQ(plotPages->tabText(2), "Others");
    const auto* yChoice = w.findChild<ui::RadioGroup*>("RadioGroup3");
    ASSERT_EQ(yChoice->count(), 12);
    EXPECT_EQ(yChoice->itemIndex(), 5);
    EXPECT_EQ(yChoice->item(5)->text(), "Mean Pressure P    [MPa]");
    const auto* xChoice = w.findChild<ui::RadioGroup*>("RadioGroup2");
    ASSERT_EQ(xChoice->count(), 2);
    EXPECT_EQ(xChoice->itemIndex(), 0);

    const std::array<std::pair<const char*, const char*>, 7> others{{
        {"Button1", "Rel. Surf. S/Sg [-] / Z [-]"},
        {"Button3", "Pmean P0 Pg / Time [ms]"},
        {"Button10", "Pmean P0 Pg / Travel [m]"},
        {"Button11", ""},
        {"Button7", "Clone I"},
        {"Button8", "Clone II"},
        {"Button9", "Clear"},
    }};
    for (const auto& [name, caption] : others)
        EXPECT_EQ(button(w, name)->text(), caption) << name;
    EXPECT_FALSE(button(w, "Button11")->isEnabled());

    // the captions as shown; the '&' marks the mnemonic's underlined letter
    const auto shown = [](QString text) { return text.remove(QLatin1Char('&')); };
    QStringList menuItems;
    for (const QAction* item : w.findChild<QMenuBar*>()->actions())
        menuItems << shown(item->text());
    EXPECT_EQ(menuItems.mid(0, 4), (QStringList{"Unit Conversion", "Area", "Burn. Rate", "About"}));

    EXPECT_EQ(shown(button(w, "Button6")->text()), "Load");
    EXPECT_EQ(shown(button(w, "Button5")->text()), "Save");
    EXPECT_EQ(shown(button(w, "Button4")->text()), "Start");
    EXPECT_TRUE(button(w, "Button4")->font().bold());
    EXPECT_GT(button(w, "Button4")->font().pointSize(), button(w, "Button6")->font().pointSize());
    EXPECT_EQ(button(w, "Button4")->size(), button(w, "Button6")->size());
    EXPECT_EQ(w.findChild<QGroupBox*>("GroupBox10")->title(), "X, Y Position");
}

TEST(MainWindow, FieldCaptionsAndUnitsStandBesideTheirFields)
{
    WindowUnderTest ui;
    const ui::Tvstup& w = *ui.window;
    // caption, field, unit caption (empty: none)
    const std::array<std::array<const char*, 3>, 8> samples{{
        {"Area of Base of Projectile:", "Edit1", "m^2"},
        {"Free Heat Transfer Coefficient:", "Edit8", "W/m^2/K:"},
        {"Initial Temp. of Chamber Wall:", "Edit7", "°C"},
        {"Computation Step:", "Edit15", "ms"},
        {"Burning Rate Coeff. for Prop.:", "Edit25", "m/s/Pa"},
        {"Burning Rate Temp. Factor:", "Edit35", ""},
        {"Resistive Pressure at xm:", "Edit41", "MPa"},
        {"SW:", "Edit45", "mm"},
    }};
    for (const auto& [caption, name, unit] : samples) {
        const QLineEdit* edit = field(w, name);
        const QLabel* captionLabel = nullptr;
        for (const QLabel* label : w.findChildren<QLabel*>())
            if (label->buddy() == edit)
                captionLabel = label;
        ASSERT_NE(captionLabel, nullptr) << name;
        EXPECT_EQ(captionLabel->text(), QString::fromUtf8(caption));
        if (*unit) {
            EXPECT_TRUE(labelTexts(*edit->parentWidget()).contains(QString::fromUtf8(unit))) << name;
        }
    }
    EXPECT_TRUE(labelTexts(w).contains("Output: every                  th value "));
}

TEST(MainWindow, ResultsAreaIsFixedPitchWithBothScrollBarsAndEditable)
{
    WindowUnderTest ui;
    const auto* memo = ui.window->findChild<QPlainTextEdit*>("Memo1");
    EXPECT_TRUE(QFontInfo(memo->font()).fixedPitch());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());
    const QAbstractButton* clear = button(*ui.window, "Button2");
    EXPECT_EQ(clear->text(), "Clear");
    // the Clear button sits in the lower right corner of the text area
    const QRect memoArea(memo->mapTo(ui.window.get(), QPoint(0, 0)), memo->size());
    const QRect clearArea(clear->mapTo(ui.window.get(), QPoint(0, 0)), clear->size());
    EXPECT_TRUE(memoArea.contains(clearArea));
    EXPECT_GT(clearArea.left(), memoArea.center().x());
    EXPECT_GT(clearArea.top(), memoArea.center().y());
}

TEST(GrainSelector, ShowsTheSizeRowsAndThePictureOfEachType)
{
    struct Case {
        int grainType;
        std::array<bool, 4> rows;  // D, L, P, SW
    };
    const std::array<Case, 7> cases{{
        {1, {true, false, false, false}},
        {2, {true, true, true, false}},
        {3, {true, true, false, false}},
        {4, {true, true, true, false}},
        {5, {true, true, true, true}},
        {6, {true, true, true, false}},
        {7, {true, true, true, false}},
    }};
    const QStringList captions{"Spherical           1", "Slab                  2",
                               "Cylinder             3", "Tube                 4",
                               "Slotted Stick     5",    "7-perforated      6",
                               "19-perforated    7"};
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    showInputPage(w, 2);
    ui::GrainPage& page = *w.grainPage();
    EXPECT_EQ(page.selector()->title(), "Type of Grains");
    for (const Case& c : cases) {
        QRadioButton* item = page.selector()->item(c.grainType - 1);
        EXPECT_EQ(item->text(), captions[c.grainType - 1]);
        clickRadio(item);
        EXPECT_EQ(w.currentGrainType(), c.grainType);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(page.sizeRowVisible(row), c.rows[row])
                << "type " << c.grainType << " row " << row;
        for (int type = 1; type <= 7; ++type)
            EXPECT_EQ(page.pictureVisible(type), type == c.grainType)
                << "type " << c.grainType << " picture " << type;
    }
}

TEST(GrainSelector, StartsOnTheSlabAndKeepsHiddenTexts)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    showInputPage(w, 2);
    ui::GrainPage& page = *w.grainPage();
    EXPECT_TRUE(page.sizeRowVisible(0));
    EXPECT_TRUE(page.sizeRowVisible(1));
    EXPECT_TRUE(page.sizeRowVisible(2));
    EXPECT_FALSE(page.sizeRowVisible(3));
    EXPECT_TRUE(page.pictureVisible(2));

    QLineEdit* length = field(w, "Edit43");
    length->clear();
    QTest::keyClicks(length, "1.25");
    clickRadio(page.selector()->item(0));
    EXPECT_FALSE(length->isVisible());
    clickRadio(page.selector()->item(1));
    EXPECT_TRUE(length->isVisible());
    EXPECT_EQ(length->text(), "1.25");
}

TEST(MainWindow, ClearEmptiesOnlyTheResultsArea)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    auto* memo = w.findChild<QPlainTextEdit*>("Memo1");
    QTest::keyClicks(memo, "notes of the user");
    EXPECT_EQ(memoText(w), "notes of the user");
    click(button(w, "Button2"));
    EXPECT_TRUE(memoText(w).isEmpty());
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(MainWindow, MenuOpensToolWindowsModelessAndBringsThemToTheFront)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    QWidget unitConversion(&w, Qt::Window);
    QWidget area(&w, Qt::Window);
    QWidget rate(&w, Qt::Window);
    w.setToolWindows({nullptr, &unitConversion, &area, &rate});
    const auto items = w.findChild<QMenuBar*>()->actions();
    items[0]->trigger();
    EXPECT_TRUE(unitConversion.isVisible());
    EXPECT_FALSE(area.isVisible());
    items[1]->trigger();
    items[2]->trigger();
    EXPECT_TRUE(area.isVisible());
    EXPECT_TRUE(rate.isVisible());
    EXPECT_FALSE(unitConversion.isModal());
    // opening one that is already open keeps the one instance open
    items[0]->trigger();
    EXPECT_TRUE(unitConversion.isVisible());
}

TEST(MainWindow, AboutOpensModallyAndTheMenuReturnsWhenItIsClosed)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    QDialog about(&w);
    w.setToolWindows({&about, nullptr, nullptr, nullptr});
    bool shownModally = false;
    QTimer::singleShot(0, [&] {
        shownModally = QApplication::activeModalWidget() == &about;
        about.reject();
    });
    w.findChild<QMenuBar*>()->actions()[3]->trigger();  // returns once About is closed
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(MainWindow, WidenedWindowSharesTheAddedWidthBetweenResultsAndPlot)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    const auto* memo = w.findChild<QPlainTextEdit*>("Memo1");
    const int memoWidth = memo->width();
    const int memoHeight = memo->height();
    const QSize plotSize = w.plotView()->size();
    const QRect plotPagesArea = w.findChild<QTabWidget*>("PageControl2")->geometry();
    w.resize(w.width() + 200, w.height() + 150);
    QApplication::processEvents();
    const int memoGrowth = memo->width() - memoWidth;
    const int plotGrowth = w.plotView()->width() - plotSize.width();
    EXPECT_GT(memoGrowth, 0);
    EXPECT_GT(plotGrowth, 0);
    EXPECT_EQ(memoGrowth + plotGrowth, 200);
    EXPECT_EQ(memo->height(), memoHeight + 150);
    EXPECT_EQ(w.plotView()->height(), plotSize.height() + 150);
    EXPECT_EQ(w.plotState().surface.size(), w.plotView()->size());
    EXPECT_EQ(w.findChild<QTabWidget*>("PageControl2")->geometry(), plotPagesArea);
}

TEST(ResultsArea, AppendedLinesEndWithALineEndAndStartOnANewLine)
{
    struct Case {
        QString typed;
        QStringList appended;
        QString shown;
    };
    const Case cases[] = {
        {"", {""}, "\n"},                     // an empty first line still shows as a line
        {"", {"", "a"}, "\na\n"},
        {"typed", {"b"}, "typed\nb\n"},       // the user's open line is ended first
        {"typed\n", {"b"}, "typed\nb\n"},
    };
    for (const Case& c : cases) {
        ui::ResultsArea area;
        area.memo()->setPlainText(c.typed);
        for (const QString& line : c.appended)
            area.appendLine(line);
        EXPECT_EQ(area.memo()->toPlainText(), c.shown) << c.typed.toStdString();
    }
}

TEST(MainWindow, ReturnAndEscapeInAFieldRunNoCommand)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    QLineEdit* area = field(w, "Edit1");
    area->setFocus();
    QTest::keyClick(area, Qt::Key_Return);
    QTest::keyClick(area, Qt::Key_Enter);
    QTest::keyClick(area, Qt::Key_Escape);
    EXPECT_TRUE(ui.prompts.messages.empty());  // Start did not run
    EXPECT_TRUE(ui.prompts.openRequests.empty());  // nor Load
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.result(), 0);
    for (const QPushButton* any : w.findChildren<QPushButton*>())
        EXPECT_FALSE(any->autoDefault() || any->isDefault()) << any->objectName().toStdString();
}
