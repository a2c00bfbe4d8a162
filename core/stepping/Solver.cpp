#include "core/stepping/Solver.h"

#include "core/input/MixedCharge.h"
#include "core/stepping/ChargeRun.h"

#include "core/stepping/LaneSteps.h"
#include "core/stepping/PackedSteps.h"
#include "core/stepping/RunLanes.h"
#include "core/stepping/StepRecords.h"
#include "core/packs/VectorInstructions.h"

namespace kalvex {

using namespace steps;

const char* runEndMessage(RunEnd end)
{
    switch (end) {
    case RunEnd::PressureLimit:
        return "Mean Pressure over 2000 MPa.";
    case RunEnd::VelocityLimit:
        return "Velocity of Projectile over 5000 m/s.";
    case RunEnd::FreeVolumeExhausted:
        return "Free Volume of Chamber less than or equal to 0 m^3.";
    case RunEnd::TemperatureExhausted:
        return "Mean Temperature less than or equal to 0 K.";
    case RunEnd::NotFinite:
        return "Computation diverged: a result is not a finite number.";
    case RunEnd::ProjectileStopped:
        return "Projectile stopped in the barrel.";
    case RunEnd::WallTemperatureExhausted:
        return "Wall Temperature less than or equal to 0 K.";
    case RunEnd::BreechPressureNegative:
        return "Breech Pressure less than 0 MPa.";
    case RunEnd::StepTooShort:
        return "Computation Step too short: more than 30 doublings needed.";
    case RunEnd::Interrupted:
        return "Run interrupted.";
    case RunEnd::MuzzleReached:
    case RunEnd::StepLimit:
    case RunEnd::AdaptiveStepLimit:  // names its bound: adaptiveStepLimitMessage
        break;
    }
    return "";
}

void startLane(RunLane& lane, const BallisticInput& in, RunResults& results)
{
    lane.input = &in;
    lane.results = &results;
    lane.k = prepareRunConstants(in);
    results.grain = lane.k.source.grain;
    results.componentBurnedFraction.clear();  // a charge of one component
    lane.y = StateVector{};
    lane.m = ModelState{};
    lane.load = BoreLoad{in.px0, 0};
    lane.faults = GasFaults{};
    lane.i = 0;
    lane.last = 0;
    recordIgnition(in, lane.k, results);
    simd::clearUpperVectorState();
}

namespace {

#if KALVEX_X86_VECTORS
// Four runs in the quarters of AVX registers: the same operations as in two SSE2 halves, each
// rounded alike, with half the instructions. The whole step is compiled for AVX here,
// everything it calls inlined into it (flatten), so that no code outside this function uses
// AVX and a processor without it never comes here; no pack crosses a call out of it.
[[gnu::target("avx"), gnu::flatten]] unsigned stepFourLanesAvx(std::array<RunLane, 4>& lanes,
                                                                std::array<RunEnd, 4>& ends)
{
    return stepLanesPacked<Pack4>(lanes, ends);
}
#endif

// The same without AVX: each operation on four runs is two SSE2 operations on two.
[[gnu::flatten]] unsigned stepFourLanesSse2(std::array<RunLane, 4>& lanes, std::array<RunEnd, 4>& ends)
{
    return stepLanesPacked<Pack2x2>(lanes, ends);
}

[[gnu::flatten]] unsigned stepTwoLanes(std::array<RunLane, 2>& lanes, std::array<RunEnd, 2>& ends)
{
    return stepLanesPacked<Pack2>(lanes, ends);
}

}  // namespace

template <std::size_t L>
unsigned stepLanes(std::array<RunLane, L>& lanes, unsigned active, std::array<RunEnd, L>& ends,
                   [[maybe_unused]] LaneInstructions use)
{
    constexpr unsigned all = (1u << L) - 1;
    if constexpr (L == 4) {
        if (active == all) {
#if KALVEX_X86_VECTORS
            if (use == LaneInstructions::best && simd::processorHasAvx())
                return stepFourLanesAvx(lanes, ends);
#endif
            return stepFourLanesSse2(lanes, ends);
        }
    } else if constexpr (L == 2) {
        if (active == all)
            return stepTwoLanes(lanes, ends);
    }
    return stepLanesAlone<L>(lanes, active, ends);
}

template unsigned stepLanes<1>(std::array<RunLane, 1>&, unsigned, std::array<RunEnd, 1>&, LaneInstructions);
template unsigned stepLanes<2>(std::array<RunLane, 2>&, unsigned, std::array<RunEnd, 2>&, LaneInstructions);
template unsigned stepLanes<3>(std::array<RunLane, 3>&, unsigned, std::array<RunEnd, 3>&, LaneInstructions);
template unsigned stepLanes<4>(std::array<RunLane, 4>&, unsigned, std::array<RunEnd, 4>&, LaneInstructions);

namespace {

// Flattened: the single run gets its stages inlined wherever it is linked. In a program that
// also runs lanes, or in the Python module, the model's functions have several callers and
// would otherwise stay calls in the single run's loop.
[[gnu::flatten]] RunEnd runOneComponent(const BallisticInput& in, RunResults& results, const std::atomic<bool>* stop)
{
    std::array<RunLane, 1> lane;
    startLane(lane[0], in, results);
    lane[0].stop = stop;
    std::array<RunEnd, 1> end{};
    stepLanes<1>(lane, 1u, end);
    return end[0];
}

}  // namespace

// A mixed charge takes its own loop, so that a charge of one component pays nothing for the
// sums over components.
RunEnd runSolver(const BallisticInput& in, RunResults& results, const std::atomic<bool>* stop)
{
    if (isMixedCharge(in))
        return runChargeSolver(in, results, stop);
    return runOneComponent(in, results, stop);
}

}  // namespace kalvex
