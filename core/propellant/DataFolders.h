#pragma once
// Where a program finds what ships with it: the example reports, the example studies and
// the data files. In a build folder they lie beside the executable; an installed program
// finds them in ../share/kalvex relative to its executable.
#include <filesystem>

namespace kalvex {

// The folder of the running executable; empty when it cannot be told.
std::filesystem::path executableFolder();

// The folder with the shipped files for an executable in `folder`: ../share/kalvex when it
// exists there, else the executable's own folder.
std::filesystem::path shippedFilesFolder(const std::filesystem::path& folder);

// shippedFilesFolder(executableFolder()).
std::filesystem::path shippedFilesFolder();

}  // namespace kalvex
