// Study files read and written through their records: each example saves the bytes it always
// saved and reads back to the same study; keys are checked as they are read.
#include "StudyTestSupport.h"

#include "study/StudyError.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace kalvex::study {
namespace {

namespace fs = std::filesystem;

const fs::path kSavedDir = KALVEX_TEST_DATA_DIR "/studies";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The message a study's text is refused with, or "accepted".
std::string refusal(const std::string& text)
{
    try {
        studyFromJsonText(text, test::kExampleDir);
        return "accepted";
    } catch (const StudyError& e) {
        return e.what();
    }
}

// Every example, saved as the Study window saves it, with its base by path and, for one, with
// the 43 input values written out.
TEST(StudyFile, ExamplesSaveTheirBytesAndReadBackToThemselves)
{
    const fs::path studies = test::kExampleDir / "studies";
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(studies)) {
        if (entry.path().extension() != ".json")
            continue;
        const std::string name = entry.path().stem().string();
        Study study = loadStudyFile(entry.path());
        std::vector<std::pair<std::string, std::string>> saves{{name, studyToJsonText(study)}};
        if (name == "rifle-7.62mm-tolerance") {
            study.basePath.clear();
            saves.emplace_back(name + "-inputs", studyToJsonText(study));
        }
        for (const auto& [savedName, text] : saves) {
            EXPECT_EQ(text, readFile(kSavedDir / (savedName + ".json"))) << savedName;
            EXPECT_EQ(studyToJsonText(studyFromJsonText(text, studies)), text) << savedName;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 11);
}

// Each integer key is a whole number within its type's range before it is converted (a double
// beyond it has no defined conversion), and a misspelt key is refused rather than left to run
// with the default.
TEST(StudyFile, KeysAreCheckedBeforeTheyAreUsed)
{
    const std::string draws = R"("parameters": [{"parameter": "C", "sigma": 1e-5}])";
    const struct {
        std::string kind, spec, message;
    } cases[] = {
        {"sweep", R"({"parameter": "C", "from": 1, "to": 2, "count": 1e18})",
         "sweep (C).count must be a whole number from -2147483648 to 2147483647"},
        {"sweep", R"({"parameter": "C", "from": 1, "to": 2, "count": 2.5})", "sweep (C).count must be a whole number"},
        {"tolerance", "{" + draws + R"(, "samples": 1e300})", "tolerance.samples (N) must be a positive whole number"},
        {"tolerance", "{" + draws + R"(, "samples": 3, "seed": 1e100})",
         "tolerance.seed must be a whole number from 0 to 18446744073709551615"},
        {"tolerance", "{" + draws + R"(, "samples": 3, "seed": 18446744073709551616})",
         "tolerance.seed must be a whole number from 0 to 18446744073709551615"},
        {"tolerance", "{" + draws + R"(, "samples": 3, "seed": -1})",
         "tolerance.seed must be a whole number from 0 to 18446744073709551615"},
        {"solve", R"({"parameter": "C", "bracket": [0.0027, 0.0028], "target": 830, "maxIterations": 3e9})",
         "solve.maxIterations must be a whole number from -2147483648 to 2147483647"},
        {"tolerance", "{" + draws + R"(, "samples": 3, "seeed": 4})",
         "tolerance: the key \"seeed\" is unknown; the closest known key is \"seed\""},
        {"sweep", R"({"parameter": "C", "values": [1], "scael": "log"})",
         "sweep (C): the key \"scael\" is unknown; the closest known key is \"scale\""},
        {"sensitivity", "{" + draws + R"(, "samples": 3, "resample": 20})",
         "sensitivity: the key \"resample\" is unknown; the closest known key is \"resamples\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusal(test::rifleStudyJson(c.kind, c.spec)), c.message);
    EXPECT_EQ(refusal(R"({"kind": "sweep", "base": "rifle-7.62mm.txt", "heatTranfer": false,
                          "sweep": {"parameter": "C", "values": [1]}})"),
              "study: the key \"heatTranfer\" is unknown; the closest known key is \"heatTransfer\"");

    // The largest seed, and one that a double cannot hold, are read and saved exactly.
    for (const std::string seed : {"18446744073709551615", "9007199254740993"}) {
        const Study study = test::rifleStudy("tolerance", "{" + draws + R"(, "samples": 3, "seed": )" + seed + "}");
        EXPECT_EQ(std::to_string(study.tolerance.seed), seed);
        EXPECT_THAT(studyToJsonText(study), testing::HasSubstr("\"seed\": " + seed + "\n"));
    }
}

}  // namespace
}  // namespace kalvex::study
