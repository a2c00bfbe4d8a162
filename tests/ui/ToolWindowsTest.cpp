#include "QtPrinting.h"
#include "RecordingPrompts.h"
#include "WidgetDriving.h"
#include "ui/Area1.h"
#include "ui/Prevody1.h"
#include "ui/Rate1.h"
#include "ui/ToolWindow.h"
#include "core/format/UnitConversion.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kalvex;
using namespace kalvex::ui;
using namespace kalvex::ui::test_support;

namespace {

// Every field of the conversion window except the listed ones still reads "0".
void expectOthersUntouched(const Tprevody& window, std::initializer_list<int> changed)
{
    for (int n = 1; n <= 18; ++n) {
        if (std::find(changed.begin(), changed.end(), n) == changed.end()) {
            EXPECT_EQ(window.edit(n)->text(), "0") << "Edit" << n;
        }
    }
}

}  // namespace

TEST(UnitConversionWindow, EachArrowConvertsItsSourceFieldIntoTheOtherField)
{
    const struct {
        int button, source, target;
        const char* typed;
        const char* expected;
    } cases[] = {
        {2, 1, 2, "1", "15.4324"},      // g -> gr
        {1, 2, 1, "1", "0.0648"},       // gr -> g
        {5, 5, 6, "100", "328.084"},    // m/s -> ft/s
        {6, 6, 5, "1000", "304.8"},     // ft/s -> m/s
        {7, 7, 8, "1", "0.738"},        // J -> ft.lb
        {8, 8, 7, "1", "1.356"},        // ft.lb -> J
        {15, 15, 16, "1", "145.04"},    // MPa -> psi
        {16, 16, 15, "100", "0.69"},    // psi -> MPa
        {17, 17, 18, "1", "10"},        // MPa -> bar
        {18, 18, 17, "1", "0.1"},       // bar -> MPa
        {17, 17, 18, "0.0125", "0.13"}, // a half goes up ...
        {17, 17, 18, "-0.0125", "-0.12"},  // ... also below zero
        {17, 17, 18, "-0.0005", "0"},
        {3, 3, 4, "0.0005", "0.001"},   // m -> yd, 0.0005468 kept to three decimals
        {4, 4, 3, "1", "0.914"},        // yd -> m
        {10, 10, 9, "-1", "-2.54"},     // in -> cm, negative numbers too
        {9, 9, 10, "2.54", "1"},        // cm -> in
        {11, 11, 12, "1", "3.281"},     // m -> ft
        {12, 12, 11, "1", "0.305"},     // ft -> m
        {14, 13, 14, "28.3495", "1"},   // g -> oz
        {13, 14, 13, "4", "113.398"},   // oz -> g
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "BitBtn" << c.button << " with " << c.typed);
        RecordingPrompts prompts;
        Tprevody window;
        showAndWait(window);
        typeInto(window.edit(c.source), c.typed);
        click(window.bitBtn(c.button));
        EXPECT_EQ(window.edit(c.target)->text(), c.expected);
        EXPECT_EQ(window.edit(c.source)->text(), c.typed);
        expectOthersUntouched(window, {c.source, c.target});
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

TEST(UnitConversionWindow, ZeroGivesZeroInEveryConversion)
{
    RecordingPrompts prompts;
    for (const UnitConversion& c : unitConversions()) {
        SCOPED_TRACE(::testing::Message() << "BitBtn" << c.button);
        Tprevody window;
        showAndWait(window);
        window.edit(c.target)->setText("7");  // so that the click must write
        click(window.bitBtn(c.button));
        expectOthersUntouched(window, {});
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(UnitConversionWindow, TextThatIsNoNumberShowsTheConversionMessageAndLeavesTheTarget)
{
    RecordingPrompts prompts;
    Tprevody window;
    showAndWait(window);
    typeInto(window.edit(5), "100");
    click(window.bitBtn(5));
    ASSERT_EQ(window.edit(6)->text(), "328.084");

    typeInto(window.edit(5), "abc");
    click(window.bitBtn(5));
    EXPECT_EQ(window.edit(6)->text(), "328.084");
    EXPECT_EQ(window.edit(5)->text(), "abc");

    typeInto(window.edit(6), "");
    click(window.bitBtn(6));
    EXPECT_EQ(window.edit(5)->text(), "abc");

    typeInto(window.edit(15), "1,5");
    click(window.bitBtn(15));
    EXPECT_EQ(window.edit(16)->text(), "0");

    EXPECT_EQ(prompts.messages, QStringList({"'abc' is not a valid floating point value",
                                             "'' is not a valid floating point value",
                                             "'1,5' is not a valid floating point value"}));
}

TEST(UnitConversionWindow, HasNineGroupsWithTheirCaptionsAndUnits)
{
    Tprevody window;
    showAndWait(window);
    EXPECT_EQ(window.windowTitle(), "Unit Conversion");
    EXPECT_EQ(window.size(), QSize(512, 236));
    const struct {
        const char* box;
        const char* caption;
        int upper, lower;
        const char* units[2];
    } groups[] = {
        {"GroupBox5", "Distance", 9, 10, {"cm", "in"}},   {"GroupBox6", "Distance", 11, 12, {"m", "ft"}},
        {"GroupBox2", "Distance", 3, 4, {"m", "yd"}},     {"GroupBox1", "Mass", 1, 2, {"g", "gr"}},
        {"GroupBox7", "Mass", 13, 14, {"g", "oz"}},       {"GroupBox3", "Velocity", 5, 6, {"m/s", "ft/s"}},
        {"GroupBox4", "Energy", 7, 8, {"J", "ft.lb"}},    {"GroupBox8", "Pressure", 15, 16, {"MPa", "psi"}},
        {"GroupBox9", "Pressure", 17, 18, {"MPa", "bar"}},
    };
    for (const auto& g : groups) {
        SCOPED_TRACE(g.box);
        auto* box = window.findChild<QGroupBox*>(g.box);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->title(), g.caption);
        EXPECT_EQ(window.edit(g.upper)->parentWidget(), box);
        EXPECT_EQ(window.edit(g.lower)->parentWidget(), box);
        EXPECT_LT(window.edit(g.upper)->y(), window.edit(g.lower)->y());
        QStringList units;
        for (QLabel* label : box->findChildren<QLabel*>())
            units << label->text();
        EXPECT_EQ(units, QStringList({g.units[0], g.units[1]}));
    }
    for (int n = 1; n <= 18; ++n) {
        EXPECT_EQ(window.edit(n)->text(), "0");
        EXPECT_EQ(window.bitBtn(n)->size(), QSize(25, 45));
    }
}

TEST(UnitConversionWindow, DownArrowSitsLeftAndUpArrowRightOfTheFields)
{
    Tprevody window;
    showAndWait(window);
    const struct {
        int down, up, field;
    } groups[] = {{9, 10, 9}, {11, 12, 11}, {3, 4, 3}, {2, 1, 1}, {14, 13, 13},
                  {5, 6, 5},  {7, 8, 7},    {15, 16, 15}, {17, 18, 17}};
    for (const auto& g : groups) {
        EXPECT_LT(window.bitBtn(g.down)->x(), window.edit(g.field)->x()) << g.down;
        EXPECT_GT(window.bitBtn(g.up)->x(), window.edit(g.field)->x()) << g.up;
    }
}

TEST(UnitConversionWindow, TabKeyPassesOverEdit2AndEdit14)
{
    Tprevody window;
    showAndWait(window);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.edit(9)->setFocus();
    std::vector<int> visited;
    for (int press = 0; press < 40; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (int n = 1; n <= 18; ++n)
            if (window.edit(n)->hasFocus())
                visited.push_back(n);
        if (window.edit(9)->hasFocus())
            break;
    }
    const std::vector<int> expected{10, 11, 12, 3, 4, 1, 13, 5, 6, 7, 8, 15, 16, 17, 18, 9};
    EXPECT_EQ(visited, expected);

    // The skipped fields still take the focus on a click.
    QTest::mouseClick(window.edit(2), Qt::LeftButton);
    EXPECT_TRUE(window.edit(2)->hasFocus());
    QTest::mouseClick(window.edit(14), Qt::LeftButton);
    EXPECT_TRUE(window.edit(14)->hasFocus());
}

TEST(AreaWindow, ComputesTheAreaOfTheProjectileBase)
{
    const struct {
        const char* ratio;
        const char* grooves;
        const char* lands;
        const char* expected;
    } cases[] = {
        {"1", "7.82", "7.62", "4.682E-5"},
        {"0", "7.82", "7.62", "4.56E-5"},
        {"0", "0", "0", "0"},
        {"2", "155", "155", "0.01886919"},  // equal diameters: the circle, whatever the ratio
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        RecordingPrompts prompts;
        Tarea window;
        showAndWait(window);
        typeInto(child<QLineEdit>(window, "Edit1"), c.ratio);
        typeInto(child<QLineEdit>(window, "Edit2"), c.grooves);
        typeInto(child<QLineEdit>(window, "Edit3"), c.lands);
        click(child<QPushButton>(window, "Button1"));
        EXPECT_EQ(child<QLabel>(window, "Label1")->text(), c.expected);
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

TEST(AreaWindow, StartValuesGiveZero)
{
    Tarea window;
    showAndWait(window);
    EXPECT_EQ(child<QLineEdit>(window, "Edit1")->text(), "0");
    EXPECT_EQ(child<QLineEdit>(window, "Edit2")->text(), "0");
    EXPECT_EQ(child<QLineEdit>(window, "Edit3")->text(), "0");
    child<QLabel>(window, "Label1")->setText("stale");
    click(child<QPushButton>(window, "Button1"));
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "0");
}

TEST(AreaWindow, RatioOfMinusOneShowsAMessageAndKeepsTheResult)
{
    RecordingPrompts prompts;
    Tarea window;
    showAndWait(window);
    typeInto(child<QLineEdit>(window, "Edit1"), "1");
    typeInto(child<QLineEdit>(window, "Edit2"), "7.82");
    typeInto(child<QLineEdit>(window, "Edit3"), "7.62");
    click(child<QPushButton>(window, "Button1"));
    ASSERT_EQ(child<QLabel>(window, "Label1")->text(), "4.682E-5");

    typeInto(child<QLineEdit>(window, "Edit1"), "-1");
    click(child<QPushButton>(window, "Button1"));
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "4.682E-5");

    typeInto(child<QLineEdit>(window, "Edit1"), "1");
    typeInto(child<QLineEdit>(window, "Edit3"), "abc");
    click(child<QPushButton>(window, "Button1"));
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "4.682E-5");

    EXPECT_EQ(prompts.messages, QStringList({"Groove to Land Width Ratio must not be -1.",
                                             "'abc' is not a valid floating point value"}));
}

// A calculator window has its design size, wider only where a caption needs the room: every
// caption shows whole, whatever the desktop's font.
static void expectDesignSizeWithWholeCaptions(QDialog& window, QSize design)
{
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.height(), design.height());
    EXPECT_GE(window.width(), design.width());
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->objectName().isEmpty())  // a caption or unit, not a result
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    window.hide();
}

