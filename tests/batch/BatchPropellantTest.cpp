// kalvex-batch with the propellant library: --propellant and --list-propellants.

#include "ScopedDataHome.h"

#include "batch/BatchRun.h"
#include "core/input/InputFields.h"
#include "core/propellant/PropellantLibrary.h"
#include "core/input/InputSet.h"
#include "report/ReportFile.h"
#include "study/InputFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using namespace kalvex;
namespace fs = std::filesystem;

namespace {

class BatchPropellant : public ::testing::Test {
protected:
    void writeUserLibrary(const std::string& text) const
    {
        std::ofstream(home_.userLibrary()) << text;
    }
    // Runs the program's options with the shipped library of the source tree.
    int run(const std::vector<std::string>& args, std::string& out, std::string& err) const
    {
        batch::BatchOptions options = batch::parseBatchArguments(args);
        options.programFolder = KALVEX_DATA_DIR;
        std::ostringstream o, e;
        const int status = batch::runBatch(options, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    test::ScopedDataHome home_;
};

const std::string kHowitzer = KALVEX_EXAMPLES_DIR "/howitzer-155mm.txt";

}  // namespace

TEST_F(BatchPropellant, ANamedPropellantReplacesExactlyTheSevenValuesOfTheReport)
{
    std::string out, err;
    const std::string made = (home_.folder() / "m30.txt").string();
    ASSERT_EQ(run({kHowitzer, "--propellant", "M30", "-o", made}, out, err), 0) << err;
    EXPECT_EQ(err, "");
    EXPECT_EQ(out.rfind(" Propellant M30: TM 9-1300-214", 0), 0u) << out;

    const BallisticInput fresh;
    const auto example = report::loadReportFile(kHowitzer, fresh);
    const auto result = report::loadReportFile(made, fresh);
    ASSERT_TRUE(example && result);
    const Propellant m30 = *loadPropellantLibrary(defaultPropellantFiles(KALVEX_DATA_DIR)).find("M30");
    BallisticInput expected = example->input;
    applyPropellant(m30, expected);
    expected.dt = result->input.dt;  // the step a restart may have doubled
    for (const InputField& field : kInputFields)
        EXPECT_EQ(result->input.*field.quantity, expected.*field.quantity) << field.name;

    ASSERT_EQ(run({kHowitzer, "--propellant", "M99"}, out, err), 1);
    EXPECT_EQ(err, "kalvex-batch: Propellant M99 is not in the propellant library (kalvex-batch --list-propellants)\n");
}

TEST_F(BatchPropellant, TheListShowsEveryRowWithItsSourceAndWarnsOfMalformedUserRows)
{
    writeUserLibrary(R"({"propellants": [
        {"name": "Lot 7", "F": 1e6, "T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": 3e-9, "alpha": 0.9},
        {"name": "Broken", "F": 1e6, "T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": -1, "alpha": 0.9}]})");
    std::string out, err;
    ASSERT_EQ(run({"--list-propellants"}, out, err), 0);
    const std::string userFile = home_.userLibrary().string();
    EXPECT_EQ(err, "warning: " + userFile +
                       ": row 2 (Broken): Burning Rate Coeff. for Prop. beta less than or equal to 0 m/s/Pa\n");
    for (const char* name : {"M1", "M2", "M5", "M6", "M8", "M10", "M17", "M30", "M31", "JA2"})
        EXPECT_NE(out.find(std::string("\n") + name + " "), std::string::npos) << name;
    EXPECT_NE(out.find("\nLot 7 "), std::string::npos);
    EXPECT_NE(out.find("1088000   3040"), std::string::npos) << out;  // M30's force and flame temperature
    EXPECT_NE(out.find("user library\n"), std::string::npos);
    EXPECT_NE(out.find("DTIC report AD-A060027\n"), std::string::npos);
}

