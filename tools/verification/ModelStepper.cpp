#include "tools/verification/ModelStepper.h"

#include "core/model/ModelPhases.h"
#include "core/stepping/RungeKutta.h"

namespace kalvex::verification {

ModelStepper::ModelStepper(const BallisticInput& in)
    : input(in), constants(prepareRunConstants(in)), load{in.px0, 0}
{
}

bool ModelStepper::step(double h)
{
    const ModelNumbers<double> k = modelNumbers(input, constants);
    auto rhs = [&](StateVector& Y, StateVector& dYdt) { return evaluateModelOf(k, load, Y, m, dYdt) == ModelFault::none; };
    const double x0 = y[kTravel];
    if (!rungeKutta4Step(y, h, rhs))
        return false;
    t += h;
    settleAfterStep<double>(k, m, x0, y, load);
    StateVector unused{};
    return evaluateModelOf(k, load, y, m, unused) == ModelFault::none;
}

}  // namespace kalvex::verification
