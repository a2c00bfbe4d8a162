// GUI tests of the main window. The recorded prompts answer every expected message and file
// dialog, so any modal window that appears is a fault: the watchdog fails the running test and
// closes the window, so no test can hang on it.
#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <clocale>

#include <gtest/gtest.h>

namespace {

constexpr int kWatchdogIntervalMs = 500;

void closeStrayModals(QApplication& app)
{
    auto* watchdog = new QTimer(&app);
    QObject::connect(watchdog, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        ADD_FAILURE() << "unexpected modal window: " << modal->windowTitle().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    watchdog->start(kWatchdogIntervalMs);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // listing the tests (at discovery) runs without the test environment: no screen needed
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    // the recent reports of the tests go to a folder of their own, not the user's settings
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication::setOrganizationName(QStringLiteral("KalvexTests"));
    closeStrayModals(app);
    return RUN_ALL_TESTS();
}
