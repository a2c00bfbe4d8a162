#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <clocale>

namespace {

// A modal window that nobody expected would block the whole run: after a grace period the
// guard fails the running test and closes the window.
constexpr int kGuardIntervalMs = 500;
constexpr int kGuardPatienceTicks = 10;

void guardAgainstStrayModals(QApplication& app)
{
    auto* guard = new QTimer(&app);
    QObject::connect(guard, &QTimer::timeout, [ticks = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            ticks = 0;
            return;
        }
        if (++ticks < kGuardPatienceTicks)
            return;
        ticks = 0;
        ADD_FAILURE() << "a modal window stayed open: " << modal->windowTitle().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    guard->start(kGuardIntervalMs);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The tests drive real widgets without a screen; listing them must work without one too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    guardAgainstStrayModals(app);
    return RUN_ALL_TESTS();
}
