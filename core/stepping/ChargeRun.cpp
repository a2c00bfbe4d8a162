#include "core/stepping/ChargeRun.h"

#include "core/model/ChargeModel.h"
#include "core/stepping/RungeKutta.h"
#include "core/stepping/ChargeRecords.h"
#include "core/stepping/RunLanes.h"

#include <cmath>
#include <optional>

namespace kalvex {

using namespace steps;

namespace {

class ChargeRun {
public:
    ChargeRun(const BallisticInput& in, RunResults& results, const std::atomic<bool>* stop)
        : in_(in), results_(results), stop_(stop), k_(prepareRunConstants(in)), charge_(prepareChargeConstants(in)),
          load_{in.px0, 0}
    {
    }

    RunEnd toMuzzle();

private:
    bool noFreeVolumeAtIgnition() const;
    RunEnd finish(RunEnd end, int endStep);

    const BallisticInput& in_;
    RunResults& results_;
    const std::atomic<bool>* stop_;
    RunConstants k_;
    ChargeConstants charge_;
    ChargeStateVector y_{};
    ModelState m_;
    ComponentAuxiliaries parts_;
    BoreLoad load_;
    int last_ = 0;  // the last recorded entry
};

// As for one component: a charge that leaves no room for the gas before anything has moved
// is at fault, whatever the step.
bool ChargeRun::noFreeVolumeAtIgnition() const
{
    ChargeStateVector y{}, dydt{};
    ModelState m;
    ComponentAuxiliaries parts;
    return evaluateChargeModel(k_, charge_, BoreLoad{in_.px0, 0}, y, m, parts, dydt) == ModelFault::freeVolume;
}

RunEnd ChargeRun::finish(RunEnd end, int endStep)
{
    results_.endStep = endStep;
    if (end == RunEnd::MuzzleReached)
        results_.stepCount = last_;
    clearEntry(results_, last_ + 1);
    clearComponentEntry(results_, last_ + 1);
    return end;
}

RunEnd ChargeRun::toMuzzle()
{
    results_.grain = k_.source.grain;
    recordChargeIgnition(in_, k_, charge_, results_);
    for (int i = 0;; ++i) {
        const double previousTravel = y_[kTravel];
        ModelFault fault = ModelFault::none;
        const bool stepped = rungeKutta4Step(y_, in_.dt, [&](ChargeStateVector& Y, ChargeStateVector& d) {
            fault = evaluateChargeModel(k_, charge_, load_, Y, m_, parts_, d);
            return fault == ModelFault::none;
        });
        if (!stepped) {
            const bool atIgnition = i == 0 && fault == ModelFault::freeVolume && noFreeVolumeAtIgnition();
            return finish(faultEnd(fault), atIgnition ? 0 : i + 1);
        }
        settleChargeAfterStep(k_, charge_, parts_, previousTravel, y_, load_);
        uniformAtRest<double>(y_, m_);
        const int k = i + 1;
        const StateVector shown = chargeSeriesState(charge_, y_);
        const Entry entry = stepEntry<double>(k_, shown, m_, load_, static_cast<double>(i));
        writeEntry(results_, k, entry);
        recordComponents(charge_, y_, results_, k);
        last_ = k;
        bool finite = true;
        for (double v : y_)
            finite = finite && std::isfinite(v);
        if (!finite)
            return finish(RunEnd::NotFinite, k);
        if (const std::optional<RunEnd> end = stepEnd(k_, shown, m_, load_, entry, k))
            return finish(*end, k);
        if (k % kStopCheckSteps == 0 && stop_ != nullptr && stop_->load(std::memory_order_relaxed))
            return finish(RunEnd::Interrupted, k);
    }
}

}  // namespace

RunEnd runChargeSolver(const BallisticInput& input, RunResults& results, const std::atomic<bool>* stop)
{
    return ChargeRun(input, results, stop).toMuzzle();
}

}  // namespace kalvex
