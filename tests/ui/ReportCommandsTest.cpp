// Save and Load through the window, with the file dialogs answered by the recorded prompts.
#include "WindowDriver.h"

#include "ui/GrainPage.h"
#include "ui/RadioGroup.h"
#include "ui/Vstup1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;

TEST(SaveCommand, IntervalMustBeAWholeNumberOfAtLeastOne)
{
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "'abc' is not a valid integer value"},
        {"2.5", "'2.5' is not a valid integer value"},
        {"0", "Step in Time Progress less than 1"},
        {"-3", "Step in Time Progress less than 1"},
    };
    SavedRun ui;
    for (const auto& [text, message] : cases) {
        ui.prompts.messages.clear();
        field(ui.w(), "Edit49")->setText(text);
        ui.save(ui.folder.filePath("never.txt"));
        ASSERT_EQ(ui.prompts.messages.size(), 1u) << text;
        EXPECT_EQ(ui.prompts.messages[0], message);
    }
    EXPECT_TRUE(ui.prompts.saveRequests.empty());  // no dialog was shown
    EXPECT_FALSE(QFile::exists(ui.folder.filePath("never.txt")));
}

TEST(SaveCommand, ProposesOutputTxtFirstAndThenTheLastFile)
{
    SavedRun ui;
    const QString path = ui.save(ui.folder.filePath("first.txt"));
    ui.save(ui.folder.filePath("second.txt"));
    ASSERT_EQ(ui.prompts.saveRequests.size(), 2u);
    const ui::SaveFileRequest& first = ui.prompts.saveRequests[0];
    EXPECT_EQ(QFileInfo(first.proposedPath).fileName(), "Output.txt");
    EXPECT_EQ(first.filter, "Text files (*.txt)");
    EXPECT_EQ(first.defaultExtension, "txt");
    EXPECT_EQ(ui.prompts.saveRequests[1].proposedPath, path);
    EXPECT_TRUE(ui.prompts.messages.empty());
}

TEST(SaveCommand, CancelledDialogWritesNothing)
{
    SavedRun ui;
    ui.save(QString());
    EXPECT_EQ(ui.prompts.saveRequests.size(), 1u);
    EXPECT_TRUE(QDir(ui.folder.path()).entryList(QDir::Files).isEmpty());
}

TEST(SaveCommand, UnwritableTargetIsReportedByName)
{
    SavedRun ui;
    // a folder that does not exist, and a folder standing where the file should go
    const QString inMissingFolder = ui.folder.filePath("missing/report.txt");
    const QString folderInTheWay = ui.folder.filePath("report.txt");
    ASSERT_TRUE(QDir().mkdir(folderInTheWay));
    for (const QString& target : {inMissingFolder, folderInTheWay}) {
        ui.prompts.messages.clear();
        ui.save(target);
        ASSERT_EQ(ui.prompts.messages.size(), 1u) << target.toStdString();
        EXPECT_TRUE(ui.prompts.messages[0].contains(QDir::toNativeSeparators(target)))
            << ui.prompts.messages[0].toStdString();
    }
    EXPECT_TRUE(QFileInfo(folderInTheWay).isDir());
    EXPECT_FALSE(QFile::exists(inMissingFolder));
}

