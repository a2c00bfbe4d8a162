#include "core/propellant/PropellantLibrary.h"
#include "core/results/Errors.h"
#include "tools/verification/ClosedFormChecks.h"
#include "vessel/ReducedRow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace kalvex::vessel {
namespace {

// A reduction's row written into a library and read back keeps its law, coefficients and
// measurement; applying it sets the law's segments, and a row without segments clears them.
TEST(ReducedRow, RoundTripsThroughTheLibraryWithItsLawAndSources)
{
    const BallisticInput propellant = verification::referenceGun();
    VesselReduction reduction;
    reduction.gas = {1.05e6, 0.00097, 0, 0};
    reduction.law = {{0, 3e-8, 0.8, 0, 0, 10}, {40e6, 5.2e-9, 0.9, 0, 0, 10}, {100e6, 8.2e-10, 1.0, 0, 0, 10}};
    reduction.temperature = TemperatureFit{{0.0003, 0.0016, 21, -40, 60}, 0, 0};
    std::vector<Firing> firings(2);
    firings[0].name = "traces/a.csv";
    firings[1].name = "traces/b.csv";
    const std::string date = isoDateUtc(std::chrono::system_clock::time_point{} + std::chrono::seconds(1796688000));
    EXPECT_EQ(date, "2026-12-08T00:00:00Z");
    const Propellant row = reducedPropellantRow("Lot 7", firings, {std::string(64, 'a'), std::string(64, 'b')},
                                                propellant, ReductionOptions{}, reduction, date);
    EXPECT_EQ(row.source, "closed-vessel firings reduced by kalvex-vessel on 2026-12-08: a.csv, b.csv");

    std::istringstream text(userLibraryTextWith("", "lib.json", row));
    PropellantLibrary library;
    readPropellantRows(text, "lib.json", true, library);
    ASSERT_TRUE(library.problems.empty()) << library.problems.front();
    const Propellant& back = library.rows.at(0);
    EXPECT_EQ(back.F, 1.05e6);
    EXPECT_EQ(back.b, 0.00097);
    EXPECT_EQ(back.beta, 3e-8);
    ASSERT_EQ(back.upperSegments.size(), 2u);
    EXPECT_EQ(back.upperSegments[0].pLow, 40);  // MPa, as input files hold it
    EXPECT_EQ(back.upperSegments[1].beta, 8.2e-10);
    EXPECT_EQ(back.temperatureCoefficients->burningRate, 0.0016);
    EXPECT_EQ(back.temperatureCoefficients->lowest, -40);
    ASSERT_TRUE(back.measurement);
    EXPECT_EQ(back.measurement->date, date);
    EXPECT_EQ(back.measurement->traces.at(1).file, "traces/b.csv");
    EXPECT_EQ(back.measurement->traces.at(1).sha256, std::string(64, 'b'));
    EXPECT_NE(back.measurement->settings.find("\"smoothingHalfWidth\":30"), std::string::npos);

    BallisticInput in = propellant;
    applyPropellant(back, in);
    EXPECT_EQ(in.upperSegments.size(), 2u);
    Propellant plain = back;
    plain.upperSegments.clear();
    applyPropellant(plain, in);
    EXPECT_TRUE(in.upperSegments.empty());

    Propellant crossed = back;
    crossed.upperSegments[1].pLow = 30;
    EXPECT_THROW(
        {
            try {
                userLibraryTextWith("", "lib.json", crossed);
            } catch (const InputError& e) {
                EXPECT_STREQ(e.what(), "Lower Pressure Bound of Segment 3 not above that of Segment 2");
                throw;
            }
        },
        InputError);
}

}  // namespace
}  // namespace kalvex::vessel
