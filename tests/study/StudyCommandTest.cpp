// kalvex-study as a user runs it: identical bytes whatever the threads and shards, the
// messages of bad studies, merge refusing gaps and duplicates, kalvex-batch --csv.
#include "StudyTestSupport.h"

#include "batch/BatchRun.h"
#include "batch/StudyRun.h"
#include "batch/StudyTables.h"
#include "study/ToleranceStats.h"
#include "core/results/SeriesVocabulary.h"

#include <clocale>
#include <fstream>
#include <locale>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace kalvex::batch {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

class StudyCommand : public testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("kalvex-study-test-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }

    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static Outcome run(const std::vector<std::string>& args, bool cancelled = false)
    {
        std::ostringstream out, err;
        const std::atomic<bool> cancel{cancelled};
        const int status = studyMain(args, {out, err, false}, cancel);
        return {status, out.str(), err.str()};
    }

    // A study file in the test folder whose base is the rifle example.
    std::string study(const std::string& kind, const std::string& spec) const
    {
        const std::string base = (test::kExampleDir / "rifle-7.62mm.txt").string();
        return write(kind + ".json", test::rifleStudyJson(kind, spec, base));
    }
};

TEST_F(StudyCommand, ThreadsAndMergedShardsGiveIdenticalBytes)
{
    const std::string file = study("tolerance", R"({"parameters": [{"parameter": "beta", "sigma": 2e-10}],
                                                     "samples": 7, "seed": 5})");
    ASSERT_EQ(run({file, "--threads", "1", "-o", path("one.csv")}).status, 0);
    ASSERT_EQ(run({file, "--threads", "2", "-o", path("two.csv")}).status, 0);
    ASSERT_EQ(run({file, "--shard", "2/2", "-o", path("s2.csv")}).status, 0);
    ASSERT_EQ(run({file, "--shard", "1/2", "-o", path("s1.csv")}).status, 0);
    ASSERT_EQ(run({"merge", path("s2.csv"), path("s1.csv"), "-o", path("merged.csv")}).status, 0);
    const std::string one = read(path("one.csv"));
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 8);
    EXPECT_EQ(read(path("two.csv")), one);
    EXPECT_EQ(read(path("merged.csv")), one);

    // A host that switched every locale to one with a decimal comma (as a window does) gets
    // the same bytes.
    if (std::setlocale(LC_ALL, "cs_CZ.UTF-8")) {
        const std::locale previous = std::locale::global(std::locale("cs_CZ.UTF-8"));
        const int status = run({file, "-o", path("comma.csv")}).status;
        std::locale::global(previous);
        std::setlocale(LC_ALL, "C");
        ASSERT_EQ(status, 0);
        EXPECT_EQ(read(path("comma.csv")), one);
    }
    // A shard file: its first line says what it is, then the header of one run's file.
    const std::string s1 = read(path("s1.csv"));
    EXPECT_THAT(s1, testing::StartsWith("# kalvex-study shard 1 of 2 of study "));
    EXPECT_THAT(s1, testing::HasSubstr(": runs 1 to 3 of 7\n" + one.substr(0, one.find('\n') + 1)));
    EXPECT_THAT(s1, testing::EndsWith("\n# end of shard 1 of 2: 3 runs\n"));

    // Shard 1 of 2 holds runs 1..3: a merge without shard 2 is complete only up to there,
    // and twice the same shard is refused without writing the target.
    const Outcome twice = run({"merge", path("s1.csv"), path("s1.csv"), "-o", path("bad.csv")});
    EXPECT_EQ(twice.status, 1);
    EXPECT_THAT(twice.err, testing::HasSubstr("run 1 appears twice"));
    EXPECT_FALSE(fs::exists(path("bad.csv")));
    const Outcome gap = run({"merge", path("s2.csv"), "-o", path("bad.csv")});
    EXPECT_THAT(gap.err, testing::HasSubstr("runs 1 to 3 are missing"));
}

