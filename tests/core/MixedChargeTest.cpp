// Mixed charges: a charge split into equal components is the undivided charge, the order of
// the components does not matter, a negligible component changes nothing, the gas energy of
// the summary is the sum over the components, and every rule names its component.
#include "../Tolerance.h"
#include "CaseInput.h"

#include "core/input/MixedCharge.h"
#include "core/input/RuleField.h"
#include "core/input/StartSequence.h"
#include "core/model/ChargeModel.h"
#include "core/format/CFormat.h"
#include "core/results/ChargeSummary.h"
#include "core/results/RunSummary.h"
#include "core/results/SeriesVocabulary.h"
#include "core/stepping/AdaptiveRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace kalvex;
using namespace kalvex::test;

namespace {

enum class Method { fixedStep, adaptive };

struct ChargeRunResult {
    std::unique_ptr<RunResults> r = std::make_unique_for_overwrite<RunResults>();
    RunEnd end{};
};

ChargeRunResult runOf(const BallisticInput& in, Method method)
{
    validateBallisticInput(in);
    ChargeRunResult run;
    resetRunResults(*run.r);
    run.end = method == Method::fixedStep ? runSolver(in, *run.r) : runAdaptive(in, AdaptiveSettings{1e-9}, *run.r).end;
    if (run.end == RunEnd::MuzzleReached)
        computeRunCharacteristics(in, *run.r);
    return run;
}

// The charge of `in` as two components of the same propellant and grain: `share` of its mass
// in the first.
BallisticInput splitCharge(BallisticInput in, double share)
{
    ChargeComponent second = chargeComponent(in, 1);
    second.C = in.C * (1 - share);
    in.C *= share;
    in.extraComponents = {second};
    return in;
}

// A second propellant unlike the case's own: a single-perforated tube that burns faster.
ChargeComponent fastTube(const BallisticInput& in, double mass)
{
    ChargeComponent k = chargeComponent(in, 1);
    k.C = mass;
    k.F = 1.15e6;
    k.T0 = 3300;
    k.b = 0.00095;
    k.gamma = 1.22;
    k.rho = 1600;
    k.beta = in.beta * 1.6;
    k.upperSegments = {};
    k.grainType = 4;
    k.D = 0.003;
    k.L = 0.02;
    k.P = 0.001;
    return k;
}

// Every series of b within `tolerance` of the largest magnitude of a's, over the entries both
// hold.
void expectSeriesNear(const ChargeRunResult& a, const ChargeRunResult& b, double tolerance)
{
    const int n = std::min(a.r->stepCount, b.r->stepCount);
    for (int s = 0; s < kSeriesCount; ++s) {
        const auto id = static_cast<SeriesId>(s);
        double largest = 0, worst = 0;
        for (int k = 0; k <= n; ++k) {
            largest = std::max(largest, std::fabs(a.r->at(id, k)));
            worst = std::max(worst, std::fabs(a.r->at(id, k) - b.r->at(id, k)));
        }
        EXPECT_LE(worst, tolerance * largest) << seriesInfo(id).name;
    }
}

void expectSameRows(const ChargeRunResult& a, const ChargeRunResult& b)
{
    ASSERT_EQ(a.end, RunEnd::MuzzleReached);
    ASSERT_EQ(b.end, RunEnd::MuzzleReached);
    EXPECT_LE(std::abs(a.r->stepCount - b.r->stepCount), 1);
    EXPECT_LE(std::abs(a.r->pmaxRow - b.r->pmaxRow), 1);
    EXPECT_LE(std::abs(a.r->burnoutRow - b.r->burnoutRow), 1);
}

struct Case {
    const char* name;
    Method method;
};

const Case kCases[] = {{"gun155_7perf", Method::fixedStep}, {"rifle_tube", Method::fixedStep},
                       {"gun155_7perf", Method::adaptive}, {"rifle_tube", Method::adaptive}};

std::string label(const Case& c)
{
    return std::string(c.name) + (c.method == Method::adaptive ? " adaptive" : " fixed step");
}

}  // namespace

// C/2 + C/2 of the same propellant and grain is the undivided charge with either integrator;
// with the fixed step an unequal split too. (The adaptive integrator's entries follow its
// own steps, which the rounding of unequal sums may move: compared entry by entry, two runs
// then differ by what the tolerance allows.)
TEST(MixedCharge, ASplitChargeIsTheUndividedCharge)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(label(c));
        const BallisticInput whole = inputFromCase(c.name);
        const ChargeRunResult undivided = runOf(whole, c.method);
        for (double share : {0.5, 0.3}) {
            if (c.method == Method::adaptive && share != 0.5)
                continue;
            SCOPED_TRACE(share);
            const ChargeRunResult split = runOf(splitCharge(whole, share), c.method);
            expectSameRows(undivided, split);
            expectSeriesNear(undivided, split, 1e-12);
            ASSERT_EQ(split.r->componentBurnedFraction.size(), 2u);
            EXPECT_NEAR(split.r->Egas, undivided.r->Egas, 1e-12 * undivided.r->Etot);
            EXPECT_NEAR(split.r->Etot, undivided.r->Etot, 1e-12 * undivided.r->Etot);
        }
    }
}

