#include "../Tolerance.h"
#include "CaseInput.h"

#include "core/model/BallisticModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct Evaluation {
    BallisticInput in;
    RunConstants c;
    BoreLoad load;
    ModelState m;
    StateVector y{};
    StateVector d{};
    ModelFault fault = ModelFault::none;

    explicit Evaluation(const BallisticInput& input) : in(input), c(prepareRunConstants(in)), load{input.px0, 0} {}
    Evaluation(const Evaluation&) = delete;  // c points to in
    // The constants again from `in`, which a test may have changed since.
    void evaluate()
    {
        c = prepareRunConstants(in);
        fault = evaluateModel(c, load, y, m, d);
    }
};

}  // namespace

TEST(RunConstants, BoreDiameterHeatConstantAndWallTemperature)
{
    const BallisticInput in = inputFromCase("rifle_tube");
    const RunConstants c = prepareRunConstants(in);
    EXPECT_TRUE(relativelyNear(c.boreDiameter, 2 * std::sqrt(4.67e-5 / 3.141592654), 1e-15));
    const double root = 13.2 + 4 * std::log10(100 * c.boreDiameter);
    EXPECT_TRUE(relativelyNear(c.lambda, 1 / (root * root), 1e-15));
    EXPECT_EQ(c.T0wKelvin, 20 + 273.15);
    EXPECT_EQ(c.Ctot, 0.0029 + 5e-5);
}

TEST(Model, AtIgnitionTheGasIsIgniterGasAlone)
{
    Evaluation ev(inputFromCase("gun155_7perf"));
    ev.evaluate();
    const BallisticInput& in = ev.in;
    ASSERT_EQ(ev.fault, ModelFault::none);
    EXPECT_TRUE(relativelyNear(ev.m.Tm, in.T0I, 1e-14));
    EXPECT_TRUE(relativelyNear(ev.m.Pm, in.FI * in.CI / (in.V0 - in.Vp - in.C / in.rho - in.CI * in.bI), 1e-13));
    EXPECT_EQ(ev.m.Pg, 101325);  // at rest the air ahead stays at atmospheric pressure
    EXPECT_EQ(ev.m.S, grainSurface(in, ev.c.source.grain, 0));
    EXPECT_EQ(ev.d[kTravel], 0);
    EXPECT_EQ(ev.d[kAirWork], 0);
}

TEST(Model, AtRestTheProjectileFeelsTheMeanPressureAgainstResistanceAndAir)
{
    Evaluation ev(inputFromCase("rifle_tube"));
    ev.evaluate();
    const BallisticInput& in = ev.in;
    const double drive = (ev.m.Pm - in.fr * in.px0 - 101325) / (1 + ev.c.Ctot / (3 * in.mp));
    EXPECT_TRUE(relativelyNear(ev.m.Pb - in.fr * in.px0 - 101325, drive, 1e-9));
    EXPECT_LT(ev.d[kVelocity], 0);  // 11 MPa of igniter gas does not beat 20 MPa of resistance
    ev.in.fr = 0;
    ev.evaluate();
    EXPECT_GT(ev.d[kVelocity], 0);  // without resistance the gas pushes at once
}

TEST(Model, AirAheadAtMachOneAndKeptAtRest)
{
    Evaluation ev(inputFromCase("rifle_tube"));
    ev.y = {340, 0.1, 0.5, 0, 0, 0, 0.0001};  // half burned: energy for the motion
    ev.evaluate();
    ASSERT_EQ(ev.fault, ModelFault::none);
    const double expected = 101325 * (1 + 1.4 * (0.6 + std::sqrt(0.36 + 1)));
    EXPECT_TRUE(relativelyNear(ev.m.Pg, expected, 1e-15));
    EXPECT_NEAR(ev.m.Pg / 101325, 3.47, 0.01);
    EXPECT_EQ(ev.d[kAirWork], ev.in.A * 340 * ev.m.Pg);
    ev.y[kVelocity] = 0;
    ev.evaluate();
    ASSERT_EQ(ev.fault, ModelFault::none);
    EXPECT_EQ(ev.m.Pg, expected);  // at rest the last value stays
}

TEST(Model, ClampsAreWrittenBackIntoTheEvaluatedState)
{
    Evaluation ev(inputFromCase("rifle_tube"));
    ev.y = {-5, -0.1, 1.5, 0, 0, 3, 0.0001};
    ev.evaluate();
    EXPECT_EQ(ev.y[kVelocity], 0);
    EXPECT_EQ(ev.y[kTravel], 0);
    EXPECT_EQ(ev.y[kBurnedFraction], 1);
    EXPECT_EQ(ev.y[kRecoilVelocity], 0);
    EXPECT_EQ(ev.y[kBurnedThickness], 0.0001);
    EXPECT_EQ(ev.m.S, 0);  // burned out: no surface, no growth of Z
    EXPECT_EQ(ev.d[kBurnedFraction], 0);
    EXPECT_EQ(ev.d[kBurnedThickness], ev.m.r);
}

TEST(Model, AConsumedGrainEndsBurningInTheSameEvaluation)
{
    Evaluation ev(inputFromCase("gun155_7perf"));
    ev.y[kBurnedFraction] = 0.99;
    ev.y[kBurnedThickness] = ev.c.source.grain.outerSliverLimit;
    ev.evaluate();
    EXPECT_EQ(ev.m.S, 0);
    EXPECT_EQ(ev.y[kBurnedFraction], 1);
    EXPECT_EQ(ev.m.eS, ev.c.source.grain.outerSliverLimit);
    EXPECT_EQ(ev.d[kBurnedFraction], 0);
}

