#include "../Tolerance.h"

#include "core/results/RunSummary.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace kalvex;

namespace {

// A small made-up run of N = 5 steps with values chosen to show every column.
struct SyntheticRun {
    BallisticInput in;
    std::unique_ptr<RunResults> r = std::make_unique<RunResults>();

    SyntheticRun()
    {
        in.C = 0.003;
        in.rho = 1600;
        in.F = 1e6;
        in.fFT = 1;
        in.gamma = 1.25;
        in.CI = 0.0001;
        in.FI = 300000;
        in.gammaI = 1.25;
        in.xm = 0.5;
        r->stepCount = 5;
        r->grain.initialGrainVolume = 1e-9;
        const double pressure[] = {0.101325, 50, 300.04, 250, 120, 60};
        const double burned[] = {0, 0.2, 0.6, 0.9, 1, 1};
        for (int k = 0; k <= 5; ++k) {
            set(SeriesId::time, k, 0.2 * k);
            set(SeriesId::burnedFraction, k, burned[k]);
            set(SeriesId::travel, k, 0.1 * k + 0.0004);
            set(SeriesId::velocity, k, 180.126 * k);
            set(SeriesId::meanPressure, k, pressure[k]);
            set(SeriesId::meanTemperature, k, 2500 - 100 * k);
            set(SeriesId::wallTemperature, k, 300 + 50 * k);
            set(SeriesId::breechPressure, k, pressure[k] * 1.05);
            set(SeriesId::basePressure, k, pressure[k] * 0.9);
            set(SeriesId::gasPressureAhead, k, 0.1 + 0.2 * k);
            set(SeriesId::recoilVelocity, k, -0.5 * k);
        }
        set(SeriesId::energyTranslation, 5, 3000);
        set(SeriesId::energyHeatLoss, 5, 2000);
        set(SeriesId::energyChargeMotion, 5, 400);
        set(SeriesId::energyFriction, 5, 300);
        set(SeriesId::energyRecoil, 5, 10);
        set(SeriesId::energyRotation, 5, 20);
        set(SeriesId::energyAirResistance, 5, 30);
    }
    void set(SeriesId id, int k, double v) { (*r)[id][static_cast<std::size_t>(k)] = v; }

    std::vector<std::string> summary(bool showGrains, bool showEnergy)
    {
        std::vector<std::string> lines;
        writeRunSummary(in, *r, SummaryOptions{showGrains, showEnergy},
                        [&lines](const std::string& line) { lines.push_back(line); });
        return lines;
    }
};

const std::string kHeader =
    "             Time [ms]         Z [-]        x [m]       vp [m/s]      Pmean [MPa]   Tmean [K]    Tc [K]"
    "    P0 [MPa]     Pb [MPa]     Pg [MPa]    vrp [m/s]";

}  // namespace

TEST(RunCharacteristics, PressurePeakIsTheFirstEntryBeforeAFall)
{
    SyntheticRun run;
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->pmaxRow, 2);
    EXPECT_EQ(run.r->burnoutRow, 4);

    // A plateau is no fall; the peak is the last entry of the plateau before the fall.
    run.set(SeriesId::meanPressure, 3, 300.04);
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->pmaxRow, 3);

    // Rising up to the muzzle: the muzzle entry.
    for (int k = 0; k <= 5; ++k)
        run.set(SeriesId::meanPressure, k, 10.0 * k + 1);
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->pmaxRow, 5);
}

TEST(RunCharacteristics, PeakFarIntoTheRun)
{
    SyntheticRun run;
    run.r->stepCount = 300;
    for (int k = 0; k <= 300; ++k)
        run.set(SeriesId::meanPressure, k, k <= 120 ? 1.0 + k : 121.0 - 0.1 * (k - 120));
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->pmaxRow, 120);
}

TEST(RunCharacteristics, BurnoutIsTheFirstEntryWithZExactlyOne)
{
    SyntheticRun run;
    run.set(SeriesId::burnedFraction, 4, 0.9999999999999999);
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->burnoutRow, 5);  // at the muzzle entry itself
    run.set(SeriesId::burnedFraction, 5, 0.99);
    computeRunCharacteristics(run.in, *run.r);
    EXPECT_EQ(run.r->burnoutRow, 6);  // N + 1: burning outlasts the barrel
}

