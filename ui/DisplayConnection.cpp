#include "ui/DisplayConnection.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace kalvex::ui {
namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// Qt takes a plain function as its message handler, so the guard's state lives here; only one
// guard exists, around the construction of the application object.
struct GuardState {
    QtMessageHandler previous = nullptr;
    struct sigaction brokenPipe {};  // the handling of SIGPIPE before the guard
    std::mutex holding;  // the connection's event reader thread may report meanwhile
    std::vector<HeldMessage> held;
};

GuardState& state()
{
    static GuardState guarded;
    return guarded;
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // the platform could not connect: no window can be shown
        std::fputs(kNoDisplayLine, stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    const std::lock_guard<std::mutex> lock(state().holding);
    state().held.push_back({type, context.category ? context.category : "", text});
}

}  // namespace

DisplayConnectionGuard::DisplayConnectionGuard()
{
    state().held.clear();
    state().previous = qInstallMessageHandler(holdOrEnd);
    // a display that hangs up during the greeting makes the write fail instead of ending us
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &state().brokenPipe);
}

DisplayConnectionGuard::~DisplayConnectionGuard()
{
    sigaction(SIGPIPE, &state().brokenPipe, nullptr);
    qInstallMessageHandler(state().previous);
    std::vector<HeldMessage> held;
    {
        const std::lock_guard<std::mutex> lock(state().holding);
        held.swap(state().held);
    }
    for (const HeldMessage& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        if (state().previous)
            state().previous(message.type, context, message.text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(message.type, context, message.text)));
    }
}

}  // namespace kalvex::ui
