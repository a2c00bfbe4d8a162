#pragma once
// Studies on the rifle example, shared by the study tests.
#include "study/Study.h"
#include "study/StudyJson.h"

#include <filesystem>
#include <string>

namespace kalvex::test {

inline const std::filesystem::path kExampleDir = KALVEX_EXAMPLES_DIR;

// A study of the given kind on the rifle example; `spec` is the JSON of its section, `base`
// the example's path as the study file names it.
inline std::string rifleStudyJson(const std::string& kind, const std::string& spec,
                                  const std::string& base = "rifle-7.62mm.txt")
{
    return R"({"kind": ")" + kind + R"(", "base": ")" + base + R"(", ")" + kind + R"(": )" + spec + "}";
}

inline study::Study rifleStudy(const std::string& kind, const std::string& spec)
{
    return study::studyFromJsonText(rifleStudyJson(kind, spec), kExampleDir);
}

}  // namespace kalvex::test
