#pragma once

namespace kalvex::ui {

// Whether a window can be shown at all, checked before Qt starts (Qt aborts the program when
// its platform cannot connect). A platform named in QT_QPA_PLATFORM or a Wayland display is
// trusted; an X display on this machine (":N") must accept a connection on its local socket.
bool displayAvailable();

// Whether the X display ":N" (or ":N.S") of this machine accepts a connection on its local
// socket. Other names (a remote host, an unknown form) are left to Qt and count as available.
bool localX11DisplayAccepts(const char* displayName);

}  // namespace kalvex::ui
