#pragma once
// A user data folder of the test's own: XDG_DATA_HOME points into a fresh temporary folder
// while the object lives, so a test never reads or writes the real user's propellant library.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

namespace kalvex::test {

class ScopedDataHome {
public:
    ScopedDataHome()
        : folder_(std::filesystem::temp_directory_path() /
                  ("kalvex-data-home-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "kalvex");
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            saved_ = old;
        ::setenv("XDG_DATA_HOME", folder_.c_str(), 1);
    }
    ~ScopedDataHome()
    {
        if (saved_)
            ::setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(folder_);
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    // Where the user's propellant library is while the object lives.
    std::filesystem::path userLibrary() const { return folder_ / "kalvex" / "propellants.json"; }

private:
    std::filesystem::path folder_;
    std::optional<std::string> saved_;
};

}  // namespace kalvex::test
