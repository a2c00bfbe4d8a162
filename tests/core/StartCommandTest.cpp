#include "CaseInput.h"
#include "FakeHost.h"

#include "core/results/Errors.h"
#include "core/input/StartCommand.h"
#include "core/input/StartSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>

using namespace kalvex;
using namespace kalvex::test;

namespace {

const std::string kStepNote = " Computation Step too short. Step was increased 2x.";

std::string startFailure(FakeHost& host, BallisticInput& stored, RunStore& runs)
{
    try {
        runStartCommand(host, stored, runs);
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

long countLines(const FakeHost& host, const std::string& prefix)
{
    return std::count_if(host.memo.begin(), host.memo.end(),
                         [&prefix](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

}  // namespace

TEST(StartCommandWithoutWindow, DoublesTheStepTwiceThenWritesOneSummary)
{
    FakeHost host = loadCase("rifle_small_step");
    ASSERT_EQ(host.fields["Edit15"], "0.00001");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);

    ASSERT_GE(host.memo.size(), 4u);
    EXPECT_EQ(host.memo[0], kStepNote);
    EXPECT_EQ(host.memo[1], "");
    EXPECT_EQ(host.memo[2], kStepNote);
    EXPECT_EQ(host.memo[3], "");
    EXPECT_EQ(countLines(host, kStepNote), 2);
    EXPECT_EQ(countLines(host, " Pmax:"), 1);
    EXPECT_EQ(host.fieldWrites, (std::vector<std::string>{"dt=2E-5", "dt=4E-5"}));
    EXPECT_NEAR(stored.dt, 4 * 0.00001 * 0.001, 1e-22);  // the step read back from the field
    EXPECT_EQ(host.completedRuns, 1);
    ASSERT_TRUE(runs.completed);
    EXPECT_EQ(runs.completed->stepCount, 27040);
    EXPECT_EQ(host.completedStepCount, 27040);
}

TEST(StartCommandWithoutWindow, WritesTheDoubledStepWithTheUsersSeparator)
{
    FakeHost host = loadCase("rifle_tube");
    for (auto& [control, text] : host.fields)
        std::replace(text.begin(), text.end(), '.', ',');
    host.separator = ',';
    host.fields["Edit15"] = "0,0000075";  // 144000 steps would be needed; 36000 after two doublings
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    EXPECT_EQ(host.fieldWrites, (std::vector<std::string>{"dt=1,5E-5", "dt=3E-5"}));
    EXPECT_EQ(host.completedRuns, 1);
}

TEST(StartCommandWithoutWindow, AFailedStartLeavesTheCompletedRunAndMemoAsTheyWere)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    const RunResults* completed = runs.completed.get();
    const std::vector<std::string> memo = host.memo;

    struct Failure {
        const char* control;
        const char* text;
        const char* message;
    };
    const Failure failures[] = {
        {"Edit19", "lots", "'lots' is not a valid floating point value"},
        {"Edit2", "0", "Mass of Projectile mp less than or equal to 0 kg"},
        {"Edit38", "3000", "Mean Pressure over 2000 MPa."},
        {"Edit19", "0.006", "Free Volume of Chamber less than or equal to 0 m^3."},
    };
    for (const Failure& f : failures) {
        FakeHost failing = host;
        failing.fields[f.control] = f.text;
        if (std::string(f.control) == "Edit38")
            failing.fields["Edit39"] = failing.fields["Edit40"] = failing.fields["Edit41"] = f.text;
        EXPECT_EQ(startFailure(failing, stored, runs), f.message) << f.control << "=" << f.text;
        EXPECT_EQ(runs.completed.get(), completed) << f.message;
        EXPECT_EQ(runs.completed->stepCount, 2164) << f.message;
        EXPECT_EQ(failing.memo, memo) << f.message;
        EXPECT_EQ(failing.completedRuns, host.completedRuns) << f.message;
    }
}

TEST(StartCommandWithoutWindow, AStuckProjectileEndsWithoutDoublingTheStep)
{
    FakeHost host = loadCase("rifle_tube");
    for (const char* control : {"Edit38", "Edit39", "Edit40", "Edit41"})
        host.fields[control] = "1000";
    host.fields["Edit19"] = "0.0005";
    BallisticInput stored;
    RunStore runs;
    EXPECT_EQ(startFailure(host, stored, runs), "Projectile stopped in the barrel.");
    EXPECT_TRUE(host.memo.empty());
    EXPECT_TRUE(host.fieldWrites.empty());
    EXPECT_FALSE(runs.completed);
}

TEST(StartCommandWithoutWindow, ReusesItsTwoResultBuffers)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    runStartCommand(host, stored, runs);
    const std::set<const RunResults*> buffers = {runs.completed.get(), runs.scratch.get()};
    ASSERT_EQ(buffers.size(), 2u);
    for (int i = 0; i < 3; ++i) {
        runStartCommand(host, stored, runs);
        EXPECT_EQ((std::set<const RunResults*>{runs.completed.get(), runs.scratch.get()}), buffers);
    }
    EXPECT_EQ(host.completedRuns, 5);
    EXPECT_EQ(countLines(host, " Pmax:"), 5);
}

TEST(StartCommandWithoutWindow, ARunAfterALongerOneLeavesNoOldEntriesBehind)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    host.fields["Edit15"] = "0.001";  // half as many steps as before
    runStartCommand(host, stored, runs);
    runStartCommand(host, stored, runs);  // back in the buffer of the first, longer run
    const RunResults& r = *runs.completed;
    ASSERT_LT(r.stepCount, 2000);
    for (int s = 0; s < kSeriesCount; ++s)
        EXPECT_EQ(r.series[static_cast<std::size_t>(s)][static_cast<std::size_t>(r.stepCount + 1)], 0) << s;
}

TEST(StartCommandWithoutWindow, BurningBeyondTheMuzzleShowsInTheSummary)
{
    FakeHost host = loadCase("rifle_tube");
    host.fields["Edit3"] = "0.05";  // a barrel too short for the charge to burn out
    host.fields["Edit37"] = "0.02";
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    const RunResults& r = *runs.completed;
    EXPECT_EQ(r.burnoutRow, r.stepCount + 1);
    EXPECT_LT(r[SeriesId::burnedFraction][static_cast<std::size_t>(r.stepCount)], 1);
    EXPECT_EQ(host.memo[1], "!End of Combustion After the Projectile Exits Muzzle!");
    EXPECT_EQ(countLines(host, " Z = 1:"), 0);
    EXPECT_EQ(countLines(host, " Remaining Energy of unburned Propellant [J]:"), 1);
    EXPECT_GT(r.Eunburned, 0);
}

TEST(StartCommandWithoutWindow, CharacteristicRowsOfARealRun)
{
    FakeHost host = loadCase("rifle_tube");
    BallisticInput stored;
    RunStore runs;
    runStartCommand(host, stored, runs);
    const RunResults& r = *runs.completed;
    const ResultSeries& p = r[SeriesId::meanPressure];
    const ResultSeries& Z = r[SeriesId::burnedFraction];
    const auto at = [](const ResultSeries& s, int k) { return s[static_cast<std::size_t>(k)]; };
    ASSERT_GT(r.pmaxRow, 0);
    ASSERT_LT(r.pmaxRow, r.stepCount);
    for (int k = 1; k <= r.pmaxRow; ++k)
        ASSERT_LE(at(p, k - 1), at(p, k)) << k;
    EXPECT_GT(at(p, r.pmaxRow), at(p, r.pmaxRow + 1));
    ASSERT_LE(r.burnoutRow, r.stepCount);
    EXPECT_EQ(at(Z, r.burnoutRow), 1);
    EXPECT_LT(at(Z, r.burnoutRow - 1), 1);
    EXPECT_EQ(countLines(host, " Z = 1:"), 1);
    EXPECT_EQ(countLines(host, "!End of Combustion"), 0);
    EXPECT_EQ(countLines(host, " Remaining Energy of unburned Propellant [J]:"), 0);
}

TEST(StartSequence, AnAbsurdlyShortStepEndsAfterThirtyDoublings)
{
    BallisticInput in = inputFromCase("rifle_tube");
    in.dt = 1e-300;
    auto results = std::make_unique<RunResults>();
    std::vector<std::string> notes;
    int stepChanges = 0;
    const StartOutcome outcome = runStartSequence(
        in, *results, [&notes](const std::string& line) { notes.push_back(line); },
        [&stepChanges](double) { ++stepChanges; });
    EXPECT_EQ(outcome.end, RunEnd::StepTooShort);
    EXPECT_EQ(startEndMessage(outcome), "Computation Step too short: more than 30 doublings needed.");
    EXPECT_EQ(outcome.restarts, 30);
    EXPECT_EQ(stepChanges, 30);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), kStepNote), 30);
    EXPECT_EQ(notes.size(), 60u);
}

