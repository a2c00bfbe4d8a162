#include "core/propellant/DataFolders.h"

#include <system_error>

namespace kalvex {

namespace {
constexpr const char* kInstalledShareFolder = "../share/kalvex";  // GNU layout: bin/ beside share/
}

std::filesystem::path executableFolder()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return self.parent_path();
}

std::filesystem::path shippedFilesFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    const std::filesystem::path installed = (folder / kInstalledShareFolder).lexically_normal();
    if (std::filesystem::is_directory(installed, error))
        return installed;
    return folder;
}

std::filesystem::path shippedFilesFolder()
{
    return shippedFilesFolder(executableFolder());
}

}  // namespace kalvex