// Rows of an adaptive study say how they were integrated, in a column a fixed-step study does
// not have, and merge reads them back into the study's statistics.
TEST_F(StudyCommand, AdaptiveRowsSayHowTheyWereIntegrated)
{
    std::string text = test::rifleStudyJson("tolerance", R"({"parameters": [{"parameter": "beta", "sigma": 2e-10}],
                                                             "samples": 4, "seed": 5})",
                                            (test::kExampleDir / "rifle-7.62mm.txt").string());
    text.insert(1, R"("integrator": {"method": "adaptive", "relativeTolerance": 1e-7}, )");
    const std::string file = write("adaptive.json", text);
    const Outcome whole = run({file, "-o", path("whole.csv")});
    ASSERT_EQ(whole.status, 0) << whole.err;
    const std::string rows = read(path("whole.csv"));
    EXPECT_THAT(rows, testing::HasSubstr(",integrator [-],message [-]\n"));
    EXPECT_THAT(rows, testing::HasSubstr(",adaptive rtol=1e-07 atol=1e-07,\n"));
    ASSERT_EQ(run({file, "--shard", "1/2", "-o", path("s1.csv")}).status, 0);
    ASSERT_EQ(run({file, "--shard", "2/2", "-o", path("s2.csv")}).status, 0);
    const Outcome merged = run({"merge", path("s1.csv"), path("s2.csv"), "--study", file, "-o", path("m.csv")});
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(read(path("m.csv")), rows);
    EXPECT_EQ(merged.out, run({file, "-o", path("again.csv")}).out);
}

// Merge joins only what gives the file of one run: every shard of one study, each whole,
// every row with the study's columns and numbers where numbers belong.
TEST_F(StudyCommand, MergeRefusesShardsThatWouldNotGiveTheWholeStudy)
{
    const auto shardsOf = [&](const std::string& name, int seed) {
        const std::string file = write(name + ".json", test::rifleStudyJson("tolerance",
            R"({"parameters": [{"parameter": "beta", "sigma": 2e-10}], "samples": 7, "seed": )" + std::to_string(seed) + "}",
            (test::kExampleDir / "rifle-7.62mm.txt").string()));
        for (const char* shard : {"1/3", "2/3", "3/3"})
            EXPECT_EQ(run({file, "--shard", shard, "-o", path(name + "-" + shard[0] + ".csv")}).status, 0);
        return file;
    };
    const std::string study = shardsOf("nine", 9);
    shardsOf("ten", 10);
    ASSERT_EQ(run({study, "-o", path("whole.csv")}).status, 0);
    ASSERT_EQ(run({"merge", path("nine-1.csv"), path("nine-2.csv"), path("nine-3.csv"), "-o", path("m.csv")}).status, 0);
    EXPECT_EQ(read(path("m.csv")), read(path("whole.csv")));

    // Shard 3 (runs 5 to 7) altered: its last line says it ended, the line before is run 7.
    const std::string last = read(path("nine-3.csv"));
    const std::size_t endLine = last.rfind('\n', last.size() - 2) + 1;
    const std::size_t lastRow = last.rfind('\n', endLine - 2) + 1;
    const std::string row = last.substr(lastRow, endLine - lastRow);
    const std::string stopped = last.substr(0, endLine);
    const std::string textCell = stopped.substr(0, lastRow) + "7,abc" + row.substr(row.find(',', 2)) + last.substr(endLine);
    const struct {
        std::vector<std::string> shards;
        std::string altered, message;
    } cases[] = {
        {{"nine-1.csv", "nine-2.csv"}, "", "shard 3 of 3 is not among the files given: runs 5 to 7 are missing"},
        {{"nine-1.csv", "nine-2.csv", "x.csv"}, stopped.substr(0, lastRow + 9), "fields instead of"},
        {{"nine-1.csv", "nine-2.csv", "x.csv"}, stopped, "x.csv: holds 3 of the 3 runs of shard 3 of 3 and no end line"},
        {{"nine-1.csv", "nine-2.csv", "x.csv"}, stopped.substr(0, lastRow) + "7,1,2\n" + last.substr(endLine),
         "x.csv: line 5: 3 fields instead of"},
        {{"nine-1.csv", "nine-2.csv", "x.csv"}, textCell, "x.csv: line 5: \"abc\" in the column beta ["},
        {{"nine-1.csv", "nine-2.csv", "ten-3.csv"}, "", "ten-3.csv: a shard of another study"},
        {{"nine-1.csv", "nine-1.csv", "nine-3.csv"}, "", "is given twice"},
        {{"nine-1.csv", "whole.csv"}, "", "whole.csv: not the file of a --shard run"},
    };
    for (const auto& c : cases) {
        if (!c.altered.empty())
            write("x.csv", c.altered);
        std::vector<std::string> args{"merge"};
        for (const std::string& shard : c.shards)
            args.push_back(path(shard));
        args.insert(args.end(), {"-o", path("bad.csv")});
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.status, 1) << c.message;
        EXPECT_THAT(outcome.err, testing::HasSubstr(c.message));
        EXPECT_FALSE(fs::exists(path("bad.csv"))) << c.message;
    }
    const Outcome help = run({"merge", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, testing::HasSubstr("SHARD"));
}

