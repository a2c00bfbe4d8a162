#include "ui/DisplayCheck.h"

#include <QByteArray>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace kalvex::ui {
namespace {

bool connects(const std::string& socketPath, bool abstractNamespace)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstractNamespace ? 1 : 0;  // abstract names start with a NUL
    if (socketPath.size() + offset >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path + offset, socketPath.data(), socketPath.size());
    const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (handle < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + socketPath.size());
    const bool connected = ::connect(handle, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(handle);
    return connected;
}

constexpr const char* kX11SocketPrefix = "/tmp/.X11-unix/X";  // followed by the display number

}  // namespace

bool localX11DisplayAccepts(const char* displayName)
{
    const std::string name = displayName ? displayName : "";
    if (name.size() < 2 || name[0] != ':')
        return true;  // a display on another host (or a form we do not know): Qt decides
    const std::string number = name.substr(1, name.find('.') - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return true;
    const std::string path = kX11SocketPrefix + number;
    return connects(path, false) || connects(path, true);
}

bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    return localX11DisplayAccepts(qgetenv("DISPLAY").constData());
}

}  // namespace kalvex::ui
