#include "core/stepping/ModelStepper.h"

#include "core/stepping/RungeKutta.h"

namespace kalvex {

ModelStepper::ModelStepper(const BallisticInput& in)
    : input(in), constants(prepareRunConstants(input)), load{in.px0, 0}
{
}

bool ModelStepper::step(double h)
{
    auto rhs = [&](StateVector& Y, StateVector& dYdt) { return evaluateModel(constants, load, Y, m, dYdt) == ModelFault::none; };
    const double x0 = y[kTravel];
    if (!rungeKutta4Step(y, h, rhs))
        return false;
    t += h;
    settleAfterStep<double>(constants, m, x0, y, load);
    StateVector unused{};
    return evaluateModel(constants, load, y, m, unused) == ModelFault::none;
}

}  // namespace kalvex