TEST_F(StudyCommand, BadStudiesNameTheirFault)
{
    const struct {
        std::string kind, spec, message;
    } cases[] = {
        {"sweep", R"({"parameter": "Cx", "values": [1]})", "Unknown parameter \"Cx\"; the parameters are A, mp,"},
        {"sweep", R"({"parameter": "C", "from": 1, "to": 2, "count": 0})", "sweep (C): the range is empty"},
        {"sweep", R"({"parameter": "C", "values": []})", "sweep (C): the list of values is empty"},
        {"tolerance", R"({"parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 0})",
         "tolerance.samples (N) must be a positive whole number"},
        {"tolerance", R"({"parameters": [{"parameter": "C", "sigma": -1e-5}], "samples": 5})",
         "tolerance.parameters (C).sigma must not be negative"},
        {"tolerance", R"({"parameters": [{"parameter": "grainType", "sigma": 1}], "samples": 5})",
         "grainType is a shape number and can only be swept"},
        {"solve", R"({"parameter": "C", "bracket": [0.0027, 0.0028], "output": "tBurnout", "target": 1})",
         "tBurnout is a value at a step and cannot be a target"},
        {"sensitivity", R"({"parameters": [{"parameter": "C", "sigma": 1e-5}], "samples": 4000000})",
         "sensitivity.samples: 4000000 samples of 1 parameter need 12000000 runs, more than the 10000000"},
        {"sensitivity", R"({"parameters": [{"parameter": "C", "sigma": 1e-5}, {"parameter": "beta", "sigma": 1e-11}],
                            "samples": 9000000000000000000})",
         "sensitivity.samples: 9000000000000000000 samples of 2 parameters need more runs than can be counted"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run({study(c.kind, c.spec)});
        EXPECT_EQ(outcome.status, 1) << c.spec;
        EXPECT_THAT(outcome.err, testing::HasSubstr(c.message)) << c.spec;
    }
    EXPECT_THAT(run({write("broken.json", "{\"kind\": ")}).err, testing::HasSubstr("the study is not JSON"));
    EXPECT_EQ(run({"/dev/zero"}).err, "kalvex-study: /dev/zero: a character device, not a file to read (the study file)\n");
    EXPECT_EQ(run({path("none.json")}).err, "kalvex-study: " + path("none.json") + ": no such file (the study file)\n");
    EXPECT_THAT(run({write("nobase.json", R"({"kind": "sweep", "base": "absent.txt", "sweep": {}})")}).err,
                testing::HasSubstr("base: " + path("absent.txt") + ": no such file (\"absent.txt\" is taken relative to the "
                                   "study file's folder, " + folder.string() + ")"));
    EXPECT_THAT(run({study("solve", R"({"parameter": "C", "bracket": [0.0027, 0.0028], "target": 830})"),
                     "--shard", "1/2"})
                    .err,
                testing::HasSubstr("a solve study runs as a whole and takes no --shard"));
}

TEST_F(StudyCommand, CommandLineFaultsGetShortMessages)
{
    const std::string solve = study("solve", R"({"parameter": "C", "bracket": [0.0027, 0.0031], "target": 830})");
    const std::string fit = study("fit", R"({"parameters": ["beta"], "firings": [{"velocity": 800}]})");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{solve, "--threads", "3000"}, "kalvex-study: --threads wants 1 to 256 (0 or none: every core), got 3000\n"},
        {{solve, "--threads", "-1"}, "kalvex-study: --threads wants 1 to 256 (0 or none: every core), got -1\n"},
        {{solve, "-o", path("x.csv")}, "kalvex-study: -o: a solve of one parameter has no rows to write; --json writes its result\n"},
        {{fit, "-o", path("x.csv")}, "kalvex-study: -o: a fit has no rows to write; --json writes its result\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.status, 1) << c.message;
        EXPECT_THAT(outcome.err, testing::StartsWith(c.message));
    }
    // Captions start in one column, also after a unit with a character of two bytes (°C).
    std::istringstream list(run({"--list-parameters"}).out);
    for (std::string line; std::getline(list, line);) {
        const std::size_t degree = line.find("\u00b0") == std::string::npos ? 0 : 1;
        if (line.find(']') + 1 - degree < 20)  // a longer name and unit is followed by one blank
            EXPECT_EQ(line.find_first_not_of(' ', line.find(']') + 1) - degree, 20u) << line;
    }
}

