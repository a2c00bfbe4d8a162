#include "report/SafeSave.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kalvex::report {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkDepth = 40;  // as the kernel allows when it resolves a path

[[noreturn]] void fail(const std::string& path, int error)
{
    throw SaveError("Cannot write \"" + path + "\": " + std::system_category().message(error));
}

// The file a path names after following its symbolic links; a dangling link names the
// file it would point to.
std::string linkTarget(const std::string& path)
{
    fs::path current(path);
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current.string();
        std::error_code ec;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec)
            fail(path, ec.value());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    fail(path, ELOOP);
}

// The permissions a newly created file gets: those of the file it replaces, or the usual
// ones under the process's file mode mask.
mode_t permissionsFor(const std::string& path)
{
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;  // nothing written and no reason given: do not report a stale one
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `bytes` into a new file beside `target` and returns its name; the temporary file is
// removed again when anything fails.
std::string writeTemporaryBeside(const std::string& shown, const std::string& target, std::string_view bytes)
{
    const fs::path targetPath(target);
    const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
    std::string hidden(1, '.');
    hidden.append(targetPath.filename().string()).append(".XXXXXX");
    std::string name = (folder / hidden).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail(shown, errno);
    int error = 0;
    if (!writeAll(fd, bytes) || ::fchmod(fd, permissionsFor(target)) != 0 || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(name.c_str());
        fail(shown, error);
    }
    return name;
}

// A device or a pipe is the destination itself: replacing it with a regular file would
// break it for everyone. A pipe without a reader fails at once instead of waiting.
void writeInPlace(const std::string& shown, const std::string& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(shown, errno);
    int error = 0;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !writeAll(fd, bytes))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        fail(shown, error);
}

}  // namespace

void saveBytesSafely(const std::string& path, std::string_view bytes)
{
    const std::string target = linkTarget(path);
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        writeInPlace(path, target, bytes);
        return;
    }
    // A file the user may not change stays unchanged, although its folder would let a new
    // file take its place.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        fail(path, errno);
    const std::string temporary = writeTemporaryBeside(path, target, bytes);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
}

void saveFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    std::ostringstream text;
    write(text);
    saveBytesSafely(path, text.view());
}

}  // namespace kalvex::report
