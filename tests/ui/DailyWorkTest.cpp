// The habits of a desktop tool and the data that leave the main window: what Save writes after
// a refused Start, where the focus goes on a bad value, what Load says about values it could
// not read, the exports' bytes, the title, and the saved run of a report on the plot.
#include "WindowDriver.h"

#include "plot/PlotState.h"
#include "ui/ButtonPages.h"
#include "ui/PlotView.h"
#include "ui/GrainPage.h"
#include "ui/RadioGroup.h"
#include "ui/Prevody1.h"
#include "ui/StudyWindow.h"
#include "ui/Vstup1.h"
#include "ui/WindowFont.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>


using namespace kalvex;
using namespace kalvex::test;

namespace {

void trigger(const ui::Tvstup& w, const char* item)
{
    auto* action = w.findChild<QAction*>(QString::fromUtf8(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

}  // namespace

TEST(DailyWork, SaveAfterARefusedStartWritesTheInputsOfTheCompletedRun)
{
    SavedRun ui;
    const QByteArray before = bytesOf(ui.save(ui.folder.filePath("before.txt")));
    field(ui.w(), "Edit19")->setText("0.004");  // a valid change, then a refused Start
    field(ui.w(), "Edit2")->setText("-1");
    QTest::keyClick(&ui.w(), Qt::Key_F5);  // Start
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    ui.prompts.saveAnswer = ui.folder.filePath("after.txt");
    QTest::keyClick(&ui.w(), Qt::Key_S, Qt::ControlModifier);  // Save
    EXPECT_EQ(bytesOf(ui.prompts.saveAnswer), before);
}

TEST(DailyWork, TheFocusLandsOnTheBadFieldWithItsTextSelected)
{
    struct Case {
        const char* control;
        QString text;
        int page;
        QString message;
    };
    const Case cases[] = {
        {"Edit2", "0", 0, "Mass of Projectile mp less than or equal to 0 kg"},
        {"Edit44", "9", 2, "Diameter of Perforation P greater than or equal to Diameter of Grain D"},
        {"Edit37", "x1", 3, "'x1' is not a valid floating point value"},
        {"Edit49", "0", 4, "Step in Time Progress less than 1"},  // on Save
    };
    SavedRun ui;
    for (const Case& c : cases) {
        const QString good = field(ui.w(), c.control)->text();
        ui.prompts.messages.clear();
        showInputPage(ui.w(), c.page == 4 ? 0 : 4);
        field(ui.w(), c.control)->setText(c.text);
        click(button(ui.w(), c.control == QStringLiteral("Edit49") ? "Button5" : "Button4"));
        ASSERT_EQ(ui.prompts.messages.size(), 1u) << c.control;
        EXPECT_EQ(ui.prompts.messages[0], c.message);
        EXPECT_EQ(ui.w().findChild<ui::ButtonPages*>("PageControl1")->currentIndex(), c.page) << c.control;
        EXPECT_EQ(QApplication::focusWidget(), field(ui.w(), c.control)) << c.control;
        EXPECT_EQ(field(ui.w(), c.control)->selectedText(), c.text) << c.control;
        field(ui.w(), c.control)->setText(good);
    }
}

TEST(DailyWork, LoadNamesTheValuesItKeptAndRefusesAFileWithoutOne)
{
    SavedRun ui;
    QByteArray report = bytesOf(ui.save(ui.folder.filePath("rifle.txt")));
    const QString damaged = ui.folder.filePath("damaged.txt");
    report.replace(" Type of Grains:                                      4",
                   " Type of Grains:                                      9");
    report.replace("Mass of Propellant C [kg]:                           ",
                   "Mass of Propellant C [kg]:                           x");
    writeBytes(damaged, report);
    enterCase(ui.w(), loadCase("gun155_7perf"));  // a 7-perforated charge before the Load
    click(button(ui.w(), "Button4"));

    ui.load(damaged);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0],
              "These values could not be read and keep their previous value:\n"
              "Mass of Propellant C [kg]\nType of Grains");
    EXPECT_EQ(ui.w().currentGrainType(), 6);
    EXPECT_EQ(field(ui.w(), "Edit42")->text(), "0.85");  // the rest was read

    // a file with colons enough but no number after any of them is no report
    const QString notAReport = ui.folder.filePath("Makefile");
    writeBytes(notAReport, QByteArray("# DO NOT EDIT!\n").append(QByteArray("all: build\n").repeated(50)));
    field(ui.w(), "Edit33")->setText("Unchanged");
    ui.prompts.messages.clear();
    ui.load(notAReport);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], QString::fromUtf8("Soubor nenačten"));
    EXPECT_EQ(field(ui.w(), "Edit33")->text(), "Unchanged");
    EXPECT_EQ(ui.w().currentGrainType(), 6);
}

