// The Study window driven through its widgets on the main window's inputs: its rows against
// kalvex-study on the study file it saves, Cancel, and "Use This Value".
#include "WidgetDriving.h"
#include "WindowDriver.h"

#include "core/format/NumberFormat.h"
#include "plot/PlotState.h"
#include "ui/StudyRunner.h"
#include "ui/StudyTableModel.h"
#include "ui/StudyWindow.h"
#include "ui/Vstup1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;
using kalvex::ui::test_support::child;

namespace {

constexpr int kStudyWaitMs = 120000;  // a generous bound on a few dozen runs of the rifle

void choose(QComboBox* box, const char* name)
{
    box->setCurrentIndex(box->findData(QString::fromUtf8(name)));
}

struct StudyWindowUnderTest : WindowUnderTest {
    StudyWindowUnderTest() : study(window.get())
    {
        enterCase(*window, loadCase("rifle_tube"));
        ui::linkStudyWindow(study, *window);
        study.show();
    }
    void sweepC(double from, double to, int count)
    {
        child<QComboBox>(study, "ComboBox1")->setCurrentIndex(0);
        choose(child<QComboBox>(study, "Sweep1Parameter"), "C");
        child<QLineEdit>(study, "Sweep1From")->setText(QString::number(from));
        child<QLineEdit>(study, "Sweep1To")->setText(QString::number(to));
        child<QLineEdit>(study, "Sweep1Count")->setText(QString::number(count));
    }
    bool runToTheEnd()
    {
        QSignalSpy finished(&study.runner(), &ui::StudyRunner::finished);
        click(child<QPushButton>(study, "Button1"));
        return finished.wait(kStudyWaitMs);
    }
    ui::StudyWindow study;
    QTemporaryDir folder;
};

// Saves the study and its rows, runs kalvex-study on the saved file: the same bytes.
void expectKalvexStudyRowsOnTheSavedStudy(StudyWindowUnderTest& ui, int rows)
{
    const QString studyFile = ui.folder.filePath("study.json");
    ui.prompts.saveAnswer = studyFile;
    click(child<QPushButton>(ui.study, "Button5"));
    const QString windowCsv = ui.folder.filePath("window.csv");
    ui.prompts.saveAnswer = windowCsv;
    click(child<QPushButton>(ui.study, "Button4"));
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    EXPECT_TRUE(bytesOf(studyFile).contains("\"inputs\""));

    const QString cliCsv = ui.folder.filePath("cli.csv");
    QProcess cli;
    cli.start(QStringLiteral(KALVEX_STUDY_PROGRAM), {studyFile, QStringLiteral("-o"), cliCsv, QStringLiteral("--quiet")});
    ASSERT_TRUE(cli.waitForFinished(kStudyWaitMs));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(bytesOf(windowCsv), bytesOf(cliCsv));
    EXPECT_EQ(bytesOf(windowCsv).count('\n'), rows + 1);
}

}  // namespace

TEST(StudyWindow, AFiveRowSweepGivesTheRowsOfKalvexStudyOnTheSavedStudy)
{
    StudyWindowUnderTest ui;
    ui.sweepC(0.0026, 0.0031, 5);
    ASSERT_TRUE(ui.runToTheEnd());
    EXPECT_EQ(ui.study.table().rowCount(), 5);
    EXPECT_EQ(ui.study.plotState().series[0].active, 1);  // vMuzzle over C
    expectKalvexStudyRowsOnTheSavedStudy(ui, 5);
}

