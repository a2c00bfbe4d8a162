// The block of an extended input set after the report's table: what the 43 values cannot
// hold comes back from it with every bit, and a damaged block is named, never taken silently.

#include "SyntheticRun.h"
#include "report/InputSetBlock.h"
#include "report/Report.h"
#include "report/ReportFile.h"

#include "core/results/Errors.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace kalvex;
using namespace kalvex::testing;

namespace {

// The cannon with a two-segment law, a charge temperature and two more components, each with
// values whose digits the 43 formats could not keep.
BallisticInput extendedCannon()
{
    BallisticInput in = cannonInput();
    in.upperSegments = {{150.0 / 7, in.beta * 1.1, 0.88}, {300, in.beta / 3, 0.95}};
    ChargeComponent fast;
    fast.C = 0.04 / 3;
    fast.F = 1.1e6 + 1.0 / 3;
    fast.T0 = 3000.5;
    fast.b = 0.97e-3;
    fast.gamma = 1.2345678;
    fast.rho = 1650;
    fast.beta = 4e-8 / 7;
    fast.alpha = 0.8;
    fast.fbeta = 1.01;
    fast.grainType = 4;
    fast.D = 0.002;
    fast.L = 0.01;
    fast.P = 0.0005;
    fast.SW = 0.0001;  // unused by a tube, kept by the block as stored
    fast.temperatureCoefficients = TemperatureCoefficients{2e-4, 1.2e-3, 15, -50, 70};
    ChargeComponent slow = fast;
    slow.grainType = 1;
    slow.temperatureCoefficients.reset();
    slow.fFT = 0.99;
    slow.upperSegments = {{200.125, 5e-8, 0.9}};
    in.extraComponents = {fast, slow};
    applyChargeTemperature(49.5, {3e-4 / 7, 1.6e-3, 20}, in);
    return in;
}

std::string reportOf(const BallisticInput& in)
{
    std::ostringstream out;
    report::writeReport(out, "Cannon", in, *syntheticRun(in, {}), 10, {" Integrated adaptively: 1e-8"});
    return out.str();
}

std::optional<report::LoadedReport> read(const std::string& text, const BallisticInput& current = {})
{
    std::istringstream in(text);
    return report::readReport(in, current);
}

void expectSameExtension(const BallisticInput& a, const BallisticInput& b)
{
    ASSERT_EQ(a.upperSegments.size(), b.upperSegments.size());
    for (std::size_t j = 0; j < a.upperSegments.size(); ++j) {
        EXPECT_EQ(a.upperSegments[j].pLow, b.upperSegments[j].pLow);
        EXPECT_EQ(a.upperSegments[j].beta, b.upperSegments[j].beta);
        EXPECT_EQ(a.upperSegments[j].alpha, b.upperSegments[j].alpha);
    }
    EXPECT_EQ(a.chargeTemperature, b.chargeTemperature);
    EXPECT_EQ(a.fFT, b.fFT);
    EXPECT_EQ(a.fbetaT, b.fbetaT);
    EXPECT_EQ(a.temperatureCoefficients.has_value(), b.temperatureCoefficients.has_value());
    ASSERT_EQ(a.extraComponents.size(), b.extraComponents.size());
    for (std::size_t k = 0; k < a.extraComponents.size(); ++k) {
        const ChargeComponent& x = a.extraComponents[k];
        const ChargeComponent& y = b.extraComponents[k];
        for (double ChargeComponent::* v : {&ChargeComponent::C, &ChargeComponent::F, &ChargeComponent::T0, &ChargeComponent::b,
                                            &ChargeComponent::gamma, &ChargeComponent::rho, &ChargeComponent::beta,
                                            &ChargeComponent::alpha, &ChargeComponent::fFT, &ChargeComponent::fbeta,
                                            &ChargeComponent::fbetaT, &ChargeComponent::D, &ChargeComponent::L,
                                            &ChargeComponent::P, &ChargeComponent::SW})
            EXPECT_EQ(x.*v, y.*v) << "component " << k + 2;
        EXPECT_EQ(x.grainType, y.grainType);
        EXPECT_EQ(x.upperSegments.size(), y.upperSegments.size());
        EXPECT_EQ(x.temperatureCoefficients.has_value(), y.temperatureCoefficients.has_value());
    }
}

}  // namespace

TEST(InputSetBlock, AnExtendedSetComesBackWithEveryBitAndThePlainReportKeepsItsBytes)
{
    const BallisticInput in = extendedCannon();
    const std::string text = reportOf(in);
    const auto loaded = read(text);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->blockProblem) << loaded->blockProblem->message;
    expectSameExtension(loaded->input, in);
    EXPECT_EQ(loaded->input.extraComponents[0].fFT, 1 + 2e-4 * (49.5 - 15));  // its own coefficients
    EXPECT_EQ(loaded->input.extraComponents[1].fFT, 0.99);                    // none: as given
    EXPECT_EQ(reportOf(loaded->input), text) << "written again, the same bytes";
    const std::string shown = report::inputSetBlockText(in);  // as the PDF report shows it
    EXPECT_NE(shown.find("Charge Temperature [\u00b0C]"), std::string::npos);
    EXPECT_EQ(shown.find('\r'), std::string::npos);

    // Without the extension, no block: the report of today, and a reader of it keeps no
    // extension of the set it had before.
    BallisticInput plain = cannonInput();
    const std::string plainText = reportOf(plain);
    EXPECT_EQ(plainText.find("Input Set beyond"), std::string::npos);
    EXPECT_EQ(report::inputSetBlockText(plain), "");
    const auto reloaded = read(plainText, in);
    ASSERT_TRUE(reloaded);
    expectSameExtension(reloaded->input, plain);
}

