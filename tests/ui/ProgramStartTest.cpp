// The program itself where no display can be opened: one clear line, no crash.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

TEST(ProgramStart, WithoutADisplaySaysSoInOneLine)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KALVEX_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_EQ(program.readAllStandardError(),
              "kalvex: no display can be opened (set DISPLAY or run under xvfb-run)\n");
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}
