// The propellant library: the shipped file, malformed rows, applying a row, the user's file.

#include "CaseInput.h"

#include "core/results/Errors.h"
#include "core/propellant/PropellantLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

using namespace kalvex;

namespace {

const std::string kShipped = KALVEX_DATA_DIR "/propellants.json";

PropellantLibrary libraryOf(const std::string& text, const std::string& fileName, bool user,
                            PropellantLibrary library = {})
{
    std::istringstream in(text);
    readPropellantRows(in, fileName, user, library);
    return library;
}

std::string row(const std::string& name, const std::string& values)
{
    return R"({"name": ")" + name + R"(", )" + values + "}";
}

const std::string kGoodValues =
    R"("F": 1.0e6, "T0": 3000, "b": 1.0e-3, "gamma": 1.24, "rho": 1600, "beta": 3e-9, "alpha": 0.9)";

}  // namespace

TEST(PropellantLibrary, ShippedRowsLoadWithSourcesAndPassTheInputRules)
{
    const PropellantLibrary library = loadPropellantLibrary({kShipped, "/nonexistent/user.json"});
    EXPECT_TRUE(library.problems.empty()) << library.problems.front();
    ASSERT_GE(library.rows.size(), 10u);
    for (const Propellant& p : library.rows) {
        SCOPED_TRACE(p.name);
        EXPECT_FALSE(p.source.empty());
        EXPECT_FALSE(p.family.empty());
        BallisticInput in = test::inputFromCase("gun155_7perf");
        applyPropellant(p, in);
        EXPECT_EQ(test::validationMessage(in), "");
    }
    EXPECT_NE(library.find("M30"), nullptr);
    EXPECT_NE(library.find("JA2"), nullptr);
}

TEST(PropellantLibrary, MalformedRowsAreNamedByFileAndRowAndTheRestLoads)
{
    const std::string text = R"({"propellants": [)" + row("Good", kGoodValues) + "," +
                             row("NoForce", R"("T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": 3e-9, "alpha": 0.9)") + "," +
                             row("Text", R"("F": "1e6", "T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": 3e-9, "alpha": 0.9)") + "," +
                             row("ZeroRate", R"("F": 1e6, "T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": 0, "alpha": 0.9)") + "," +
                             row("GammaOne", R"("F": 1e6, "T0": 3000, "b": 1e-3, "gamma": 1, "rho": 1600, "beta": 3e-9, "alpha": 0.9)") + "," +
                             R"({"F": 1e6})" + "," +
                             row("Huge", R"("F": 1e999, "T0": 3000, "b": 1e-3, "gamma": 1.24, "rho": 1600, "beta": -1e999, "alpha": 0.9)") + "," +
                             row("Also good", kGoodValues) + "]}";
    const PropellantLibrary library = libraryOf(text, "/home/u/propellants.json", true);
    ASSERT_EQ(library.rows.size(), 2u);
    EXPECT_EQ(library.rows[0].name, "Good");
    EXPECT_EQ(library.rows[1].name, "Also good");
    const std::vector<std::string> expected = {
        "/home/u/propellants.json: row 2 (NoForce): F is missing",
        "/home/u/propellants.json: row 3 (Text): F is not a number",
        "/home/u/propellants.json: row 4 (ZeroRate): Burning Rate Coeff. for Prop. beta less than "
        "or equal to 0 m/s/Pa",
        "/home/u/propellants.json: row 5 (GammaOne): Ratio of specific Heats for Propellant gamma "
        "less than or equal to 1",
        "/home/u/propellants.json: row 6: name is missing",
        "/home/u/propellants.json: row 7 (Huge): F is not a number",  // beyond a double: its row alone
    };
    EXPECT_EQ(library.problems, expected);

    // A file that is no JSON at all is one problem and no rows; the shipped rows stay.
    const PropellantLibrary broken = libraryOf("{\"propellants\": [", "u.json", true,
                                               loadPropellantLibrary({kShipped, ""}));
    EXPECT_GE(broken.rows.size(), 10u);
    ASSERT_EQ(broken.problems.size(), 1u);
    EXPECT_EQ(broken.problems[0].rfind("u.json: not a propellant library", 0), 0u);
}

TEST(PropellantLibrary, AUserRowWithAShippedNameIsListedAsTheUsersAfterTheShippedRows)
{
    PropellantLibrary library = loadPropellantLibrary({kShipped, ""});
    const std::size_t shipped = library.rows.size();
    library = libraryOf(R"({"propellants": [)" + row("M30", kGoodValues) + "," +
                            row("Mine", kGoodValues) + "]}",
                        "user.json", true, std::move(library));
    ASSERT_EQ(library.rows.size(), shipped + 1);
    EXPECT_EQ(library.rows[shipped - 1].name, "M30");
    EXPECT_TRUE(library.rows[shipped - 1].fromUser);
    EXPECT_EQ(library.find("M30")->F, 1.0e6);
    EXPECT_EQ(propellantSourceText(*library.find("M30")), "user library");
    EXPECT_EQ(library.rows.back().name, "Mine");
}

TEST(PropellantLibrary, SavingAddsOrReplacesARowAndNeverOverwritesAForeignFile)
{
    Propellant p = propellantFromInput(test::inputFromCase("gun155_7perf"), "Lot 42");
    const std::string first = userLibraryTextWith("", "u.json", p);
    p.F = 1.05e6;
    const std::string second = userLibraryTextWith(first, "u.json", p);
    const PropellantLibrary saved = libraryOf(second, "u.json", true);
    ASSERT_EQ(saved.rows.size(), 1u);
    EXPECT_EQ(saved.rows[0].F, 1.05e6);
    EXPECT_EQ(saved.rows[0].beta, p.beta);  // the text keeps every bit

    EXPECT_THROW(userLibraryTextWith("[1, 2]", "u.json", p), InputError);
    EXPECT_THROW(userLibraryTextWith("not json", "u.json", p), InputError);
    p.alpha = 0.4;
    EXPECT_THROW(userLibraryTextWith("", "u.json", p), InputError);
}

TEST(PropellantLibrary, TheUserFileFollowsXdgDataHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string restore = saved != nullptr ? saved : "";
    ::setenv("XDG_DATA_HOME", "/data/me", 1);
    EXPECT_EQ(userPropellantPath(), "/data/me/kalvex/propellants.json");
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(userPropellantPath(),
              std::string(std::getenv("HOME")) + "/.local/share/kalvex/propellants.json");
    if (saved != nullptr)
        ::setenv("XDG_DATA_HOME", restore.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}
