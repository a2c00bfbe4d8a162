#include <QGuiApplication>

#include <gtest/gtest.h>

// The figures are drawn by the plot code, whose labels use fonts, which need a GUI application. The drawing goes to a
// bitmap only, so no screen is needed: without a platform named, use the offscreen one
// (test discovery runs the program without the test environment).
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
