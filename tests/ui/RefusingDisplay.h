#pragma once
// A display of this machine whose socket answers but on which no window can be opened: it
// either hangs up on every client at once or turns the client down the way an X server does
// that refuses the authorisation, with a failed connection setup and a reason.
#include <QString>

#include <atomic>
#include <string>
#include <thread>

namespace kalvex::test {

class RefusingDisplay {
public:
    enum class Answer { hangUp, refuse };
    static constexpr const char* kReason = "the test display refuses every client";

    // Takes the first free display number from `first` on, so that runs of the test in
    // several build trees at once do not collide.
    RefusingDisplay(int first, Answer answer);
    ~RefusingDisplay();
    RefusingDisplay(const RefusingDisplay&) = delete;
    RefusingDisplay& operator=(const RefusingDisplay&) = delete;

    bool listening() const { return listening_; }
    QString name() const { return QStringLiteral(":%1").arg(number_); }

private:
    bool listenAs(int number);
    void serve();
    void answer(int client) const;

    Answer answer_;
    int listener_ = -1;
    int number_ = 0;
    bool listening_ = false;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

}  // namespace kalvex::test