TEST(DailyWork, ExportsWriteTheSeriesBytesThePlotAndTheSummary)
{
    SavedRun ui;
    // a report loaded into the window runs as kalvex-batch runs it: the same series bytes
    const QString report = ui.save(ui.folder.filePath("rifle.txt"));
    ui.load(report);
    click(button(ui.w(), "Button4"));
    ui.prompts.saveAnswer = ui.folder.filePath("series.csv");
    trigger(ui.w(), "ExportSeries1");
    const QString batchCsv = ui.folder.filePath("batch.csv");
    QProcess batch;
    batch.start(QStringLiteral(KALVEX_BATCH_PROGRAM), {report, QStringLiteral("--csv"), batchCsv});
    ASSERT_TRUE(batch.waitForFinished(60000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    EXPECT_EQ(bytesOf(ui.prompts.saveAnswer), bytesOf(batchCsv));
    EXPECT_GT(bytesOf(batchCsv).count('\n'), 1000);

    ui.prompts.saveAnswer = ui.folder.filePath("plot.png");
    trigger(ui.w(), "ExportPlot1");
    EXPECT_EQ(QImage(ui.prompts.saveAnswer).size(), ui.w().plotView()->size());
    ui.prompts.imageWidthAnswer = 3 * ui.w().plotView()->width();
    ui.prompts.saveAnswer = ui.folder.filePath("large.png");
    trigger(ui.w(), "ExportLargerPlot1");
    EXPECT_EQ(QImage(ui.prompts.saveAnswer).size(), 3 * ui.w().plotView()->size());
    // vector drawings of the same plot, its axis titled
    ui.prompts.saveAnswer = ui.folder.filePath("plot.svg");
    trigger(ui.w(), "ExportPlotSvg1");
    const QByteArray svg = bytesOf(ui.prompts.saveAnswer);
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("Time [ms]"));
    ui.prompts.saveAnswer = ui.folder.filePath("plot.pdf");
    trigger(ui.w(), "ExportPlotPdf1");
    EXPECT_TRUE(bytesOf(ui.prompts.saveAnswer).startsWith("%PDF"));
    ui.prompts.saveAnswer = ui.folder.filePath("report.pdf");
    trigger(ui.w(), "ExportReportPdf1");
    EXPECT_TRUE(bytesOf(ui.prompts.saveAnswer).startsWith("%PDF"));

    trigger(ui.w(), "CopySummary1");
    const QString summary = QApplication::clipboard()->text();
    EXPECT_TRUE(memoText(ui.w()).endsWith(summary));
    EXPECT_TRUE(summary.contains("Muzzle:"));
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(DailyWork, TitleNamesTheReportAndMarksInputsThatDifferFromIt)
{
    SavedRun ui;
    EXPECT_EQ(ui.w().windowTitle(), ui::Tvstup::kCaption);
    const QString path = ui.save(ui.folder.filePath("rifle.txt"));
    EXPECT_EQ(ui.w().windowTitle(), QString::fromUtf8("rifle.txt[*] – Interior Ballistics: Stanag 4367"));
    EXPECT_EQ(ui.w().windowFilePath(), path);
    EXPECT_FALSE(ui.w().isWindowModified());
    field(ui.w(), "Edit19")->setText("0.003");
    EXPECT_TRUE(ui.w().isWindowModified());
    click(button(ui.w(), "Button4"));
    EXPECT_TRUE(ui.prompts.messages.empty());
    EXPECT_TRUE(ui.w().isWindowModified()) << "a run changes no file";
    field(ui.w(), "Edit19")->setText("0.0029");
    EXPECT_FALSE(ui.w().isWindowModified());
    field(ui.w(), "Edit19")->setText("0.005");
    ui.prompts.openAnswer = path;
    click(button(ui.w(), "Button6"));
    EXPECT_EQ(field(ui.w(), "Edit19")->text(), "0.0029");
    EXPECT_FALSE(ui.w().isWindowModified()) << "the report just loaded";
    // the report heads the recent reports, which load it again
    auto* recent = ui.w().findChild<QMenu*>("RecentReports");
    emit recent->aboutToShow();
    ASSERT_FALSE(recent->actions().isEmpty());
    EXPECT_EQ(recent->actions()[0]->data().toString(), QFileInfo(path).absoluteFilePath());
    // the next Save proposes the folder of the report, not the working folder
    ui.save(ui.folder.filePath("again.txt"));
    EXPECT_EQ(QFileInfo(ui.prompts.saveRequests.back().proposedPath).absolutePath(),
              QFileInfo(path).absolutePath());
}

TEST(DailyWork, ASavedRunIsDrawnForTheQuantitiesOfItsTableWithRisingX)
{
    SavedRun ui;
    const QString saved = ui.save(ui.folder.filePath("old.txt"));
    ui.prompts.openAnswer = saved;
    trigger(ui.w(), "SavedRun1");
    const plot::PlotSeries& overlay = ui.w().plotState().series[plot::kOverlaySlot];
    ASSERT_EQ(overlay.active, 1);
    // the mean pressure over time, times strictly rising up to the walk's end
    int points = 1;
    while (points < plot::kSlotCapacity && overlay.xValues[points] > overlay.xValues[points - 1])
        ++points;
    EXPECT_GT(points, 10);
    EXPECT_NEAR(overlay.xValues[points - 1], ui.w().completedRun()->series[0][ui.w().completedRun()->stepCount], 0.001);

    // the burning rate is not in a report's table: no saved run beside it
    auto* yChoice = ui.w().findChild<ui::RadioGroup*>("RadioGroup3");
    clickRadio(yChoice->item(9));
    EXPECT_EQ(overlay.active, 0);
    clickRadio(yChoice->item(4));  // velocity is
    EXPECT_EQ(overlay.active, 1);
    trigger(ui.w(), "RemoveSavedRun1");
    EXPECT_EQ(overlay.active, 0);
}

TEST(DailyWork, WindowsAndMessageBoxesShareOneFontFamily)
{
    WindowUnderTest ui;
    ui::useWindowFontFamily();
    const QString family = ui.window->font().family();
    QMessageBox box;
    ui::Tprevody conversion;
    ui::StudyWindow study;
    for (const QWidget* other : std::initializer_list<const QWidget*>{&box, &conversion, &study})
        EXPECT_EQ(other->font().family(), family);
}

// Undo and redo take back a change of the input set as one step, also from inside a field.
TEST(DailyWork, UndoAndRedoTakeBackAChangeOfTheInputs)
{
    SavedRun ui;
    QLineEdit* charge = field(ui.w(), "Edit19");
    const QString before = charge->text();
    charge->setText("0.005");
    emit charge->editingFinished();
    field(ui.w(), "Edit2")->setText("0.01");  // typed, not yet left: a step of its own
    trigger(ui.w(), "Undo1");
    EXPECT_EQ(field(ui.w(), "Edit2")->text(), "0.0095");
    EXPECT_EQ(charge->text(), "0.005");
    trigger(ui.w(), "Undo1");
    EXPECT_EQ(charge->text(), before);
    trigger(ui.w(), "Redo1");
    EXPECT_EQ(charge->text(), "0.005");
    EXPECT_TRUE(ui.prompts.messages.empty());
}
