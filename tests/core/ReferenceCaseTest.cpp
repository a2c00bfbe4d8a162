// Whole Start commands on the reference input sets, compared line by line with the Memo1
// text computed independently from the same model.
#include "CommaLocale.h"
#include "FakeHost.h"

#include "core/input/BallisticInput.h"
#include "core/input/StartCommand.h"

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;

namespace {

void expectMemo(const std::string& name)
{
    FakeHost host = loadCase(name);
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    const std::vector<std::string> expected = loadMemo(name);
    ASSERT_EQ(host.memo.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(host.memo[i], expected[i]) << name << " line " << i;
}

}  // namespace

TEST(ReferenceCases, TubeGrainRifleMatchesMemo) { expectMemo("rifle_tube"); }
TEST(ReferenceCases, SevenPerforatedHowitzerMatchesMemo) { expectMemo("gun155_7perf"); }
TEST(ReferenceCases, RifleWithTooSmallStepMatchesMemo) { expectMemo("rifle_small_step"); }

TEST(ReferenceCases, SameTextUnderALocaleWithADecimalComma)
{
    // The window may run under a locale whose printf writes "2,5"; the summary must not change.
    const locale_t comma = commaLocale();
    if (comma == locale_t{})
        GTEST_SKIP() << "no locale with a decimal comma is installed here";
    const locale_t previous = uselocale(comma);
    expectMemo("gun155_7perf");
    uselocale(previous);
    freelocale(comma);
}