TEST(ReportCommands, SaveLoadSaveGivesTheSameBytesAndRestoresTheFields)
{
    SavedRun ui;
    const QString first = ui.save(ui.folder.filePath("first.txt"));
    const QByteArray saved = bytesOf(first);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved.contains(" Weapon: Rifle 7.62 mm\r\n"));

    // change what the report restores, then load it back
    field(ui.w(), "Edit33")->setText("Other");
    field(ui.w(), "Edit1")->setText("1");
    field(ui.w(), "Edit15")->setText("0.25");
    field(ui.w(), "Edit42")->setText("3");
    showInputPage(ui.w(), 2);
    clickRadio(ui.w().grainPage()->selector()->item(0));
    ASSERT_EQ(ui.w().currentGrainType(), 1);

    ui.load(first);
    EXPECT_TRUE(ui.prompts.messages.empty());
    EXPECT_EQ(field(ui.w(), "Edit33")->text(), "Rifle 7.62 mm");
    EXPECT_EQ(field(ui.w(), "Edit1")->text(), "4.67E-5");
    EXPECT_EQ(field(ui.w(), "Edit15")->text(), "0.0005");
    EXPECT_EQ(field(ui.w(), "Edit42")->text(), "0.85");
    EXPECT_EQ(field(ui.w(), "Edit38")->text(), "20");
    EXPECT_EQ(ui.w().currentGrainType(), 4);
    EXPECT_TRUE(ui.w().grainPage()->selector()->item(3)->isChecked());
    EXPECT_TRUE(ui.w().grainPage()->sizeRowVisible(2));
    EXPECT_FALSE(ui.w().grainPage()->sizeRowVisible(3));
    EXPECT_EQ(ui.w().storedInput().grainType, 4);

    const QString second = ui.save(ui.folder.filePath("second.txt"));
    EXPECT_EQ(bytesOf(second), saved);
}

TEST(LoadCommand, StartsInTheProgramFolderAndThenWhereTheLastFileWas)
{
    SavedRun ui;
    const QString path = ui.save(ui.folder.filePath("report.txt"));
    ui.load(path);
    ui.load(QString());  // cancelled: nothing happens
    ASSERT_EQ(ui.prompts.openRequests.size(), 2u);
    EXPECT_EQ(ui.prompts.openRequests[0].folder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(QDir(ui.prompts.openRequests[1].folder), QDir(ui.folder.path()));
}

TEST(LoadCommand, TruncatedMissingOrDamagedFileChangesNothing)
{
    SavedRun ui;
    const QByteArray saved = bytesOf(ui.save(ui.folder.filePath("full.txt")));
    const QString truncated = ui.folder.filePath("truncated.txt");
    // cut inside the grain sizes, before the last input value
    writeBytes(truncated, saved.left(saved.indexOf("Diameter of Perforation or Slab Size P")));
    field(ui.w(), "Edit1")->setText("7");
    field(ui.w(), "Edit33")->setText("Unchanged");
    // a whole report whose block after the table is damaged: refused, naming file and line
    const QString damagedBlock = ui.folder.filePath("damaged-block.txt");
    const QByteArray block = "\r\n * Input Set beyond the 43 Values * \r\n"
                             "Number of Charge Components:                      2\r\n\r\n * Component 1 * \r\n\r\n"
                             " * Component 2 * \r\nMass of Propellant C [kg]:                        0.0x\r\n";
    writeBytes(damagedBlock, saved + block);
    const QString damagedLine = QString::number(saved.count('\n') + block.count('\n'));
    const double storedArea = ui.w().storedInput().A;

    const std::pair<QString, QString> cases[] = {
        {truncated, QString::fromUtf8("Soubor nenačten")},
        {ui.folder.filePath("missing.txt"), QString::fromUtf8("Soubor nenačten")},
        {damagedBlock, damagedBlock + ":" + damagedLine + ": Component 2: '0.0x' is not a valid floating point value"},
    };
    for (const auto& [path, message] : cases) {
        ui.prompts.messages.clear();
        ui.load(path);
        ASSERT_EQ(ui.prompts.messages.size(), 1u) << path.toStdString();
        EXPECT_EQ(ui.prompts.messages[0], message);
        EXPECT_EQ(field(ui.w(), "Edit1")->text(), "7");
        EXPECT_EQ(field(ui.w(), "Edit33")->text(), "Unchanged");
        EXPECT_EQ(ui.w().storedInput().A, storedArea);
        EXPECT_EQ(ui.w().currentGrainType(), 4);
    }
}
