#include "SyntheticRun.h"
#include "core/format/NumberFormat.h"
#include "report/Report.h"
#include "report/ReportFields.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace kalvex;
using namespace kalvex::testing;

namespace {

std::string reportText(const std::string& name, const BallisticInput& in, int every = 20)
{
    std::ostringstream out;
    report::writeReport(out, name, in, *syntheticRun(in, {}), every);
    return out.str();
}

std::optional<report::LoadedReport> load(const std::string& text, const BallisticInput& current = {})
{
    std::istringstream in(text);
    return report::readReport(in, current);
}

std::string withoutCr(std::string text)
{
    std::erase(text, '\r');
    return text;
}

std::map<std::string, std::string> fieldMap(const BallisticInput& in)
{
    std::map<std::string, std::string> m;
    for (const auto& [parameter, text] : report::fieldTextsFor(in, '.'))
        m[parameter] = text;
    return m;
}

// A set whose every value differs from cannonInput(), to see which ones a load replaced.
BallisticInput sentinelInput()
{
    BallisticInput s;
    for (const report::ValueLine& line : report::kValueLines)
        if (line.member)
            s.*line.member = -777;
    s.grainType = 3;
    return s;
}

}  // namespace

TEST(ReportReader, SaveLoadSaveGivesTheSameBytes)
{
    for (int type = 1; type <= 7; ++type) {
        SCOPED_TRACE(type);
        BallisticInput in = cannonInput();
        in.grainType = type;
        const std::string first = reportText("Houfnice vz. 77 \xC5\xA0KODA \xC4\x8D\xC5\x99", in);
        const auto loaded = load(first, sentinelInput());
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->weaponName, "Houfnice vz. 77 \xC5\xA0KODA \xC4\x8D\xC5\x99");
        EXPECT_EQ(loaded->input.grainType, type);
        EXPECT_EQ(reportText(loaded->weaponName, loaded->input), first);
    }
}

TEST(ReportReader, ValuesComeBackToThePrecisionOfTheirFormat)
{
    BallisticInput in = cannonInput();
    in.pxe = 12.34567e6;    // MPa field 12.34567
    in.dt = 0.0012345e-3;   // ms field 0.0012345
    in.Tw = 19.999;
    in.gamma = 1.23456;     // four decimals
    in.f = 0.12345;         // three decimals
    in.A = 7.8539816e-4;    // seven significant digits
    const auto loaded = load(reportText("Gun", in));
    ASSERT_TRUE(loaded);
    const auto fields = fieldMap(loaded->input);
    EXPECT_EQ(fields.at("pxe"), "12.35");
    EXPECT_EQ(fields.at("dt"), "0.0012345");
    EXPECT_EQ(fields.at("Tw"), "20");
    EXPECT_EQ(fields.at("gamma"), "1.2346");
    EXPECT_EQ(fields.at("f"), "0.123");
    EXPECT_EQ(fields.at("A"), "0.0007853982");
    EXPECT_EQ(fields.at("T0w"), "21");  // the wall temperature stays in degrees Celsius
}

TEST(ReportReader, WeaponNamesOfEveryKindComeBackWhole)
{
    const BallisticInput in = cannonInput();
    const std::string names[] = {
        "M1: test", "a:b:c::", "", " leading blank", "Houfnice vz. 77 \xC5\xA0KODA \xC4\x8D\xC5\x99",
        std::string(299, 'x'),
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const bool crlf : {true, false}) {
            const std::string text = crlf ? reportText(name, in) : withoutCr(reportText(name, in));
            const auto loaded = load(text, sentinelInput());
            ASSERT_TRUE(loaded);
            EXPECT_EQ(loaded->weaponName, name);
            EXPECT_EQ(reportText(loaded->weaponName, loaded->input), reportText(name, in));
        }
    }
}

TEST(ReportReader, LfCrLfAndCrFilesLoadAlike)
{
    const std::string crlf = reportText("Gun", cannonInput());
    std::string cr = crlf;
    std::erase(cr, '\n');
    const auto a = load(crlf);
    for (const std::string& other : {withoutCr(crlf), cr}) {
        const auto b = load(other);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(a->weaponName, "Gun");
        EXPECT_EQ(b->weaponName, "Gun");
        EXPECT_EQ(fieldMap(a->input), fieldMap(b->input));
        EXPECT_EQ(a->input.grainType, b->input.grainType);
    }
}