// Two different propellants give the same results whichever is listed first.
TEST(MixedCharge, TheOrderOfTheComponentsDoesNotMatter)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(label(c));
        BallisticInput ab = inputFromCase(c.name);
        ab.C *= 0.7;
        ab.extraComponents = {fastTube(ab, ab.C * 0.4)};
        BallisticInput ba = ab;
        setChargeComponent(ba, 1, ab.extraComponents[0]);
        ba.extraComponents = {chargeComponent(ab, 1)};
        const ChargeRunResult a = runOf(ab, c.method), b = runOf(ba, c.method);
        expectSameRows(a, b);
        EXPECT_EQ(a.r->stepCount, b.r->stepCount);
        EXPECT_EQ(a.r->burnoutRow, b.r->burnoutRow);
        expectSeriesNear(a, b, 1e-12);
        for (int k = 0; k <= std::min(a.r->stepCount, b.r->stepCount); ++k) {
            EXPECT_NEAR(a.r->componentBurnedFraction[0][k], b.r->componentBurnedFraction[1][k], 1e-12);
            EXPECT_NEAR(a.r->componentBurnedFraction[1][k], b.r->componentBurnedFraction[0][k], 1e-12);
        }
    }
}

// A second component of 1e-9 of the charge, of the same or a faster propellant, moves no
// figure of the summary's rows beyond 1e-6.
TEST(MixedCharge, ANegligibleComponentChangesNoSummaryFigure)
{
    const BallisticInput whole = inputFromCase("gun155_7perf");
    const ChargeRunResult alone = runOf(whole, Method::fixedStep);
    ChargeComponent same = chargeComponent(whole, 1);
    same.C = 1e-9 * whole.C;
    for (const ChargeComponent& tiny : {same, fastTube(whole, 1e-9 * whole.C)}) {
        BallisticInput mixed = whole;
        mixed.extraComponents = {tiny};
        const ChargeRunResult run = runOf(mixed, Method::fixedStep);
        ASSERT_EQ(run.r->stepCount, alone.r->stepCount);
        ASSERT_EQ(run.r->pmaxRow, alone.r->pmaxRow);
        ASSERT_EQ(run.r->burnoutRow, alone.r->burnoutRow);
        for (const int row : {alone.r->pmaxRow, alone.r->burnoutRow, alone.r->stepCount})
            for (int s = 0; s < kSeriesCount; ++s) {
                const auto id = static_cast<SeriesId>(s);
                EXPECT_NEAR(run.r->at(id, row), alone.r->at(id, row), 1e-6 * std::fabs(alone.r->at(id, row)) + 1e-12)
                    << seriesInfo(id).name << " row " << row;
            }
        EXPECT_TRUE(relativelyNear(run.r->Egas, alone.r->Egas, 1e-6));
        EXPECT_TRUE(relativelyNear(run.r->Etot, alone.r->Etot, 1e-6));
    }
}

