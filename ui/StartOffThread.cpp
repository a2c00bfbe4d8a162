#include "ui/StartOffThread.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace kalvex::ui {

std::string DeferredStartHost::fieldText(std::string_view parameter) const
{
    const auto text = snapshot_.fieldTexts.find(parameter);
    return text == snapshot_.fieldTexts.end() ? std::string() : text->second;
}

void DeferredStartHost::setFieldText(std::string_view parameter, const std::string& text)
{
    snapshot_.fieldTexts.insert_or_assign(std::string(parameter), text);  // read back as the field would
    calls_.push_back({Kind::fieldText, std::string(parameter), text});
}

void DeferredStartHost::appendLine(const std::string& line)
{
    calls_.push_back({Kind::line, {}, line});
}

void DeferredStartHost::runCompleted(const RunResults&)
{
    calls_.push_back({Kind::runCompleted, {}, {}});
}

void DeferredStartHost::replay(StartHost& window, const std::function<const RunResults&()>& takeCompletedRun) const
{
    for (const Call& call : calls_) {
        switch (call.kind) {
        case Kind::fieldText: window.setFieldText(call.parameter, call.text); break;
        case Kind::line: window.appendLine(call.text); break;
        case Kind::runCompleted: window.runCompleted(takeCompletedRun()); break;
        }
    }
}

std::exception_ptr runOffGuiThread(const std::function<void()>& work)
{
    std::exception_ptr failure;
    QEventLoop loop;
    const std::unique_ptr<QThread> thread(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();  // finished is emitted just before the thread ends
    return failure;
}

}  // namespace kalvex::ui
