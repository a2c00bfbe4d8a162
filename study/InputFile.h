#pragma once
// The JSON input file: a whole input set, the values the 43 fields of a report cannot hold
// included (the burning law's upper segments, the charge temperature and its coefficients):
//   {"format": "kalvex input set 1", "weapon": "...", "inputs": {...}}
// where "inputs" is the object study files hold (docs/input-file.md). Every number is written
// with the digits that read back to the same double, so a file read and written keeps every bit.
#include "core/input/BallisticInput.h"

#include <filesystem>
#include <string>

namespace kalvex::study {

struct InputFile {
    std::string weaponName;  // UTF-8
    BallisticInput input;    // SI units, as a run takes it
};

// Parses the text of an input file; StudyError naming the key that is wrong.
InputFile inputFileFromText(const std::string& text);

// The text of an input file (two-space indent, a final newline).
std::string inputFileText(const InputFile& file);

// File access; StudyError with the path when it cannot be read or written. Saving replaces
// the file only when the new text is complete.
InputFile loadInputFile(const std::filesystem::path& path);
void saveInputFile(const std::filesystem::path& path, const InputFile& file);

// Whether a path names an input file rather than a report: its extension is ".json".
bool isInputFilePath(const std::filesystem::path& path);

}  // namespace kalvex::study
