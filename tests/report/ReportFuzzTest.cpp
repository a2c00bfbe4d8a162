// Damaged and random files fed to the reader: it must never crash or hang, must give nothing
// for a file that ends early, and must let through only numbers it really read, finite, with
// a known grain type; every other value keeps the one the program held before.

#include "SyntheticRun.h"
#include "core/input/InputFields.h"
#include "report/Report.h"
#include "report/ReportFields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>

using namespace kalvex;
using namespace kalvex::testing;

namespace {

constexpr int kDamagedFiles = 4000;
constexpr int kRandomFiles = 1000;

BallisticInput currentSet()
{
    BallisticInput s;
    for (const report::ValueLine& line : report::kValueLines)
        if (line.member)
            s.*line.member = -777;
    s.grainType = 3;
    return s;
}

// The reading rules written out with the C library's sscanf on a text without NUL bytes,
// as an independent route to what the reader must produce.
std::optional<report::LoadedReport> oracleLoad(const std::string& text, const BallisticInput& current)
{
    const char* p = std::strchr(text.c_str(), ':');
    if (!p)
        return std::nullopt;
    ++p;
    std::string name;
    if (*p && *p != '\r' && *p != '\n') {
        ++p;
        const std::size_t length = std::strcspn(p, "\r\n");  // CR, LF and CR LF end a line
        name.assign(p, std::min<std::size_t>(length, 299));
        p += length;
    }
    report::LoadedReport loaded{name, current, {}, {}};
    for (const report::ValueLine& line : report::kValueLines) {
        p = std::strchr(p, ':');
        if (!p)
            return std::nullopt;
        ++p;
        // Departing from scanf on purpose: text glued to a number makes it unreadable.
        const auto ends = [](char c) { return c == '\0' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        int used = 0;
        if (line.conversion == report::Conversion::GrainType) {
            long v = 0;
            const int n = std::sscanf(p, "%li%n", &v, &used);
            if (n == EOF)
                return std::nullopt;
            if (n == 1 && v >= 1 && v <= 7 && ends(p[used]))
                loaded.input.grainType = static_cast<int>(v);
            else
                loaded.unreadable.emplace_back();
        } else {
            double v = 0;
            const int n = std::sscanf(p, "%lf%n", &v, &used);
            if (n == EOF)
                return std::nullopt;
            // A value must also be finite in the unit its field shows (mm, ms, MPa).
            const InputField* field = findInputField(line.member);
            if (n == 1 && std::isfinite(v) && std::isfinite(v * field->toShown) && ends(p[used]))
                loaded.input.*line.member = v;
            else
                loaded.unreadable.emplace_back();
        }
    }
    return loaded;
}

std::string validReport(std::mt19937& rng)
{
    BallisticInput in = cannonInput();
    in.grainType = static_cast<int>(rng() % 7) + 1;
    std::ostringstream out;
    report::writeReport(out, rng() % 2 ? "M1: test" : "Houfnice \xC5\xA0KODA", in,
                        *syntheticRun(in, {45, 12, 1 + static_cast<int>(rng() % 46)}), 1 + static_cast<int>(rng() % 30));
    return out.str();
}

// One random damage: cut, delete, insert noise, overwrite, duplicate, or plant a nasty value.
void damage(std::string& text, std::mt19937& rng)
{
    static const std::string alphabet = "0123456789.eE+-: \r\n\txXpPinfaINFAb\xB0\xE8\xFF";
    static const std::string nasty[] = {"1e400", "-1e400", "9", "99999999999999999999999", "1e-400", "nan",
                                        ":", "::::", "0x", "1e", "\xFF\xFE", "inf", std::string(400, '7'),
                                        "1e306", "1e308", "\r"};
    if (text.empty())
        return;
    const auto pos = [&] { return static_cast<std::size_t>(rng() % text.size()); };
    switch (rng() % 7) {
    case 0: text.resize(pos()); break;
    case 1: text.erase(pos(), rng() % 200); break;
    case 2:
        for (int i = static_cast<int>(rng() % 8); i >= 0; --i)
            text.insert(pos(), 1, alphabet[rng() % alphabet.size()]);
        break;
    case 3: text[pos()] = alphabet[rng() % alphabet.size()]; break;
    case 4: {
        const std::size_t from = pos();
        text.insert(pos(), text.substr(from, rng() % 300));
        break;
    }
    case 5: {
        const std::size_t colon = text.find(':', pos());
        if (colon != std::string::npos)
            text.insert(colon + 1, " " + nasty[rng() % std::size(nasty)]);
        break;
    }
    case 6: text.erase(std::remove(text.begin(), text.end(), ':'), text.end()); break;
    }
}

void expectSafe(const std::optional<report::LoadedReport>& loaded, const BallisticInput& current)
{
    if (!loaded)
        return;
    EXPECT_GE(loaded->input.grainType, 1);
    EXPECT_LE(loaded->input.grainType, 7);
    for (const report::ValueLine& line : report::kValueLines) {
        if (line.member) {
            EXPECT_TRUE(std::isfinite(loaded->input.*line.member)) << line.label;
        }
    }
    EXPECT_EQ(loaded->input.heatTransfer, current.heatTransfer);
    EXPECT_LE(loaded->weaponName.size(), 299u * 3);  // at most three UTF-8 bytes per character
}

bool sameValues(const BallisticInput& a, const BallisticInput& b)
{
    for (const report::ValueLine& line : report::kValueLines)
        if (line.member && std::memcmp(&(a.*line.member), &(b.*line.member), sizeof(double)) != 0)
            return false;
    return a.grainType == b.grainType;
}

}  // namespace

TEST(ReportFuzz, DamagedReportsReadExactlyAsTheRulesSay)
{
    std::mt19937 rng(20261207);
    const BallisticInput current = currentSet();
    int loadedCount = 0;
    for (int i = 0; i < kDamagedFiles; ++i) {
        std::string text = validReport(rng);
        for (int d = 1 + static_cast<int>(rng() % 4); d > 0; --d)
            damage(text, rng);
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
        std::istringstream in(text);
        const auto ours = report::readReport(in, current);
        const auto expected = oracleLoad(text, current);
        expectSafe(ours, current);
        ASSERT_EQ(ours.has_value(), expected.has_value()) << "file " << i << ":\n" << text;
        if (ours) {
            ++loadedCount;
            // Names compare as bytes in the file; ours is already UTF-8.
            ASSERT_TRUE(sameValues(ours->input, expected->input)) << "file " << i << ":\n" << text;
            ASSERT_EQ(ours->unreadable.size(), expected->unreadable.size()) << "file " << i << ":\n" << text;
        }
    }
    // Both outcomes must really occur, or the test proves little.
    EXPECT_GT(loadedCount, kDamagedFiles / 10);
    EXPECT_LT(loadedCount, kDamagedFiles);
}

TEST(ReportFuzz, RandomBytesNeverCrashOrLetGarbageThrough)
{
    std::mt19937 rng(7);
    const BallisticInput current = currentSet();
    for (int i = 0; i < kRandomFiles; ++i) {
        std::string text(rng() % 5000, '\0');
        // Mostly colons and number characters, so that many files do reach 43 values.
        const bool numeric = i % 2 == 0;
        for (char& c : text)
            c = numeric ? ":0123456789.e-+ \n9"[rng() % 18] : static_cast<char>(rng() % 256);
        std::istringstream in(text);
        expectSafe(report::readReport(in, current), current);
    }
}

TEST(ReportFuzz, EndlessSourceStopsAtTheReadBudget)
{
    // A stream that never ends and holds no colon: the reader must give up, not wait.
    class Endless : public std::streambuf {
    protected:
        int_type underflow() override
        {
            static char block[4096];
            std::memset(block, 'a', sizeof block);
            setg(block, block, block + sizeof block);
            return 'a';
        }
    } endless;
    std::istream in(&endless);
    EXPECT_FALSE(report::readReport(in, currentSet()));
}
