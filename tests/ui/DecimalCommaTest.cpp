#include "QtPrinting.h"
#include "RecordingPrompts.h"
#include "WidgetDriving.h"
#include "ui/Area1.h"
#include "ui/FieldNumbers.h"
#include "ui/Prevody1.h"
#include "ui/Rate1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kalvex::ui;
using namespace kalvex::ui::test_support;

// Runs as its own CTest entry under a locale that writes a decimal comma (see CMakeLists.txt);
// elsewhere it is skipped.
TEST(DecimalComma, ToolWindowsReadAndWriteTheUsersSeparator)
{
    if (kalvex::userDecimalSeparator() != ',')
        GTEST_SKIP() << "the locale of this run writes a decimal point";
    RecordingPrompts prompts;

    Trate rate;
    showAndWait(rate);
    EXPECT_EQ(child<QLineEdit>(rate, "Edit1")->text(), "0,000575");
    EXPECT_EQ(child<QLineEdit>(rate, "Edit2")->text(), "0,923");
    click(child<QPushButton>(rate, "Button1"));
    EXPECT_EQ(child<QLabel>(rate, "Label1")->text(), "1,66597E-9");

    Tarea area;
    showAndWait(area);
    typeInto(child<QLineEdit>(area, "Edit1"), "1");
    typeInto(child<QLineEdit>(area, "Edit2"), "7,82");
    typeInto(child<QLineEdit>(area, "Edit3"), "7,62");
    click(child<QPushButton>(area, "Button1"));
    EXPECT_EQ(child<QLabel>(area, "Label1")->text(), "4,682E-5");

    Tprevody units;
    showAndWait(units);
    typeInto(units.edit(15), "1,5");
    click(units.bitBtn(15));
    EXPECT_EQ(units.edit(16)->text(), "217,56");
    typeInto(units.edit(15), "1.5");  // a point is no separator here
    click(units.bitBtn(15));
    EXPECT_EQ(units.edit(16)->text(), "217,56");
    EXPECT_EQ(prompts.messages, QStringList({"'1.5' is not a valid floating point value"}));
}
