#pragma once

namespace kalvex::ui {

// The line the program prints when it cannot open a window.
inline constexpr const char* kNoDisplayLine =
    "kalvex: no display can be opened (set DISPLAY or run under xvfb-run)\n";

// Held while the application object connects to the display. A display that answers on its
// socket can still refuse the connection (another user's server, a lost authorisation) or
// hang up in the middle of the greeting; Qt then ends the program with a fatal message and an
// abort, or the write to the closed socket kills it with SIGPIPE. While the guard lives, such a
// failure prints kNoDisplayLine and ends the program with exit code 1 instead. Other messages
// of that moment are held back and passed on to Qt's own handler when the guard ends, so a
// successful start shows them as before; SIGPIPE gets back its former handling then too.
class DisplayConnectionGuard {
public:
    DisplayConnectionGuard();
    ~DisplayConnectionGuard();
    DisplayConnectionGuard(const DisplayConnectionGuard&) = delete;
    DisplayConnectionGuard& operator=(const DisplayConnectionGuard&) = delete;
};

}  // namespace kalvex::ui
