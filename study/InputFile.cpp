#include "study/InputFile.h"

#include "report/SafeSave.h"
#include "study/JsonKeys.h"
#include "study/StudyError.h"
#include "study/StudyJson.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace kalvex::study {

namespace {

using nlohmann::json;

constexpr const char* kFormat = "kalvex input set 1";

}  // namespace

InputFile inputFileFromText(const std::string& text)
{
    json j;
    try {
        j = json::parse(text);
    } catch (const json::parse_error& e) {
        throw StudyError(std::string("the input file is not JSON: ") + e.what());
    }
    try {
        const JsonKeys keys(j, "", {"format", "weapon", "inputs"});
        if (keys.text("format") != kFormat)
            throw StudyError("format: \"" + keys.text("format") + "\" is not \"" + kFormat + "\"");
        return {keys.text("weapon", ""), inputsFromJson(keys.required("inputs"))};
    } catch (const json::exception& e) {
        throw StudyError(std::string("input file: ") + e.what());
    }
}

std::string inputFileText(const InputFile& file)
{
    const json j = {{"format", kFormat}, {"weapon", file.weaponName}, {"inputs", inputsToJson(file.input)}};
    return j.dump(2) + "\n";
}

InputFile loadInputFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw StudyError(path.string() + ": cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    try {
        return inputFileFromText(text.str());
    } catch (const StudyError& e) {
        throw StudyError(path.string() + ": " + e.what());
    }
}

void saveInputFile(const std::filesystem::path& path, const InputFile& file)
{
    const std::string text = inputFileText(file);
    try {
        report::saveBytesSafely(path.string(), text);
    } catch (const std::exception& e) {
        throw StudyError(path.string() + ": cannot be written (" + e.what() + ")");
    }
}

bool isInputFilePath(const std::filesystem::path& path) { return path.extension() == ".json"; }

}  // namespace kalvex::study
