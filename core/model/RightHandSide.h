#pragma once
// The model as the right-hand side of dy/dt = f(t, y), for an integrator that chooses its own
// steps and calls f wherever it needs it. The fixed-step solver takes the same phases through
// evaluateModelRuns directly.
#include "core/model/BallisticModel.h"

namespace kalvex {

// f(t, y) of one run. The model does not depend on t itself. What the fixed step updates only
// after a whole step, the bore resistance at the new travel and the friction work done, is
// `load`: an integrator keeps it fixed within a step and updates it after each accepted step
// with settleAfterStep, as the fixed step does. `m` holds the auxiliaries of the latest call.
class RightHandSide {
public:
    RightHandSide(const RunConstants& k, const BoreLoad& load, ModelState& m) : k_(k), load_(load), m_(m) {}

    // The derivatives at (t, y) into dydt, the model's clamps taken on a copy of y; a fault
    // when the gas equations have no meaning at y (dydt is then left as it was).
    ModelFault operator()(double /*t*/, const StateVector& y, StateVector& dydt) const
    {
        StateVector clamped = y;
        return evaluateModel(k_, load_, clamped, m_, dydt);
    }

private:
    const RunConstants& k_;
    const BoreLoad& load_;
    ModelState& m_;
};

}  // namespace kalvex
