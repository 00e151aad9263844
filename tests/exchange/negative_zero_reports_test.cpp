// No printed value of a realistic model's results is a signed zero: the
// text report, the CSV report and every cell and heading of every result
// table of the sample model and of a generated plant network with gaps and
// friction (whose supports that carry nothing give loads of a few
// millionths of a pound either way) read "0.000", never "-0.000".
#include "../bench/piping_network.h"
#include "exchange/exchange_fixture.h"
#include "exchange/result_tables_walk.h"

#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "results/ui/results_report.h"

#include <regex>
#include <string>
#include <vector>

namespace {

// A number whose digits are all zero with a '-' in front: "-0", "-0.000",
// "-0.00E+00", standing on its own (not the end of "1.5E-06" or a name).
const std::regex SIGNED_ZERO(R"((^|[^0-9A-Za-z.+-])-0(\.0*)?([eE][+-]?[0-9]+)?($|[^0-9.]))");

class NegativeZero : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    void expect_no_signed_zero(const std::string& batch, const std::string& model)
    {
        SCOPED_TRACE(model);
        terminate_results();
        script().answer_file(write("model.mbf", batch));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        const ReportJob job = results_report_job(default_report_selection());
        for (bool csv : {false, true}) {
            const std::string text = report_render_text(job, csv);
            std::smatch m;
            EXPECT_FALSE(std::regex_search(text, m, SIGNED_ZERO)) << (csv ? "CSV: " : "text: ") << m.str();
        }
        int cells = 0;
        walk_result_tables([&](const std::string& what) {
            TableWindow* t = results_table_view().table();
            ASSERT_NE(t, nullptr) << what;
            for (int c = 1; c <= t->columns(); ++c)
                for (int line = 0; line < t->header_lines; ++line)
                    EXPECT_FALSE(std::regex_search(t->header_text(c, line), SIGNED_ZERO)) << results_frame().title_text;
            for (int r = 1; r <= t->row_count; ++r) {
                t->prepare_row(r);
                for (int c = 1; c <= t->columns(); ++c)
                    for (int line = 0; line < t->text_lines; ++line) {
                        const std::string text = t->cell_text(r, c, line);
                        ++cells;
                        EXPECT_FALSE(std::regex_search(text, SIGNED_ZERO))
                            << results_frame().title_text << " row " << r << " column " << c << ": " << text;
                    }
            }
        });
        EXPECT_GT(cells, 1000);
    }
};

}  // namespace

TEST_F(NegativeZero, ReportsCsvAndTablesOfRealisticModelsShowNoSignedZero)
{
    expect_no_signed_zero(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample");
    piping_network::Options o;
    o.rows = 200;
    o.seed = 5;
    expect_no_signed_zero(piping_network::batch_text(o), "network");
}
