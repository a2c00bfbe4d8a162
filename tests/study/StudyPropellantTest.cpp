// Studies over library propellants: the rows of single runs, the values each row used.
#include "StudyTestSupport.h"

#include "core/input/StartSequence.h"
#include "study/Executor.h"
#include "study/Parameters.h"
#include "study/Rows.h"
#include "study/StudyError.h"

#include <gtest/gtest.h>
#include <cmath>
#include <memory>

namespace kalvex::study {
namespace {

const PropellantLibrary kLibrary =
    loadPropellantLibrary({KALVEX_DATA_DIR "/propellants.json", ""});

Study rifleStudyWith(const std::string& text)
{
    return studyFromJsonText(text, test::kExampleDir, kLibrary);
}

TEST(StudyPropellants, ASweepOverPropellantsGivesTheRowsOfSingleRunsWithTheValuesUsed)
{
    const Study study = rifleStudyWith(test::rifleStudyJson(
        "sweep", R"({"parameter": "propellant", "values": ["M1", "M6", "JA2"]})"));
    const RowSet rows(study);
    ASSERT_EQ(rows.size(), 3u);
    std::vector<std::string> columns;
    for (const Parameter& p : rows.varied())
        columns.emplace_back(p.name);
    EXPECT_EQ(columns, (std::vector<std::string>{"propellant", "F", "T0", "b", "gamma", "rho", "beta", "alpha"}));

    const char* const names[] = {"M1", "M6", "JA2"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const Propellant& p = *kLibrary.find(names[i]);
        BallisticInput input;
        std::vector<double> values;
        rows.row(i, input, values);
        EXPECT_EQ(values, (std::vector<double>{double(i + 1), p.F, p.T0, p.b, p.gamma, p.rho, p.beta, p.alpha}));

        BallisticInput single = baseInput(study);
        applyPropellant(p, single);
        auto a = std::make_unique<RunResults>(), b = std::make_unique<RunResults>();
        const RunOutputs fromRow = runForOutputs(input, *a);
        const RunOutputs fromSingle = computeRunOutputs(single, *b, runStartSequence(single, *b, [](const std::string&) {}));
        ASSERT_EQ(fromRow.values.size(), fromSingle.values.size());
        for (std::size_t k = 0; k < fromRow.values.size(); ++k) {  // the same bits, or both missing
            const double r = fromRow.values[k], s = fromSingle.values[k];
            EXPECT_TRUE(r == s || (std::isnan(r) && std::isnan(s))) << kOutputInfo[k].name;
        }
        EXPECT_EQ(fromRow.message, fromSingle.message);
    }
}

TEST(StudyPropellants, ANamedBasePropellantIsAppliedRecordedAndWrittenBack)
{
    const std::string text = R"({"kind": "sweep", "base": "rifle-7.62mm.txt", "propellant": "M30",
                                 "sweep": {"parameter": "C", "values": [0.0028]}})";
    const Study study = rifleStudyWith(text);
    const Propellant& m30 = *kLibrary.find("M30");
    EXPECT_EQ(study.base.beta, m30.beta);
    const RowSet rows(study);
    BallisticInput input;
    std::vector<double> values;
    rows.row(0, input, values);
    EXPECT_EQ(values, (std::vector<double>{0.0028, m30.F, m30.T0, m30.b, m30.gamma, m30.rho, m30.beta, m30.alpha}));

    const Study again = rifleStudyWith(studyToJsonText(study));
    EXPECT_EQ(again.propellant, "M30");

    try {
        rifleStudyWith(test::rifleStudyJson("sweep", R"({"parameter": "propellant", "values": ["M30", "M99"]})"));
        ADD_FAILURE() << "an unknown propellant was accepted";
    } catch (const StudyError& e) {
        EXPECT_EQ(std::string(e.what()), "sweep (propellant).values: \"M99\" is not in the propellant library");
    }
}

}  // namespace
}  // namespace kalvex::study
