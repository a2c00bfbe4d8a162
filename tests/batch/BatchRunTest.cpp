// kalvex-batch end to end through its functions: the examples, restarts, failures.

#include "batch/BatchRun.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"
#include "report/Report.h"
#include "report/ReportFields.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace kalvex;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

struct BatchOutcome {
    int status;
    std::string out, err;
};

BatchOutcome runWith(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = batch::batchMain(args, out, err);
    return {status, out.str(), err.str()};
}

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kalvex-batch-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

const fs::path kExampleDir = KALVEX_EXAMPLES_DIR;

// An example report and the hand-written input it was made from: NAME-input.txt, or a JSON
// input file NAME-input.json for an input set beyond the 43 values.
struct ExampleFiles {
    fs::path report, input;
};

std::vector<ExampleFiles> exampleFiles()
{
    std::vector<ExampleFiles> files;
    for (const fs::path& folder : {kExampleDir, kExampleDir / "validation"})
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / "inputs")) {
            std::string name = entry.path().stem().string();
            name.erase(name.size() - std::string("-input").size());
            files.push_back({folder / (name + ".txt"), entry.path()});
        }
    return files;
}

}  // namespace

TEST_F(BatchRun, EachExampleIsTheReportOfItsInputAndRunsTheSameAgain)
{
    const std::vector<ExampleFiles> examples = exampleFiles();
    ASSERT_GE(examples.size(), 8u);  // four weapons, a two-component charge, three published guns
    EXPECT_EQ(std::count_if(examples.begin(), examples.end(),
                            [](const ExampleFiles& e) { return e.input.extension() == ".json"; }),
              1);
    for (const auto& [example, input] : examples) {
        SCOPED_TRACE(example.string());
        const BatchOutcome made = runWith({input.string(), "-o", path("made.txt"), "--energy"});
        ASSERT_EQ(made.status, 0) << made.err;
        EXPECT_EQ(contents(path("made.txt")), contents(example)) << "the example is the report of its input";
        const BatchOutcome first = runWith({example.string(), "-o", path("first.txt"), "--energy"});
        ASSERT_EQ(first.status, 0) << first.err;
        EXPECT_EQ(first.err, "");
        EXPECT_EQ(contents(path("first.txt")), contents(example));
        EXPECT_EQ(first.out, made.out);
        const BatchOutcome again = runWith({path("first.txt"), "-o", path("again.txt"), "--energy"});
        ASSERT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(again.out, first.out);
        EXPECT_EQ(contents(path("again.txt")), contents(path("first.txt")));
    }
}

TEST_F(BatchRun, ExamplesReachTheMuzzleWithPlausiblePressuresAndVelocities)
{
    struct Case {
        const char* name;
        double minVelocity, maxVelocity;  // m/s
    };
    const Case cases[] = {{"rifle-7.62mm", 780, 880},
                          {"cannon-30mm", 1000, 1120},
                          {"howitzer-155mm", 780, 880},
                          {"howitzer-155mm-two-component", 780, 880}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BatchOutcome r = runWith({(kExampleDir / (std::string(c.name) + ".txt")).string()});
        ASSERT_EQ(r.status, 0) << r.err;
        // " Pmax:  t  Z  x  vp  Pmean ..." and " Muzzle:  t  Z  x  vp ..."
        std::istringstream lines(r.out);
        double pmax = 0, muzzleVelocity = 0;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::string label;
            double t, z, x, vp, pm;
            fields >> label >> t >> z >> x >> vp >> pm;
            if (label == "Pmax:")
                pmax = pm;
            if (label == "Muzzle:")
                muzzleVelocity = vp;
        }
        EXPECT_GE(pmax, 250);
        EXPECT_LE(pmax, 450);
        EXPECT_GE(muzzleVelocity, c.minVelocity);
        EXPECT_LE(muzzleVelocity, c.maxVelocity);
    }
}

TEST_F(BatchRun, SummaryOptionsShapeTheSummaryButNotTheReport)
{
    const std::string rifle = (kExampleDir / "rifle-7.62mm.txt").string();
    const BatchOutcome plain = runWith({rifle, "-o", path("plain.txt")});
    const BatchOutcome lean = runWith({rifle, "--no-grains", "-o", path("lean.txt")});
    const BatchOutcome energy = runWith({rifle, "--energy"});
    ASSERT_EQ(plain.status + lean.status + energy.status, 0);
    EXPECT_NE(plain.out.find(" Number of Powder Grains:"), std::string::npos);
    EXPECT_EQ(lean.out.find(" Number of Powder Grains:"), std::string::npos);
    EXPECT_EQ(plain.out.find(" Total energy of Propellant+Igniter [J]:"), std::string::npos);
    EXPECT_NE(energy.out.find(" Total energy of Propellant+Igniter [J]:"), std::string::npos);
    EXPECT_EQ(contents(path("plain.txt")), contents(path("lean.txt")));
}

