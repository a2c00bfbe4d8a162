#include "tools/verification/ModelStepper.h"

#include "core/RungeKutta.h"

namespace kalvex::verification {

ModelStepper::ModelStepper(const BallisticInput& in)
    : input(in), constants(prepareRunConstants(in)), load{in.px0, 0}
{
}

bool ModelStepper::step(double h)
{
    auto rhs = [&](StateVector& Y, StateVector& dYdt) {
        return evaluateModel(input, constants, load, Y, m, dYdt) == ModelFault::none;
    };
    const double x0 = y[kTravel];
    if (!rungeKutta4Step(y, h, rhs))
        return false;
    t += h;
    // the solver's clamps after a step
    if (y[kVelocity] < 0)
        y[kVelocity] = 0;
    if (y[kTravel] < 0)
        y[kTravel] = 0;
    if (y[kBurnedFraction] > 1 || m.S == 0)
        y[kBurnedFraction] = 1;
    if (y[kRecoilVelocity] > 0)
        y[kRecoilVelocity] = 0;
    load.pr = resistancePressure(input, y[kTravel], load.pr);
    load.Efr += input.A * input.fr * load.pr * (y[kTravel] - x0);
    StateVector unused{};
    return evaluateModel(input, constants, load, y, m, unused) == ModelFault::none;
}

}  // namespace kalvex::verification
