// Many input sets spread widely around the reference cases, possible and impossible:
// every Start must end with a summary or with one of the known messages.
#include "FakeHost.h"

#include "core/results/Errors.h"
#include "core/format/NumberFormat.h"
#include "core/stepping/Solver.h"
#include "core/input/StartCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>

using namespace kalvex;
using namespace kalvex::test;

namespace {

// Fields scaled by a random factor; the wall and igniter data stay as in the case.
const char* const kScaledFields[] = {
    "Edit1",  "Edit2",  "Edit3",  "Edit4",  "Edit5",  "Edit6",  "Edit13", "Edit14", "Edit15",
    "Edit19", "Edit20", "Edit22", "Edit25", "Edit27", "Edit38", "Edit39", "Edit40", "Edit41",
    "Edit42", "Edit43", "Edit44", "Edit45",
};

struct GrainSizes {
    int type;
    double D, L, P, SW;  // relative to the case's D
};

const GrainSizes kGrainShapes[] = {
    {1, 1, 0, 0, 0},      {2, 1, 2, 0.4, 0},     {3, 1, 2, 0, 0},       {4, 1, 2, 0.35, 0},
    {5, 1, 2, 0.35, 0.1}, {6, 1, 2.2, 0.09, 0}, {7, 1, 2.2, 0.1, 0},
};

std::set<std::string> knownMessages()
{
    std::set<std::string> messages = {"Volume of Grain not a finite positive number"};
    for (RunEnd end : {RunEnd::PressureLimit, RunEnd::VelocityLimit, RunEnd::FreeVolumeExhausted,
                       RunEnd::TemperatureExhausted, RunEnd::NotFinite, RunEnd::ProjectileStopped,
                       RunEnd::WallTemperatureExhausted, RunEnd::BreechPressureNegative, RunEnd::StepTooShort}) {
        messages.insert(runEndMessage(end));
        messages.insert(std::string("Computation Step too large: ") + runEndMessage(end));
    }
    return messages;
}

FakeHost randomVariant(const std::string& caseName, std::mt19937_64& random)
{
    FakeHost host = loadCase(caseName);
    std::uniform_real_distribution<double> logFactor(std::log(0.2), std::log(5.0));
    std::uniform_real_distribution<double> unit(0, 1);
    for (const char* control : kScaledFields) {
        if (unit(random) < 0.5)
            continue;  // about half the fields keep their value
        const double value = parseFloatField(host.fields[control]);
        host.fields[control] = formatGeneral(value * std::exp(logFactor(random)));
    }
    if (unit(random) < 0.5) {
        const GrainSizes& shape = kGrainShapes[random() % 7];
        const double D = parseFloatField(host.fields["Edit42"]);
        host.grain = shape.type;
        host.fields["Edit42"] = formatGeneral(D * shape.D);
        host.fields["Edit43"] = formatGeneral(D * shape.L);
        host.fields["Edit44"] = formatGeneral(D * shape.P);
        host.fields["Edit45"] = formatGeneral(D * shape.SW);
    }
    // Resistance profile in the right order along the barrel.
    const double xm = parseFloatField(host.fields["Edit3"]);
    const double xe0 = xm * unit(random) * 0.2;
    host.fields["Edit36"] = formatGeneral(xe0);
    host.fields["Edit37"] = formatGeneral(unit(random) < 0.2 ? xm : xe0 + (xm - xe0) * unit(random) * 0.5);
    host.heat = unit(random) < 0.8;
    host.options = {unit(random) < 0.5, unit(random) < 0.5};
    return host;
}

void makeImpossible(FakeHost& host, int kind)
{
    if (kind == 0) {  // a bore resistance that no charge overcomes
        for (const char* control : {"Edit38", "Edit39", "Edit40", "Edit41"})
            host.fields[control] = "1500";
    } else if (kind == 1) {  // more solid propellant than the chamber holds
        const double V0 = parseFloatField(host.fields["Edit4"]);
        const double rho = parseFloatField(host.fields["Edit24"]);
        host.fields["Edit19"] = formatGeneral(1.2 * V0 * rho);
    } else if (kind == 2) {  // a step that crosses the whole shot and more
        host.fields["Edit15"] = formatGeneral(parseFloatField(host.fields["Edit15"]) * 5000);
    } else {  // a sphere whose volume underflows
        host.grain = 1;
        host.fields["Edit42"] = "1E-107";
    }
}

struct Tally {
    int summaries = 0;
    int restarted = 0;  // Starts that doubled the step at least once
    std::map<std::string, int> messages;
};

void checkCompletedRun(const RunResults& r, const std::string& label)
{
    ASSERT_GE(r.stepCount, 1) << label;
    for (int k = 0; k <= r.stepCount; ++k) {
        const auto at = [&r, k](SeriesId id) { return r[id][static_cast<std::size_t>(k)]; };
        for (int s = 0; s < kSeriesCount; ++s)
            ASSERT_TRUE(std::isfinite(r.series[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)]))
                << label << " entry " << k << " series " << s;
        ASSERT_GT(at(SeriesId::meanPressure), 0) << label << " entry " << k;
        ASSERT_GT(at(SeriesId::meanTemperature), 0) << label << " entry " << k;
        ASSERT_GT(at(SeriesId::basePressure), 0) << label << " entry " << k;
        ASSERT_GE(at(SeriesId::velocity), 0) << label << " entry " << k;
        ASSERT_GT(at(SeriesId::wallTemperature), 0) << label << " entry " << k;
        ASSERT_GE(at(SeriesId::breechPressure), 0) << label << " entry " << k;
    }
    for (int row : {r.pmaxRow, std::min(r.burnoutRow, r.stepCount), r.stepCount}) {
        const auto at = [&r, row](SeriesId id) { return r[id][static_cast<std::size_t>(row)]; };
        EXPECT_GT(at(SeriesId::breechPressure), 0) << label << " summary row " << row;
        EXPECT_GT(at(SeriesId::wallTemperature), 0) << label << " summary row " << row;
    }
}

}  // namespace

