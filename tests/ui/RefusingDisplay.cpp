#include "RefusingDisplay.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kalvex::test {
namespace {

constexpr int kPollMs = 20;
constexpr int kGreetingWaitMs = 2000;   // for the client's connection setup request
constexpr int kCandidates = 200;        // display numbers tried
constexpr std::uint16_t kProtocolMajor = 11;

// Puts a 16-bit number in the byte order the client asked for ('l' little, 'B' big endian).
void put16(std::vector<unsigned char>& out, std::uint16_t value, bool bigEndian)
{
    const auto high = static_cast<unsigned char>(value >> 8);
    const auto low = static_cast<unsigned char>(value & 0xff);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
}

// The server's answer to a connection setup it turns down: status 0 (failed), the length of
// the reason, the protocol version, the length of the rest in 4-byte units, the padded reason.
std::vector<unsigned char> failedSetup(const std::string& reason, bool bigEndian)
{
    const std::size_t padded = (reason.size() + 3) / 4 * 4;
    std::vector<unsigned char> reply{0, static_cast<unsigned char>(reason.size())};
    put16(reply, kProtocolMajor, bigEndian);
    put16(reply, 0, bigEndian);
    put16(reply, static_cast<std::uint16_t>(padded / 4), bigEndian);
    reply.insert(reply.end(), reason.begin(), reason.end());
    reply.resize(reply.size() + padded - reason.size(), 0);
    return reply;
}

}  // namespace

RefusingDisplay::RefusingDisplay(int first, Answer answer) : answer_(answer)
{
    for (int number = first; number < first + kCandidates && !listening_; ++number) {
        listening_ = listenAs(number);
        if (listening_)
            number_ = number;
    }
    if (listening_)
        serving_ = std::thread([this] { serve(); });
}

RefusingDisplay::~RefusingDisplay()
{
    stop_ = true;
    if (serving_.joinable())
        serving_.join();
    if (listener_ >= 0)
        ::close(listener_);
}

bool RefusingDisplay::listenAs(int number)
{
    if (listener_ >= 0)
        ::close(listener_);
    // the abstract name that X clients of this machine try first
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return listener_ >= 0 && ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
           ::listen(listener_, 8) == 0;
}

void RefusingDisplay::serve()
{
    while (!stop_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0)
            continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            continue;
        if (answer_ == Answer::refuse)
            answer(client);
        ::close(client);
    }
}

void RefusingDisplay::answer(int client) const
{
    pollfd greeting{client, POLLIN, 0};
    unsigned char request[256];
    if (::poll(&greeting, 1, kGreetingWaitMs) <= 0 || ::read(client, request, sizeof request) <= 0)
        return;
    const std::vector<unsigned char> reply = failedSetup(kReason, request[0] == 'B');
    if (::write(client, reply.data(), reply.size()) < 0)
        return;  // the client has gone: there is no one to refuse
}

}  // namespace kalvex::test
