#include "tools/verification/ClosedFormChecks.h"

#include "core/stepping/Solver.h"
#include "core/input/StartSequence.h"

#include <cmath>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>

namespace kalvex::verification {

namespace {

// Runs `in` at each step and takes one value of each run.
Convergence study(BallisticInput in, const std::vector<double>& steps,
                  const std::function<double(const RunResults&, double h)>& value)
{
    Convergence out;
    auto results = std::make_unique<RunResults>();
    for (double h : steps) {
        in.dt = h;
        resetRunResults(*results);
        if (runSolver(in, *results) != RunEnd::MuzzleReached)
            throw std::runtime_error("a convergence run did not reach the muzzle");
        out.steps.push_back(h);
        out.values.push_back(value(*results, h));
    }
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t k = 0; k + 1 < out.values.size(); ++k) {
        const double d = std::fabs(out.values[k] - out.values[k + 1]);
        out.differences.push_back(d);
        const double lx = std::log(steps[k]), ly = std::log(d);
        sx += lx, sy += ly, sxx += lx * lx, sxy += lx * ly;
    }
    const double n = static_cast<double>(out.differences.size());
    out.order = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return out;
}

std::vector<double> halvings(double first, int count)
{
    std::vector<double> steps;
    for (int k = 0; k < count; ++k)
        steps.push_back(first / std::ldexp(1.0, k));
    return steps;
}

}  // namespace

Convergence smoothConvergenceCheck()
{
    constexpr double kTime = 0.004;       // s, before burnout and before the muzzle
    constexpr int kCoarseSteps = 125;     // steps of the coarsest run up to kTime
    BallisticInput in = lossFreeGun();
    in.heatTransfer = true;  // smooth as well, so the check covers it
    in.xm = 1;               // the runs need not go further than the fixed time
    const std::vector<double> steps = halvings(kTime / kCoarseSteps, 6);
    Convergence out = study(in, steps, [&](const RunResults& r, double h) {
        const auto k = static_cast<std::size_t>(std::lround(kTime / h));
        return r[SeriesId::velocity][k];
    });
    CheckResult& c = out.check;
    c.name = "Convergence without bore resistance and recoil";
    c.setup = "The loss-free gun with heat transfer on, run at six steps from 0.032 ms down to 0.001 ms; "
              "the velocity at 4 ms, before the first grains break into slivers. Every term of the "
              "model is smooth there, so RK4 shows its fourth order: |v(h) - v(h/2)| shrinks by "
              "about 16 per halving.";
    c.tolerance = "The slope of log |v(h) - v(h/2)| over log h, fitted by least squares, must lie "
                  "between 3.5 and 4.5; the last ratio of successive differences between 8 and 24. The "
                  "rounding error of v after 4000 steps, about 1e-13 m/s, stays well under the last "
                  "difference (2e-12 m/s), so a seventh halving would measure rounding, not the method.";
    c.rows.push_back({"fitted order", 4, out.order, 0.5, true});
    const std::size_t last = out.differences.size() - 1;
    c.rows.push_back({"last ratio of differences", 16, out.differences[last - 1] / out.differences[last], 8, true});
    return out;
}

Convergence muzzleConvergenceCheck()
{
    const BallisticInput in = referenceGun();
    const std::vector<double> steps = halvings(3.2e-5, 6);
    Convergence out = study(in, steps, [](const RunResults& r, double) {
        return r[SeriesId::velocity][static_cast<std::size_t>(r.stepCount)];
    });
    CheckResult& c = out.check;
    c.name = "Convergence of the printed muzzle velocity";
    c.setup = "The 155 mm reference gun with its bore resistance, recoil and heat transfer, run at "
              "six steps from 0.032 ms down to 0.001 ms; the muzzle velocity the summary prints. "
              "The bore resistance and its work are updated once per step, and the muzzle values are "
              "those of the first step past the muzzle, so the printed value converges only to first "
              "order: |f(h) - f(h/2)| halves per halving. The first cause gives a smooth error "
              "proportional to h; the second one of up to the muzzle acceleration times h that depends "
              "on where the muzzle falls within the last step, so at still smaller steps, where both "
              "are of the same size, the differences become irregular.";
    c.tolerance = "The fitted slope must lie between 0.4 and 1.6: clearly first order, and clearly "
                  "not the fourth order of the smooth case.";
    c.rows.push_back({"fitted order", 1, out.order, 0.5, true});
    c.rows.back().tolerance = 0.6;
    return out;
}

}  // namespace kalvex::verification
