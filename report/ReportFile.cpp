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

// Writes `bytes` into a new file beside `target` and returns its name; the temporary file is
// removed again when anything fails.
std::string writeTemporaryBeside(const std::string& target, const std::string& bytes)
{
    const std::filesystem::path targetPath(target);
    const std::filesystem::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : ".";
    std::string hidden(1, '.');
    hidden.append(targetPath.filename().string()).append(".XXXXXX");
    std::string name = (folder / hidden).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail(target, errno);
    int error = 0;
    if (!writeAll(fd, bytes) || ::fchmod(fd, permissionsFor(target)) != 0 || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(name.c_str());
        fail(target, error);
    }
    return name;
}

}  // namespace

void saveTextFileSafely(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    std::ostringstream text;
    write(text);
    // A file the user may not change stays unchanged, although its folder would let a new
    // file take its place.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        fail(path, errno);
    const std::string temporary = writeTemporaryBeside(path, text.str());
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(path, error);
    }
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
