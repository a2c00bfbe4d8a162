#include "tools/verification/ClosedFormChecks.h"
#include "vessel/VesselSimulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalvex::vessel {
namespace {

// The closed chamber of the verification report: the reference gun's charge in its chamber,
// every step recorded, the igniter's gas as hot as the propellant's, so that without loss the
// gas stays at the flame temperature T0 while it burns.
VesselSetup closedChamber()
{
    VesselSetup s;
    s.charge = verification::referenceGun();
    s.charge.gammaI = s.charge.gamma;
    s.charge.T0I = s.charge.T0;
    s.volume = s.charge.V0;
    s.chargeMass = s.charge.C;
    s.heatLoss.innerDiameter = std::sqrt(4 * s.charge.A / std::numbers::pi);
    s.dt = s.charge.dt;
    s.sampleInterval = s.charge.dt;
    return s;
}

double highest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

std::size_t burnoutSample(const VesselTrace& trace)
{
    return static_cast<std::size_t>(
        std::find_if(trace.burnedFraction.begin(), trace.burnedFraction.end(), [](double Z) { return Z >= 1; }) -
        trace.burnedFraction.begin());
}

// The closed chamber of the verification report, fired as a vessel: the same gas, charge and
// step, so the same maximum pressure as the report's stepper reaches after burnout.
TEST(VesselSimulation, ReachesTheClosedChamberCheck)
{
    const verification::ClosedChamber check = verification::closedChamberCheck();
    const VesselSetup s = closedChamber();
    const VesselTrace trace = simulateVessel(s, 1e-4);
    const double pmax = highest(trace.pressure) * 1e-6;
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
    s.heatLoss.coefficient = 5000;
    const VesselTrace cooled = simulateVessel(s);
    EXPECT_LT(cooled.pressure.back(), closed.pressure.back());
    EXPECT_LT(cooled.pressure.back(), *std::max_element(cooled.pressure.begin(), cooled.pressure.end()));
    for (const VesselHeatLoss& bad : {VesselHeatLoss{-1, 0.05, 21}, VesselHeatLoss{100, 0, 21},
                                      VesselHeatLoss{100, 0.05, -300}}) {
        VesselSetup wrong = s;
        wrong.heatLoss = bad;
        EXPECT_THROW(simulateVessel(wrong), std::runtime_error);
    }
    VesselSetup mixed = s;  // one propellant per vessel: a second component is not dropped unsaid
    mixed.charge.extraComponents.resize(1);
    EXPECT_THROW(simulateVessel(mixed), std::runtime_error);
    s.chargeMass = -1;
    EXPECT_THROW(simulateVessel(s), std::runtime_error);
    s.chargeMass = 1;  // more solid than the vessel holds
    EXPECT_THROW(simulateVessel(s), std::runtime_error);
}

// Newton's law over the wall held at T_w: the gas's heat capacity is U/T0, with
// U = (C F + CI FI)/(gamma - 1) its energy at burnout when nothing is lost, and its pressure
// after burnout pmax0 T/T0. A small coefficient takes h A_w (T0 - T_w) t_b by burnout to first
// order, so pmax falls by that over U; after burnout T - T_w decays as exp(-t/tau) exactly,
// tau = U/(T0 h A_w).
TEST(VesselSimulation, HeatLossByNewtonsLawFollowsItsClosedForms)
{
    VesselSetup s = closedChamber();
    const VesselTrace closed = simulateVessel(s, 1e-4);
    const BallisticInput& k = s.charge;
    const double energy = (k.C * k.F + k.CI * k.FI) / (k.gamma - 1);
    const double pmax0 = highest(closed.pressure);
    const double burnout = closed.time[burnoutSample(closed)];
    const double wall = s.heatLoss.wallTemperature + 273.15;  // K
    const double area = s.heatLoss.wallArea(s.volume);

    constexpr double kDrop = 1e-3;  // of pmax, lost by burnout
    s.heatLoss.coefficient = kDrop * energy / (area * (k.T0 - wall) * burnout);
    EXPECT_NEAR(1 - highest(simulateVessel(s, 1e-4).pressure) / pmax0, kDrop, 0.02 * kDrop);

    const double tau = burnout;
    s.heatLoss.coefficient = energy / (k.T0 * area * tau);
    const VesselTrace cooled = simulateVessel(s, 2 * tau);
    const double pWall = pmax0 * wall / k.T0;
    const std::size_t first = burnoutSample(cooled) + 1, last = cooled.time.size() - 1;
    const double decay = std::exp(-(cooled.time[last] - cooled.time[first]) / tau);
    EXPECT_NEAR((cooled.pressure[last] - pWall) / (cooled.pressure[first] - pWall), decay, 1e-6 * decay);
}

}  // namespace
}  // namespace kalvex::vessel
