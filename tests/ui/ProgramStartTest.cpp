// The program itself where no display can be opened: one clear line, no crash.
#include "ui/DisplayCheck.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

TEST(ProgramStart, WithoutADisplaySaysSoInOneLine)
{
    // no display named, and a display of this machine that nobody serves
    for (const QString display : {"", ":4711"}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KALVEX_PROGRAM), {});
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << display.toStdString();
        EXPECT_EQ(program.exitCode(), 1);
        EXPECT_EQ(program.readAllStandardError(),
                  "kalvex: no display can be opened (set DISPLAY or run under xvfb-run)\n");
        EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
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
