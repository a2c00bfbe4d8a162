// Parameters named by index: the segments of the burning law in a study and their refusals.
#include "StudyTestSupport.h"

#include "study/Parameters.h"
#include "study/Rows.h"
#include "study/StudyError.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace kalvex::study {
namespace {

TEST(StudySegments, IndexedNamesReachTheSegmentsAndRefuseWhatIsNotThere)
{
    BallisticInput input;
    input.beta = 5e-9;
    input.alpha = 0.9;
    input.upperSegments = {{150, 6e-9, 0.85}};
    EXPECT_EQ(parameterValue(input, findParameter("beta[1]")), 5e-9);
    EXPECT_EQ(parameterValue(input, findParameter("alpha[1,1]")), 0.9);
    EXPECT_EQ(parameterValue(input, findParameter("pLow[1,2]")), 150);
    setParameterValue(input, findParameter("alpha[1,2]"), 0.8);
    EXPECT_EQ(input.upperSegments[0].alpha, 0.8);

    struct Case { const char* name; const char* message; };
    const Case cases[] = {
        {"beta[2]", "beta[2]: the charge has one component, counted from 1"},
        {"beta[1,0]", "beta[1,0]: segments are counted from 1"},
        {"beta[1,9]", "beta[1,9]: a burning law has at most 8 segments"},
        {"pLow[1,1]", "pLow[1,1]: the first segment starts at 0 MPa"},
        {"alpha[1]", "alpha[1]: name a segment, alpha[k,j]"},
        {"beta[1,3]", "beta[1,3]: the burning law has 2 segments"},
    };
    for (const Case& c : cases) {
        try {
            parameterValue(input, findParameter(c.name));
            ADD_FAILURE() << c.name << " accepted";
        } catch (const StudyError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(StudySegments, ASweepOfASegmentFromTheInputsObjectRunsEachValue)
{
    const std::string text = R"({"kind": "sweep", "base": "rifle-7.62mm.txt",
        "sweep": {"parameter": "beta[1,2]", "values": [1e-9]}})";
    EXPECT_THROW(studyFromJsonText(text, test::kExampleDir), StudyError);  // the report's law has one segment

    Study study = studyFromJsonText(R"({"kind": "sweep", "base": "rifle-7.62mm.txt",
        "sweep": {"parameter": "C", "values": [0.0029]}})", test::kExampleDir);
    study.basePath.clear();
    study.base.upperSegments = {{200, study.base.beta, study.base.alpha}};
    nlohmann::json saved = nlohmann::json::parse(studyToJsonText(study));
    saved["sweep"] = {{"parameter", "pLow[1,2]"}, {"values", nlohmann::json::array({250.5})}};
    const RowSet rows(studyFromJsonText(saved.dump(), test::kExampleDir));
    BallisticInput row;
    std::vector<double> values;
    rows.row(0, row, values);
    EXPECT_EQ(row.upperSegments.at(0).pLow, 250.5);
    EXPECT_EQ(row.upperSegments.at(0).beta, study.base.beta);
}

}  // namespace
}  // namespace kalvex::study
