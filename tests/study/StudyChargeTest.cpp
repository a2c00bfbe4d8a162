// A charge of several components in the files a study reads: the input file's charge list, kept
// with every bit, and its refusals naming the component.
#include "StudyTestSupport.h"

#include "core/input/ChargeList.h"
#include "report/ReportFile.h"
#include "study/InputFile.h"
#include "study/Outputs.h"
#include "study/Parameters.h"
#include "study/Rows.h"
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

    // A study's inputs object keeps the charge too, and its rows split it.
    const nlohmann::json sweep = {{"kind", "sweep"}, {"inputs", inputsToJson(in)},
                                  {"sweep", {{"parameter", "split[2]"}, {"values", {0.25, 0.5}}}}};
    const Study study = studyFromJsonText(sweep.dump(), test::kExampleDir);
    EXPECT_EQ(studyToJsonText(studyFromJsonText(studyToJsonText(study), test::kExampleDir)), studyToJsonText(study));
    EXPECT_EQ(inputsToJson(study.base), inputsToJson(in));
    BallisticInput row;
    std::vector<double> values;
    RowSet(study).row(1, row, values);
    EXPECT_EQ(values[0], 0.5);
    EXPECT_NEAR(row.extraComponents[0].C, 0.5 * totalChargeMass(in), 1e-15 * totalChargeMass(in));

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

TEST(StudyCharge, IndexedNamesReachEveryComponentAndTheSplitKeepsTheTotal)
{
    BallisticInput in = threeComponentHowitzer();
    const double total = in.C + in.extraComponents[0].C + in.extraComponents[1].C;
    struct Case { const char* name; double value; double stored; };
    const Case cases[] = {
        {"C[2]", 1.25, 1.25},  {"D[2]", 2.5, 0.0025},  {"grainType[3]", 6, 6},  {"beta[3]", 7e-9, 7e-9},
        {"alpha[2,1]", 0.85, 0.85}, {"beta[2,2]", 8e-9, 8e-9}, {"pLow[2,2]", 120, 120}, {"fFT[3]", 1.02, 1.02},
        {"C[1]", 9.5, 9.5},
    };
    const auto stored = [&](const std::string& name) {
        const ChargeComponent& fast = in.extraComponents[0];
        const ChargeComponent& slow = in.extraComponents[1];
        if (name == "C[2]") return fast.C;
        if (name == "D[2]") return fast.D;
        if (name == "grainType[3]") return double(slow.grainType);
        if (name == "beta[3]") return slow.beta;
        if (name == "alpha[2,1]") return fast.alpha;
        if (name == "beta[2,2]") return fast.upperSegments[0].beta;
        if (name == "pLow[2,2]") return fast.upperSegments[0].pLow;
        if (name == "fFT[3]") return slow.fFT;
        return in.C;
    };
    for (const Case& c : cases) {
        const Parameter p = findParameter(c.name);
        setParameterValue(in, p, c.value);
        EXPECT_EQ(stored(c.name), c.stored) << c.name;
        EXPECT_EQ(parameterValue(in, p), c.value) << c.name;
    }

    // split[2] = s: component 2 holds s of the total, the others share the rest as before.
    in = threeComponentHowitzer();
    const double ratio = in.C / in.extraComponents[1].C;
    setParameterValue(in, findParameter("split[2]"), 0.3);
    EXPECT_NEAR(in.extraComponents[0].C, 0.3 * total, 1e-15 * total);
    EXPECT_NEAR(in.C + in.extraComponents[0].C + in.extraComponents[1].C, total, 4e-16 * total);
    EXPECT_NEAR(in.C / in.extraComponents[1].C, ratio, 1e-14 * ratio);
    EXPECT_NEAR(parameterValue(in, findParameter("split[2]")), 0.3, 1e-15);

    struct Refusal { const char* name; const char* message; };
    const Refusal refusals[] = {
        {"C[0]", "C[0]: components are counted from 1"},
        {"C[9]", "C[9]: a charge has at most 8 components"},
        {"D[2,1]", "D[2,1]: D has no segments; name it D[k]"},
        {"split[4]", "split[4]: the charge has 3 components"},
        {"beta[3,2]", "beta[3,2]: the burning law has 1 segment"},
    };
    for (const Refusal& r : refusals) {
        try {
            parameterValue(in, findParameter(r.name));
            ADD_FAILURE() << r.name << " accepted";
        } catch (const StudyError& e) {
            EXPECT_EQ(std::string(e.what()), r.message);
        }
    }
    BallisticInput alone = in;
    alone.extraComponents[0].C = alone.extraComponents[1].C = 0;
    EXPECT_THROW(setParameterValue(alone, findParameter("split[1]"), 0.5), StudyError);
}

}  // namespace
}  // namespace kalvex::study
