#include "QtPrinting.h"
#include "WidgetDriving.h"
#include "ui/Oprogramu1.h"
#include "ui/Zakladni1.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kalvex::ui;
using namespace kalvex::ui::test_support;

namespace {

// Stands in for the working window: records how often it was shown modally.
class StubMainWindow : public QDialog {
public:
    int shownModally = 0;
    Qt::WindowModality modalityWhileShown = Qt::NonModal;
};

// Answers the next modal window as soon as the event loop runs.
void closeNextModal(StubMainWindow& stub)
{
    QTimer::singleShot(0, [&stub] {
        if (QApplication::activeModalWidget() == &stub) {
            ++stub.shownModally;
            stub.modalityWhileShown = stub.windowModality();
        }
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

// Runs the application's event loop until the program is ended; false if it did not end.
bool programEndsAfter(const std::function<void()>& action)
{
    bool timedOut = false;
    QTimer::singleShot(0, action);
    // Owned by this frame: when the program ends in time the timer dies with it instead of
    // firing later into another test's event loop and a flag that no longer exists.
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    patience.start(3000);
    const int rc = QApplication::exec();
    return rc == 0 && !timedOut;
}

}  // namespace

TEST(StartWindow, HasItsCaptionSizeAndButtons)
{
    Tzakladni start;
    EXPECT_EQ(start.windowTitle(), "Interior Ballistics");
    EXPECT_EQ(start.size(), QSize(601, 208));
    EXPECT_FALSE(start.isModal());
    EXPECT_EQ(child<QPushButton>(start, "Button1")->text(), "START");
    EXPECT_EQ(child<QPushButton>(start, "Button2")->text(), "CLOSE");
    for (QPushButton* b : {child<QPushButton>(start, "Button1"), child<QPushButton>(start, "Button2")}) {
        EXPECT_EQ(b->size(), QSize(129, 42));
        EXPECT_TRUE(b->font().bold());
        EXPECT_EQ(b->font().family(), "Arial");
        EXPECT_EQ(b->parentWidget(), child<QFrame>(start, "Panel1"));
    }
    EXPECT_LT(child<QPushButton>(start, "Button1")->x(), child<QPushButton>(start, "Button2")->x());
    ASSERT_FALSE(child<QLabel>(start, "Image1")->pixmap().isNull());
    EXPECT_EQ(child<QLabel>(start, "Image1")->pixmap().size(), QSize(265, 105));
    EXPECT_EQ(child<QLabel>(start, "Image1")->pos(), QPoint(8, 8));
    // The panel sits at the bottom left.
    EXPECT_LT(child<QFrame>(start, "Panel1")->x(), 20);
    EXPECT_GT(child<QFrame>(start, "Panel1")->geometry().bottom(), 190);
}

TEST(StartWindow, StartShowsTheMainWindowModallyAsOftenAsPressed)
{
    Tzakladni start;
    StubMainWindow stub;
    start.setMainWindow(&stub);
    showAndWait(start);

    for (int press = 1; press <= 2; ++press) {
        closeNextModal(stub);
        click(child<QPushButton>(start, "Button1"));  // returns when the main window is closed
        EXPECT_EQ(stub.shownModally, press);
        // Modal for the whole application: the start window takes no input meanwhile.
        EXPECT_EQ(stub.modalityWhileShown, Qt::ApplicationModal);
        EXPECT_FALSE(stub.isVisible());
        EXPECT_TRUE(start.isVisible());
    }
}

TEST(StartWindow, StartWithoutAMainWindowDoesNothing)
{
    Tzakladni start;
    showAndWait(start);
    click(child<QPushButton>(start, "Button1"));
    EXPECT_TRUE(start.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(StartWindow, EveryWayOfClosingItEndsTheProgram)
{
    const struct {
        const char* how;
        std::function<void(Tzakladni&)> close;
    } ways[] = {
        {"CLOSE button", [](Tzakladni& w) { click(child<QPushButton>(w, "Button2")); }},
        {"close box", [](Tzakladni& w) { w.close(); }},
        {"Escape key", [](Tzakladni& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        Tzakladni start;
        QDialog toolWindow;  // a tool window left open does not keep the program alive
        showAndWait(start);
        toolWindow.show();
        EXPECT_TRUE(programEndsAfter([&] { way.close(start); }));
        EXPECT_FALSE(start.isVisible());
    }
}

TEST(AboutWindow, ShowsTitleVersionDatePictureAndNotice)
{
    Toprogramu about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(child<QLabel>(about, "Label3")->text(), "Kalvex - Interior Ballistics: Stanag 4367");
    EXPECT_TRUE(child<QLabel>(about, "Label3")->font().bold());
    EXPECT_EQ(child<QLabel>(about, "Label3")->font().family(), "Arial");
    EXPECT_EQ(child<QLabel>(about, "Label8")->text(), "Version:  1.0");
    EXPECT_EQ(child<QLabel>(about, "Label1")->text(), "Date:      2. 6. 2010");
    ASSERT_FALSE(child<QLabel>(about, "Image1")->pixmap().isNull());
    EXPECT_EQ(child<QLabel>(about, "Image1")->pixmap().size(), QSize(265, 105));
    EXPECT_TRUE(child<QPlainTextEdit>(about, "Memo1")->isReadOnly());
    EXPECT_EQ(child<QPlainTextEdit>(about, "Memo1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(child<QPlainTextEdit>(about, "Memo1")->toPlainText().contains("without warranty"));
    // No commands: nothing to press.
    EXPECT_TRUE(about.findChildren<QPushButton*>().isEmpty());
}

TEST(AboutWindow, VersionAndDateStandBesideThePicture)
{
    Toprogramu about;
    showAndWait(about);
    const QRect picture(child<QLabel>(about, "Image1")->mapTo(&about, QPoint()), child<QLabel>(about, "Image1")->size());
    for (QLabel* label : {child<QLabel>(about, "Label8"), child<QLabel>(about, "Label1")}) {
        const QPoint at = label->mapTo(&about, QPoint());
        EXPECT_GT(at.x(), picture.right());
        EXPECT_GE(at.y(), picture.top());
        EXPECT_LE(at.y(), picture.bottom());
    }
    EXPECT_LT(child<QLabel>(about, "Label8")->mapTo(&about, QPoint()).y(), child<QLabel>(about, "Label1")->mapTo(&about, QPoint()).y());
}
