#pragma once
// The model stepped by RK4 directly, without the solver's end tests, step limit and
// recording: for states the solver never reaches (a chamber that stays closed after burnout,
// a closed vessel, a barrel hundreds of metres long).
#include "core/model/BallisticModel.h"

namespace kalvex {

struct ModelStepper {
    explicit ModelStepper(const BallisticInput& input);
    ModelStepper(const ModelStepper&) = delete;
    ModelStepper& operator=(const ModelStepper&) = delete;

    // One step of h with the solver's clamps; false when the model has a fault. Afterwards
    // `m` holds the auxiliaries at the new state itself (not at the last RK stage).
    bool step(double h);

    BallisticInput input;
    RunConstants constants;  // of input: the stepper is not copied
    BoreLoad load;
    StateVector y{};
    ModelState m;
    double t = 0;  // s
};

}  // namespace kalvex
