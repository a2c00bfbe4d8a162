// The main window where the user's locale writes a decimal comma (run with LC_ALL=cs_CZ.UTF-8):
// fields are typed and shown with a comma, the report file keeps its points.
#include "WindowDriver.h"

#include "ui/PlotView.h"
#include "ui/Vstup1.h"

#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;

namespace {

bool commaLocale()
{
    return QLocale::system().decimalPoint() == QStringLiteral(",");
}

InputCase withCommas(InputCase input)
{
    for (auto& [name, text] : input.fields)
        if (name != "Edit33")
            text.replace('.', ',');
    return input;
}

}  // namespace

TEST(MainWindowDecimalComma, RunReadsCommasAndWritesTheDoubledStepWithOne)
{
    if (!commaLocale())
        GTEST_SKIP() << "needs a locale with a decimal comma";
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    InputCase input = withCommas(loadCase("rifle_small_step"));
    input.fields["Edit15"] = "0,00001";
    enterCase(w, input);
    click(button(w, "Button4"));
    EXPECT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages.front().toStdString();
    // the summary is the program's own fixed text: points, whatever the locale
    EXPECT_EQ(memoText(w), expectedMemo("rifle_small_step"));
    EXPECT_EQ(field(w, "Edit15")->text(), "4E-5");
}

TEST(MainWindowDecimalComma, ReadOutAndLoadedFieldsUseTheComma)
{
    if (!commaLocale())
        GTEST_SKIP() << "needs a locale with a decimal comma";
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    QTest::mousePress(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(71, 150));
    QTest::mouseRelease(w.plotView(), Qt::LeftButton, Qt::NoModifier, QPoint(71, 150));
    EXPECT_EQ(field(w, "Edit17")->text(), "0,196875");

    enterCase(w, withCommas(loadCase("rifle_tube")));
    click(button(w, "Button4"));
    QTemporaryDir folder;
    ui.prompts.saveAnswer = folder.filePath("comma.txt");
    click(button(w, "Button5"));
    QFile saved(ui.prompts.saveAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("4.670000e-05"));

    field(w, "Edit1")->setText("1");
    ui.prompts.openAnswer = ui.prompts.saveAnswer;
    click(button(w, "Button6"));
    EXPECT_EQ(field(w, "Edit1")->text(), "4,67E-5");
    EXPECT_EQ(field(w, "Edit42")->text(), "0,85");
    EXPECT_TRUE(ui.prompts.messages.empty());
}
