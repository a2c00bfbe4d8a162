#pragma once
#include <exception>
#include <functional>

class QString;
class QWidget;

namespace kalvex::ui {

// The silent end of a command: nothing is shown and nothing further changes. Thrown only
// from inside a command, where runCommand catches it.
class RunAbandoned : public std::exception {
public:
    const char* what() const noexcept override { return "command ended"; }
};

// Runs one event handler so that no exception reaches Qt's event loop: RunAbandoned ends
// the command silently, InputError (and the plot's too-many-points failure) shows its
// message, any other exception shows its what(). Messages go through prompts().
void runCommand(QWidget* parent, const std::function<void()>& handler);

// Inside a command: shows `text` through prompts() and ends the command silently.
[[noreturn]] void endCommandWithMessage(QWidget* parent, const QString& text);

}  // namespace kalvex::ui