TEST(Model, BurningRateLaw)
{
    Evaluation ev(inputFromCase("gun155_7perf"));
    ev.in.alpha = 1;
    ev.evaluate();
    EXPECT_TRUE(relativelyNear(ev.m.r, ev.in.fbeta * ev.in.fbetaT * ev.in.beta * ev.m.Pm, 1e-15));
    EXPECT_TRUE(relativelyNear(ev.d[kBurnedFraction], ev.m.S * ev.m.r / ev.c.source.grain.initialGrainVolume, 1e-15));
}

TEST(Model, HeatTransferSwitchedOffLosesNoHeat)
{
    Evaluation ev(inputFromCase("rifle_tube"));
    ev.y = {500, 0.1, 0.5, 10, 0, -1, 0.0001};
    ev.evaluate();
    EXPECT_GT(ev.m.hT, ev.in.h0);
    EXPECT_GT(ev.d[kHeatLoss], 0);
    ev.in.heatTransfer = false;
    ev.evaluate();
    EXPECT_EQ(ev.m.hT, 0);
    EXPECT_EQ(ev.d[kHeatLoss], 0);
}

TEST(Model, EnergiesAndTemperatureBalance)
{
    Evaluation ev(inputFromCase("gun155_7perf"));
    ev.load.Efr = 1000;
    ev.y = {600, 1.5, 0.8, 5000, 20000, -10, 0.001};
    ev.evaluate();
    const BallisticInput& in = ev.in;
    EXPECT_TRUE(relativelyNear(ev.m.Ekin, 0.5 * in.mp * 600 * 600, 1e-15));
    EXPECT_TRUE(relativelyNear(ev.m.Erot, 9.869604403666765 * in.mp * 360000 / (4 * in.Tw * in.Tw), 1e-15));
    EXPECT_TRUE(relativelyNear(ev.m.Eprop, ev.c.Ctot * 360000 / 6, 1e-15));
    EXPECT_TRUE(relativelyNear(ev.m.Erec, 0.5 * in.mrp * 100, 1e-15));
    const double released = in.fFT * in.F * in.C * 0.8 / (in.gamma - 1) + in.FI * in.CI / (in.gammaI - 1);
    const double cv = in.fFT * in.F * in.C * 0.8 / ((in.gamma - 1) * in.T0) + in.FI * in.CI / ((in.gammaI - 1) * in.T0I);
    const double losses = ev.m.Ekin + ev.m.Erot + ev.m.Eprop + 1000 + ev.m.Erec + 5000 + 20000;
    EXPECT_TRUE(relativelyNear(ev.m.Tm, (released - losses) / cv, 1e-12));
    const double Vf = in.V0 - in.Vp + in.A * 1.5 - 0.2 * in.C / in.rho - in.C * in.b * 0.8 - in.CI * in.bI;
    EXPECT_TRUE(relativelyNear(ev.m.Vf, Vf, 1e-13));
    EXPECT_TRUE(relativelyNear(ev.m.Pm, (in.fFT * in.F * in.C * 0.8 / in.T0 + in.FI * in.CI / in.T0I) * ev.m.Tm / Vf, 1e-12));
    EXPECT_EQ(ev.d[kTravel], 610);  // relative to the recoiling barrel
    EXPECT_TRUE(relativelyNear(ev.m.Tc, ev.c.T0wKelvin + (in.f * 1000 + 20000) / (in.Cpw * in.rhow * ev.m.Aw * in.Dw), 1e-14));
}

TEST(Model, StatesWithoutMeaningAreReported)
{
    Evaluation ev(inputFromCase("rifle_tube"));
    ev.in.C = 0.006;  // more solid propellant than the chamber holds
    ev.evaluate();
    EXPECT_EQ(ev.fault, ModelFault::freeVolume);
    Evaluation hot(inputFromCase("rifle_tube"));
    hot.y[kVelocity] = 5000;  // more kinetic energy than the charge holds
    hot.evaluate();
    EXPECT_EQ(hot.fault, ModelFault::temperature);
}

namespace {

struct ProfileCase {
    double x, previous, expected;
};

}  // namespace

TEST(ResistanceProfile, PolylineThroughTheFourPressures)
{
    BallisticInput in;
    in.xm = 1;
    in.xe0 = 0.1;
    in.xe = 0.5;
    in.px0 = 10;
    in.pxe0 = 30;
    in.pxe = 14;
    in.pxm = 4;
    const std::vector<ProfileCase> cases = {
        {0, -1, 10},   {0.05, -1, 20},  {0.1, -1, 30}, {0.3, -1, 22},
        {0.5, -1, -1}, {0.5, 7, 7},     {0.75, -1, 9}, {1, -1, 4}, {1.1, -1, 2},
    };
    for (const ProfileCase& c : cases)
        EXPECT_NEAR(resistancePressure(in, c.x, c.previous), c.expected, 1e-12) << "x " << c.x;
}

TEST(ResistanceProfile, NoLastSegmentWhenItsEndIsAtTheMuzzle)
{
    BallisticInput in;
    in.xm = 1;
    in.xe0 = 0;
    in.xe = 1;
    in.px0 = 10;
    in.pxe0 = 30;
    in.pxe = 14;
    in.pxm = 4;
    EXPECT_NEAR(resistancePressure(in, 0.5, -1), 22, 1e-12);
    EXPECT_EQ(resistancePressure(in, 1, 7), 7);
    EXPECT_EQ(resistancePressure(in, 1.02, 7), 4);  // past the muzzle: the muzzle value
}