TEST_F(BatchRun, WithoutHeatTransferTheWallStaysAtItsStartTemperature)
{
    const std::string rifle = (kExampleDir / "rifle-7.62mm.txt").string();
    const BatchOutcome r = runWith({rifle, "--no-heat-transfer", "--energy", "-o", path("cold.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" Energy Loss due to Heat Transfer [J]:                              0"), std::string::npos)
        << r.out;
    EXPECT_NE(contents(path("cold.txt")).find("      294.1      "), std::string::npos);  // 21 degC in K
}

TEST_F(BatchRun, AStepTooShortIsDoubledUntilTheMuzzleIsReached)
{
    // The 155 mm example needs 7825 steps of 0.002 ms; with 0.0000625 ms it would need 32 times
    // as many, so the step is doubled three times, to 0.0005 ms (31300 steps).
    std::string text = contents(kExampleDir / "howitzer-155mm.txt");
    const std::string step = " Computation Step [s]:                                2.0000e-06 ";
    ASSERT_NE(text.find(step), std::string::npos);
    text.replace(text.find(step), step.size(), " Computation Step [s]:                                6.2500e-08 ");
    std::ofstream(path("fine.txt"), std::ios::binary) << text;
    const BatchOutcome r = runWith({path("fine.txt"), "-o", path("out.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string note = " Computation Step too short. Step was increased 2x.\n\n";
    EXPECT_EQ(r.out.substr(0, 3 * note.size()), note + note + note);
    EXPECT_EQ(r.out.substr(3 * note.size(), 1), "\n") << "the summary follows the notes";
    EXPECT_NE(contents(path("out.txt")).find(" Computation Step [s]:                                5.0000e-07 "),
              std::string::npos);
}

TEST_F(BatchRun, TheErrorEstimateFollowsAnUnchangedSummary)
{
    const std::string howitzer = (kExampleDir / "howitzer-155mm.txt").string();
    const BatchOutcome plain = runWith({howitzer});
    const BatchOutcome estimated = runWith({howitzer, "--error-estimate"});
    ASSERT_EQ(plain.status + estimated.status, 0);
    ASSERT_EQ(estimated.out.substr(0, plain.out.size()), plain.out);
    const std::string tail = estimated.out.substr(plain.out.size());
    EXPECT_EQ(tail.find("\n Step-Size Error Estimate |f(h) - f(h/2)|, h = 0.002 ms:\n"), 0u) << tail;
    EXPECT_NE(tail.find(" End of Combustion Travel [m]: "), std::string::npos);
    EXPECT_EQ(tail.find("Advice"), std::string::npos) << "the example is converged well below 0.1 %";

    // At 0.1 ms the muzzle velocity moves by 0.15 % when the step is halved.
    std::string text = contents(kExampleDir / "howitzer-155mm.txt");
    const std::string step = " Computation Step [s]:                                2.0000e-06 ";
    std::string coarse = text;
    coarse.replace(coarse.find(step), step.size(), " Computation Step [s]:                                1.0000e-04 ");
    std::ofstream(path("coarse.txt"), std::ios::binary) << coarse;
    const BatchOutcome advised = runWith({path("coarse.txt"), "--error-estimate"});
    EXPECT_NE(advised.out.find("\n Advice: an estimated error is larger than 0.1 %; halve the Computation Step"),
              std::string::npos) << advised.out;

    // After three restarts the run uses 0.0005 ms in 31300 steps: at half that step the run
    // would need 62600, more than allowed, so it is no run at h/2.
    text.replace(text.find(step), step.size(), " Computation Step [s]:                                6.2500e-08 ");
    std::ofstream(path("fine.txt"), std::ios::binary) << text;
    const BatchOutcome restarted = runWith({path("fine.txt"), "--error-estimate"});
    ASSERT_EQ(restarted.status, 0) << restarted.err;
    EXPECT_NE(restarted.out.find("\nerror estimate not available\n"), std::string::npos) << restarted.out;
}

TEST_F(BatchRun, FailuresGoToStandardErrorWithStatusOne)
{
    std::string text = contents(kExampleDir / "rifle-7.62mm.txt");
    const std::string gamma = " Ratio of specific Heats for Propellant gamma:        1.2400 ";
    ASSERT_NE(text.find(gamma), std::string::npos);
    text.replace(text.find(gamma), gamma.size(), " Ratio of specific Heats for Propellant gamma:        1.0000 ");
    std::ofstream(path("bad.txt"), std::ios::binary) << text;
    std::ofstream(path("short.txt"), std::ios::binary) << " Weapon: x\r\n A: 1\r\n";
    // A program just started has no earlier value to keep in place of one it cannot read.
    const auto withValue = [&](const std::string& name, const std::string& from, const std::string& to) {
        std::string damaged = contents(kExampleDir / "rifle-7.62mm.txt");
        damaged.replace(damaged.find(from), from.size(), to);
        std::ofstream(path(name), std::ios::binary) << damaged;
    };
    withValue("type9.txt", ":                                      4 ", ":                                      9 ");
    withValue("nan.txt", ":                          9.500000e-03 ", ":                          nan ");
    withValue("glued.txt", ":                          9.500000e-03 ", ":                          9.5e-03kg ");
    withValue("dw.txt", ":                1.000000e-04 ", ":                1.7976931348623157e308 ");

    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::string rifle = (kExampleDir / "rifle-7.62mm.txt").string();
    const Case cases[] = {
        {{path("bad.txt")}, "kalvex-batch: Ratio of specific Heats for Propellant gamma less than or equal to 1\n"},
        {{path("type9.txt")}, "kalvex-batch: " + path("type9.txt") + ":45: '9' is not a valid integer value\n"},
        {{path("nan.txt")}, "kalvex-batch: " + path("nan.txt") + ":12: 'nan' is not a valid floating point value\n"},
        {{path("short.txt")}, "kalvex-batch: " + path("short.txt") + ": not a readable report with all 43 input values\n"},
        {{path("absent.txt")}, "kalvex-batch: " + path("absent.txt") + ": no such file\n"},
        // Text glued to a number, and a value whose field text would not read back.
        {{path("glued.txt")}, "kalvex-batch: " + path("glued.txt") + ":12: '9.5e-03kg' is not a valid floating point value\n"},
        {{path("dw.txt")},
         "kalvex-batch: " + path("dw.txt") + ":19: '1.7976931348623157e308' is not a valid floating point value\n"},
        {{rifle, "-o", path("no/such/folder.txt")},
         "kalvex-batch: Cannot write \"" + path("no/such/folder.txt") + "\": No such file or directory\n"},
        {{"--every", "0", rifle}, "kalvex-batch: Step in Time Progress less than 1\nTry 'kalvex-batch --help' for more information.\n"},
    };
    for (const Case& c : cases) {
        const BatchOutcome r = runWith(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(runWith({path("bad.txt")}).out, "") << "a failed run prints no summary";
}

TEST(BatchLoad, DamagedReportsReachARunOnlyThroughTheInputRules)
{
    // What Load lets through goes into the fields; Start reads them back and checks them.
    // Whatever passes must be a complete, finite set with a known grain type.
    std::mt19937 rng(42);
    const std::string original = contents(kExampleDir / "howitzer-155mm.txt");
    int passed = 0;
    for (int i = 0; i < 2000; ++i) {
        std::string text = original;
        for (int d = 0; d < 3; ++d) {
            const std::size_t colon = text.find(':', rng() % 4000);
            if (colon == std::string::npos)
                continue;
            static const char* junk[] = {" -1", " 0", " 1e400", " nan", " 9", " x", ":", " 1e-400", " 7"};
            text.insert(colon + 1, junk[rng() % std::size(junk)]);
        }
        std::istringstream in(text);
        const auto loaded = report::readReport(in, BallisticInput{});
        if (!loaded)
            continue;
        struct Fields : FieldSource {
            std::map<std::string, std::string, std::less<>> texts;
            std::string fieldText(std::string_view c) const override
            {
                const auto it = texts.find(c);
                return it == texts.end() ? "" : it->second;
            }
        } fields;
        for (const auto& [parameter, t] : report::fieldTextsFor(loaded->input, '.'))
            fields.texts[parameter] = t;
        BallisticInput stored;
        try {
            readBallisticInput(fields, loaded->input.grainType, true, '.', stored);
            validateBallisticInput(stored);
        } catch (const InputError&) {
            continue;
        }
        ++passed;
        EXPECT_GE(stored.grainType, 1);
        EXPECT_LE(stored.grainType, 7);
        for (const report::ValueLine& line : report::kValueLines) {
            if (line.member) {
                EXPECT_TRUE(std::isfinite(stored.*line.member));
            }
        }
    }
    EXPECT_GT(passed, 50);
}
