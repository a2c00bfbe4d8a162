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
    settleAfterStep(input, m, x0, y, load);
    StateVector unused{};
    return evaluateModel(input, constants, load, y, m, unused) == ModelFault::none;
}

}  // namespace kalvex::verification
