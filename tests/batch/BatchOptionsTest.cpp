#include "batch/BatchOptions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace kalvex::batch;

TEST(BatchOptions, EveryOptionIsUnderstood)
{
    const BatchOptions o = parseBatchArguments(
        {"in.txt", "-o", "out.txt", "--every", "5", "--energy", "--no-grains", "--no-heat-transfer"});
    EXPECT_EQ(o.inputPath, "in.txt");
    ASSERT_TRUE(o.reportPath);
    EXPECT_EQ(*o.reportPath, "out.txt");
    EXPECT_EQ(o.outputEvery, 5);
    EXPECT_TRUE(o.showEnergy);
    EXPECT_FALSE(o.showGrains);
    EXPECT_FALSE(o.heatTransfer);
    EXPECT_FALSE(o.help);
}

TEST(BatchOptions, DefaultsAreThoseOfTheWindow)
{
    const BatchOptions o = parseBatchArguments({"in.txt"});
    EXPECT_FALSE(o.reportPath);
    EXPECT_EQ(o.outputEvery, 20);
    EXPECT_FALSE(o.showEnergy);
    EXPECT_TRUE(o.showGrains);
    EXPECT_TRUE(o.heatTransfer);
}

TEST(BatchOptions, HelpNeedsNoInput)
{
    EXPECT_TRUE(parseBatchArguments({"--help"}).help);
    EXPECT_TRUE(parseBatchArguments({"in.txt", "-h"}).help);
    EXPECT_NE(batchUsage().find("Usage: kalvex-batch [OPTION]... INPUT.txt\n"),
              std::string::npos);
    for (const char* option : {"-o", "--every", "--energy", "--no-grains", "--no-heat-transfer", "--help"})
        EXPECT_NE(batchUsage().find(std::string("  ") + option), std::string::npos) << option;
}

TEST(BatchOptions, IntervalBoundaries)
{
    EXPECT_EQ(parseBatchArguments({"a", "--every", "1"}).outputEvery, 1);
    EXPECT_EQ(parseBatchArguments({"a", "--every", " 7 "}).outputEvery, 7);
    EXPECT_EQ(parseBatchArguments({"a", "--every", "99999999999"}).outputEvery, 1000000000);
}

TEST(BatchOptions, BadCommandLinesSayWhatIsWrong)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{}, "No input file given"},
        {{"-o", "out.txt"}, "No input file given"},
        {{"a", "-o"}, "Option -o needs a value"},
        {{"a", "--every"}, "Option --every needs a value"},
        {{"a", "--every", "0"}, "Step in Time Progress less than 1"},
        {{"a", "--every", "-5"}, "Step in Time Progress less than 1"},
        {{"a", "--every", "2.5"}, "'2.5' is not a valid integer value"},
        {{"a", "--every", "x"}, "'x' is not a valid integer value"},
        {{"a", "--fast"}, "Unknown option --fast"},
        {{"a", "b"}, "Only one input file can be run, got also b"},
    };
    for (const Case& c : cases) {
        try {
            parseBatchArguments(c.args);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const UsageError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}
