#include "CaseInput.h"
#include "FakeHost.h"

#include "core/input/BallisticInput.h"
#include "core/results/Errors.h"
#include "core/input/InputSet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kalvex;
using namespace kalvex::test;

namespace {

struct FieldCase {
    const char* control;
    double BallisticInput::*member;
    double factor;  // SI value per unit typed
};

const std::vector<FieldCase> kFields = {
    {"Edit1", &BallisticInput::A, 1},     {"Edit2", &BallisticInput::mp, 1},
    {"Edit3", &BallisticInput::xm, 1},    {"Edit4", &BallisticInput::V0, 1},
    {"Edit5", &BallisticInput::Tw, 1},    {"Edit6", &BallisticInput::Vp, 1},
    {"Edit7", &BallisticInput::T0w, 1},   {"Edit8", &BallisticInput::h0, 1},
    {"Edit9", &BallisticInput::Dw, 1},    {"Edit10", &BallisticInput::rhow, 1},
    {"Edit11", &BallisticInput::Cpw, 1},  {"Edit12", &BallisticInput::f, 1},
    {"Edit13", &BallisticInput::mrp, 1},  {"Edit14", &BallisticInput::RR, 1},
    {"Edit15", &BallisticInput::dt, 0.001},
    {"Edit16", &BallisticInput::fr, 1},   {"Edit19", &BallisticInput::C, 1},
    {"Edit20", &BallisticInput::F, 1},    {"Edit21", &BallisticInput::T0, 1},
    {"Edit22", &BallisticInput::b, 1},    {"Edit23", &BallisticInput::gamma, 1},
    {"Edit24", &BallisticInput::rho, 1},  {"Edit25", &BallisticInput::beta, 1},
    {"Edit26", &BallisticInput::alpha, 1}, {"Edit27", &BallisticInput::CI, 1},
    {"Edit28", &BallisticInput::FI, 1},   {"Edit29", &BallisticInput::T0I, 1},
    {"Edit30", &BallisticInput::bI, 1},   {"Edit31", &BallisticInput::gammaI, 1},
    {"Edit32", &BallisticInput::fFT, 1},  {"Edit34", &BallisticInput::fbeta, 1},
    {"Edit35", &BallisticInput::fbetaT, 1}, {"Edit36", &BallisticInput::xe0, 1},
    {"Edit37", &BallisticInput::xe, 1},   {"Edit38", &BallisticInput::px0, 1e6},
    {"Edit39", &BallisticInput::pxe0, 1e6}, {"Edit40", &BallisticInput::pxe, 1e6},
    {"Edit41", &BallisticInput::pxm, 1e6}, {"Edit42", &BallisticInput::D, 0.001},
    {"Edit43", &BallisticInput::L, 0.001}, {"Edit44", &BallisticInput::P, 0.001},
    {"Edit45", &BallisticInput::SW, 0.001},
};

std::string readFailure(const FakeHost& host, BallisticInput& stored)
{
    try {
        readBallisticInput(host, host.grain, host.heat, host.separator, stored);
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ReadBallisticInput, StoresEveryFieldInSiUnits)
{
    FakeHost host;
    int n = 1;
    for (const FieldCase& field : kFields)
        host.fields[field.control] = std::to_string(n++) + ".5";
    BallisticInput in;
    readBallisticInput(host, 6, false, '.', in);
    n = 1;
    for (const FieldCase& field : kFields) {
        const double typed = n++ + 0.5;
        EXPECT_EQ(in.*field.member, typed * field.factor) << field.control;
    }
    EXPECT_EQ(in.grainType, 6);
    EXPECT_FALSE(in.heatTransfer);
}

TEST(ReadBallisticInput, ConvertsMillimetresMillisecondsAndMegapascals)
{
    FakeHost host;
    host.fields["Edit15"] = "0.5";
    host.fields["Edit38"] = "50";
    host.fields["Edit42"] = "0.8";
    BallisticInput in;
    readBallisticInput(host, 2, true, '.', in);
    EXPECT_EQ(in.dt, 0.5 * 0.001);
    EXPECT_NEAR(in.dt, 0.0005, 1e-19);
    EXPECT_EQ(in.px0, 50000000);
    EXPECT_NEAR(in.D, 0.0008, 1e-19);
    EXPECT_EQ(in.T0w, 0);  // degrees Celsius stay as typed
}

TEST(ReadBallisticInput, UsesTheUsersDecimalSeparator)
{
    FakeHost host;
    host.fields["Edit2"] = "43,5";
    BallisticInput in;
    readBallisticInput(host, 2, true, ',', in);
    EXPECT_EQ(in.mp, 43.5);
    host.fields["Edit2"] = "43.5";
    host.separator = ',';
    EXPECT_EQ(readFailure(host, in), "'43.5' is not a valid floating point value");
}

TEST(ReadBallisticInput, StopsAtTheFirstBadTextKeepingWhatWasRead)
{
    FakeHost host;
    const std::string seven = "7";
    for (const FieldCase& field : kFields)
        host.fields.insert_or_assign(field.control, seven);
    host.fields["Edit19"] = "seven";
    BallisticInput in;
    in.C = 99;
    in.dt = 99;
    EXPECT_EQ(readFailure(host, in), "'seven' is not a valid floating point value");
    EXPECT_EQ(in.A, 7);   // read before the bad field
    EXPECT_EQ(in.RR, 7);
    EXPECT_EQ(in.C, 99);  // the bad field and those after keep their values
    EXPECT_EQ(in.dt, 99);
    // A number that overflows only in the stored unit is refused as typed.
    host.fields["Edit19"] = "7";
    host.fields["Edit38"] = " 1e303";
    EXPECT_EQ(readFailure(host, in), "' 1e303' is not a valid floating point value");
    EXPECT_EQ(in.px0, 0);
}

TEST(ReadBallisticInput, ReadsResistanceFactorBeforeGrainSizes)
{
    FakeHost host;
    host.fields["Edit16"] = "x16";
    host.fields["Edit42"] = "x42";
    BallisticInput in;
    EXPECT_EQ(readFailure(host, in), "'x16' is not a valid floating point value");
}

TEST(ReadBallisticInput, ReadsTheStepLastAndBeforeAnyRule)
{
    FakeHost host;  // every other field "0": rule 1 would fail
    host.fields["Edit15"] = "";
    BallisticInput in;
    EXPECT_EQ(readFailure(host, in), "'' is not a valid floating point value");
    host.fields["Edit15"] = "1";
    host.fields["Edit45"] = "nan";
    EXPECT_EQ(readFailure(host, in), "'nan' is not a valid floating point value");
}

TEST(ValidateBallisticInput, ReferenceSetsPass)
{
    for (const char* name : {"rifle_tube", "gun155_7perf", "rifle_small_step"})
        EXPECT_NO_THROW(inputFromCase(name)) << name;
}

TEST(ValidateBallisticInput, DegreeSignIsUtf8)
{
    BallisticInput in = inputFromCase("rifle_tube");
    in.T0w = -60;
    EXPECT_EQ(validationMessage(in), "Initial Temperature of Chamber Wall T0w less than -50\xC2\xB0" "C");
}

TEST(ValidateBallisticInput, FormDefaultsFailWithTheFirstRule)
{
    FakeHost host;
    BallisticInput in;
    readBallisticInput(host, 2, true, '.', in);
    EXPECT_EQ(validationMessage(in), "Area of Base of Projectile A less than or equal to 0 m^2");
}

TEST(ValidateBallisticInput, ReportsOnlyTheFirstFailingRule)
{
    BallisticInput in = inputFromCase("rifle_tube");
    in.mp = 0;
    in.V0 = 0;
    EXPECT_EQ(validationMessage(in), "Mass of Projectile mp less than or equal to 0 kg");
    in = inputFromCase("rifle_tube");
    in.dt = 0;
    in.P = in.D;  // tube with a perforation as wide as the grain
    EXPECT_EQ(validationMessage(in), "Diameter of Perforation P greater than or equal to Diameter of Grain D");
    in.P = 0.0003;
    EXPECT_EQ(validationMessage(in), "Computation Step less than or equal to 0 s");
}

namespace {

// A rule at its boundary: the set passes with `passing` and fails with `failing`.
struct RuleCase {
    std::function<void(BallisticInput&, double)> set;
    double passing;
    double failing;
    const char* message;
};

template <double BallisticInput::*Member>
void setField(BallisticInput& in, double v)
{
    in.*Member = v;
}

#define FIELD(name) &setField<&BallisticInput::name>

const std::vector<RuleCase> kRuleBoundaries = {
    {FIELD(A), 1e-9, 0, "Area of Base of Projectile A less than or equal to 0 m^2"},
    {FIELD(mp), 1e-9, 0, "Mass of Projectile mp less than or equal to 0 kg"},
    {FIELD(xm), 0.02, 0, "Travel of Projectile at Muzzle xm less than or equal to 0 m"},
    {FIELD(V0), 1e-12, 0, "Volume of Empty Chamber V0 less than or equal to 0 m^3"},
    {FIELD(Tw), 1, 0.999, "Twist of Rifling Tw less than 1 cal/turn"},
    {FIELD(Vp), 0, -1e-9, "Parasitic Volume Vp less than 0 m^3"},
    {FIELD(T0w), -50, -50.01, "Initial Temperature of Chamber Wall T0w less than -50\u00b0C"},
    {FIELD(h0), 0, -1e-9, "Free Heat Transfer Coefficient for Air h0 less than 0 W/m^2/K"},
    {FIELD(Dw), 1e-9, 0, "Chamber Wall Thickness heated Dw less than or equal to 0 m"},
    {FIELD(rhow), 1, 0.999, "Density of Chamber Wall Steel rhow less than 1 kg/m^3"},
    {FIELD(Cpw), 1, 0.999, "Heat Capacity of Steel of Chamber Cpw less than 1 J/kg/K"},
    {FIELD(f), 0, -1e-9, "Fraction of Work done against Bore Friction f less than 0"},
    {FIELD(mrp), 1e-9, 0, "Mass of Recoiling Parts mrp less than or equal to 0 kg"},
    {FIELD(RR), 1e-9, 0, "Recoil Resistance Force RR less than or equal to 0 N"},
    {FIELD(C), 1e-9, 0, "Mass of Propellant C less than or equal to 0 kg"},
    {FIELD(F), 100000, 99999.9, "Force per Unit Mass of Propellant F less than 100000 J/kg"},
    {FIELD(T0), 1000, 999.9, "Adiabatic Flame Temperature of Propellant T0 less than 1000 K"},
    {FIELD(b), 0, -1e-9, "Covolume of Propellant b less than 0 m^3/kg"},
    {FIELD(gamma), 1.0001, 1, "Ratio of specific Heats for Propellant gamma less than or equal to 1"},
    {FIELD(rho), 1000, 999.9, "Density of Propellant rho less than 1000 kg/m^3"},
    {FIELD(beta), 1e-15, 0, "Burning Rate Coeff. for Prop. beta less than or equal to 0 m/s/Pa"},
    {FIELD(alpha), 0.5, 0.4999, "Burning Rate Exponent for Propellant alpha less than 0.5"},
    {FIELD(CI), 1e-12, 0, "Mass of Igniter CI less than or equal to 0 kg"},
    {FIELD(FI), 10000, 9999.9, "Force per Unit Mass of Igniter FI less than 10000 J/kg"},
    {FIELD(T0I), 1000, 999.9, "Adiabatic Flame Temperature of Igniter T0I less than 1000 K"},
    {FIELD(bI), 0, -1e-9, " Covolume of Igniter bI less than 0 m^3/kg"},
    {FIELD(gammaI), 1.0001, 1, "Ratio of specific Heats for Igniter gammaI less than or equal to 1"},
    {FIELD(fFT), 0.1, 0.0999, "Force Temperature Factor fFT less than 0.1"},
    {FIELD(fbeta), 0.1, 0.0999, "Burning Rate Factor fbeta less than 0.1"},
    {FIELD(fbetaT), 0.1, 0.0999, "Burning Rate Temperature Factor fbetaT less than 0.1"},
    {FIELD(fr), 0, -1e-9, "Down-Tube Resistance Factor fr less than 0"},
    {FIELD(xe0), 0, -1e-9, "Travel of Projectile at xe0 less than 0 m"},
    {[](BallisticInput& in, double v) { in.xe = in.xm; in.xe0 = in.xm + v; }, 0, 1e-9,
     "Travel of Projectile at xe0 greater than Travel of Projectile at Muzzle xm"},
    {[](BallisticInput& in, double v) { in.xe0 = 0; in.xe = v; }, 0, -1e-9,
     "Travel of Projectile at xe less than 0"},
    {[](BallisticInput& in, double v) { in.xe = in.xe0 + v; }, 0, -1e-9,
     "Travel of Projectile at xe less than Travel of Projectile at xe0"},
    {[](BallisticInput& in, double v) { in.xe = in.xm + v; }, 0, 1e-9,
     "Travel of Projectile at xe greater than Travel of Projectile at Muzzle xm"},
    {FIELD(px0), 0, -1e-3, "Resistive Pressure at x0 less than 0 Pa"},
    {FIELD(pxe0), 0, -1e-3, "Resistive Pressure at xe0 less than 0 Pa"},
    {FIELD(pxe), 0, -1e-3, "Resistive Pressure at xe less than 0 Pa"},
    {FIELD(pxm), 0, -1e-3, "Resistive Pressure at xm less than 0 Pa"},
    {[](BallisticInput& in, double v) { in.grainType = 1; in.D = v; }, 1e-9, 0,
     "Size of Grain D less than or equal to 0 mm"},
    {FIELD(dt), 1e-12, 0, "Computation Step less than or equal to 0 s"},
    // A sphere whose volume underflows would count as infinitely many grains.
    {[](BallisticInput& in, double v) { in.grainType = 1; in.D = v; }, 1e-100, 1e-110,
     "Volume of Grain not a finite positive number"},
};

}  // namespace

TEST(ValidateBallisticInput, EachRuleHoldsAtItsBoundaryAndFailsJustBeyond)
{
    const BallisticInput valid = inputFromCase("rifle_tube");
    int row = 0;
    for (const RuleCase& rule : kRuleBoundaries) {
        ++row;
        BallisticInput in = valid;
        rule.set(in, rule.passing);
        EXPECT_EQ(validationMessage(in), "") << "row " << row << ": " << rule.message;
        in = valid;
        rule.set(in, rule.failing);
        EXPECT_EQ(validationMessage(in), rule.message) << "row " << row;
    }
}

TEST(ValidateBallisticInput, EachRuleComesBeforeTheNextOne)
{
    // Breaking every rule from the last to the first must report each in turn.
    const BallisticInput valid = inputFromCase("rifle_tube");
    for (std::size_t first = 0; first < kRuleBoundaries.size(); ++first) {
        BallisticInput in = valid;
        for (std::size_t later = kRuleBoundaries.size(); later-- > first;)
            if (later != 32 && later != 33 && later != 34 && later != 35 && later != 40)
                kRuleBoundaries[later].set(in, kRuleBoundaries[later].failing);
        kRuleBoundaries[first].set(in, kRuleBoundaries[first].failing);
        EXPECT_EQ(validationMessage(in), kRuleBoundaries[first].message) << "rule row " << first + 1;
    }
}

namespace {

struct GrainRuleCase {
    int type;
    double D, L, P, SW;  // mm
    const char* message;  // "" when the sizes pass
};

const std::vector<GrainRuleCase> kGrainRules = {
    {1, 1, 0, 0, 0, ""},
    {2, 1, 1, 0, 0, "Size of Grain P less than or equal to 0 mm"},
    {2, 1, 0, 0, 0, "Size of Grain L less than or equal to 0 mm"},
    {2, 1, 1, 1, -1, ""},
    {3, 1, 0, 0, 0, "Size of Grain L less than or equal to 0 mm"},
    {3, 1, 1, 0, 0, ""},
    {4, 1, 0, 0.5, 0, "Size of Grain L less than or equal to 0 mm"},
    {4, 1, 1, 0, 0, "Size of Grain P less than or equal to 0 mm"},
    {4, 1, 1, 1, 0, "Diameter of Perforation P greater than or equal to Diameter of Grain D"},
    {4, 1, 1, 0.999, 0, ""},
    {5, 1, 0, 0.5, 0, "Size of Grain L less than or equal to 0 mm"},
    {5, 1, 1, 0, 0, "Size of Grain P less than or equal to 0 mm"},
    {5, 1, 1, 1, -0.1, "Size of Grain SW less than 0 mm"},
    {5, 1, 1, 1, 0, "Diameter of Perforation P greater than or equal to Diameter of Grain D"},
    {5, 1, 1, 0.5, 0, ""},
    {5, 1, 1, 0.5, 0.5, "Slot Width SW greater than or equal to Diameter of Perforation P"},
    {5, 1, 1, 0.5, 0.499, ""},
    {6, 6, 0, 1, 0, "Size of Grain L less than or equal to 0 mm"},
    {6, 6, 10, 0, 0, "Size of Grain P less than or equal to 0 mm"},
    {6, 6, 10, 2.1, 0, "Diameter of Perforation P greater than or equal to 1/3 of Diameter of Grain D"},
    {6, 6, 10, 2, 0, "Diameter of Perforation P greater than or equal to 1/3 of Diameter of Grain D"},
    {6, 6, 10, 1.9, 0, ""},
    {7, 10, 0, 1, 0, "Size of Grain L less than or equal to 0 mm"},
    {7, 10, 10, 0, 0, "Size of Grain P less than or equal to 0 mm"},
    {7, 10, 10, 2.5, 0, "Diameter of Perforation P greater than or equal to 1/5 of Diameter of Grain D"},
    {7, 10, 10, 2, 0, "Diameter of Perforation P greater than or equal to 1/5 of Diameter of Grain D"},
    {7, 10, 10, 1.5, 0, ""},
};

}  // namespace

TEST(ValidateBallisticInput, GrainSizeRulesFollowTheSelectedType)
{
    const BallisticInput valid = inputFromCase("rifle_tube");
    for (const GrainRuleCase& c : kGrainRules) {
        BallisticInput in = valid;
        in.grainType = c.type;
        in.D = c.D * 0.001;
        in.L = c.L * 0.001;
        in.P = c.P * 0.001;
        in.SW = c.SW * 0.001;
        EXPECT_EQ(validationMessage(in), c.message)
            << "type " << c.type << " D " << c.D << " L " << c.L << " P " << c.P << " SW " << c.SW;
    }
}
