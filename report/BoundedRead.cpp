#include "report/BoundedRead.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kalvex::report {

namespace {

constexpr int kCancelCheckMs = 100;  // how long one wait lasts before the stop flag is read again

[[noreturn]] void fail(const std::string& path, const std::string& reason)
{
    throw ReadError(path + ": " + reason);
}

// What a file that is neither a regular file nor a pipe is, for the refusal.
const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return nullptr;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string readWholeFile(const std::string& path, std::size_t maxBytes, const std::atomic<bool>* cancel)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        fail(path, errno == ENOENT ? "no such file" : std::system_category().message(errno));
    if (const char* kind = kindOf(info.st_mode))
        fail(path, std::string(kind) + ", not a file to read");
    if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) > maxBytes)
        fail(path, "larger than " + std::to_string(maxBytes) + " bytes");
    // Without O_NONBLOCK, opening a named pipe waits for its writer and no signal ends the wait.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        fail(path, std::system_category().message(errno));
    std::string bytes;
    char block[1 << 16];
    for (;;) {
        pollfd ready{fd.get(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, kCancelCheckMs);
        if (polled < 0 && errno != EINTR)
            fail(path, std::system_category().message(errno));
        // Only a wait is stopped: a file that is there is read whole.
        if (polled <= 0 && cancel != nullptr && cancel->load())
            fail(path, "stopped while reading");
        if (polled <= 0)
            continue;
        const ssize_t n = ::read(fd.get(), block, sizeof block);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n < 0)
            fail(path, std::system_category().message(errno));
        // End of file; a pipe whose writer has not come yet reads as empty without POLLHUP.
        if (n == 0 && (S_ISREG(info.st_mode) || (ready.revents & POLLHUP) != 0))
            return bytes;
        if (n == 0) {
            if (cancel != nullptr && cancel->load())
                fail(path, "stopped while reading");
            ::usleep(1000 * kCancelCheckMs / 10);
            continue;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            fail(path, "larger than " + std::to_string(maxBytes) + " bytes");
        bytes.append(block, static_cast<std::size_t>(n));
    }
}

}  // namespace kalvex::report