TEST(StartSequence, AFaultWithinTheFirstStepBlamesTheStep)
{
    struct Case {
        std::function<void(BallisticInput&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {[](BallisticInput& in) { in.dt = 1; },
         "Computation Step too large: Mean Temperature less than or equal to 0 K."},
        // Past the muzzle in one step, but at a pressure no gun survives.
        {[](BallisticInput& in) {
             in.C = 0.004;
             in.fr = 0;
             in.dt = 2e-4;
             in.xm = in.xe = 0.001;
             in.xe0 = 0;
         },
         "Computation Step too large: Mean Pressure over 2000 MPa."},
        // The gas has room at ignition; the step's own stages overrun it.
        {[](BallisticInput& in) {
             in.C = 0.0045;
             in.fr = 0;
             in.dt = 1e-4;
         },
         "Computation Step too large: Free Volume of Chamber less than or equal to 0 m^3."},
        // No room for the gas at ignition is the charge's fault, whatever the step.
        {[](BallisticInput& in) {
             in.C = 0.006;
             in.dt = 1;
         },
         "Free Volume of Chamber less than or equal to 0 m^3."},
    };
    auto results = std::make_unique<RunResults>();
    for (const Case& c : cases) {
        BallisticInput in = inputFromCase("rifle_tube");
        c.change(in);
        const StartOutcome outcome = runStartSequence(in, *results, [](const std::string&) {});
        EXPECT_EQ(startEndMessage(outcome), c.message);
    }
}

TEST(StartCommandWithoutWindow, ARunOfFewerThanFiftyStepsIsMarkedTooCoarseBeforeItsSummary)
{
    for (const auto& [step, coarse] : {std::pair{"10", true}, std::pair{"0.2", false}}) {
        FakeHost host = loadCase("gun155_7perf");
        host.fields["Edit15"] = step;
        BallisticInput stored;
        RunStore runs;
        runStartCommand(host, stored, runs);
        ASSERT_TRUE(runs.completed);
        EXPECT_EQ(runs.completed->stepCount < 50, coarse) << step;
        const std::string note = " Computation Step too coarse: fewer than 50 steps.";
        EXPECT_EQ(countLines(host, note), coarse ? 1 : 0) << step;
        EXPECT_EQ(host.memo.front() == note, coarse) << step;  // the summary follows it
    }
}
