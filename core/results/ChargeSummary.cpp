#include "core/results/ChargeSummary.h"

#include "core/format/CFormat.h"
#include "core/input/MixedCharge.h"
#include "core/model/GrainGeometry.h"

#include <cstddef>

namespace kalvex {

namespace {

// Z_k at entry k; the whole charge's when the run left no component series.
double componentBurned(const RunResults& r, std::size_t c, int k)
{
    if (c < r.componentBurnedFraction.size())
        return r.componentBurnedFraction[c][static_cast<std::size_t>(k)];
    return r.at(SeriesId::burnedFraction, k);
}

}  // namespace

void computeChargeEnergies(const BallisticInput& in, RunResults& r)
{
    const int N = r.stepCount;
    const double igniterEnergy = in.FI * in.CI / (in.gammaI - 1);
    double total = 0, released = 0, unburned = 0;
    for (std::size_t c = 0; c < componentCount(in); ++c) {
        const BallisticInput alone = componentInputSet(in, c);
        const double energy = alone.fFT * alone.F * alone.C / (alone.gamma - 1);
        const double Z = componentBurned(r, c, N);
        total += energy;
        released += alone.fFT * alone.F * alone.C * Z / (alone.gamma - 1);
        unburned += alone.fFT * alone.F * alone.C * (1 - Z) / (alone.gamma - 1);
    }
    r.Etot = total + igniterEnergy;
    r.Egas = released + igniterEnergy - r.at(SeriesId::energyTranslation, N) - r.at(SeriesId::energyRotation, N) -
             r.at(SeriesId::energyChargeMotion, N) - r.at(SeriesId::energyFriction, N) -
             r.at(SeriesId::energyRecoil, N) - r.at(SeriesId::energyAirResistance, N) -
             r.at(SeriesId::energyHeatLoss, N);
    r.Eunburned = unburned;
}

double chargeGrainCount(const BallisticInput& in)
{
    double grains = 0;
    for (std::size_t c = 0; c < componentCount(in); ++c) {
        const BallisticInput alone = componentInputSet(in, c);
        grains += grainCount(alone, prepareGrainGeometry(alone));
    }
    return grains;
}

int componentBurnoutRow(const RunResults& r, std::size_t c)
{
    int j = 1;
    while (j <= r.stepCount && componentBurned(r, c, j) != 1)
        ++j;
    return j;
}

void writeComponentLines(const BallisticInput& in, const RunResults& r,
                         const std::function<void(const std::string&)>& appendLine)
{
    const int N = r.stepCount;
    for (std::size_t c = 0; c < componentCount(in); ++c) {
        const int k = componentBurnoutRow(r, c);
        const std::string name = " Component " + std::to_string(c + 1) + ":";
        const std::string end =
            k <= N ? formatC(" Z = 1 at %9.3f ms, x = %9.3f m;", {r.at(SeriesId::time, k), r.at(SeriesId::travel, k)})
                   : std::string(" burning after the projectile exits;");
        appendLine(name + end + formatC("   Z at Muzzle: %7.5f", {componentBurned(r, c, N)}));
    }
}

}  // namespace kalvex
