// Studies over the charge temperature: the example's rows, the rules of the parameter, and the
// temperature and its coefficients through the study file.
#include "StudyTestSupport.h"

#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/Rows.h"
#include "study/Solve.h"
#include "study/StudyError.h"

#include <gtest/gtest.h>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace kalvex::study {
namespace {

const std::filesystem::path kStudies = test::kExampleDir / "studies";

Study exampleStudy()
{
    std::ifstream file(kStudies / "howitzer-155mm-temperature-sweep.json");
    std::stringstream text;
    text << file.rdbuf();
    return studyFromJsonText(text.str(), kStudies);
}

RunOutputs outputsOf(const BallisticInput& input)
{
    auto buffer = std::make_unique<RunResults>();
    return runForOutputs(input, *buffer);
}

TEST(StudyTemperature, TheExamplesPressureRisesWithTemperatureAndItsReferenceRowIsThePlainRun)
{
    const Study study = exampleStudy();
    const RowSet rows(study);
    ASSERT_EQ(rows.size(), 7u);
    double previous = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        BallisticInput input;
        std::vector<double> values;
        rows.row(i, input, values);
        const RunOutputs out = outputsOf(input);
        SCOPED_TRACE(values[0]);
        ASSERT_TRUE(out.reachedMuzzle()) << out.message;
        EXPECT_GT(out[OutputId::P0Max], previous);
        previous = out[OutputId::P0Max];
        if (values[0] != 20)
            continue;
        const RunOutputs plain = outputsOf(baseInput(study));  // fFT = fbetaT = 1 as the report holds them
        for (std::size_t k = 0; k < plain.values.size(); ++k) {
            const double a = out.values[k], b = plain.values[k];
            EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << kOutputInfo[k].name;
        }
    }
}

TEST(StudyTemperature, RefusalsNameWhatIsWrong)
{
    const std::string coefficients = R"("temperatureCoefficients": {"force": 0.0003, "burningRate": 0.0016}, )";
    struct Case { std::string text; const char* message; };
    const Case cases[] = {
        {R"({"kind": "sweep", "base": "rifle-7.62mm.txt",
             "sweep": {"parameter": "chargeTemperature", "values": [-20, 40]}})",
         "chargeTemperature: the input set has no temperature coefficients; give \"temperatureCoefficients\" or a "
         "propellant that has them"},
        {R"({"kind": "sweep", "base": "rifle-7.62mm.txt", )" + coefficients +
             R"("sweep": {"parameter": "chargeTemperature", "values": [-20, 95]}})",
         "sweep (chargeTemperature): Charge Temperature 95 \u00b0C outside the range -60 \u00b0C to 80 \u00b0C"},
        {R"({"kind": "sweep", "base": "rifle-7.62mm.txt", )" + coefficients +
             R"("sweep": [{"parameter": "chargeTemperature", "values": [-20, 40]}, {"parameter": "fbetaT", "values": [1]}]})",
         "chargeTemperature sets fFT and fbetaT and cannot be varied together with fbetaT"},
        {R"({"kind": "tolerance", "base": "rifle-7.62mm.txt", )" + coefficients +
             R"("tolerance": {"parameters": [{"parameter": "chargeTemperature", "sigma": 10},
                                             {"parameter": "fFT", "sigma": 0.01}], "samples": 4}})",
         "chargeTemperature sets fFT and fbetaT and cannot be varied together with fFT"},
    };
    for (const Case& c : cases) {
        try {
            studyFromJsonText(c.text, test::kExampleDir);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const StudyError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(StudyTemperature, SolveAndToleranceMoveTheTemperatureAndTheFileKeepsItExactly)
{
    // A solve for the temperature that gives the velocity of the 49 °C row finds 49 °C.
    const Study example = exampleStudy();
    BallisticInput hot = baseInput(example);
    setParameterValue(hot, findParameter("chargeTemperature"), 49);
    const double target = outputsOf(hot)[OutputId::vMuzzle];
    const std::string solve = R"({"kind": "solve", "base": "../howitzer-155mm.txt",
        "temperatureCoefficients": {"force": 0.0003, "burningRate": 0.0016, "reference": 20},
        "solve": {"parameter": "chargeTemperature", "bracket": [-46, 63], "output": "vMuzzle", "target": )" +
                              std::to_string(target) + R"(, "tolerance": 0.001}})";
    const SolveResult solved = solveStudy(studyFromJsonText(solve, kStudies));
    EXPECT_NEAR(solved.value, 49, 0.01);

    // A tolerance row's temperature is nominal + deviation, its factors those of that temperature.
    const std::string tolerance = R"({"kind": "tolerance", "base": "../howitzer-155mm.txt",
        "temperatureCoefficients": {"force": 0.0003, "burningRate": 0.0016, "reference": 20},
        "tolerance": {"parameters": [{"parameter": "chargeTemperature", "sigma": 15}], "samples": 3}})";
    const RowSet rows(studyFromJsonText(tolerance, kStudies));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        BallisticInput input;
        std::vector<double> values;
        rows.row(i, input, values);
        EXPECT_EQ(*input.chargeTemperature, values[0]);
        EXPECT_EQ(input.fbetaT, 1 + 0.0016 * (values[0] - 20));
        // and the row records the factors its temperature set, in columns of their own
        ASSERT_EQ(rows.varied().size(), 3u);
        EXPECT_EQ(rows.varied()[1].name + rows.varied()[2].name, "fFTfbetaT");
        EXPECT_EQ(values[1], input.fFT);
        EXPECT_EQ(values[2], 1 + 0.0016 * (values[0] - 20));
    }

    // The inputs object carries the temperature and the coefficients at full precision.
    BallisticInput odd = baseInput(example);
    odd.temperatureCoefficients->force = 1.0 / 3 * 1e-3;
    setParameterValue(odd, findParameter("chargeTemperature"), 47.0 / 3);
    Study inline_ = example;
    inline_.basePath.clear();
    inline_.base = odd;
    const Study again = studyFromJsonText(studyToJsonText(inline_), kStudies);
    EXPECT_EQ(*again.base.chargeTemperature, 47.0 / 3);
    EXPECT_EQ(again.base.temperatureCoefficients->force, 1.0 / 3 * 1e-3);
    EXPECT_EQ(again.base.fFT, odd.fFT);
    EXPECT_EQ(again.base.fbetaT, odd.fbetaT);
}

}  // namespace
}  // namespace kalvex::study
