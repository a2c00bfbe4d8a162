// The program itself where no display can be opened: one clear line, no crash.
#include "ui/DisplayCheck.h"
#include "ui/DisplayConnection.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <thread>
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

// A display of this machine that takes every connection and hangs up at once, as a server
// does that refuses the client: its socket answers, but no window can be opened on it.
class RefusingDisplay {
public:
    // Takes the first free display number from `first` on, so that runs of this test in
    // several build trees at once do not collide.
    explicit RefusingDisplay(int first)
    {
        constexpr int kCandidates = 200;
        for (int number = first; number < first + kCandidates && !listening_; ++number) {
            listening_ = listenAs(number);
            if (listening_)
                number_ = number;
        }
        if (listening_)
            hangingUp_ = std::thread([this] { hangUpOnEveryone(); });
    }
    ~RefusingDisplay()
    {
        stop_ = true;
        if (hangingUp_.joinable())
            hangingUp_.join();
        if (listener_ >= 0)
            ::close(listener_);
    }
    RefusingDisplay(const RefusingDisplay&) = delete;
    RefusingDisplay& operator=(const RefusingDisplay&) = delete;
    bool listening() const { return listening_; }
    QString name() const { return QStringLiteral(":%1").arg(number_); }

private:
    bool listenAs(int number)
    {
        if (listener_ >= 0)
            ::close(listener_);
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.data(), path.size());  // abstract name
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        return listener_ >= 0 && ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
               ::listen(listener_, 8) == 0;
    }

    void hangUpOnEveryone()
    {
        constexpr int kPollMs = 20;
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, kPollMs) > 0) {
                const int client = ::accept(listener_, nullptr, nullptr);
                if (client >= 0)
                    ::close(client);
            }
        }
    }

    int listener_ = -1;
    int number_ = 0;
    bool listening_ = false;
    std::atomic<bool> stop_{false};
    std::thread hangingUp_;
};

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

TEST(ProgramStart, DisplayThatRefusesTheConnectionIsNoCrash)
{
    RefusingDisplay refusing(4712);
    ASSERT_TRUE(refusing.listening());
    // it passes the socket probe
    ASSERT_TRUE(kalvex::ui::localX11DisplayAccepts(refusing.name().toLatin1().constData()));
    const Ended ended = runProgramWithDisplay(refusing.name());
    ASSERT_TRUE(ended.finished);
    EXPECT_EQ(ended.status, QProcess::NormalExit);
    EXPECT_EQ(ended.code, 1);
    EXPECT_EQ(ended.errors, kNoDisplayLine);
    EXPECT_TRUE(ended.output.isEmpty());
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