// A grain length of 1.81 mm, in metres and back to mm, moves by its last bit six times over
// before it settles: the window runs the values of the file it saves, not its own.
TEST(StudyWindow, AToleranceStudyOnAnUnsettledLengthGivesTheRowsOfKalvexStudyOnTheSavedStudy)
{
    StudyWindowUnderTest ui;
    field(*ui.window, "Edit43")->setText("1.81");
    child<QComboBox>(ui.study, "ComboBox1")->setCurrentIndex(3);
    child<QCheckBox>(ui.study, "TolUse1")->setChecked(true);
    choose(child<QComboBox>(ui.study, "TolParameter1"), "C");
    child<QLineEdit>(ui.study, "TolSpread1")->setText("0.00001");
    child<QLineEdit>(ui.study, "TolSamples")->setText("40");
    ASSERT_TRUE(ui.runToTheEnd());
    ASSERT_EQ(ui.study.table().rowCount(), 40);
    expectKalvexStudyRowsOnTheSavedStudy(ui, 40);
}

TEST(StudyWindow, ANewlyChosenParameterGetsARangeAroundItsOwnBaseValue)
{
    StudyWindowUnderTest ui;  // the rifle: mp 0.0095 kg, xm 0.55 m, D 0.85 mm
    struct Case {
        const char* box;
        const char* low;
        const char* high;  // "" for a scatter
        const char* parameter;
        double lowValue, highValue;
    };
    const Case cases[] = {
        {"Sweep1Parameter", "Sweep1From", "Sweep1To", "mp", 0.9 * 0.0095, 1.1 * 0.0095},
        {"Sweep2Parameter", "Sweep2From", "Sweep2To", "D", 0.9 * 0.85, 1.1 * 0.85},
        {"SolveParameter", "SolveLower", "SolveUpper", "xm", 0.9 * 0.55, 1.1 * 0.55},
        {"TolParameter2", "TolSpread2", "", "xm", 0.01 * 0.55, 0},
    };
    for (const Case& c : cases) {
        auto* box = child<QComboBox>(ui.study, c.box);
        const int index = box->findData(QString::fromUtf8(c.parameter));
        ASSERT_GE(index, 0) << c.parameter;
        box->setCurrentIndex(index);
        emit box->activated(index);  // as the user's pick
        EXPECT_NEAR(child<QLineEdit>(ui.study, c.low)->text().toDouble(), c.lowValue, 1e-9 * c.lowValue) << c.box;
        if (*c.high)
            EXPECT_NEAR(child<QLineEdit>(ui.study, c.high)->text().toDouble(), c.highValue, 1e-9 * c.highValue) << c.box;
    }
}

