// A batch run of a line whose nozzle settles: under a piping code with the
// Settlement case the report holds the case and standard error says nothing
// of the settlement; under B31.3 the report has no such case and standard
// error names the settlement that is not analysed.
#include "batch_runs.h"
#include "exchange/data/settling_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using batch_runs::bytes_of;

class SettlementByDefault : public batch_runs::ScratchFolderTest {
protected:
    // Runs the line under `code`: the exit code.
    int run(const std::string& code) const
    {
        std::ofstream(scratch / "tank.mbf") << settling_line(code);
        return batch_runs::finish_program(batch_runs::start_program(scratch, "tank.mbf", scratch / "stderr.txt"));
    }
    std::string err() const { return bytes_of(scratch / "stderr.txt"); }
    std::string report() const { return bytes_of(scratch / "tank.txt"); }
};

const std::string NOT_ANALYSED = "The settlement given at node 10 is not analysed";

}  // namespace

TEST_F(SettlementByDefault, BatchRunReportsTheCaseOrNamesTheSettlementOnStandardError)
{
    ASSERT_EQ(run("ASME-2017"), 0) << err();
    EXPECT_EQ(err().find(NOT_ANALYSED), std::string::npos) << err();
    EXPECT_NE(report().find(": Settlement"), std::string::npos);

    ASSERT_EQ(run("B313"), 0) << err();
    EXPECT_NE(err().find(NOT_ANALYSED + ": B31.3 (2018) has no Settlement load case"), std::string::npos) << err();
    EXPECT_EQ(report().find(": Settlement"), std::string::npos);
}