TEST(ReportReader, AUtf16FileIsNoReport)
{
    std::string utf16 = "\xFF\xFE";
    for (char c : reportText("Gun", cannonInput()))
        utf16.append({c, '\0'});
    EXPECT_FALSE(load(utf16));
}

TEST(ReportReader, RestOfAnOverlongNameLineIsSkipped)
{
    const BallisticInput in = cannonInput();
    const std::string longName = std::string(298, 'a') + "bc: with a colon beyond the kept part";
    const auto loaded = load(reportText(longName, in), sentinelInput());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->weaponName, std::string(298, 'a') + "b");
    EXPECT_EQ(reportText("x", loaded->input), reportText("x", in));  // every value still found
}

TEST(ReportReader, FileEndingBeforeTheLastValueGivesNothing)
{
    const std::string full = reportText("Gun", cannonInput());
    const std::size_t stepColon = full.find("Computation Step [s]:") + 20;
    EXPECT_FALSE(load(""));
    EXPECT_FALSE(load("no colon at all"));
    EXPECT_FALSE(load(full.substr(0, full.find(" * Friction"))));
    EXPECT_FALSE(load(full.substr(0, stepColon + 1)));          // last colon, no number
    EXPECT_FALSE(load(full.substr(0, stepColon + 1) + "  \r\n"));  // only blanks after it
    EXPECT_TRUE(load(full.substr(0, full.find('\r', stepColon))));  // the number, no line end
}

TEST(ReportReader, UnreadableValuesKeepTheirCurrentValue)
{
    const BallisticInput current = sentinelInput();
    std::string text = reportText("Gun", cannonInput());
    const auto replaceValue = [&](const std::string& label, const std::string& with) {
        const std::size_t at = text.find(label);
        ASSERT_NE(at, std::string::npos) << label;
        const std::size_t colon = text.find(':', at);
        const std::size_t end = text.find('\r', colon);
        text.replace(colon + 1, end - colon - 1, with);
    };
    replaceValue(" Mass of Projectile mp", " abc");
    replaceValue(" Parasitic Volume Vp", " 1e999");     // overflows: not a finite number
    replaceValue(" Covolume of Propellant b", " nan");
    replaceValue(" Type of Grains", "      9");         // no such grain type
    replaceValue(" Slot Width SW", " -inf");
    replaceValue(" Travel of Projectile at xe [m]", " .e5");  // no digit before the exponent
    replaceValue(" Diameter of Grain", " 1e306");      // finite in m, not in the field's mm
    replaceValue(" Computation Step", "");              // nothing on its line
    const auto loaded = load(text, current);
    ASSERT_TRUE(loaded);
    std::vector<std::string> listed;
    for (const report::UnreadableValue& v : loaded->unreadable)
        listed.push_back(std::to_string(v.line) + ": " + report::unreadableMessage(v));
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "12: 'abc' is not a valid floating point value",
                          "16: '1e999' is not a valid floating point value",
                          "30: 'nan' is not a valid floating point value",
                          "45: '9' is not a valid integer value",
                          "46: '1e306' is not a valid floating point value",
                          "49: '-inf' is not a valid floating point value",
                          "54: '.e5' is not a valid floating point value",
                          "60: '' is not a valid floating point value",
                      }));
    EXPECT_EQ(loaded->input.D, -777);
    EXPECT_EQ(loaded->input.mp, -777);
    EXPECT_EQ(loaded->input.Vp, -777);
    EXPECT_EQ(loaded->input.b, -777);
    EXPECT_EQ(loaded->input.grainType, 3);
    EXPECT_EQ(loaded->input.SW, -777);
    EXPECT_EQ(loaded->input.xe, -777);
    EXPECT_DOUBLE_EQ(loaded->input.A, 7.3e-4);  // its neighbours are read
    EXPECT_DOUBLE_EQ(loaded->input.pxe0, 60e6);
}

