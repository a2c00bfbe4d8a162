#include "PrintfOracle.h"
#include "SyntheticRun.h"
#include "report/Report.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kalvex;
using namespace kalvex::testing;

namespace {

std::string written(const std::string& name, const BallisticInput& in, const RunResults& r, int every)
{
    std::ostringstream out;
    report::writeReport(out, name, in, r, every);
    return out.str();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The rows of the time table: the lines after its 125 hyphens.
std::vector<std::string> timeTable(const std::string& text)
{
    const auto lines = linesOf(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != std::string(125, '-'))
        ++i;
    return {lines.begin() + static_cast<long>(i) + 1, lines.end()};
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(ReportWriter, MatchesTheGoldenFileByteForByte)
{
    const BallisticInput in = cannonInput();
    const auto run = syntheticRun(in, {});
    const std::string text = written("30 mm test cannon: lot 7", in, *run, 20);
    EXPECT_EQ(text, readFile(KALVEX_TEST_DATA "/report/cannon-synthetic.txt"));
}

TEST(ReportWriter, EveryLineIsWhatPrintfMakesOfItsFormat)
{
    struct Case {
        const char* what;
        RunShape shape;
        int grainType;
        int every;
    };
    const Case cases[] = {
        {"burnout in the barrel", {45, 12, 30}, 6, 20},
        {"burning goes on past the muzzle", {45, 12, 46}, 4, 20},
        {"burnout at the muzzle step", {40, 40, 40}, 5, 7},
        {"pressure still rising at the muzzle", {30, 30, 10}, 1, 1},
        {"spherical grains", {45, 12, 30}, 1, 100},
        {"cylinder grains", {45, 12, 30}, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BallisticInput in = cannonInput();
        in.grainType = c.grainType;
        const auto run = syntheticRun(in, c.shape);
        EXPECT_EQ(written("Gun", in, *run, c.every), oracleReport("Gun", in, *run, c.every));
    }
}

TEST(ReportWriter, EveryLineEndsWithCrLfTheLastOneIncluded)
{
    const BallisticInput in = cannonInput();
    const std::string text = written("Gun", in, *syntheticRun(in, {}), 20);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "bare LF at byte " << i;
        }
        if (text[i] == '\r') {
            ASSERT_EQ(text[i + 1], '\n') << "bare CR at byte " << i;
        }
    }
}

TEST(ReportWriter, ValuesStartInTheirColumnAndTheDegreeSignIsOneByte)
{
    BallisticInput in = cannonInput();
    in.T0w = 20;
    const auto lines = linesOf(written("Gun", in, *syntheticRun(in, {}), 20));
    EXPECT_EQ(lines[10], " Area of Base of Projectile A [m^2]:                  7.300000e-04 ");
    EXPECT_EQ(lines[14], " Twist of Rifling Tw [cal/turn]:                      25.00 ");
    EXPECT_EQ(lines[16], " Initial Temperature of Chamber Wall T0w [\xB0" "C]:        20.00 ");
    EXPECT_EQ(lines[17], " Free Heat Transfer Coefficient for Air h0 [W/m^2/K]: 12.00 ");
    EXPECT_EQ(lines[44], " Type of Grains:                                      6 ");
    EXPECT_EQ(lines[59], " Computation Step [s]:                                2.0000e-06 ");
    EXPECT_EQ(lines[16].find("20.00"), 54u);  // the 55th character
}

TEST(ReportWriter, SizesTheGrainTypeDoesNotUseAreWrittenAsZero)
{
    // L, P, SW per grain type: true where the stored size is written.
    struct Case {
        int type;
        bool l, p, sw;
    };
    const Case cases[] = {{1, false, false, false}, {2, true, true, false}, {3, true, false, false},
                          {4, true, true, false},   {5, true, true, true},  {6, true, true, false},
                          {7, true, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        BallisticInput in = cannonInput();
        in.grainType = c.type;
        const auto lines = linesOf(written("Gun", in, *syntheticRun(in, {}), 20));
        EXPECT_EQ(lines[45].substr(54), "6.000000e-03 ");  // D is always written
        EXPECT_EQ(lines[46].substr(54), c.l ? "1.200000e-02 " : "0.000000e+00 ");
        EXPECT_EQ(lines[47].substr(54), c.p ? "6.000000e-04 " : "0.000000e+00 ");
        EXPECT_EQ(lines[48].substr(54), c.sw ? "2.000000e-04 " : "0.000000e+00 ");
    }
}

TEST(ReportWriter, TimeTableListsEveryNthEntryAndEndsAtTheMuzzle)
{
    struct Case {
        int steps, every;
        std::vector<int> entries;  // entries listed, in order
        bool lastShowsMuzzleTravel;
    };
    const Case cases[] = {
        {45, 20, {0, 20, 40, 45}, true},
        {40, 20, {0, 20, 40}, false},
        {5, 1, {0, 1, 2, 3, 4, 5}, false},
        {45, 46, {0, 45}, true},
        {45, 2147483647, {0, 45}, true},  // no overflow of the entry counter
        {1, 1, {0, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "N=" << c.steps << " n=" << c.every);
        const BallisticInput in = cannonInput();
        const auto run = syntheticRun(in, {c.steps, 1, c.steps + 1});
        const auto rows = timeTable(written("Gun", in, *run, c.every));
        ASSERT_EQ(rows.size(), c.entries.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int k = c.entries[i];
            const bool muzzle = i + 1 == rows.size() && c.lastShowsMuzzleTravel;
            const double x = muzzle ? in.xm : (*run)[SeriesId::travel][static_cast<std::size_t>(k)];
            EXPECT_EQ(rows[i], oracleRow("  %6.3f  %9.3f  %9.4f  %9.2f    %9.1f    %9.1f  %9.1f  %9.1f  "
                                         "%9.1f  %9.2f  %9.2f ",
                                         *run, k, x));
        }
    }
}

TEST(ReportWriter, EndOfCombustionLineOnlyWhenBurningOutlastsTheBarrel)
{
    const BallisticInput in = cannonInput();
    const std::string marker = " !End of Combustion After the Projectile Exits Muzzle! ";
    const std::string unburned = " Remaining Energy of unburned Propellant [J]:";
    const std::string burning = written("Gun", in, *syntheticRun(in, {45, 12, 46}), 20);
    const std::string burnedOut = written("Gun", in, *syntheticRun(in, {45, 12, 30}), 20);
    const auto lines = linesOf(burning);
    EXPECT_EQ(lines[59].substr(0, 22), " Computation Step [s]:");
    EXPECT_EQ(lines[60], "");
    EXPECT_EQ(lines[61], marker);
    EXPECT_EQ(lines[62], "");
    EXPECT_EQ(burning.find(" Z = 1:"), std::string::npos);
    EXPECT_NE(burning.find(unburned), std::string::npos);
    EXPECT_EQ(burnedOut.find(marker), std::string::npos);
    EXPECT_NE(burnedOut.find(" Z = 1:"), std::string::npos);
    EXPECT_EQ(burnedOut.find(unburned), std::string::npos);
}

TEST(ReportWriter, WeaponNameIsWrittenInWindows1250)
{
    const BallisticInput in = cannonInput();
    const auto run = syntheticRun(in, {});
    struct Case {
        std::string utf8, bytes;
    };
    const Case cases[] = {
        {"Houfnice vz. 77 \xC5\xA0KODA \xC4\x8D\xC5\x99", "Houfnice vz. 77 \x8AKODA \xE8\xF8"},
        {"M1: test", "M1: test"},
        {"", ""},
        {"\xE2\x82\xAC 5 \xE6\x97\xA5", "\x80 5 ?"},  // euro sign kept, a CJK sign is not
        {"two\r\nlines", "two  lines"},               // a line break would split the name line
    };
    for (const Case& c : cases) {
        const auto lines = linesOf(written(c.utf8, in, *run, 20));
        EXPECT_EQ(lines[7], " Weapon: " + c.bytes);
    }
}

TEST(ReportWriter, RefusesAnIntervalBelowOneAndAnIncompleteRun)
{
    const BallisticInput in = cannonInput();
    const auto run = syntheticRun(in, {});
    std::ostringstream out;
    for (int every : {0, -5}) {
        try {
            report::writeReport(out, "Gun", in, *run, every);
            ADD_FAILURE() << "interval " << every << " accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "Step in Time Progress less than 1");
        }
    }
    run->pmaxRow = run->stepCount + 1;
    EXPECT_THROW(report::writeReport(out, "Gun", in, *run, 20), std::invalid_argument);
    run->pmaxRow = 0;
    run->stepCount = kResultCapacity;
    EXPECT_THROW(report::writeReport(out, "Gun", in, *run, 20), std::invalid_argument);
    EXPECT_TRUE(out.str().empty());
}
