#include "batch/BatchHost.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace kalvex;
using namespace kalvex::batch;

TEST(BatchHost, HoldsFieldTextsAndWritesTheResultsAreaLineByLine)
{
    std::ostringstream memo;
    BatchHost host(memo, 6, false, SummaryOptions{false, true});
    EXPECT_EQ(host.fieldText("Edit15"), "");  // a field never set is empty, as in a new window
    host.setFieldText("Edit15", "0.002");
    host.setFieldText("Edit15", "0.004");     // the step doubled at the step limit
    EXPECT_EQ(host.fieldText("Edit15"), "0.004");
    host.appendLine(" Computation Step too short. Step was increased 2x.");
    host.appendLine("");
    EXPECT_EQ(memo.str(), " Computation Step too short. Step was increased 2x.\n\n");
    EXPECT_EQ(host.grainType(), 6);
    EXPECT_FALSE(host.heatTransfer());
    EXPECT_FALSE(host.summaryOptions().showGrains);
    EXPECT_TRUE(host.summaryOptions().showEnergy);
    EXPECT_EQ(host.decimalSeparator(), '.');
}
