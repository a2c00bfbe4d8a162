#include "tools/verification/ClosedFormChecks.h"
#include "vessel/VesselSimulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalvex::vessel {
namespace {

// The closed chamber of the verification report, fired as a vessel: the same gas, charge and
// step, so the same maximum pressure as the report's stepper reaches after burnout.
TEST(VesselSimulation, ReachesTheClosedChamberCheck)
{
    const verification::ClosedChamber check = verification::closedChamberCheck();
    VesselSetup s;
    s.charge = verification::referenceGun();
    s.charge.gammaI = s.charge.gamma;
    s.charge.T0I = s.charge.T0;
    s.volume = s.charge.V0;
    s.chargeMass = s.charge.C;
    s.innerDiameter = std::sqrt(4 * s.charge.A / std::numbers::pi);
    s.dt = s.charge.dt;
    s.sampleInterval = s.charge.dt;
    const VesselTrace trace = simulateVessel(s, 1e-4);
    const double pmax = *std::max_element(trace.pressure.begin(), trace.pressure.end()) * 1e-6;
    EXPECT_NEAR(pmax, check.check.rows[1].computed, 1e-9 * pmax);
    EXPECT_NEAR(pmax, check.nobleAbelPressure, 1e-9 * pmax);
    // Every sample while burning is the Noble-Abel pressure of its burned fraction.
    const BallisticInput& k = s.charge;
    for (std::size_t i = 0; i < trace.time.size(); i += 97) {
        const double Z = trace.burnedFraction[i];
        const double free = k.V0 - (1 - Z) * k.C / k.rho - Z * k.C * k.b - k.CI * k.bI;
        EXPECT_NEAR(trace.pressure[i], (Z * k.C * k.F + k.CI * k.FI) / free, 1e-9 * trace.pressure[i]) << i;
    }
}

TEST(VesselSimulation, HeatLossLowersThePlateauAndBadSetupsThrow)
{
    VesselSetup s;
    s.charge = verification::referenceGun();
    s.charge.D = 0.004, s.charge.P = 0.0005, s.charge.L = 0.008;
    const VesselTrace closed = simulateVessel(s);
    s.heatLoss = true;
    const VesselTrace cooled = simulateVessel(s);
    EXPECT_LT(cooled.pressure.back(), closed.pressure.back());
    EXPECT_LT(cooled.pressure.back(), *std::max_element(cooled.pressure.begin(), cooled.pressure.end()));
    s.chargeMass = -1;
    EXPECT_THROW(simulateVessel(s), std::runtime_error);
    s.chargeMass = 1;  // more solid than the vessel holds
    EXPECT_THROW(simulateVessel(s), std::runtime_error);
}

}  // namespace
}  // namespace kalvex::vessel
