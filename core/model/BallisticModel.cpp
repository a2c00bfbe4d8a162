#include "core/model/BallisticModel.h"

#include "core/format/Units.h"
#include "core/input/MixedCharge.h"
#include "core/model/ChargeConstants.h"
#include "core/model/Pi.h"

#include <cmath>

namespace kalvex {

BurningLawRates burningLawRates(const BallisticInput& in)
{
    BurningLawRates law;
    law.segments[0] = {0, in.fbeta * in.fbetaT * in.beta, in.alpha};
    for (const BurningSegment& s : in.upperSegments) {
        if (law.count == kMaxBurningSegments)
            break;  // the input rules refuse more
        law.segments[law.count++] = {s.pLow * kMegapascalToPascal, in.fbeta * in.fbetaT * s.beta, s.alpha};
    }
    return law;
}

RunConstants prepareRunConstants(const BallisticInput& in)
{
    RunConstants k;
    k.source.input = &in;
    k.source.shape = grainShapeOf(in);
    k.source.grain = prepareGrainGeometry(k.source.shape);
    const GrainGeometry& grain = k.source.grain;

    k.A = in.A;
    k.C = in.C;
    k.rho = in.rho;
    k.CI = in.CI;
    k.T0 = in.T0;
    k.fr = in.fr;
    k.mp = in.mp;
    k.h0 = in.h0;
    k.f = in.f;
    k.Dw = in.Dw;
    k.D = in.D;
    k.L = in.L;
    k.P = in.P;
    k.xm = in.xm;
    k.dt = in.dt;
    k.alpha = in.alpha;

    k.Ctot = totalChargeMass(in) + in.CI;  // the whole charge moves with the gas
    k.T0wKelvin = in.T0w + 273.15;
    k.boreDiameter = 2 * std::sqrt(kOneOverPi * in.A);
    const double lambdaRoot = 13.2 + 4 * std::log10(100 * k.boreDiameter);  // diameter in cm
    k.lambda = 1 / (lambdaRoot * lambdaRoot);
    k.patm = kAtmosphericPressure;
    k.gammaAir = 1.4;
    k.cair = 340;
    k.Cb = in.C * in.b;
    k.fixedVolume = in.V0 - in.Vp;
    k.igniterCovolume = in.CI * in.bI;
    k.chamberWallArea = (in.V0 / in.A) * kPi * k.boreDiameter + 2 * in.A;
    k.piBore = kPi * k.boreDiameter;
    k.propellantForceMass = in.fFT * in.F * in.C;
    k.propellantCvDivisor = (in.gamma - 1) * in.T0;
    k.propellantCpFactor = in.fFT * in.F * in.gamma * in.C;
    k.igniterEnergy = in.FI * in.CI / (in.gammaI - 1);
    k.igniterCv = in.FI * in.CI / ((in.gammaI - 1) * in.T0I);
    k.igniterCp = in.FI * in.gammaI * in.CI / ((in.gammaI - 1) * in.T0I);
    k.igniterForceByT0I = in.FI * in.CI / in.T0I;
    k.burntForceByT0 = k.propellantForceMass / in.T0;
    k.gammaMinus1 = in.gamma - 1;
    k.halfMp = 0.5 * in.mp;
    k.piSquaredMp = kPiSquared * in.mp;
    k.rotationDivisor = 4 * (in.Tw * in.Tw);
    k.sixthCtot = 0.16666666666666666 * k.Ctot;
    k.halfMrp = 0.5 * in.mrp;
    k.threeMp = 3 * in.mp;
    k.lagrangeDivisor = 1 + k.Ctot / (3 * in.mp);
    k.wallHeatCapacity = in.Cpw * in.rhow;
    k.negRecoilAreaPerMass = -(in.A / in.mrp);
    k.recoilBrakePressure = in.RR / in.A;
    k.burningRateFactor = in.fbeta * in.fbetaT * in.beta;
    k.initialGrainVolume = grain.initialGrainVolume;
    k.initialGrainSurface = grain.initialGrainSurface;
    k.halfWeb = 0.5 * grain.web;
    k.Afr = in.A * in.fr;
    if (isMixedCharge(in)) {
        const ChargeConstants charge = prepareChargeConstants(in);
        k.burntForceByT0 = charge.burntForceByT0;
        k.initialGrainSurface = charge.initialSurface;
    }

    k.source.law = burningLawRates(in);
    k.segmentedLaw = k.source.law.count > 1;

    k.heatTransfer = in.heatTransfer;
    if (isGrainType(in.grainType)) {
        k.grainType = static_cast<GrainType>(in.grainType);
        k.sharedPolynomialShape = surfaceIsPolynomial(k.grainType) || isMultiPerforated(k.grainType);
    }
    return k;
}

ModelFault evaluateModel(const RunConstants& k, const BoreLoad& load, StateVector& y, ModelState& m, StateVector& dydt)
{
    GasFaults faults;
    std::array<StateVector, 1> Y{y};
    std::array<StateVector, 1> d{};
    evaluateModelRuns<double, 1>([&](std::size_t) { return ModelRun<double>{k, load, m, faults}; }, Y, d, 1u);
    y = Y[0];
    if (!faults.any())
        dydt = d[0];
    return faults.first();
}

double resistancePressure(const BallisticInput& in, double x, double previous)
{
    if (x < in.xe0)
        return in.px0 + (in.pxe0 - in.px0) * x / in.xe0;
    if (x < in.xe)
        return in.pxe0 - (x - in.xe0) / (in.xe - in.xe0) * (in.pxe0 - in.pxe);
    if (x > in.xe) {
        if (in.xe == in.xm)
            return in.pxm;  // no last segment: beyond the muzzle the muzzle value holds
        return in.pxe - (x - in.xe) / (in.xm - in.xe) * (in.pxe - in.pxm);
    }
    return previous;
}

}  // namespace kalvex
