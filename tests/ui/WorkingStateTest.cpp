// The main window's record of its work, without a window: the "modified" rule and the checked
// input set the Study window takes as its base.
#include "CaseInput.h"

#include "core/results/Errors.h"
#include "ui/WorkingState.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kalvex;
using namespace kalvex::test;

TEST(WorkingState, ModifiedMeansTheFieldsDifferFromTheReportInTheTitle)
{
    const BallisticInput rifle = inputFromCase("rifle_tube");
    ui::WorkingState state;
    state.shown = rifle;
    state.shown.C *= 2;
    EXPECT_FALSE(ui::inputsModified(state)) << "no report is named";

    state.fileInput = rifle;
    EXPECT_TRUE(ui::inputsModified(state));
    state.shown = rifle;
    EXPECT_FALSE(ui::inputsModified(state));

    struct Change {
        const char* what;
        void (*apply)(ui::WorkingState&);
    };
    const Change changes[] = {
        {"one quantity by its last bit", [](ui::WorkingState& s) { s.shown.C = std::nextafter(s.shown.C, 1.0); }},
        {"the grain type", [](ui::WorkingState& s) { s.shown.grainType = s.shown.grainType % 7 + 1; }},
        {"the heat transfer", [](ui::WorkingState& s) { s.shown.heatTransfer = !s.shown.heatTransfer; }},
        {"a field that does not read", [](ui::WorkingState& s) { s.unreadable = "Edit7 is no number"; }},
    };
    for (const Change& change : changes) {
        ui::WorkingState changed;
        changed.shown = rifle;
        changed.fileInput = rifle;
        change.apply(changed);
        EXPECT_TRUE(ui::inputsModified(changed)) << change.what;
    }
}

TEST(WorkingState, TheCheckedInputCarriesTheMessageOfTheFieldOrRuleAtFault)
{
    ui::WorkingState state;
    state.shown = inputFromCase("rifle_tube");
    EXPECT_EQ(ui::checkedShownInput(state).C, state.shown.C);

    state.unreadable = "a text that is no number";
    try {
        ui::checkedShownInput(state);
        ADD_FAILURE() << "an unreadable field was taken";
    } catch (const InputError& e) {
        EXPECT_STREQ(e.what(), "a text that is no number");
    }

    state.unreadable.clear();
    state.shown.mp = 0;
    const std::string rule = validationMessage(state.shown);
    ASSERT_FALSE(rule.empty());
    try {
        ui::checkedShownInput(state);
        ADD_FAILURE() << "a broken rule was taken";
    } catch (const InputError& e) {
        EXPECT_EQ(e.what(), rule);
    }
}