TEST(AreaWindow, HasItsCaptionAndSize)
{
    Tarea window;
    EXPECT_EQ(window.windowTitle(), "Area of Base Of Projectile");
    expectDesignSizeWithWholeCaptions(window, QSize(249, 169));
    EXPECT_EQ(child<QPushButton>(window, "Button1")->text(), "Compute");
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "0");
}

TEST(RateWindow, StartsWithTheValuesOfATypicalPropellant)
{
    Trate window;
    EXPECT_EQ(window.windowTitle(), "Burning Rate Coefficient Unit");
    expectDesignSizeWithWholeCaptions(window, QSize(295, 145));
    EXPECT_EQ(child<QLineEdit>(window, "Edit1")->text(), "0.000575");
    EXPECT_EQ(child<QLineEdit>(window, "Edit2")->text(), "0.923");
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "0");
    EXPECT_EQ(child<QPushButton>(window, "Button1")->text(), "Convert to m/s/Pa");
}

TEST(RateWindow, ConvertsTheCoefficientToPascals)
{
    const struct {
        const char* beta;  // nullptr keeps the start value
        const char* alpha;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr, "1.66597E-9"},
        {"0.001", "1", "1E-9"},
        {nullptr, "0", "0.000575"},
        {"0.0046", "0.5", "4.6E-6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        RecordingPrompts prompts;
        Trate window;
        showAndWait(window);
        if (c.beta)
            typeInto(child<QLineEdit>(window, "Edit1"), c.beta);
        if (c.alpha)
            typeInto(child<QLineEdit>(window, "Edit2"), c.alpha);
        click(child<QPushButton>(window, "Button1"));
        EXPECT_EQ(child<QLabel>(window, "Label1")->text(), c.expected);
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

TEST(RateWindow, TextThatIsNoNumberKeepsTheResult)
{
    RecordingPrompts prompts;
    Trate window;
    showAndWait(window);
    click(child<QPushButton>(window, "Button1"));
    ASSERT_EQ(child<QLabel>(window, "Label1")->text(), "1.66597E-9");
    typeInto(child<QLineEdit>(window, "Edit2"), "0.9x");
    click(child<QPushButton>(window, "Button1"));
    EXPECT_EQ(child<QLabel>(window, "Label1")->text(), "1.66597E-9");
    EXPECT_EQ(prompts.messages, QStringList({"'0.9x' is not a valid floating point value"}));
}

TEST(ToolWindow, ReopeningKeepsTheTextsAndBringsTheWindowToTheFront)
{
    Tarea area;
    Trate rate;
    showToolWindow(&area);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    typeInto(child<QLineEdit>(area, "Edit2"), "7.82");
    area.close();
    EXPECT_FALSE(area.isVisible());

    showToolWindow(&rate);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rate));
    showToolWindow(&area);
    EXPECT_TRUE(area.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&area));
    EXPECT_EQ(child<QLineEdit>(area, "Edit2")->text(), "7.82");

    showToolWindow(&rate);  // already open: comes to the front again
    EXPECT_TRUE(QTest::qWaitForWindowActive(&rate));
    EXPECT_TRUE(area.isVisible());
    showToolWindow(nullptr);  // nothing to show is no error
}

