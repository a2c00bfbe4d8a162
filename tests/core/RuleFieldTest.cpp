#include "CaseInput.h"

#include "core/input/RuleField.h"

#include <gtest/gtest.h>

using namespace kalvex;
using namespace kalvex::test;

// Every rule that a bad value of one field breaks names that field, whichever grain type
// decides which size rules apply.
TEST(RuleField, EachFailedRuleNamesTheFieldWhoseValueBrokeIt)
{
    for (const char* name : {"rifle_tube", "gun155_7perf"}) {
        const BallisticInput good = inputFromCase(name);
        for (const InputField& field : kInputFields) {
            for (const double bad : {-1e30, 1e30}) {
                BallisticInput in = good;
                in.*field.quantity = bad;
                const std::string message = validationMessage(in);
                if (message.empty())
                    continue;
                const InputField* named = fieldOfRuleMessage(message);
                ASSERT_NE(named, nullptr) << message;
                // a rule comparing two values names one of them: xe0 > xm names xe0
                if (named != &field) {
                    EXPECT_TRUE(message.find(std::string(" ") + field.name) != std::string::npos)
                        << message << " from " << field.name;
                }
            }
        }
    }
    EXPECT_EQ(fieldOfRuleMessage("Mean Pressure over 2000 MPa."), nullptr);
}
