#include "tools/verification/ClosedFormChecks.h"
#include "vessel/BurnedThickness.h"
#include "vessel/BurningRate.h"
#include "vessel/ForceCovolume.h"
#include "vessel/SegmentBounds.h"
#include "vessel/TraceCsv.h"
#include "vessel/VesselSimulation.h"

#include <gsl/gsl_randist.h>
#include <gsl/gsl_rng.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace kalvex::vessel {
namespace {

// The propellant of the reference gun in small tubes, with an igniter of its own gas law.
VesselSetup tubeVessel(double chargeMass)
{
    VesselSetup s;
    s.charge = verification::referenceGun();
    s.charge.grainType = 4;
    s.charge.D = 0.004, s.charge.P = 0.001, s.charge.L = 0.01;
    s.charge.CI = 0.001;
    s.charge.gammaI = s.charge.gamma;
    s.charge.T0I = s.charge.T0;
    s.volume = 200e-6;
    s.chargeMass = chargeMass;
    return s;
}

TEST(ForceCovolume, RecoversTheNobleAbelGasAndRejectsOneDensity)
{
    const double F = 1.05e6, b = 0.00095;
    const IgniterGas igniter{0.002, 300000, 0.0011};
    std::vector<MaxPressureFiring> firings;
    for (double C : {0.02, 0.03, 0.04}) {
        const double V = 200e-6;
        const double p = (C * F + igniter.mass * igniter.force) / (V - C * b - igniter.mass * igniter.covolume);
        firings.push_back({V, C, p});
    }
    const ForceCovolume fc = reduceForceCovolume(firings, igniter);
    EXPECT_NEAR(fc.force, F, 1e-9 * F);
    EXPECT_NEAR(fc.covolume, b, 1e-9 * b);
    EXPECT_LT(fc.forceError, 1e-6 * F);
    firings.resize(2);
    EXPECT_TRUE(std::isnan(reduceForceCovolume(firings, igniter).forceError));
    firings[1] = firings[0];
    EXPECT_THROW(reduceForceCovolume(firings, igniter), std::invalid_argument);
}

TEST(BurningLaw, FitsEachSegmentOfAnExactLaw)
{
    const struct {
        double pLow, beta, alpha;
    } law[] = {{0, 3e-8, 0.8}, {50e6, 5e-9, 0.9}, {150e6, 1e-9, 0.99}};
    std::vector<RatePoint> points;
    for (double p = 10e6; p < 300e6; p *= 1.01) {
        int j = p >= 150e6 ? 2 : p >= 50e6 ? 1 : 0;
        points.push_back({p, law[j].beta * std::pow(p, law[j].alpha)});
    }
    const auto fitted = fitBurningLaw(points, {0, 50e6, 150e6});
    ASSERT_EQ(fitted.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(fitted[j].alpha, law[j].alpha, 1e-9) << j;
        EXPECT_NEAR(fitted[j].beta, law[j].beta, 1e-7 * law[j].beta) << j;
    }
    EXPECT_THROW(fitBurningLaw(points, {0, 400e6}), std::invalid_argument);
    EXPECT_THROW(fitBurningLaw(points, {50e6, 0}), std::invalid_argument);
}

// Noiseless points of a law whose exponent changes at 40 and 100 MPa: the bounds found lie
// between the points next to the true ones, and the law fitted at them is the law.
TEST(BurningLaw, FindsTheBoundsWhereTheExponentChanges)
{
    const double pLow[] = {0, 40e6, 100e6}, alpha[] = {0.7, 0.9, 1.1};
    const double beta1 = 5e-9;
    const double beta[] = {beta1 * std::pow(40e6, 0.2), beta1, beta1 * std::pow(100e6, -0.2)};
    std::vector<RatePoint> points;
    const double spacing = 1.01;
    for (double p = 10e6; p < 300e6; p *= spacing) {
        const int j = p >= pLow[2] ? 2 : p >= pLow[1] ? 1 : 0;
        points.push_back({p, beta[j] * std::pow(p, alpha[j])});
    }
    const std::vector<double> found = findSegmentBounds(points, 3);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], 0);
    for (int j = 1; j < 3; ++j)
        EXPECT_NEAR(found[j], pLow[j], (spacing - 1) * pLow[j]) << j;
    const auto law = fitBurningLaw(points, found);
    for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(law[j].alpha, alpha[j], 1e-6) << j;
    EXPECT_EQ(findSegmentBounds(points, 1), std::vector<double>{0});
    EXPECT_THROW(findSegmentBounds(std::vector<RatePoint>(points.begin(), points.begin() + 20), 3), std::invalid_argument);
}

