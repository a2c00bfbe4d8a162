// kalvex-batch with the propellant library: --propellant and --list-propellants.

#include "ScopedDataHome.h"

#include "batch/BatchRun.h"
#include "core/input/InputFields.h"
#include "core/propellant/PropellantLibrary.h"
#include "report/ReportFile.h"

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
    EXPECT_EQ(err, "Propellant M99 is not in the propellant library (kalvex-batch --list-propellants)\n");
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
