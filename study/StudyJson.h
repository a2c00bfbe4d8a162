#pragma once
// The study file: JSON with the keys of docs/study-file.md. Reading resolves "base" relative
// to the folder of the study file and reads the report as kalvex-batch does.
#include "core/input/InputFields.h"
#include "study/InputsJson.h"
#include "study/Study.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <nlohmann/json_fwd.hpp>
#include <string>

namespace kalvex::study {

// Parses a study from JSON text; "base" paths are taken relative to `baseFolder`.
// StudyError naming the key when the text is not JSON or a key is wrong; validates.
// Propellant names ("propellant", a sweep over "propellant") are looked up in `library`;
// without one, in the shipped and the user's library when the study names a propellant.
Study studyFromJsonText(const std::string& text, const std::filesystem::path& baseFolder);
Study studyFromJsonText(const std::string& text, const std::filesystem::path& baseFolder,
                        const PropellantLibrary& library);

// The study as JSON text (two-space indent). A study with a basePath writes "base",
// otherwise "inputs" with every value in the parameters' units.
std::string studyToJsonText(const Study& study);

// File access; StudyError with the path when it cannot be read or written. A study file may be
// a pipe or standard input; it is read within kMaxStudyFileBytes, a device is refused, and
// reading stops when `cancel` becomes true (Ctrl+C while waiting on a pipe).
inline constexpr std::size_t kMaxStudyFileBytes = 16 * 1024 * 1024;
Study loadStudyFile(const std::filesystem::path& path, const std::atomic<bool>* cancel = nullptr);
void saveStudyFile(const std::filesystem::path& path, const Study& study);

// A report file's input values, read as kalvex-batch reads them, or the input set of a JSON
// input file (study/InputFile.h) with every bit it holds; StudyError when it cannot.
BallisticInput readBaseReport(const std::filesystem::path& path);

}  // namespace kalvex::study
