#include "core/model/Model.h"

#include "core/model/ModelPhases.h"
#include "core/model/Pi.h"

#include <cmath>

namespace kalvex {

RunConstants prepareRunConstants(const BallisticInput& in)
{
    RunConstants c;
    c.Ctot = in.C + in.CI;
    c.T0wKelvin = in.T0w + 273.15;
    c.boreDiameter = 2 * std::sqrt(kOneOverPi * in.A);
    const double lambdaRoot = 13.2 + 4 * std::log10(100 * c.boreDiameter);  // diameter in cm
    c.lambda = 1 / (lambdaRoot * lambdaRoot);
    c.grain = prepareGrainGeometry(in);

    c.propellantForceMass = in.fFT * in.F * in.C;
    c.propellantCpFactor = in.fFT * in.F * in.gamma * in.C;
    c.propellantCvDivisor = (in.gamma - 1) * in.T0;
    c.igniterEnergy = in.FI * in.CI / (in.gammaI - 1);
    c.igniterCv = in.FI * in.CI / ((in.gammaI - 1) * in.T0I);
    c.igniterCp = in.FI * in.gammaI * in.CI / ((in.gammaI - 1) * in.T0I);
    c.igniterForceByT0I = in.FI * in.CI / in.T0I;
    c.burningRateFactor = in.fbeta * in.fbetaT * in.beta;
    c.threeMp = 3 * in.mp;
    c.lagrangeDivisor = 1 + c.Ctot / (3 * in.mp);
    c.rotationDivisor = 4 * (in.Tw * in.Tw);
    c.fixedVolume = in.V0 - in.Vp;
    c.igniterCovolume = in.CI * in.bI;
    c.chamberWallArea = (in.V0 / in.A) * kPi * c.boreDiameter + 2 * in.A;
    c.wallHeatCapacity = in.Cpw * in.rhow;
    c.recoilAreaPerMass = in.A / in.mrp;
    c.recoilBrakePressure = in.RR / in.A;
    return c;
}

void clampState(StateVector& y)
{
    clampStateOf<double>(y);
}

ModelFault evaluateModel(const BallisticInput& in, const RunConstants& c, const BoreLoad& load,
                         StateVector& y, ModelState& m, StateVector& dydt)
{
    return evaluateModelOf(modelNumbers(in, c), load, y, m, dydt);
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