TEST(Robustness, EveryStartEndsWithASummaryOrAKnownMessage)
{
    const std::set<std::string> known = knownMessages();
    std::mt19937_64 random(4367);
    Tally tally;
    for (int i = 0; i < 400; ++i) {
        const std::string caseName = i % 2 == 0 ? "rifle_tube" : "gun155_7perf";
        FakeHost host = randomVariant(caseName, random);
        if (i % 10 == 9)
            makeImpossible(host, (i / 10) % 4);
        const std::string label = caseName + " variant " + std::to_string(i);
        BallisticInput stored;
        RunStore runs;
        try {
            runStartCommand(host, stored, runs);
            tally.restarted += host.fieldWrites.empty() ? 0 : 1;
        } catch (const InputError& e) {
            const std::string message = e.what();
            const bool ruleOrKnown = known.count(message) > 0 || message.find(" less than") != std::string::npos ||
                                     message.find(" greater than") != std::string::npos;
            EXPECT_TRUE(ruleOrKnown) << label << ": " << message;
            EXPECT_FALSE(runs.completed) << label;
            EXPECT_EQ(host.completedRuns, 0) << label;
            ++tally.messages[message];
            continue;
        }
        ++tally.summaries;
        ASSERT_TRUE(runs.completed) << label;
        EXPECT_EQ(host.completedRuns, 1) << label;
        checkCompletedRun(*runs.completed, label);
        const auto coarseNotes =
            std::count(host.memo.begin(), host.memo.end(), " Computation Step too coarse: fewer than 50 steps.");
        EXPECT_EQ(coarseNotes, runs.completed->stepCount < 50 ? 1 : 0) << label;
        for (const std::string& line : host.memo) {
            EXPECT_EQ(line.find("nan"), std::string::npos) << label << ": " << line;
            EXPECT_EQ(line.find("inf"), std::string::npos) << label << ": " << line;
        }
    }
    EXPECT_GT(tally.summaries, 100);
    std::string seen = ", " + std::to_string(tally.restarted) + " after doubling the step";
    for (const auto& [message, count] : tally.messages)
        seen += "\n  " + std::to_string(count) + " x " + message;
    RecordProperty("outcomes", std::to_string(tally.summaries) + " summaries" + seen);
}
