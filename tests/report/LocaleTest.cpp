// A user locale with a decimal comma must change neither the bytes of a report nor what
// Load reads from it.

#include "SyntheticRun.h"
#include "report/Report.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <locale.h>
#include <sstream>
#include <string>

using namespace kalvex;
using namespace kalvex::testing;

namespace {

// Sets a locale with a decimal comma as the global C locale for the life of the guard: one
// installed on the machine, or else the one generated into the build tree (if the machine
// could). Restores "C" and the locale search path.
class CommaLocale {
public:
    CommaLocale()
    {
        const char* old = std::getenv("LOCPATH");
        hadPath_ = old != nullptr;
        if (old)
            oldPath_ = old;
        active_ = trySetCommaLocale();
        if (!active_) {
            ::setenv("LOCPATH", KALVEX_TEST_LOCALE_DIR, 1);
            active_ = trySetCommaLocale();
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, "C");
        if (hadPath_)
            ::setenv("LOCPATH", oldPath_.c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    }
    bool active() const { return active_; }

private:
    static bool trySetCommaLocale()
    {
        for (const char* name : {"cs_CZ.UTF-8", "cs_CZ.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"})
            if (std::setlocale(LC_ALL, name))
                return true;
        return false;
    }

    bool active_ = false;
    bool hadPath_ = false;
    std::string oldPath_;
};

std::string writtenReport(const BallisticInput& in, const RunResults& run)
{
    std::ostringstream out;
    report::writeReport(out, "Gun", in, run, 7);
    return out.str();
}

}  // namespace

TEST(ReportLocale, DecimalCommaLocaleChangesNeitherWritingNorReading)
{
    const BallisticInput in = cannonInput();
    const auto run = syntheticRun(in, {});
    const std::string inC = writtenReport(in, *run);

    CommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << "no locale with a decimal comma could be generated on this machine";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 2.5);
    ASSERT_STREQ(probe, "2,5") << "the locale in effect must really write a comma";

    EXPECT_EQ(writtenReport(in, *run), inC);
    std::istringstream source(inC);
    const auto loaded = report::readReport(source, BallisticInput{});
    ASSERT_TRUE(loaded);
    EXPECT_DOUBLE_EQ(loaded->input.A, 7.3e-4);
    EXPECT_DOUBLE_EQ(loaded->input.gamma, 1.23);
    EXPECT_DOUBLE_EQ(loaded->input.dt, 2e-6);
    EXPECT_EQ(writtenReport(loaded->input, *run), inC);
}