// The summary's gas energy at the muzzle against the model's: the sum over the components of
// fFT_k*F_k*C_k*Z_k*Tm/((gamma_k - 1)*T0_k) plus the igniter's FI*CI*Tm/((gammaI - 1)*T0I),
// with Tm of a model evaluation at the last entry's state. The adaptive run records that
// evaluation; for the fixed step, whose entry holds the energies of the step's last stage,
// the entry takes the energies of the evaluation at its state.
TEST(MixedCharge, TheGasEnergyIsTheSumOverTheComponents)
{
    for (const Method method : {Method::fixedStep, Method::adaptive}) {
        BallisticInput in = inputFromCase("gun155_7perf");
        in.C *= 0.6;
        in.extraComponents = {fastTube(in, in.C * 0.3), fastTube(in, in.C * 0.2)};
        in.extraComponents[1].grainType = 3;  // cylinders, burning beyond the muzzle
        in.extraComponents[1].D = 0.012;
        in.extraComponents[1].beta = in.beta * 0.5;
        ChargeRunResult run = runOf(in, method);
        ASSERT_EQ(run.end, RunEnd::MuzzleReached);
        RunResults& r = *run.r;
        const int N = r.stepCount;
        ASSERT_LT(r.componentBurnedFraction[2][N], 1);  // each term of the sums counts

        const RunConstants k = prepareRunConstants(in);
        const ChargeConstants charge = prepareChargeConstants(in);
        ChargeStateVector y{};
        y[kVelocity] = r.at(SeriesId::velocity, N);
        y[kTravel] = r.at(SeriesId::travel, N);
        y[kRecoilVelocity] = r.at(SeriesId::recoilVelocity, N);
        y[kAirWork] = r.at(SeriesId::energyAirResistance, N);
        y[kHeatLoss] = r.at(SeriesId::energyHeatLoss, N);
        for (int c = 0; c < 3; ++c)
            y[burnedFractionIndex(c)] = r.componentBurnedFraction[c][N];
        const BoreLoad load{r.at(SeriesId::resistancePressure, N) * 1e6, r.at(SeriesId::energyFriction, N)};
        ModelState m;
        ComponentAuxiliaries parts;
        ChargeStateVector d{};
        ASSERT_EQ(evaluateChargeModel(k, charge, load, y, m, parts, d), ModelFault::none);
        if (method == Method::adaptive) {
            EXPECT_TRUE(relativelyNear(m.Tm, r.at(SeriesId::meanTemperature, N), 1e-12));
        } else {
            r.at(SeriesId::energyTranslation, N) = m.Ekin;
            r.at(SeriesId::energyRotation, N) = m.Erot;
            r.at(SeriesId::energyChargeMotion, N) = m.Eprop;
            r.at(SeriesId::energyRecoil, N) = m.Erec;
            computeRunCharacteristics(in, r);
        }
        double energy = in.FI * in.CI * m.Tm / ((in.gammaI - 1) * in.T0I);
        for (std::size_t c = 0; c < 3; ++c) {
            const BallisticInput alone = componentInputSet(in, c);
            energy += alone.fFT * alone.F * alone.C * r.componentBurnedFraction[c][N] * m.Tm /
                      ((alone.gamma - 1) * alone.T0);
        }
        EXPECT_TRUE(relativelyNear(r.Egas, energy, 1e-10));

        // A line per component: where it burns out, or that it burns beyond the muzzle.
        std::vector<std::string> lines;
        writeRunSummary(in, r, SummaryOptions{}, [&](const std::string& line) {
            if (line.starts_with(" Component "))
                lines.push_back(line);
        });
        ASSERT_EQ(lines.size(), 3u);
        const int burnt = componentBurnoutRow(r, 1);
        ASSERT_LE(burnt, N);
        EXPECT_EQ(lines[1], " Component 2: Z = 1 at " + formatC("%9.3f ms, x = %9.3f m;   Z at Muzzle: 1.00000",
                                                              {r.at(SeriesId::time, burnt), r.at(SeriesId::travel, burnt)}));
        EXPECT_TRUE(lines[2].starts_with(" Component 3: burning after the projectile exits;")) << lines[2];
    }
}

// Each rule of a component's propellant, factors and grain names its component; the first
// component's rules keep their place among the others and their field.
TEST(MixedCharge, EveryRuleOfAComponentNamesIt)
{
    const BallisticInput base = splitCharge(inputFromCase("gun155_7perf"), 0.5);
    struct Rule {
        void (*change)(BallisticInput&);
        const char* message;
    };
    const Rule rules[] = {
        {[](BallisticInput& in) { in.extraComponents[0].C = 0; },
         "Component 2: Mass of Propellant C less than or equal to 0 kg"},
        {[](BallisticInput& in) { in.extraComponents[0].gamma = 1; },
         "Component 2: Ratio of specific Heats for Propellant gamma less than or equal to 1"},
        {[](BallisticInput& in) { in.extraComponents[0].upperSegments = {{0, 1e-9, 0.9}}; },
         "Component 2: Lower Pressure Bound of Segment 2 not above that of Segment 1"},
        {[](BallisticInput& in) { in.extraComponents[0].fbetaT = 0.09; },
         "Component 2: Burning Rate Temperature Factor fbetaT less than 0.1"},
        {[](BallisticInput& in) { in.extraComponents[0].P = in.extraComponents[0].D / 3; },
         "Component 2: Diameter of Perforation P greater than or equal to 1/3 of Diameter of Grain D"},
        {[](BallisticInput& in) { in.extraComponents.push_back(in.extraComponents[0]), in.extraComponents[1].D = 0; },
         "Component 3: Size of Grain D less than or equal to 0 mm"},
        {[](BallisticInput& in) { in.rho = 999; }, "Component 1: Density of Propellant rho less than 1000 kg/m^3"},
        {[](BallisticInput& in) { in.rho = 999, in.CI = 0; },  // the first component's rules keep their place
         "Component 1: Density of Propellant rho less than 1000 kg/m^3"},
        {[](BallisticInput& in) { in.extraComponents[0].rho = 999, in.CI = 0; },
         "Mass of Igniter CI less than or equal to 0 kg"},
        {[](BallisticInput& in) { in.extraComponents.resize(8, in.extraComponents[0]); },
         "Charge with more than 8 components"},
    };
    EXPECT_EQ(validationMessage(base), "");
    for (const Rule& rule : rules) {
        BallisticInput in = base;
        rule.change(in);
        EXPECT_EQ(validationMessage(in), rule.message);
    }
    EXPECT_EQ(fieldOfRuleMessage("Component 1: Density of Propellant rho less than 1000 kg/m^3"), findInputField("rho"));
}
