#include "report/PropellantSave.h"

#include "report/SafeSave.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kalvex::report {

void savePropellantToLibrary(const Propellant& propellant, const std::string& path)
{
    namespace fs = std::filesystem;
    std::string existing;
    if (std::ifstream file(path, std::ios::binary); file) {
        std::ostringstream text;
        text << file.rdbuf();
        existing = text.str();
    }
    const std::string text = userLibraryTextWith(existing, path, propellant);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);  // a failure shows in the save
    saveBytesSafely(path, text);
}

}  // namespace kalvex::report
