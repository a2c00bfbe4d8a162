#include "report/ReportFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kalvex::report {

namespace {

[[noreturn]] void fail(const std::string& path, int error)
{
    throw ReportFileError("Cannot write \"" + path + "\": " + std::system_category().message(error));
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

bool writeAll(int fd, const std::string& bytes)
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

// Creates a new, empty file beside `target` and returns its descriptor and name.
std::pair<int, std::string> createTemporaryBeside(const std::string& target)
{
    const std::filesystem::path targetPath(target);
    const std::filesystem::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
    std::string hidden(1, '.');
    hidden.append(targetPath.filename().string()).append(".XXXXXX");
    std::string name = (folder / hidden).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail(target, errno);
    return {fd, name};
}

// Gives the temporary file the target's permissions, flushes it to disk and closes it; on
// failure removes it and throws.
void closeTemporary(const std::string& target, int fd, const std::string& name, int error)
{
    if (error == 0 && (::fchmod(fd, permissionsFor(target)) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(name.c_str());
        fail(target, error);
    }
}

// Writes `bytes` into a new file beside `target` and returns its name; the temporary file is
// removed again when anything fails.
std::string writeTemporaryBeside(const std::string& target, const std::string& bytes)
{
    const auto [fd, name] = createTemporaryBeside(target);
    closeTemporary(target, fd, name, writeAll(fd, bytes) ? 0 : errno);
    return name;
}

void replaceByTemporary(const std::string& path, const std::string& temporary)
{
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
}

// A file the user may not change stays unchanged, although its folder would let a new
// file take its place.
void refuseReadOnlyTarget(const std::string& path)
{
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        fail(path, errno);
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
        const std::string bytes(pbase(), pptr());
        setp(block_, block_ + sizeof block_);
        if (error_ == 0 && !writeAll(fd_, bytes))
            error_ = errno;
        return error_ == 0;
    }

    int fd_;
    int error_ = 0;
    char block_[1 << 16];
};

}  // namespace

void saveTextFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    std::ostringstream text;
    write(text);
    refuseReadOnlyTarget(path);
    replaceByTemporary(path, writeTemporaryBeside(path, text.str()));
}

void streamFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    refuseReadOnlyTarget(path);
    const auto [fd, name] = createTemporaryBeside(path);
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    try {
        write(out);
    } catch (...) {
        ::close(fd);
        ::unlink(name.c_str());
        throw;
    }
    out.flush();
    closeTemporary(path, fd, name, buffer.error());
    replaceByTemporary(path, name);
}

void saveReportFile(const std::string& path, const std::string& weaponName,
                    const BallisticInput& input, const RunResults& completedRun, int outputEvery)
{
    saveTextFileSafely(path, [&](std::ostream& out) {
        writeReport(out, weaponName, input, completedRun, outputEvery);
    });
}

std::optional<LoadedReport> loadReportFile(const std::string& path, const BallisticInput& current)
{
    std::error_code ec;
    // A pipe or a device would block the open or never end; only plain files are reports.
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return readReport(file, current);
}

}  // namespace kalvex::report