namespace {

// Clicks a button through the window system, where a modal window blocks the windows it owns
// no authority over (a plain widget click would pass around that check).
void clickThroughWindowSystem(QPushButton* button)
{
    QWidget* top = button->window();
    const QPoint at = button->mapTo(top, button->rect().center());
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

// Shows `area` while `mainWindow` is modal and presses Compute; the result text afterwards.
QString computeBesideModalMainWindow(QDialog& mainWindow, Tarea& area)
{
    QString result;
    QTimer::singleShot(0, [&] {
        showToolWindow(&area);
        (void)QTest::qWaitForWindowExposed(&area);
        child<QLineEdit>(area, "Edit1")->setText("0");
        child<QLineEdit>(area, "Edit3")->setText("7.62");
        clickThroughWindowSystem(child<QPushButton>(area, "Button1"));
        result = child<QLabel>(area, "Label1")->text();
        area.close();
        mainWindow.reject();
    });
    mainWindow.exec();
    return result;
}

}  // namespace

TEST(ToolWindow, ToolWindowOwnedByTheModalMainWindowTakesInput)
{
    QDialog mainWindow;
    Tarea owned(&mainWindow);
    EXPECT_EQ(computeBesideModalMainWindow(mainWindow, owned), "4.56E-5");
}

TEST(ToolWindow, ToolWindowWithoutOwnerIsBlockedByTheModalMainWindow)
{
    // Why the tool windows must be created with the main window as their parent.
    QDialog mainWindow;
    Tarea stray;
    EXPECT_EQ(computeBesideModalMainWindow(mainWindow, stray), "0");
}