TEST(InputSetBlock, TheFortyThreeValuesHoldTheFirstComponentAndSegment)
{
    const BallisticInput in = extendedCannon();
    std::string text = reportOf(in);
    text.erase(text.find(report::kInputSetBlockTitle));  // what a reader of only the 43 values sees
    const auto loaded = read(text);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->input.upperSegments.empty() && loaded->input.extraComponents.empty());
    EXPECT_EQ(loaded->input.C, in.C);
    EXPECT_EQ(loaded->input.beta, in.beta);
    EXPECT_NEAR(loaded->input.fFT, in.fFT, 5e-5);  // the factor at its printed digits
}

TEST(InputSetBlock, ADamagedBlockIsNamedWithItsLineAndComponent)
{
    const std::string text = reportOf(extendedCannon());
    const std::size_t block = text.find(report::kInputSetBlockTitle);
    const auto lineOf = [](const std::string& t, std::size_t at) {
        return 1 + static_cast<int>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    };
    enum class Change { value, label, removal };
    struct Case {
        Change change;
        std::string label;  // of the first line after the title that holds it
        std::string to;     // its new value or label
        std::string message;
        std::string named;  // the label of the line named, in the damaged text; "" for none
    };
    const Case cases[] = {
        {Change::value, "Charge Temperature", "75", "Component 2: Charge Temperature 75 \u00b0C outside the range -50 \u00b0C to 70 \u00b0C",
         "Charge Temperature"},
        {Change::value, "Mass of Propellant C", "0.0133x", "Component 2: '0.0133x' is not a valid floating point value", "Mass of Propellant C"},
        {Change::value, "Type of Grains", "8", "Component 2: '8' is not a valid integer value", "Type of Grains"},
        {Change::value, "Number of Charge Components", "4", "Number of Charge Components is 4, the block holds 3", ""},
        {Change::label, "Segment 2 Lower", "Segment 4 Lower", "Component 1: Segment 2 Lower Pressure Bound pLow [MPa] missing",
         "* Component 1"},
        {Change::label, "Segment 2 Burning Rate Exponent alpha", "Segment 2 Burning Rate Exponent",
         "Component 1: 'Segment 2 Burning Rate Exponent' is not a value of a segment", "Segment 2 Burning Rate Exponent"},
        {Change::label, "Temperature Coefficient of Force [1/K]", "Mass of Propellant C [kg]",
         "Component 1: 'Mass of Propellant C [kg]' is not a value of the first component here", "Mass of Propellant C"},
        {Change::label, "* Component 3", "* Component 4", "components are numbered from 1 in order: * Component 4 * follows Component 2",
         "* Component 4"},
        {Change::removal, "Mass of Propellant C", "", "Component 2: Mass of Propellant C [kg] missing", "* Component 2"},
        {Change::removal, "Reference Temperature", "", "Component 1: Reference Temperature of the Coefficients [\u00b0C] missing",
         "* Component 1"},
    };
    for (const Case& c : cases) {
        std::string damaged = text;
        const std::size_t at = damaged.find(c.label, block);
        ASSERT_NE(at, std::string::npos) << c.label;
        const std::size_t lineEnd = damaged.find("\r\n", at);
        switch (c.change) {
        case Change::value: {
            const std::size_t valueAt = damaged.find_first_not_of(' ', damaged.find(':', at) + 1);
            damaged.replace(valueAt, lineEnd - valueAt, c.to);
            break;
        }
        case Change::label: damaged.replace(at, c.label.size(), c.to); break;
        case Change::removal: {
            const std::size_t lineStart = damaged.rfind('\n', at) + 1;
            damaged.erase(lineStart, lineEnd + 2 - lineStart);
            break;
        }
        }
        const auto loaded = read(damaged);
        ASSERT_TRUE(loaded);
        ASSERT_TRUE(loaded->blockProblem) << c.message;
        EXPECT_EQ(loaded->blockProblem->message, c.message);
        if (!c.named.empty())
            EXPECT_EQ(loaded->blockProblem->line, lineOf(damaged, damaged.find(c.named, block))) << c.message;
        EXPECT_TRUE(loaded->input.upperSegments.empty() && loaded->input.extraComponents.empty() &&
                    !loaded->input.chargeTemperature)
            << "a damaged block gives the plain set, not half the extension";
    }

    // A program that runs a report refuses one whose block it cannot read, naming file and line.
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kalvex-block-" + std::to_string(::getpid()) + ".txt");
    std::string damaged = text;
    const std::size_t mass = damaged.find("0.013333333333333334", block);
    damaged.replace(mass, 20, "x");
    std::ofstream(path, std::ios::binary) << damaged;
    try {
        report::loadReportForRun(path.string());
        ADD_FAILURE() << "a damaged block was run";
    } catch (const InputError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path.string() + ":" + std::to_string(lineOf(damaged, mass)) + ": Component 2: 'x' is not a valid floating point value");
    }
    std::filesystem::remove(path);
}
