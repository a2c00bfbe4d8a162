#pragma once
// The 132 mm gun of the AGARD interior-ballistics code comparison, run by Kalvex as its example
// gives it and with two of its own terms switched the way of the peer code it is compared with
// (pyballistics, lumped model): the heat loss off, and a shot start on which the full pressure
// acts as soon as the projectile moves. The peer's figures are recorded, not computed here.
#include "tools/verification/ClosedFormChecks.h"

#include <string>
#include <vector>

namespace kalvex::verification {

// What the codes print for one run: the largest mean pressure and the muzzle values, both
// interpolated as the study outputs are (the muzzle at x = xm exactly, as the peer does).
struct RunFigures {
    double pmax = 0;      // MPa
    double velocity = 0;  // m/s
    double burned = 0;    // burnt fraction at the muzzle, -
    double time = 0;      // muzzle time, ms
};

struct AgardRun {
    std::string label;   // how this run differs from the example
    bool heatLoss = true;
    bool startPressure = false;  // bore resistance gone as soon as the projectile moves
    RunFigures figures;
};

struct AgardComparison {
    std::vector<AgardRun> runs;     // example, heat off, start pressure, both
    std::vector<CheckRow> figures;  // every run's pressure and velocity against the recorded values
};

// Runs examplesFolder/agard-132mm.txt four times (every combination of the two switches).
// Throws std::runtime_error when the example cannot be read or a run stops before the muzzle.
AgardComparison compareAgard(const std::string& examplesFolder);

}  // namespace kalvex::verification
