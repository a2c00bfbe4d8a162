#include "WindowDriver.h"

#include "WidgetDriving.h"

#include "ui/ButtonPages.h"
#include "ui/GrainPage.h"
#include "ui/RadioGroup.h"
#include "ui/Vstup1.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <stdexcept>

namespace kalvex::test {

QString testDataPath(const QString& relative)
{
    return QStringLiteral(KALVEX_TEST_DATA "/") + relative;
}

using ui::test_support::child;

namespace {

QByteArray readData(const QString& relative)
{
    QFile file(testDataPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing test data " + relative.toStdString());
    return file.readAll();
}

}  // namespace

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

InputCase loadCase(const QString& name)
{
    // "key=value" lines; '#' starts a comment line
    InputCase input;
    for (const QByteArray& rawLine : readData(name + ".case.txt").split('\n')) {
        const QString line = QString::fromUtf8(rawLine).remove('\r');
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('#') || equals < 0)
            continue;
        const QString key = line.left(equals);
        const QString value = line.mid(equals + 1);
        if (key == "grainType")
            input.grainType = value.toInt();
        else if (key == "CheckBox1")
            input.showEnergy = value == "1";
        else if (key == "CheckBox2")
            input.showGrains = value == "1";
        else if (key == "CheckBox3")
            input.heatTransfer = value == "1";
        else
            input.fields[key.toStdString()] = value;
    }
    if (input.fields.empty())
        throw std::runtime_error("no fields in case " + name.toStdString());
    return input;
}

QString expectedMemo(const QString& name)
{
    return QString::fromUtf8(readData(name + ".memo.txt"));
}

QLineEdit* field(const ui::Tvstup& window, const char* name)
{
    return child<QLineEdit>(window, name);
}

QAbstractButton* button(const ui::Tvstup& window, const char* name)
{
    return child<QAbstractButton>(window, name);
}

void click(QAbstractButton* target)
{
    QTest::mouseClick(target, Qt::LeftButton);
}

void clickRadio(QRadioButton* radio)
{
    QStyleOptionButton option;
    option.initFrom(radio);
    const QRect area = radio->style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, radio);
    QTest::mouseClick(radio, Qt::LeftButton, Qt::NoModifier, area.center());
}

void showInputPage(ui::Tvstup& window, int page)
{
    auto* pages = child<ui::ButtonPages>(window, "PageControl1");
    click(pages->pageButton(page));
}

void enterCase(ui::Tvstup& window, const InputCase& input)
{
    for (const auto& [name, text] : input.fields)
        field(window, name.c_str())->setText(text);
    showInputPage(window, 2);
    clickRadio(window.grainPage()->selector()->item(input.grainType - 1));
    showInputPage(window, 4);
    child<QCheckBox>(window, "CheckBox1")->setChecked(input.showEnergy);
    child<QCheckBox>(window, "CheckBox2")->setChecked(input.showGrains);
    child<QCheckBox>(window, "CheckBox3")->setChecked(input.heatTransfer);
    showInputPage(window, 0);
}

QString memoText(const ui::Tvstup& window)
{
    return child<QPlainTextEdit>(window, "Memo1")->toPlainText();
}

WindowUnderTest::WindowUnderTest() : window(std::make_unique<ui::Tvstup>())
{
    ui::setPrompts(&prompts);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        throw std::runtime_error("the main window was not shown");
}

WindowUnderTest::~WindowUnderTest()
{
    window.reset();
    ui::setPrompts(nullptr);
}

SavedRun::SavedRun()
{
    enterCase(*window, loadCase("rifle_tube"));
    field(*window, "Edit33")->setText("Rifle 7.62 mm");
    click(button(*window, "Button4"));
}

QString SavedRun::save(const QString& path)
{
    prompts.saveAnswer = path;
    click(button(*window, "Button5"));
    return path;
}

void SavedRun::load(const QString& path)
{
    prompts.openAnswer = path;
    click(button(*window, "Button6"));
}

}  // namespace kalvex::test