TEST(StudyWindow, CancelKeepsTheFinishedRows)
{
    StudyWindowUnderTest ui;
    // A table beyond the window's cap is refused before a row is made.
    ui.sweepC(0.0026, 0.0031, 2'000'000);
    click(child<QPushButton>(ui.study, "Button1"));
    EXPECT_FALSE(ui.study.runner().running());
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_TRUE(ui.prompts.messages[0].startsWith("a table of 2000000 rows (about ")) << ui.prompts.messages[0].toStdString();
    EXPECT_TRUE(ui.prompts.messages[0].contains("more than the 1000000 rows a table in the Study window holds"));
    ui.prompts.messages.clear();

    constexpr int kRows = 5000;  // far more than run before Cancel takes effect
    ui.sweepC(0.0026, 0.0031, kRows);
    QSignalSpy finished(&ui.study.runner(), &ui::StudyRunner::finished);
    click(child<QPushButton>(ui.study, "Button1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.study.table().rowCount() >= 2; }, kStudyWaitMs));
    click(child<QPushButton>(ui.study, "Button2"));
    ASSERT_TRUE(finished.count() > 0 || finished.wait(kStudyWaitMs));
    const int kept = ui.study.table().rowCount();
    EXPECT_GE(kept, 2);
    EXPECT_LT(kept, kRows);
    const std::vector<double> runs = ui.study.table().column(0);
    for (int i = 0; i < kept; ++i)
        EXPECT_EQ(runs[static_cast<std::size_t>(i)], i + 1);  // the finished rows, none missing
    EXPECT_EQ(child<QLabel>(ui.study, "Label1")->text(),
              QStringLiteral("Stopped: %1 of %2 runs finished").arg(kept).arg(kRows));
    EXPECT_TRUE(child<QPushButton>(ui.study, "Button4")->isEnabled());  // they can be exported
}

TEST(StudyWindow, UseThisValueWritesTheSolvedChargeIntoItsField)
{
    StudyWindowUnderTest ui;
    child<QComboBox>(ui.study, "ComboBox1")->setCurrentIndex(1);
    choose(child<QComboBox>(ui.study, "SolveParameter"), "C");
    child<QLineEdit>(ui.study, "SolveLower")->setText("0.0026");
    child<QLineEdit>(ui.study, "SolveUpper")->setText("0.0031");
    choose(child<QComboBox>(ui.study, "SolveOutput"), "vMuzzle");
    child<QLineEdit>(ui.study, "SolveTarget")->setText("830");
    EXPECT_FALSE(child<QPushButton>(ui.study, "Button3")->isEnabled());
    ASSERT_TRUE(ui.runToTheEnd());
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    ASSERT_TRUE(ui.study.runner().solveResult().has_value());
    const double solved = ui.study.runner().solveResult()->value;
    EXPECT_GT(solved, 0.0026);
    EXPECT_LT(solved, 0.0031);
    click(child<QPushButton>(ui.study, "Button3"));
    EXPECT_EQ(field(*ui.window, "Edit19")->text().toStdString(), formatGeneral(solved, '.'));
    // the stored input set of the main window was never touched by the study
    EXPECT_EQ(ui.window->completedRun(), nullptr);
}

TEST(StudyWindow, ReadsTheMainWindowsFieldsWithTheStartCommandsMessagesIntoACopy)
{
    StudyWindowUnderTest ui;
    ui.sweepC(0.0026, 0.0031, 2);
    field(*ui.window, "Edit2")->setText("0");
    click(child<QPushButton>(ui.study, "Button1"));
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "Mass of Projectile mp less than or equal to 0 kg");
    EXPECT_FALSE(ui.study.runner().running());
    field(*ui.window, "Edit2")->setText("0.0095");
    ASSERT_TRUE(ui.runToTheEnd());
    EXPECT_EQ(ui.study.table().rowCount(), 2);
    EXPECT_EQ(ui.window->storedInput().mp, 0);  // the main window's stored set is untouched
}

// A study file with lists the pages show only as ranges (propellants, charges) runs as the
// file says: the window's rows are the example's, which kalvex-study wrote.
TEST(StudyWindow, AnOpenedStudyRunsItsListsAsKalvexStudyDoes)
{
    StudyWindowUnderTest ui;
    const QString example = testDataPath("../../examples/studies/howitzer-155mm-propellants-sweep");
    ui.prompts.openAnswer = example + ".json";
    click(child<QPushButton>(ui.study, "Button6"));
    ASSERT_TRUE(ui.runToTheEnd());
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    ui.prompts.saveAnswer = ui.folder.filePath("window.csv");
    click(child<QPushButton>(ui.study, "Button4"));
    EXPECT_EQ(bytesOf(ui.prompts.saveAnswer), bytesOf(example + ".csv"));
}

// Every caption of every kind of study is whole at the window's default size: a box beside it
// takes the width that is left, not the caption's.
TEST(StudyWindow, EveryCaptionOfEveryKindIsWholeAtTheDefaultSize)
{
    StudyWindowUnderTest ui;
    auto* kind = child<QComboBox>(ui.study, "ComboBox1");
    for (int k = 0; k < kind->count(); ++k) {
        kind->setCurrentIndex(k);
        QApplication::processEvents();
        for (const QLabel* label : ui.study.findChildren<QLabel*>())
            if (label->isVisible() && !label->text().isEmpty() && label->pixmap().isNull() && !label->wordWrap())
                EXPECT_GE(label->width(), label->sizeHint().width()) << kind->currentText().toStdString() << ": "
                                                                     << label->text().toStdString();
    }
}
