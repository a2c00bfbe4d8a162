#include "tools/verification/ClosedFormChecks.h"
#include "vessel/Reduction.h"
#include "vessel/Resimulation.h"
#include "vessel/VesselSimulation.h"

#include <gsl/gsl_randist.h>
#include <gsl/gsl_rng.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace kalvex::vessel {
namespace {

// A law of three segments that meet at 40 and 100 MPa, the exponent rising with pressure.
struct KnownLaw {
    double pLow[3] = {0, 40e6, 100e6};
    double alpha[3] = {0.8, 0.9, 1.0};
    double beta[3] = {};
    KnownLaw()
    {
        beta[1] = 5.2e-9;
        beta[0] = beta[1] * std::pow(pLow[1], alpha[1] - alpha[0]);
        beta[2] = beta[1] * std::pow(pLow[2], alpha[1] - alpha[2]);
    }
};

// The reference propellant in tubes of 12 mm, 1 mm perforation, 20 mm long (a web that
// burns some 25 ms: samples enough to pin each segment down), with a 1 g igniter of its own gas.
BallisticInput tubePropellant(const KnownLaw& law)
{
    BallisticInput in = verification::referenceGun();
    in.grainType = 4;
    in.D = 0.012, in.P = 0.001, in.L = 0.02;
    in.CI = 0.001;
    in.gammaI = in.gamma;
    in.T0I = in.T0;
    in.beta = law.beta[0];
    in.alpha = law.alpha[0];
    for (int j = 1; j < 3; ++j)
        in.upperSegments.push_back({law.pLow[j] * 1e-6, law.beta[j], law.alpha[j]});
    return in;
}

// A firing in 200 cm^3 recorded 4 ms past burnout, sampled every 10 us, with Gaussian noise
// of 0.5 % of p.
Firing noisyFiring(const BallisticInput& propellant, double loadingDensity, std::optional<double> celsius,
                   const TemperatureCoefficients& coefficients, gsl_rng* rng)
{
    VesselSetup s;
    s.charge = propellant;
    if (celsius)
        applyChargeTemperature(*celsius, coefficients, s.charge);
    s.volume = 200e-6;
    s.chargeMass = loadingDensity * s.volume;
    const VesselTrace clean = simulateVessel(s, 4e-3);
    Firing f{"firing", {clean.time, clean.pressure}, s.volume, s.chargeMass, celsius, {}};
    for (double& p : f.trace.pressure)
        p += gsl_ran_gaussian(rng, 0.005 * p);
    return f;
}

// Three loading densities at the reference temperature and two more firings at -40 and
// +60 °C, reduced again: pmax of the smoothed traces, the Noble-Abel line, the rates, and the
// law, F and b refined on the traces (their clocks start at ignition).
TEST(VesselRoundTrip, RecoversAThreeSegmentLawForceCovolumeAndTemperatureCoefficient)
{
    std::unique_ptr<gsl_rng, decltype(&gsl_rng_free)> rng(gsl_rng_alloc(gsl_rng_mt19937), &gsl_rng_free);
    gsl_rng_set(rng.get(), 2026);
    const KnownLaw law;
    const BallisticInput truth = tubePropellant(law);
    const TemperatureCoefficients coefficients{0.0003, 0.0016, 21, -60, 80};
    std::vector<Firing> firings;
    for (double density : {100.0, 200.0, 300.0})
        firings.push_back(noisyFiring(truth, density, std::nullopt, coefficients, rng.get()));
    for (double celsius : {-40.0, 60.0})
        firings.push_back(noisyFiring(truth, 200.0, celsius, coefficients, rng.get()));

    ReductionOptions options;
    options.pLow = {0, law.pLow[1], law.pLow[2]};
    options.ignitionAtZero = true;
    const VesselReduction r = reduceFirings(firings, truth, options);
    EXPECT_NEAR(r.peakGas.force, truth.F, 0.01 * truth.F);
    EXPECT_NEAR(r.peakGas.covolume, truth.b, 0.01 * truth.b);
    EXPECT_NEAR(r.gas.force, truth.F, 0.01 * truth.F);
    EXPECT_NEAR(r.gas.covolume, truth.b, 0.01 * truth.b);
    ASSERT_EQ(r.law.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(r.law[j].alpha, law.alpha[j], 0.02 * law.alpha[j]) << j;
        EXPECT_NEAR(r.law[j].beta, law.beta[j], 0.02 * law.beta[j]) << j;
        EXPECT_EQ(r.law[j].pLow, law.pLow[j]);
    }
    // A law that reproduces the traces leaves only their noise.
    EXPECT_NEAR(r.traceResidual, 0.005, 0.0005);
    ASSERT_TRUE(r.temperature);
    EXPECT_EQ(r.referenceTemperature, 21);
    EXPECT_EQ(r.temperature->coefficients.lowest, -40);
    EXPECT_EQ(r.temperature->coefficients.highest, 60);
    EXPECT_NEAR(r.temperature->coefficients.burningRate, coefficients.burningRate, 0.05 * coefficients.burningRate);
    EXPECT_NEAR(r.temperature->coefficients.force, coefficients.force, 0.1 * coefficients.force);

    // The hot firing simulated again with the reduced values lies on its measured trace.
    const ResimulatedTrace hot = resimulateFiring(firings, 4, r, truth);
    double squares = 0;
    for (std::size_t i = 0; i < hot.time.size(); ++i)
        squares += std::pow(hot.residual[i] / hot.measured[i], 2);
    EXPECT_LT(std::sqrt(squares / static_cast<double>(hot.time.size())), 0.006);
    EXPECT_LT(std::fabs(hot.shift), 50e-6);
}

// Firings that lose heat by a stated coefficient peak below the Noble-Abel pressure of their
// charge (by 9 % at 100 kg/m^3 here): the line through the raw maxima underrates the force;
// through the maxima raised by the loss the firings' simulations show, it gives the gas back.
TEST(VesselRoundTrip, AStatedHeatLossRaisesTheMaximaOfTheNobleAbelLine)
{
    const KnownLaw law;
    const BallisticInput truth = tubePropellant(law);
    ReductionOptions options;
    options.pLow = {0, law.pLow[1], law.pLow[2]};
    options.ignitionAtZero = true;
    options.fitTraces = false;
    options.heatLoss.coefficient = 2000;
    std::vector<Firing> firings;
    for (double density : {100.0, 200.0, 300.0}) {
        VesselSetup s;
        s.charge = truth;
        s.volume = 200e-6;
        s.chargeMass = density * s.volume;
        s.heatLoss = options.heatLoss;
        const VesselTrace trace = simulateVessel(s, 1e-3);
        firings.push_back({"firing", {trace.time, trace.pressure}, s.volume, s.chargeMass, std::nullopt, {}});
    }
    const VesselReduction stated = reduceFirings(firings, truth, options);
    options.heatLoss.coefficient = 0;
    const VesselReduction unstated = reduceFirings(firings, truth, options);
    EXPECT_LT(unstated.peakGas.force, 0.97 * truth.F);
    EXPECT_NEAR(stated.peakGas.force, truth.F, 0.003 * truth.F);
    EXPECT_NEAR(stated.peakGas.covolume, truth.b, 0.01 * truth.b);
    EXPECT_EQ(stated.gas.force, stated.peakGas.force);  // rates only: the line is the gas
    EXPECT_EQ(unstated.firings[0].peakHeatLoss, 0);
}

}  // namespace
}  // namespace kalvex::vessel
