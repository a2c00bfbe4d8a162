#include "SyntheticRun.h"
#include "report/ReportFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

using namespace kalvex;
using namespace kalvex::testing;
namespace fs = std::filesystem;

namespace {

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("kalvex-report-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static std::string contents(const std::string& p)
    {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void put(const std::string& p, const std::string& text)
    {
        std::ofstream(p, std::ios::binary) << text;
    }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

}  // namespace

TEST_F(ReportFile, SaveWritesTheReportAndLoadReadsItBack)
{
    const BallisticInput in = cannonInput();
    const auto run = syntheticRun(in, {});
    const std::string target = path("Output.txt");
    put(target, "an older report");
    report::saveReportFile(target, "M1: test", in, *run, 20);
    std::ostringstream expected;
    report::writeReport(expected, "M1: test", in, *run, 20);
    EXPECT_EQ(contents(target), expected.str());
    EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
    const auto loaded = report::loadReportFile(target, BallisticInput{});
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->weaponName, "M1: test");
    EXPECT_DOUBLE_EQ(loaded->input.mp, 0.36);
}

TEST_F(ReportFile, AFailedWriteLeavesTheExistingFileAndNamesFileAndReason)
{
    const std::string target = path("kept.txt");
    put(target, "the old report");
    try {
        report::saveFileSafely(target, [](std::ostream& out) {
            out << "half a report";
            throw std::runtime_error("disk full while writing");
        });
        FAIL() << "the failure of the writer was swallowed";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "disk full while writing");
    }
    EXPECT_EQ(contents(target), "the old report");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReportFile, UnwritablePlacesGiveAClearMessage)
{
    struct Case {
        std::string target, message;
    };
    fs::create_directories(dir_ / "a folder");
    const Case cases[] = {
        {path("missing/Output.txt"), "Cannot write \"" + path("missing/Output.txt") + "\": No such file or directory"},
        {path("a folder"), "Cannot write \"" + path("a folder") + "\": Is a directory"},
    };
    for (const Case& c : cases) {
        try {
            report::saveFileSafely(c.target, [](std::ostream& out) { out << "x"; });
            ADD_FAILURE() << c.target << " was written";
        } catch (const report::SaveError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "a folder"));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReportFile, ReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes)
{
    const std::string old = path("old.txt");
    put(old, "x");
    ::chmod(old.c_str(), 0640);
    report::saveFileSafely(old, [](std::ostream& out) { out << "new"; });
    struct stat st {};
    ASSERT_EQ(::stat(old.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    const mode_t mask = ::umask(022);
    const std::string fresh = path("new.txt");
    report::saveFileSafely(fresh, [](std::ostream& out) { out << "new"; });
    ::umask(mask);
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(contents(fresh), "new");
}

TEST_F(ReportFile, IntervalBelowOneTouchesNoFile)
{
    const BallisticInput in = cannonInput();
    const std::string target = path("Output.txt");
    put(target, "the old report");
    EXPECT_THROW(report::saveReportFile(target, "Gun", in, *syntheticRun(in, {}), 0), std::invalid_argument);
    EXPECT_EQ(contents(target), "the old report");
}

TEST_F(ReportFile, LoadRefusesWhatIsNotAPlainReadableFile)
{
    EXPECT_FALSE(report::loadReportFile(path("absent.txt"), BallisticInput{}));
    EXPECT_FALSE(report::loadReportFile(dir_.string(), BallisticInput{}));
    EXPECT_FALSE(report::loadReportFile("/dev/zero", BallisticInput{}));
    put(path("short.txt"), " Weapon: X\r\n A: 1\r\n");
    EXPECT_FALSE(report::loadReportFile(path("short.txt"), BallisticInput{}));
}

TEST_F(ReportFile, ALinkIsSavedThroughAndADeviceOrPipeIsWrittenInPlace)
{
    const std::string target = path("real.txt");
    put(target, "old");
    fs::create_symlink("real.txt", path("link.txt"));  // relative, as users make them
    report::saveBytesSafely(path("link.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(contents(target), "new");

    report::saveBytesSafely("/dev/null", "gone");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const std::string pipe = path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Without a reader the save fails at once instead of waiting for one.
    EXPECT_THROW(report::saveBytesSafely(pipe, "x"), report::SaveError);
    std::string received;
    std::thread reader([&] { received = contents(pipe); });
    while (true) {  // until the reader has opened its end
        try {
            report::saveBytesSafely(pipe, "through the pipe");
            break;
        } catch (const report::SaveError&) {
            std::this_thread::yield();
        }
    }
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(entries(), 3u);  // no temporary file left beside them
}
