// The powder page's propellant buttons: choosing a library row and saving the fields as one.
#include "ScopedDataHome.h"
#include "WindowDriver.h"

#include "core/propellant/PropellantLibrary.h"
#include "ui/FieldNumbers.h"
#include "ui/PropellantDialog.h"
#include "ui/Vstup1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

using namespace kalvex;
using namespace kalvex::test;
namespace fs = std::filesystem;

namespace {

const char* const kSeven[] = {"Edit20", "Edit21", "Edit22", "Edit23", "Edit24", "Edit25", "Edit26"};

// Answers the next modal dialog, once it is shown, with `answer`.
void answerModal(const std::function<void(QWidget*)>& answer)
{
    QTimer::singleShot(0, [answer] { answer(QApplication::activeModalWidget()); });
}

// Picks the row `name` in the open propellant dialog and presses OK.
void pickRow(const QString& name)
{
    answerModal([name](QWidget* modal) {
        auto* dialog = qobject_cast<ui::PropellantDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        const auto found = dialog->table()->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        dialog->table()->selectRow(found.front()->row());
        dialog->accept();
    });
}

std::map<QString, QString> allFieldTexts(const ui::Tvstup& w)
{
    std::map<QString, QString> texts;
    for (const QLineEdit* edit : w.findChildren<QLineEdit*>())
        if (!edit->objectName().isEmpty())
            texts[edit->objectName()] = edit->text();
    return texts;
}

// The main window with an input case entered, its user library in a folder of the test's own.
struct PowderPage {
    explicit PowderPage(const char* inputCase) { enterCase(w, loadCase(QString::fromUtf8(inputCase))); }
    void press(const char* control) { button(w, control)->click(); }

    const ScopedDataHome home;  // before the window, which must never see the real library
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
};

}  // namespace

TEST(PropellantPage, ChoosingAPropellantFillsExactlyTheSevenFieldsAndNamesItsSource)
{
    PowderPage page("gun155_7perf");
    ui::Tvstup& w = page.w;
    const std::map<QString, QString> before = allFieldTexts(w);
    const PropellantLibrary library =
        loadPropellantLibrary(defaultPropellantFiles(QCoreApplication::applicationDirPath().toStdString()));
    const Propellant& m30 = *library.find("M30");

    pickRow(QStringLiteral("M30"));
    page.press("PropellantButton");

    std::map<QString, QString> expected = before;
    const double values[] = {m30.F, m30.T0, m30.b, m30.gamma, m30.rho, m30.beta, m30.alpha};
    for (std::size_t i = 0; i < std::size(kSeven); ++i)
        expected[QString::fromLatin1(kSeven[i])] = ui::numberText(values[i]);
    EXPECT_EQ(allFieldTexts(w), expected);
    EXPECT_TRUE(memoText(w).endsWith(
        QString::fromStdString(" Propellant M30: " + m30.source + "\n")))
        << memoText(w).toStdString();
    EXPECT_TRUE(page.ui.prompts.messages.empty());

    // Cancelled, the dialog changes nothing.
    answerModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    page.press("PropellantButton");
    EXPECT_EQ(allFieldTexts(w), expected);
}

TEST(PropellantPage, SavedFieldsComeBackAsTheUsersRow)
{
    PowderPage page("rifle_tube");
    ui::Tvstup& w = page.w;
    const std::map<QString, QString> typed = allFieldTexts(w);

    answerModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setTextValue(QStringLiteral("Lot 42"));
        dialog->accept();
    });
    page.press("SavePropellantButton");
    const fs::path file = page.home.userLibrary();
    ASSERT_TRUE(fs::exists(file));
    EXPECT_TRUE(memoText(w).endsWith(
        QString::fromStdString(" Propellant Lot 42 saved in " + file.string() + "\n")));

    for (const char* control : kSeven)
        field(w, control)->setText(QStringLiteral("7"));
    pickRow(QStringLiteral("Lot 42"));
    page.press("PropellantButton");
    for (const char* control : kSeven)  // the same numbers, written as Load writes them
        EXPECT_EQ(field(w, control)->text().toDouble(), typed.at(control).toDouble()) << control;
    EXPECT_TRUE(memoText(w).endsWith(" Propellant Lot 42: user library\n"));

    // Values that break an input rule are refused before the name is asked for.
    field(w, "Edit26")->setText(QStringLiteral("0.3"));
    page.press("SavePropellantButton");
    ASSERT_EQ(page.ui.prompts.messages.size(), 1u);
    EXPECT_EQ(page.ui.prompts.messages[0], "Burning Rate Exponent for Propellant alpha less than 0.5");
}
