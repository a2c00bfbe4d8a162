// The verification report's checks as tests: each fails when the model departs from the
// closed form (a wrong covolume term, a wrong Lagrange factor, a sign error in the energy
// balance all make at least one fail).
#include "tools/verification/ClosedFormChecks.h"

#include <gtest/gtest.h>

using namespace kalvex::verification;

namespace {

void expectPassed(const CheckResult& check)
{
    for (const CheckRow& row : check.rows)
        EXPECT_TRUE(row.passed()) << check.name << ": " << row.quantity << " expected " << row.expected
                                  << ", computed " << row.computed << ", deviation " << row.deviation()
                                  << " over " << row.tolerance;
    EXPECT_FALSE(check.rows.empty()) << check.name;
}

}  // namespace

TEST(ClosedFormChecks, TheModelMeetsEveryClosedForm)
{
    expectPassed(closedChamberCheck().check);
    expectPassed(workCheck());
    expectPassed(adiabaticCheck());
    expectPassed(pressureGradientCheck());
    expectPassed(limitingVelocityCheck().check);
}

TEST(ClosedFormChecks, HalvingTheStepShowsTheOrderOfEachKindOfValue)
{
    expectPassed(smoothConvergenceCheck().check);
    expectPassed(muzzleConvergenceCheck().check);
}