TEST(ReportReader, GrainTypeBoundariesBothSides)
{
    const std::string full = reportText("Gun", cannonInput());
    const std::size_t at = full.find(" Type of Grains:") + 16;
    struct Case {
        const char* text;
        int expected;  // 3: the current value kept
    };
    const Case cases[] = {{"0", 3}, {"1", 1}, {"7", 7}, {"8", 3}, {"-1", 3}, {"+5", 5},
                          {"99999999999999999999", 3}, {"0x7", 7}, {"07", 7}, {"x", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = full;
        text.replace(at, 6, std::string(" ") + c.text);
        const auto loaded = load(text, sentinelInput());
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->input.grainType, c.expected);
    }
}

TEST(ReportReader, NumbersAreFoundByColonsNotByLabels)
{
    std::string text = "Weapon:  X\n";
    for (int i = 1; i <= 43; ++i)
        text += i == 31 ? "t:2\n" : "any label : " + std::to_string(i) + ".5e0 tail\n";
    const auto loaded = load(text);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->weaponName, " X");  // one character after the colon is skipped, no more
    EXPECT_EQ(loaded->input.A, 1.5);
    EXPECT_EQ(loaded->input.fbetaT, 30.5);
    EXPECT_EQ(loaded->input.grainType, 2);
    EXPECT_EQ(loaded->input.D, 32.5);
    EXPECT_EQ(loaded->input.dt, 43.5);
}

TEST(ReportReader, ValuesOnFollowingLinesAfterTheirColonAreRead)
{
    // Line ends count as white space before a number (and one ends it).
    std::string text = "W: n\r\n";
    for (int i = 1; i <= 43; ++i)
        text += i == 31 ? ":\r\n\r\n 4\r\n" : ":\r\n   -2.5E+01\r\n";
    const auto loaded = load(text);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->input.A, -25);
    EXPECT_EQ(loaded->input.grainType, 4);
}

TEST(ReportReader, NameLineEndingRightAfterTheColonGivesAnEmptyName)
{
    std::string values;
    for (int i = 1; i <= 43; ++i)
        values += i == 31 ? " x: 1\r\n" : " x: 0.25\r\n";
    for (const std::string head : {"Weapon:\r\n", "Weapon:\n"}) {
        const auto loaded = load(head + values);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->weaponName, "");
        EXPECT_EQ(loaded->input.A, 0.25);
    }
}

TEST(LoadFields, FillEveryNumericFieldOnceInItsFieldUnit)
{
    BallisticInput in = cannonInput();
    in.pxm = 1.65837e-3;  // tiny in MPa: scientific notation
    const auto texts = report::fieldTextsFor(in, ',');
    const char* order[] = {"A", "mp", "xm", "V0", "Tw", "Vp", "T0w", "h0", "Dw", "rhow", "Cpw", "f", "mrp",
                           "RR", "dt", "C", "F", "T0", "b", "gamma", "rho", "beta", "alpha", "CI", "FI",
                           "T0I", "bI", "gammaI", "fFT", "fbeta", "fbetaT", "fr", "xe0", "xe", "px0", "pxe0",
                           "pxe", "pxm", "D", "L", "P", "SW"};
    const std::map<std::string, std::string> m(texts.begin(), texts.end());
    ASSERT_EQ(texts.size(), std::size(order));
    ASSERT_EQ(m.size(), std::size(order));  // no field filled twice
    for (const char* parameter : order)
        EXPECT_TRUE(m.count(parameter)) << parameter;
    EXPECT_EQ(m.at("A"), "0,00073");
    EXPECT_EQ(m.at("T0w"), "21");
    EXPECT_EQ(m.at("dt"), "0,002");      // 2e-6 s shown in ms
    EXPECT_EQ(m.at("F"), "1050000");
    EXPECT_EQ(m.at("beta"), "3,2E-8");
    EXPECT_EQ(m.at("px0"), "30");         // Pa shown in MPa
    EXPECT_EQ(m.at("pxm"), "1,65837E-9");
    EXPECT_EQ(m.at("D"), "6");          // m shown in mm
    EXPECT_EQ(m.at("P"), "0,6");
    EXPECT_EQ(m.at("fr"), "1");
}