TEST_F(BatchPropellant, AChargeTemperatureSetsTheFactorsFromTheCoefficientsGivenOrTheRows)
{
    // A user row with coefficients, and the options that replace them.
    writeUserLibrary(R"({"propellants": [{"name": "Warm", "F": 1090000, "T0": 3000, "b": 0.001, "gamma": 1.24,
        "rho": 1660, "beta": 5.2e-9, "alpha": 0.9,
        "temperatureCoefficients": {"force": 0.0003, "burningRate": 0.0016, "reference": 20}}]})");
    std::string rowOut, optionsOut, plainOut, err;
    ASSERT_EQ(run({kHowitzer, "--propellant", "Warm", "--charge-temperature", "63"}, rowOut, err), 0) << err;
    EXPECT_NE(rowOut.find(" Charge temperature 63 \u00b0C: fFT = 1.0129, fbetaT = 1.0688 (coefficients 0.0003 1/K, "
                          "0.0016 1/K about 20 \u00b0C)\n"),
              std::string::npos)
        << rowOut;
    ASSERT_EQ(run({kHowitzer, "--charge-temperature", "63", "--force-temp-coeff", "0.0003", "--rate-temp-coeff",
                   "0.0016", "--reference-temperature", "20"},
                  optionsOut, err),
              0);
    // The same factors give the same summary after the lines that name where they came from.
    const auto afterCharge = [](const std::string& memo) { return memo.substr(memo.find("20 \u00b0C)\n")); };
    EXPECT_EQ(afterCharge(rowOut), afterCharge(optionsOut));
    ASSERT_EQ(run({kHowitzer, "--charge-temperature", "20", "--force-temp-coeff", "0.0003", "--rate-temp-coeff",
                   "0.0016", "--reference-temperature", "20"},
                  optionsOut, err),
              0);
    ASSERT_EQ(run({kHowitzer}, plainOut, err), 0);
    EXPECT_EQ(optionsOut.substr(optionsOut.find('\n') + 1), plainOut);  // at the reference: the plain run

    struct Case { std::vector<std::string> args; const char* message; };
    const Case cases[] = {
        {{kHowitzer, "--propellant", "M30", "--charge-temperature", "63"},
         "Propellant M30 has no temperature coefficients in the library; give --force-temp-coeff and --rate-temp-coeff\n"},
        {{kHowitzer, "--charge-temperature", "63", "--force-temp-coeff", "0.0003"},
         "A charge temperature needs the propellant's temperature coefficients: give --force-temp-coeff and "
         "--rate-temp-coeff\n"},
        {{kHowitzer, "--propellant", "Warm", "--charge-temperature", "85"},
         "Charge Temperature 85 \u00b0C outside the range -60 \u00b0C to 80 \u00b0C\n"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(run(c.args, out, err), 1);
        EXPECT_EQ(err, std::string("kalvex-batch: ") + c.message);  // a failure names the program
    }
    EXPECT_THROW(batch::parseBatchArguments({kHowitzer, "--force-temp-coeff", "0.0003"}), batch::UsageError);
}

TEST_F(BatchPropellant, AnInputFileRunsWithEveryBitAndIsWrittenBackByteForByte)
{
    const auto example = report::loadReportFile(kHowitzer, BallisticInput{});
    ASSERT_TRUE(example);
    study::InputFile file{example->weaponName, asShownInFields(example->input)};
    file.input.upperSegments = {{150.0 / 3, file.input.beta * 1.1, 0.88}};  // a bound with every digit used
    applyChargeTemperature(49, {3e-4 / 7, 1.6e-3, 20}, file.input);
    const std::string written = (home_.folder() / "howitzer.json").string();
    const std::string again = (home_.folder() / "again.json").string();
    study::saveInputFile(written, file);

    std::string first, second, err;
    ASSERT_EQ(run({written, "--save-inputs", again}, first, err), 0) << err;
    ASSERT_EQ(run({again}, second, err), 0) << err;
    EXPECT_EQ(first, second);
    EXPECT_EQ(study::inputFileText(study::loadInputFile(again)), study::inputFileText(file));
    EXPECT_EQ(first.rfind(" Charge temperature 49 \u00b0C: ", 0), 0u) << first;

    std::string plain;
    ASSERT_EQ(run({kHowitzer}, plain, err), 0);
    EXPECT_NE(first.substr(first.find('\n') + 1), plain);  // the segment and the temperature count
}

TEST_F(BatchPropellant, AnExtendedSetRunsFromItsReportAsFromItsInputFile)
{
    const auto example = report::loadReportFile(kHowitzer, BallisticInput{});
    ASSERT_TRUE(example);
    study::InputFile file{example->weaponName, asShownInFields(example->input)};
    file.input.upperSegments = {{150.0 / 7, file.input.beta * 1.1, 0.88}};
    applyChargeTemperature(-33.5, {3e-4 / 7, 1.6e-3, 20}, file.input);
    const auto path = [&](const char* name) { return (home_.folder() / name).string(); };
    study::saveInputFile(path("set.json"), file);

    std::string fromFile, fromReport, err;
    ASSERT_EQ(run({path("set.json"), "-o", path("report.txt"), "--save-inputs", path("a.json")}, fromFile, err), 0) << err;
    ASSERT_EQ(run({path("report.txt"), "--save-inputs", path("b.json")}, fromReport, err), 0) << err;
    EXPECT_EQ(fromReport, fromFile);
    EXPECT_EQ(study::inputFileText(study::loadInputFile(path("b.json"))),
              study::inputFileText(study::loadInputFile(path("a.json"))));
    EXPECT_EQ(fromFile.rfind(" Charge temperature -33.5 \u00b0C: ", 0), 0u) << fromFile;
}
