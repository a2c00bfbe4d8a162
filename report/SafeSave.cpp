#include "report/SafeSave.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

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

// Hands what a stream writes on to a file descriptor in blocks, remembering the first error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd) { setp(block_, block_ + sizeof block_); }
    int error() const { return error_; }

protected:
    int overflow(int c) override
    {
        if (!drain())
            return traits_type::eof();
        if (c != traits_type::eof()) {
            *pptr() = static_cast<char>(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain()
    {
        const std::string_view bytes(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        if (error_ == 0 && !writeAll(fd_, bytes))
            error_ = errno;
        setp(block_, block_ + sizeof block_);
        return error_ == 0;
    }

    int fd_;
    int error_ = 0;
    char block_[1 << 16];
};

// Runs `write` into `fd` and returns the first write error, 0 when none; `whole` is set to
// what `write` says of its result. When `write` throws, `cleanUp` runs before its exception
// passes on.
template <typename CleanUp>
int writeThrough(int fd, const ResultWriter& write, bool& whole, CleanUp cleanUp)
{
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    try {
        whole = write(out);
    } catch (...) {
        cleanUp();
        throw;
    }
    out.flush();
    return buffer.error();
}

ResultWriter alwaysWhole(const std::function<void(std::ostream&)>& write)
{
    return [&write](std::ostream& out) {
        write(out);
        return true;
    };
}

// A device or a pipe is the destination itself: replacing it with a regular file would
// break it for everyone. Opened without waiting, so a pipe without a reader fails at once.
bool writeInPlace(const std::string& shown, const std::string& target, const ResultWriter& write)
{
    bool whole = true;
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        fail(shown, errno);
    const int flags = ::fcntl(fd, F_GETFL);
    int error = flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? errno : 0;
    if (error == 0)
        error = writeThrough(fd, write, whole, [fd] { ::close(fd); });
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        fail(shown, error);
    return whole;
}

// A file being written beside its target: unnamed (O_TMPFILE) where the file system allows
// it, so that a process killed while writing leaves nothing behind; otherwise a hidden file
// whose name mkstemp makes, removed again on every failure this process sees.
struct Temporary {
    int fd = -1;
    std::string name;  // empty while unnamed
};

Temporary openTemporary(const fs::path& folder, const fs::path& target)
{
    // An unnamed file is given its name through /proc (linkat with AT_EMPTY_PATH needs a
    // privilege a user lacks): without /proc, the named file from the start.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0)
            return {fd, {}};
    }
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    return {fd, fd < 0 ? std::string() : name};
}

// Links an unnamed temporary into the folder under a hidden name of its own (a link cannot
// replace a file; the rename that follows does). Returns 0 or the error.
int nameTemporary(Temporary& temporary, const fs::path& folder, const fs::path& target)
{
    const std::string descriptor = "/proc/self/fd/" + std::to_string(temporary.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                                            "-" + std::to_string(attempt)))
                                     .string();
        if (::linkat(AT_FDCWD, descriptor.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.name = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Writes into a new file beside `target`, then renames it over the target, or over `target`
// + ".partial" when `write` says its result stopped short; the temporary file is removed
// again when anything fails.
bool writeAndReplace(const std::string& shown, const std::string& target, const ResultWriter& write)
{
    const fs::path targetPath(target);
    const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
    Temporary temporary = openTemporary(folder, targetPath);
    if (temporary.fd < 0)
        fail(shown, errno);
    const auto removeTemporary = [&temporary] {
        if (!temporary.name.empty())
            ::unlink(temporary.name.c_str());
    };
    bool whole = true;
    int error = writeThrough(temporary.fd, write, whole, [&] {
        ::close(temporary.fd);
        removeTemporary();
    });
    const std::string destination = whole ? target : target + std::string(kPartialSuffix);
    if (error == 0 && (::fchmod(temporary.fd, permissionsFor(destination)) != 0 || ::fsync(temporary.fd) != 0))
        error = errno;
    if (error == 0 && temporary.name.empty())
        error = nameTemporary(temporary, folder, targetPath);
    if (::close(temporary.fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.name.c_str(), destination.c_str()) != 0)
        error = errno;
    if (error != 0) {
        removeTemporary();
        fail(whole ? shown : shown + std::string(kPartialSuffix), error);
    }
    return whole;
}

}  // namespace

namespace {

bool saveToTarget(const std::string& path, const std::string& target, const ResultWriter& write)
{
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode))
        return writeInPlace(path, target, write);
    // A file the user may not change stays unchanged, although its folder would let a new
    // file take its place.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        fail(path, errno);
    return writeAndReplace(path, target, write);
}

}  // namespace

bool streamResultSafely(const std::string& path, const ResultWriter& write)
{
    const std::string target = linkTarget(path);
    const bool whole = saveToTarget(path, target, write);
    // The part an earlier stopped run left beside the target is superseded by the whole result:
    // left there, it would be taken for what this run could not finish.
    if (whole)
        ::unlink((target + std::string(kPartialSuffix)).c_str());
    return whole;
}

void streamFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    saveToTarget(path, linkTarget(path), alwaysWhole(write));
}

void saveBytesSafely(const std::string& path, std::string_view bytes)
{
    streamFileSafely(path, [bytes](std::ostream& out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
}

void saveFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    std::ostringstream text;
    write(text);
    saveBytesSafely(path, text.view());
}

}  // namespace kalvex::report
