// The program itself where no display can be opened: one clear line, no crash.
#include "RefusingDisplay.h"
#include "ui/DisplayCheck.h"
#include "ui/DisplayConnection.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr const char* kNoDisplayLine =
    "kalvex: no display can be opened (set DISPLAY or run under xvfb-run)\n";

// The program with no display variables but the given DISPLAY; its exit code and error output.
struct Ended {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QByteArray errors;
    QByteArray output;
};

Ended runProgramWithDisplay(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!display.isEmpty())
        environment.insert("DISPLAY", display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KALVEX_PROGRAM), {});
    Ended ended;
    ended.finished = program.waitForFinished(20000);
    ended.status = program.exitStatus();
    ended.code = program.exitCode();
    ended.errors = program.readAllStandardError();
    ended.output = program.readAllStandardOutput();
    return ended;
}

}  // namespace

TEST(ProgramStart, WithoutADisplaySaysSoInOneLine)
{
    // no display named, and a display of this machine that nobody serves
    for (const QString display : {"", ":4711"}) {
        const Ended ended = runProgramWithDisplay(display);
        ASSERT_TRUE(ended.finished);
        EXPECT_EQ(ended.status, QProcess::NormalExit) << display.toStdString();
        EXPECT_EQ(ended.code, 1);
        EXPECT_EQ(ended.errors, kNoDisplayLine);
        EXPECT_TRUE(ended.output.isEmpty());
    }
}

TEST(ProgramStart, DisplayThatTurnsTheProgramAwayIsNoCrash)
{
    using kalvex::test::RefusingDisplay;
    const struct {
        const char* how;
        RefusingDisplay::Answer answer;
        QByteArray errors;  // what the X client library itself says comes first
    } displays[] = {
        {"hangs up at once", RefusingDisplay::Answer::hangUp, kNoDisplayLine},
        {"refuses the setup", RefusingDisplay::Answer::refuse,
         QByteArray(RefusingDisplay::kReason) + "\n" + kNoDisplayLine},
    };
    for (const auto& display : displays) {
        SCOPED_TRACE(display.how);
        RefusingDisplay refusing(4712, display.answer);
        ASSERT_TRUE(refusing.listening());
        // it passes the socket probe
        ASSERT_TRUE(kalvex::ui::localX11DisplayAccepts(refusing.name().toLatin1().constData()));
        const Ended ended = runProgramWithDisplay(refusing.name());
        ASSERT_TRUE(ended.finished);
        EXPECT_EQ(ended.status, QProcess::NormalExit);
        EXPECT_EQ(ended.code, 1);
        EXPECT_EQ(ended.errors, display.errors);
        EXPECT_TRUE(ended.output.isEmpty());
    }
}

TEST(DisplayCheck, OnlyDisplaysOfThisMachineAreProbed)
{
    EXPECT_FALSE(kalvex::ui::localX11DisplayAccepts(":4711"));
    EXPECT_FALSE(kalvex::ui::localX11DisplayAccepts(":4711.0"));
    // names whose server cannot be checked here are left to Qt
    EXPECT_TRUE(kalvex::ui::localX11DisplayAccepts("remotehost:0"));
    EXPECT_TRUE(kalvex::ui::localX11DisplayAccepts(":x"));
}

namespace {

std::vector<QString> seenByQt;

void recordForQt(QtMsgType, const QMessageLogContext&, const QString& text)
{
    seenByQt.push_back(text);
}

}  // namespace

TEST(DisplayConnection, MessagesWhileConnectingReachQtOnceTheApplicationStands)
{
    seenByQt.clear();
    const QtMessageHandler before = qInstallMessageHandler(recordForQt);
    {
        kalvex::ui::DisplayConnectionGuard connecting;
        qWarning("while connecting");
        EXPECT_TRUE(seenByQt.empty());  // held back
    }
    EXPECT_EQ(seenByQt, std::vector<QString>{"while connecting"});
    qWarning("afterwards");
    EXPECT_EQ(seenByQt.size(), 2u);  // the handler in place before is back
    qInstallMessageHandler(before);
}
