#pragma once
// The Start command's run off the GUI thread: the command reads a snapshot of the window and
// records what it asks of it (a field's new text, a line for the results area, the end of a
// completed run), and the window does those things afterwards, on its own thread, in order.
#include "core/input/StartCommand.h"

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kalvex::ui {

class DeferredStartHost : public StartHost {
public:
    struct Snapshot {
        std::map<std::string, std::string, std::less<>> fieldTexts;  // by parameter name
        int grainType = 2;
        bool heatTransfer = true;
        SummaryOptions summaryOptions;
        char decimalSeparator = '.';
    };

    explicit DeferredStartHost(Snapshot snapshot) : snapshot_(std::move(snapshot)) {}

    std::string fieldText(std::string_view parameter) const override;
    void setFieldText(std::string_view parameter, const std::string& text) override;
    int grainType() const override { return snapshot_.grainType; }
    bool heatTransfer() const override { return snapshot_.heatTransfer; }
    SummaryOptions summaryOptions() const override { return snapshot_.summaryOptions; }
    char decimalSeparator() const override { return snapshot_.decimalSeparator; }
    void appendLine(const std::string& line) override;
    void runCompleted(const RunResults& results) override;

    // Does on `window` what the command asked, in the order it asked; at the end of a
    // completed run, `takeCompletedRun` makes that run the window's and returns it.
    void replay(StartHost& window, const std::function<const RunResults&()>& takeCompletedRun) const;

private:
    enum class Kind { fieldText, line, runCompleted };
    struct Call {
        Kind kind;
        std::string parameter;  // fieldText
        std::string text;     // fieldText, line
    };
    Snapshot snapshot_;
    std::vector<Call> calls_;
};

// Runs `work` on a thread of its own while the GUI thread goes on painting and running its
// timers (user input waits until the work is done, so no command starts in between); returns
// when it is done, with the exception it ended with, if any, so that none crosses threads or
// Qt's event loop.
std::exception_ptr runOffGuiThread(const std::function<void()>& work);

}  // namespace kalvex::ui