TEST_F(StudyCommand, ToleranceTableSaysWhichSamplesEachFigureCounts)
{
    study::ToleranceAccumulator accumulator(study::ExceedanceLimit{"P0Max", 400});
    study::RowResult stop, fine;
    stop.outputs.end = RunEnd::PressureLimit;
    stop.outputs.message = "Mean Pressure over 2000 MPa.";
    fine.outputs.values.fill(1);
    for (const study::RowResult* row : {&stop, &fine, &fine})
        accumulator.add(*row);
    std::ostringstream table;
    writeToleranceTable(table, accumulator.summary());
    EXPECT_THAT(table.str(), testing::HasSubstr("\n3 samples, 2 in the statistics, 1 stopped at the pressure limit "
                                                "(counted only as exceeding it)\nP(P0Max > 400) = 1/3"));
}

TEST_F(StudyCommand, ErrorEstimateRunsTheSolutionAtHalfTheStep)
{
    const std::string file = study("solve", R"({"parameter": "C", "bracket": [0.0027, 0.0031], "target": 830})");
    const Outcome outcome = run({file, "--error-estimate"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_THAT(outcome.out, testing::HasSubstr("Step-size error estimate of the solution:\n"));
    EXPECT_THAT(outcome.out, testing::HasSubstr(" Muzzle Velocity [m/s]:"));
}

TEST_F(StudyCommand, CancelledStudyWritesWhatFinishedAndExits130)
{
    const std::string file = study("sweep", R"({"parameter": "C", "values": [0.0027, 0.0028]})");
    write("cut.csv", "a complete earlier result\n");
    const Outcome outcome = run({file, "-o", path("cut.csv"), "--json", path("cut.json")}, true);
    EXPECT_EQ(outcome.status, kExitCancelled);
    EXPECT_EQ(read(path("cut.csv")), "a complete earlier result\n");
    EXPECT_FALSE(fs::exists(path("cut.json")));
    EXPECT_THAT(outcome.err, testing::HasSubstr("written to " + path("cut.csv.partial") + " and " + path("cut.json.partial")));
    EXPECT_THAT(read(path("cut.json.partial")), testing::HasSubstr("\"stopped\": true,\n\"rowsRequested\": 2"));
    const std::string csv = read(path("cut.csv.partial"));
    EXPECT_EQ(csv.substr(0, 13), "run [-],C [kg");  // the header, and no row was started
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1);
    // the whole study run again replaces the earlier result and takes the stale part away
    ASSERT_EQ(run({file, "-o", path("cut.csv"), "--json", path("cut.json")}).status, 0);
    EXPECT_EQ(read(path("cut.csv")).substr(0, 13), "run [-],C [kg");
    EXPECT_FALSE(fs::exists(path("cut.csv.partial")) || fs::exists(path("cut.json.partial")));
}

TEST_F(StudyCommand, BatchWritesTheSeriesWithNamesAndUnits)
{
    std::ostringstream out, err;
    const std::string rifle = (test::kExampleDir / "rifle-7.62mm.txt").string();
    ASSERT_EQ(batchMain({rifle, "--csv", path("series.csv")}, out, err), 0) << err.str();
    std::istringstream csv(read(path("series.csv")));
    std::string header, first, line, last;
    std::getline(csv, header);
    std::getline(csv, first);
    std::size_t lines = 2;
    while (std::getline(csv, line)) {
        last = line;
        ++lines;
    }
    EXPECT_THAT(header, testing::StartsWith("t [ms],x [m],vp [m/s],Z [-],Pmean [MPa]"));
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), kSeriesCount - 1);
    EXPECT_EQ(lines, 11571u + 2);  // ignition, 11571 steps
    EXPECT_THAT(first, testing::StartsWith("0,0,0,"));
    EXPECT_THAT(last, testing::StartsWith("1.157"));
}

}  // namespace
}  // namespace kalvex::batch