// A pressure rising as exp(k t) up to a plateau: its vivacity (1/pmax)(dp/dt)/p is k/pmax all
// along the rise (a Gaussian window smooths an exponential into a multiple of itself), times
// sinh(k h)/(k h) of the central difference over h each side; the trace starts where the rule
// says or where the user cuts it.
TEST(ReducedTrace, VivacityOfAnExponentialRiseAndTheTrimWindow)
{
    const double k = 2000, dt = 1e-5, rise = 4e-3;  // 1/s, s, s
    PressureTrace trace;
    for (int i = 0; i < 700; ++i) {
        const double t = i * dt;
        trace.time.push_back(t);
        trace.pressure.push_back(1e6 * std::exp(k * std::min(t, rise)));
    }
    const VesselSetup s = tubeVessel(0.03);
    ReductionSettings settings;
    const ReducedTrace r = reduceTrace(trace, s, settings);
    const double pmax = 1e6 * std::exp(k * rise);
    EXPECT_NEAR(r.maxPressure, pmax, 1e-3 * pmax);
    // The rule: the first sample above 5 % of the maximum.
    const double ignition = std::log(settings.ignitionFraction * pmax / 1e6) / k;
    EXPECT_NEAR(trace.time[r.start], ignition, dt);
    ASSERT_FALSE(r.vivacity.empty());
    const double h = settings.differenceSpan * dt;
    for (const VivacityPoint& v : r.vivacity) {
        if (v.relativePressure < 0.3) {  // the windows clear of the corner at the top
            EXPECT_NEAR(v.vivacity * r.maxPressure / k, std::sinh(k * h) / (k * h), 1e-9) << v.relativePressure;
        }
    }

    const ReducedTrace cut = reduceTrace(trace, s, settings, {1e-3, 3e-3});
    EXPECT_DOUBLE_EQ(trace.time[cut.start], 1e-3);
    EXPECT_DOUBLE_EQ(trace.time[cut.end], 3e-3);
    EXPECT_EQ(cut.peak, cut.end);  // cut before the top: the maximum is the window's last sample
    EXPECT_THROW(reduceTrace(trace, s, settings, {3e-3, 1e-3}), std::invalid_argument);
}

TEST(BurnedThickness, InvertsTheBurnedVolumeOfATube)
{
    const VesselSetup s = tubeVessel(0.03);
    const BurnedThickness thickness(vesselInput(s));
    // A tube burning on every face: V(e) = pi/4 ((D - 2e)^2 - (P + 2e)^2) (L - 2e).
    const auto volume = [&](double e) {
        const double D = s.charge.D, P = s.charge.P, L = s.charge.L;
        return std::acos(-1.0) / 4 * ((D - 2 * e) * (D - 2 * e) - (P + 2 * e) * (P + 2 * e)) * (L - 2 * e);
    };
    for (double e : {0.0001, 0.0003, 0.0007}) {
        const double Z = 1 - volume(e) / volume(0);
        EXPECT_NEAR(thickness.at(Z), e, 1e-4 * e) << e;
    }
}

TEST(TraceCsv, ReadsTheUnitsOfTheHeaderOrOfTheOptions)
{
    std::istringstream ms("time [ms],pressure [bar]\n0.5,10\n1.0,20\n");
    const PressureTrace a = readTraceCsv(ms);
    EXPECT_DOUBLE_EQ(a.time[1], 1e-3);
    EXPECT_DOUBLE_EQ(a.pressure[1], 2e6);
    std::istringstream plain("t,p\n1,2\n");
    const PressureTrace b = readTraceCsv(plain, {"us", "MPa"});
    EXPECT_DOUBLE_EQ(b.time[0], 1e-6);
    EXPECT_DOUBLE_EQ(b.pressure[0], 2e6);
    std::istringstream bad("time [ms],pressure [MPa]\n1,x\n");
    EXPECT_THROW(readTraceCsv(bad), std::runtime_error);
    std::istringstream unit("time [min],pressure [MPa]\n1,2\n");
    EXPECT_THROW(readTraceCsv(unit), std::runtime_error);
}

// Firings simulated at three loading densities with a known gas and law, sampled every 10 us,
// Gaussian noise of 0.5 % of p (fixed seed), reduced again.
TEST(VesselRoundTrip, RecoversForceCovolumeAndLawFromNoisyTraces)
{
    std::unique_ptr<gsl_rng, decltype(&gsl_rng_free)> rng(gsl_rng_alloc(gsl_rng_mt19937), &gsl_rng_free);
    gsl_rng_set(rng.get(), 2026);
    const ReductionSettings settings;
    std::vector<PressureTrace> traces;
    std::vector<MaxPressureFiring> peaks;
    const double charges[] = {0.02, 0.03, 0.04};
    for (double C : charges) {
        const VesselSetup s = tubeVessel(C);
        const VesselTrace clean = simulateVessel(s);
        PressureTrace noisy{clean.time, clean.pressure};
        for (double& p : noisy.pressure)
            p += gsl_ran_gaussian(rng.get(), 0.005 * p);
        peaks.push_back({s.volume, C, reduceTrace(noisy, s, settings).maxPressure});
        traces.push_back(noisy);
    }
    const VesselSetup truth = tubeVessel(0.03);
    const ForceCovolume fc = reduceForceCovolume(peaks, {truth.charge.CI, truth.charge.FI, truth.charge.bI});
    EXPECT_NEAR(fc.force, truth.charge.F, 0.01 * truth.charge.F);
    EXPECT_NEAR(fc.covolume, truth.charge.b, 0.01 * truth.charge.b);

    std::vector<RatePoint> rates;
    for (std::size_t i = 0; i < traces.size(); ++i) {
        VesselSetup s = tubeVessel(charges[i]);
        s.charge.F = fc.force;
        s.charge.b = fc.covolume;
        const ReducedTrace r = reduceTrace(traces[i], s, settings);
        rates.insert(rates.end(), r.rates.begin(), r.rates.end());
    }
    const LawSegment law = fitBurningLaw(rates, {0}).front();
    EXPECT_NEAR(law.alpha, truth.charge.alpha, 0.02 * truth.charge.alpha);
    EXPECT_NEAR(law.beta, truth.charge.beta, 0.02 * truth.charge.beta);
}

}  // namespace
}  // namespace kalvex::vessel
