#include "core/results/RunSummary.h"

#include "core/format/CFormat.h"
#include "core/input/MixedCharge.h"
#include "core/results/ChargeSummary.h"
#include "core/results/EnergyLabels.h"
#include "core/model/GrainGeometry.h"

#include <cstddef>
#include <string>

namespace kalvex {

namespace {

const char* const kColumnHeader =
    "             Time [ms]         Z [-]        x [m]       vp [m/s]      Pmean [MPa]   Tmean [K]"
    "    Tc [K]    P0 [MPa]     Pb [MPa]     Pg [MPa]    vrp [m/s]";
const char* const kPmaxRow =
    " Pmax:      %5.3f       %5.2f    %9.3f    %9.2f        %9.1f        %9.1f     %9.1f   %9.1f"
    "        %9.1f       %9.2f       %9.2f";
const char* const kBurnoutRow =
    " Z = 1:      %5.3f       %5.2f    %9.3f    %9.2f         %9.1f       %9.1f     %9.1f    %9.1f"
    "        %9.1f      %9.2f       %9.2f";
const char* const kMuzzleRow =
    " Muzzle:   %5.3f       %5.2f    %9.3f     %9.2f         %9.1f       %9.1f     %9.1f     %9.1f"
    "         %9.1f      %9.2f       %9.2f";

double value(const RunResults& r, SeriesId id, int k)
{
    return r[id][static_cast<std::size_t>(k)];
}

// One characteristic row: the eleven columns of entry k, with the travel given apart
// because the muzzle row shows the barrel length rather than the overshooting last travel.
std::string characteristicRow(const char* format, const RunResults& r, int k, double travel)
{
    return formatC(format, {value(r, SeriesId::time, k), value(r, SeriesId::burnedFraction, k), travel,
                            value(r, SeriesId::velocity, k), value(r, SeriesId::meanPressure, k),
                            value(r, SeriesId::meanTemperature, k), value(r, SeriesId::wallTemperature, k),
                            value(r, SeriesId::breechPressure, k), value(r, SeriesId::basePressure, k),
                            value(r, SeriesId::gasPressureAhead, k), value(r, SeriesId::recoilVelocity, k)});
}

std::string energyLine(const char* format, double energy, double total)
{
    return formatC(format, {energy, energy / total * 100});
}

void writeEnergyLines(const RunResults& r, const LineSink& appendLine)
{
    const int N = r.stepCount;
    const double total = r.Etot;
    for (const EnergyLossLine& loss : kEnergyLossLines)
        appendLine(energyLine(loss.summaryFormat, value(r, loss.series, N), total));
    appendLine(energyLine(kRemainingGasEnergy.summaryFormat, r.Egas, total));
    if (value(r, SeriesId::burnedFraction, N) < 1)
        appendLine(energyLine(kUnburnedEnergy.summaryFormat, r.Eunburned, total));
    appendLine(std::string(119, '-'));
    appendLine(energyLine(kTotalEnergy.summaryFormat, total, total));
}

}  // namespace

void computeRunCharacteristics(const BallisticInput& in, RunResults& r)
{
    const int N = r.stepCount;
    const ResultSeries& pressure = r[SeriesId::meanPressure];
    const ResultSeries& burned = r[SeriesId::burnedFraction];

    int k = 1;
    while (k <= N && !(pressure[static_cast<std::size_t>(k - 1)] > pressure[static_cast<std::size_t>(k)]))
        ++k;
    r.pmaxRow = k - 1;  // the first peak; N when the pressure rises up to the muzzle

    int j = 1;
    while (j <= N && burned[static_cast<std::size_t>(j)] != 1)
        ++j;
    r.burnoutRow = j;  // N + 1 when burning outlasts the barrel

    if (isMixedCharge(in)) {
        computeChargeEnergies(in, r);
        return;
    }
    const double ZN = burned[static_cast<std::size_t>(N)];
    const double igniterEnergy = in.FI * in.CI / (in.gammaI - 1);
    r.Etot = in.fFT * in.F * in.C / (in.gamma - 1) + igniterEnergy;
    r.Egas = in.fFT * in.F * in.C * ZN / (in.gamma - 1) + igniterEnergy -
             value(r, SeriesId::energyTranslation, N) - value(r, SeriesId::energyRotation, N) -
             value(r, SeriesId::energyChargeMotion, N) - value(r, SeriesId::energyFriction, N) -
             value(r, SeriesId::energyRecoil, N) - value(r, SeriesId::energyAirResistance, N) -
             value(r, SeriesId::energyHeatLoss, N);
    r.Eunburned = in.fFT * in.F * in.C * (1 - ZN) / (in.gamma - 1);
}

void writeRunSummary(const BallisticInput& in, RunResults& r, const SummaryOptions& options,
                     const LineSink& appendLine)
{
    computeRunCharacteristics(in, r);
    const int N = r.stepCount;
    appendLine("");
    if (r.burnoutRow == N + 1)
        appendLine("!End of Combustion After the Projectile Exits Muzzle!");
    appendLine(kColumnHeader);
    appendLine(std::string(215, '-'));
    appendLine(characteristicRow(kPmaxRow, r, r.pmaxRow, value(r, SeriesId::travel, r.pmaxRow)));
    if (r.burnoutRow <= N)
        appendLine(characteristicRow(kBurnoutRow, r, r.burnoutRow, value(r, SeriesId::travel, r.burnoutRow)));
    appendLine(characteristicRow(kMuzzleRow, r, N, in.xm));
    appendLine("");
    appendLine(formatC(" Number of Steps:                                                        %9.0i", {double(N)}));
    if (options.showGrains)
        appendLine(formatC(" Number of Powder Grains:                                             %9.1f",
                           {isMixedCharge(in) ? chargeGrainCount(in) : grainCount(in, r.grain)}));
    appendLine("");
    if (isMixedCharge(in)) {
        writeComponentLines(in, r, appendLine);
        appendLine("");
    }
    if (options.showEnergy)
        writeEnergyLines(r, appendLine);
}

}  // namespace kalvex
