// The figures of the validation against other codes and firings, as the pages record them: a
// change of the model that moves one by more than its stated tolerance fails here.
#include "tools/verification/AgardComparison.h"
#include "tools/verification/PublishedCases.h"

#include <gtest/gtest.h>

using namespace kalvex::verification;

namespace {

void expectAsRecorded(const std::vector<CheckRow>& figures)
{
    ASSERT_FALSE(figures.empty());
    for (const CheckRow& row : figures)
        EXPECT_TRUE(row.passed()) << row.quantity << ": recorded " << row.expected << ", computed " << row.computed
                                  << ", deviation " << row.deviation() << " over " << row.tolerance;
}

}  // namespace

TEST(ValidationFigures, TheAgardRunsKeepTheirRecordedFigures)
{
    const AgardComparison c = compareAgard(KALVEX_EXAMPLES);
    expectAsRecorded(c.figures);
    // Each switch acts the way its physics says: heat loss lowers the peak, and a shot-start
    // pressure lets the projectile move earlier, which lowers it too.
    EXPECT_LT(c.runs[0].figures.pmax, c.runs[1].figures.pmax);
    EXPECT_LT(c.runs[3].figures.pmax, c.runs[1].figures.pmax);
}

namespace {

// The curve's velocity at x, linear between its points.
double velocityAt(const std::vector<CurvePoint>& curve, double x)
{
    for (std::size_t k = 1; k < curve.size(); ++k)
        if (curve[k].x >= x)
            return curve[k - 1].y + (curve[k].y - curve[k - 1].y) * (x - curve[k - 1].x) / (curve[k].x - curve[k - 1].x);
    return curve.back().y;
}

}  // namespace

TEST(ValidationFigures, ThePublishedCasesKeepTheirRecordedFigures)
{
    const PublishedCases p = runPublishedCases(KALVEX_EXAMPLES "/validation");
    expectAsRecorded(p.figures);
    // The page draws a shorter barrel's velocity from the longest barrel's run: nothing in these
    // inputs depends on where the muzzle is, so each fitted firing lies on that curve.
    for (const BarrelLengthFit* fit : {&p.federal55, &p.m193})
        for (std::size_t i = 0; i < fit->model.size(); ++i)
            EXPECT_NEAR(velocityAt(fit->velocityOverBarrel, fit->barrelInches[i]), fit->model[i], 5e-4 * fit->model[i])
                << fit->barrelInches[i] << " in";
}