TEST(RunCharacteristics, EnergyTotals)
{
    SyntheticRun run;
    run.set(SeriesId::burnedFraction, 5, 0.75);
    computeRunCharacteristics(run.in, *run.r);
    const double propellant = 1e6 * 0.003 / 0.25;  // 12000 J
    const double igniter = 300000 * 0.0001 / 0.25;  // 120 J
    EXPECT_TRUE(relativelyNear(run.r->Etot, propellant + igniter, 1e-15));
    EXPECT_TRUE(relativelyNear(run.r->Egas, 0.75 * propellant + igniter - 5760, 1e-14));
    EXPECT_TRUE(relativelyNear(run.r->Eunburned, 0.25 * propellant, 1e-14));
    // Losses, remaining gas and unburned propellant account for the whole energy.
    EXPECT_TRUE(relativelyNear(5760 + run.r->Egas + run.r->Eunburned, run.r->Etot, 1e-14));
}

TEST(RunSummary, BlockWithBurnoutInsideTheBarrel)
{
    SyntheticRun run;
    const std::vector<std::string> lines = run.summary(true, false);
    const std::vector<std::string> expected = {
        "",
        kHeader,
        std::string(215, '-'),
        " Pmax:      0.400        0.60        0.200       360.25            300.0           2300.0         400.0"
        "       315.0            270.0            0.50           -1.00",
        " Z = 1:      0.800        1.00        0.400       720.50             120.0          2100.0         500.0"
        "        126.0            108.0           0.90           -2.00",
        " Muzzle:   1.000        1.00        0.500        900.63              60.0          2000.0         550.0"
        "          63.0              54.0           1.10           -2.50",
        "",
        " Number of Steps:                                                                5",
        " Number of Powder Grains:                                                1875.0",
        "",
    };
    EXPECT_EQ(lines, expected);
}

TEST(RunSummary, BurningBeyondTheMuzzleIsAnnouncedAndHasNoBurnoutRow)
{
    SyntheticRun run;
    run.set(SeriesId::burnedFraction, 4, 0.95);
    run.set(SeriesId::burnedFraction, 5, 0.98);
    const std::vector<std::string> lines = run.summary(false, true);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "!End of Combustion After the Projectile Exits Muzzle!");
    EXPECT_EQ(lines[2], kHeader);
    EXPECT_EQ(lines[4].substr(0, 6), " Pmax:");
    EXPECT_EQ(lines[5].substr(0, 8), " Muzzle:");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7].substr(0, 17), " Number of Steps:");
    EXPECT_EQ(lines[8], "");  // no grain count without its option
    // 0.02 of 12000 J is unburned: 240 J of 12120 J
    const std::string unburned = " Remaining Energy of unburned Propellant [J]:                240         2.0%";
    EXPECT_EQ(lines[lines.size() - 3], unburned);
}

TEST(RunSummary, EnergyLinesWithTheirShares)
{
    SyntheticRun run;
    const std::vector<std::string> lines = run.summary(true, true);
    const std::vector<std::string> energy(lines.end() - 10, lines.end());
    const std::vector<std::string> expected = {
        " Energy Loss due to Projectile Translation [J]:               3000         24.8%",
        " Energy Loss due to Heat Transfer [J]:                           2000         16.5%",
        " Energy Loss due to Propellant+Igniter Motion [J]:          400           3.3%",
        " Energy Loss due to Friction [J]:                                       300           2.5%",
        " Energy Loss due to Recoil [J]:                                          10          0.1%",
        " Energy Loss due to Projectile Rotation [J]:                       20          0.2%",
        " Energy Loss due to Air Resistance [J]:                              30          0.2%",
        " Remaining Energy of Propellant+Igniter Gas [J]:           6360        52.5%",
        std::string(119, '-'),
        " Total energy of Propellant+Igniter [J]:                          12120      100.0%",
    };
    EXPECT_EQ(energy, expected);
    EXPECT_EQ(lines[lines.size() - 11], "");
}

TEST(RunSummary, MuzzleRowShowsTheBarrelLength)
{
    SyntheticRun run;
    run.set(SeriesId::travel, 5, 0.5007);
    const std::vector<std::string> lines = run.summary(true, false);
    EXPECT_NE(lines[5].find("        0.500        900.63"), std::string::npos) << lines[5];
}

TEST(RunSummary, SuccessiveRunsAppendTheirBlocks)
{
    SyntheticRun run;
    std::vector<std::string> memo;
    const LineSink sink = [&memo](const std::string& line) { memo.push_back(line); };
    writeRunSummary(run.in, *run.r, SummaryOptions{true, false}, sink);
    const std::size_t first = memo.size();
    writeRunSummary(run.in, *run.r, SummaryOptions{true, false}, sink);
    EXPECT_EQ(memo.size(), 2 * first);
    EXPECT_EQ(std::vector<std::string>(memo.begin(), memo.begin() + static_cast<long>(first)),
              std::vector<std::string>(memo.begin() + static_cast<long>(first), memo.end()));
}
