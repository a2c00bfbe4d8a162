#pragma once
// A hand-made input set and run for the report tests: smooth series with a pressure peak,
// burnout and muzzle exit at chosen entries, so that every row of a report can be predicted.

#include "core/input/BallisticInput.h"
#include "core/results/RunResults.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kalvex::testing {

inline BallisticInput cannonInput()
{
    BallisticInput in;
    in.A = 7.3e-4;
    in.mp = 0.36;
    in.xm = 2.5;
    in.V0 = 1.3e-4;
    in.Tw = 25;
    in.Vp = 0;
    in.T0w = 21;
    in.h0 = 12;
    in.Dw = 0.001;
    in.rhow = 7850;
    in.Cpw = 460;
    in.f = 0.05;
    in.mrp = 3000;
    in.RR = 40000;
    in.dt = 2e-6;
    in.C = 0.16;
    in.F = 1.05e6;
    in.T0 = 2900;
    in.b = 1.0e-3;
    in.gamma = 1.23;
    in.rho = 1600;
    in.beta = 3.2e-8;
    in.alpha = 0.85;
    in.CI = 0.004;
    in.FI = 4.0e5;
    in.T0I = 2000;
    in.bI = 1.1e-3;
    in.gammaI = 1.25;
    in.fFT = 1;
    in.fbeta = 1;
    in.fbetaT = 1;
    in.grainType = 6;
    in.D = 0.006;
    in.L = 0.012;
    in.P = 0.0006;
    in.SW = 0.0002;  // not used by a 7-perforated grain: the report writes 0
    in.fr = 1;
    in.xe0 = 0.01;
    in.xe = 0.05;
    in.px0 = 30e6;
    in.pxe0 = 60e6;
    in.pxe = 20e6;
    in.pxm = 10e6;
    return in;
}

struct RunShape {
    int steps = 45;        // N, the muzzle-exit entry
    int peak = 12;         // entry of the pressure peak
    int burnout = 30;      // first entry with Z exactly 1; steps + 1 for none
};

// Series that rise to the peak and fall after it; travel passes xm at the last entry.
inline std::unique_ptr<RunResults> syntheticRun(const BallisticInput& in, const RunShape& shape)
{
    auto r = std::make_unique<RunResults>();
    const int n = shape.steps;
    for (int k = 0; k <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double s = static_cast<double>(k) / n;
        const double dp = static_cast<double>(k - shape.peak);
        (*r)[SeriesId::time][i] = k * in.dt * 1000;
        (*r)[SeriesId::travel][i] = in.xm * 1.0004 * s * s;
        (*r)[SeriesId::velocity][i] = 950.123456 * std::sqrt(s);
        (*r)[SeriesId::burnedFraction][i] =
            k >= shape.burnout ? 1.0 : std::min(0.999, static_cast<double>(k) / shape.burnout);
        (*r)[SeriesId::meanPressure][i] = 0.101325 + 400.0 * std::exp(-dp * dp / 200.0) - 0.01 * k;
        (*r)[SeriesId::meanTemperature][i] = 2000 + 800 * std::exp(-dp * dp / 300.0);
        (*r)[SeriesId::gasPressureAhead][i] = 0.101325 + 0.002 * k * k;
        (*r)[SeriesId::basePressure][i] = 0.9 * (*r)[SeriesId::meanPressure][i];
        (*r)[SeriesId::breechPressure][i] = 1.1 * (*r)[SeriesId::meanPressure][i];
        (*r)[SeriesId::wallTemperature][i] = in.T0w + 273.15 + 0.37 * k;
        (*r)[SeriesId::recoilVelocity][i] = -0.0831 * k;
        (*r)[SeriesId::energyTranslation][i] = 162490.7 * s;
        (*r)[SeriesId::energyRotation][i] = 2401.2 * s;
        (*r)[SeriesId::energyChargeMotion][i] = 16310.4 * s;
        (*r)[SeriesId::energyFriction][i] = 5011.9 * s;
        (*r)[SeriesId::energyRecoil][i] = 29.4 * s;
        (*r)[SeriesId::energyAirResistance][i] = 150.2 * s;
        (*r)[SeriesId::energyHeatLoss][i] = 8123.8 * s;
    }
    r->stepCount = n;
    r->pmaxRow = shape.peak;
    r->burnoutRow = shape.burnout;
    r->grain.initialGrainVolume = 3.3e-7;
    r->Etot = in.fFT * in.F * in.C / (in.gamma - 1) + in.FI * in.CI / (in.gammaI - 1);
    const double zN = (*r)[SeriesId::burnedFraction][static_cast<std::size_t>(n)];
    r->Eunburned = in.fFT * in.F * in.C * (1 - zN) / (in.gamma - 1);
    r->Egas = r->Etot - r->Eunburned - 194517.6;
    return r;
}

}  // namespace kalvex::testing
