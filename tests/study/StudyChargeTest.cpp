// A charge of several components in the files a study reads: the input file's charge list, kept
// with every bit, and its refusals naming the component.
#include "StudyTestSupport.h"

#include "core/input/ChargeList.h"
#include "report/ReportFile.h"
#include "study/InputFile.h"
#include "study/Outputs.h"
#include "study/StudyError.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

namespace kalvex::study {
namespace {

// The howitzer of the examples with a fast and a slow component beside its own propellant,
// each value with digits a short decimal would not keep.
BallisticInput threeComponentHowitzer()
{
    BallisticInput in = readBaseReport(test::kExampleDir / "howitzer-155mm.txt");
    ChargeComponent fast = chargeComponent(in, 1);
    fast.C = in.C / 7;
    fast.beta *= 1.0 + 1.0 / 3;
    fast.grainType = 4;
    fast.D = 0.0041 / 3;
    fast.L = 0.0123;
    fast.P = 0.0004;
    fast.upperSegments = {{150.0 / 7, fast.beta * 1.1, 0.91}};
    fast.temperatureCoefficients = TemperatureCoefficients{2e-4 / 3, 1.2e-3, 15, -50, 70};
    ChargeComponent slow = chargeComponent(in, 1);
    slow.C = in.C / 11;
    slow.beta /= 1.3;
    slow.fbeta = 0.97;
    in.extraComponents = {fast, slow};
    in.C -= fast.C + slow.C;
    in.upperSegments = {{200.5, in.beta * 1.05, 0.93}};
    applyChargeTemperature(-33.25, {3e-4 / 7, 1.6e-3, 20}, in);
    return in;
}

TEST(StudyCharge, TheInputFileKeepsEveryComponentWithEveryBitAndAOneComponentFileItsShape)
{
    const BallisticInput in = threeComponentHowitzer();
    const std::string text = inputFileText({"Howitzer, three components", in});
    const InputFile again = inputFileFromText(text);
    EXPECT_EQ(inputFileText(again), text);  // every value's shortest digits: the same bits
    const nlohmann::json j = nlohmann::json::parse(text)["inputs"];
    ASSERT_EQ(j["charge"].size(), 3u);
    EXPECT_EQ(j["charge"][1]["D"].get<double>() * 1e-3, in.extraComponents[0].D);  // mm, as the fields
    EXPECT_FALSE(j.contains("C") || j.contains("segments") || j.contains("grainType")) << "component 1 is charge[0]";

    auto buffer = std::make_unique<RunResults>();
    const RunOutputs a = runForOutputs(in, *buffer), b = runForOutputs(again.input, *buffer);
    for (std::size_t k = 0; k < a.values.size(); ++k)
        EXPECT_TRUE(a.values[k] == b.values[k] || (a.values[k] != a.values[k] && b.values[k] != b.values[k]));

    // One component: no charge list, the file of a plain input set; a list of one reads as it.
    BallisticInput plain = in;
    plain.extraComponents.clear();
    const nlohmann::json one = nlohmann::json::parse(inputFileText({"", plain}))["inputs"];
    EXPECT_FALSE(one.contains("charge"));
    nlohmann::json listed = one;
    listed["charge"] = nlohmann::json::array({j["charge"][0]});
    for (const char* key : {"C", "F", "T0", "b", "gamma", "rho", "beta", "alpha", "fFT", "fbeta", "fbetaT", "grainType", "D", "L",
                            "P", "SW", "segments", "temperatureCoefficients"})
        listed.erase(key);
    EXPECT_EQ(inputsToJson(inputsFromJson(listed)), inputsToJson(plain));
}

TEST(StudyCharge, AChargeListThatCannotBeReadNamesItsComponent)
{
    const nlohmann::json good = inputsToJson(threeComponentHowitzer());
    struct Case {
        std::function<void(nlohmann::json&)> damage;
        const char* message;
    };
    const Case cases[] = {
        {[](nlohmann::json& j) { j["charge"][1].erase("F"); }, "inputs.charge (component 2): the key \"F\" is missing"},
        {[](nlohmann::json& j) { j["charge"][2]["grainType"] = 8; }, "inputs.charge (component 3).grainType must be a whole number from 1 to 7"},
        {[](nlohmann::json& j) { j["charge"][2]["Cc"] = 1; }, "inputs.charge (component 3): the key \"Cc\" is unknown; the closest known key is \"C\""},
        {[](nlohmann::json& j) { j["charge"][1]["segments"][0].erase("alpha"); }, "inputs.charge (component 2).segments (segment 2): the key \"alpha\" is missing"},
        {[](nlohmann::json& j) { j["C"] = 5; }, "inputs.C: the charge's values are given in inputs.charge, component 1's in its first record"},
        {[](nlohmann::json& j) { j["charge"] = nlohmann::json::array(); }, "inputs.charge must be a list of 1 to 8 component records"},
        {[](nlohmann::json& j) { j["chargeTemperature"] = 75; },
         "chargeTemperature: Component 2: Charge Temperature 75 \u00b0C outside the range -50 \u00b0C to 70 \u00b0C"},
    };
    for (const Case& c : cases) {
        nlohmann::json damaged = good;
        c.damage(damaged);
        try {
            inputsFromJson(damaged);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const StudyError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

}  // namespace
}  // namespace kalvex::study
