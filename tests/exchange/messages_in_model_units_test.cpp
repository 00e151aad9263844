// A batch run of a model in newtons and millimetres says what its hanger
// design found in newtons: on standard error and in its report, under the
// heading of the hanger design and under the hanger's row of the hanger
// report. The load is worked by hand (hanger_models.h).
#include "exchange_fixture.h"

#include "exchange/batch_runs.h"
#include "exchange/hanger_models.h"
#include "exchange/text_pages.h"
#include "number_in_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class MessagesInModelUnits : public ExchangeProgramTest {};

}  // namespace

TEST_F(MessagesInModelUnits, SiHangerWarningInNewtonsOnStandardErrorAndInTheBatchReport)
{
    const double load = hanger_models::si_riser_spring_load();
    ASSERT_LT(load, -4000.0);
    const std::filesystem::path folder = path("batch");
    std::string said;
    ASSERT_EQ(hanger_models::run_batch(folder, "riser.mbf", hanger_models::SI_RISER, said), 0) << said;

    // Standard error: the warning under its heading, its load in newtons.
    const std::string head = "The hanger design:\nRow 3: the hanger at node 20 carries no load upwards (";
    const std::size_t at = said.find(head);
    ASSERT_NE(at, std::string::npos) << said;
    const std::string line = said.substr(at + head.size() - 1, said.find('\n', at + head.size()) - at - head.size() + 1);
    EXPECT_TRUE(line.ends_with(" N): it is not designed")) << line;
    EXPECT_NEAR(number_before(line, " N)"), load, 1e-4 * std::fabs(load)) << line;
    EXPECT_EQ(said.find(" lb"), std::string::npos) << said;

    // The report: the hanger's row says it was not designed, and under it
    // why, with the same load in newtons; then the warning.
    const std::string report = read_as_one(batch_runs::bytes_of(folder / "riser.txt"));
    const std::size_t warning = report.find("The hanger design: Row 3: the hanger at node 20 carries no load upwards " +
                                            line);
    EXPECT_NE(warning, std::string::npos) << report;
    const std::size_t row = report.find(" Not designed ", report.find("Hanger Report (1)"));
    ASSERT_NE(row, std::string::npos) << report;
    EXPECT_EQ(report.find("The hanger carries no load upwards " + line, row), report.find("The hanger carries"))
        << report;
    EXPECT_LT(report.find("The hanger carries no load upwards " + line, row), warning) << report;
}
