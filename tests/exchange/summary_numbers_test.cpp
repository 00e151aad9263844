// A pair of anchors of which one settles along the pipe between them,
// under ASME Class 2 (2017), which has the Settlement case: the support
// load summary shows the axial load of the settlement whole beside the
// combination names of 21 characters, on screen, on paper and in the text
// report.
#include "exchange/data/english_head.h"
#include "exchange/exchange_fixture.h"

#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "platform/headless/headless_printing.h"
#include "results/results_state.h"
#include "results/support_summary.h"
#include "results/ui/result_choosers.h"
#include "results/ui/support_load_tables.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

// 100 in of 6 in STD (6.625 x 0.28 in) along X between anchors at 10 and
// 20; the anchor at 10 settles 0.1 in along -X. The pipe is at the
// installation temperature.
const std::string SETTLING_ANCHORS = "Settling anchors\n" + english_head("ASME-2017") +
                                     "P6,6.625,0.28\nLOADS\nL1,70,0\n"
                                     "LAYOUT\n"
                                     "F10,MA106B,PP6,CL=L1\n"
                                     "L10,KA,CSETT(-0.1,0,0)\n"
                                     "T20,X100,KA\n";

// The axial load of the settlement: the pipe between the anchors is a bar
// stretched by the settlement, F = E A d / L, with A the steel's area
// pi/4 (OD^2 - ID^2), E 27.9E6 psi, d 0.1 in, L 100 in (about 155 719 lb).
// The weight acts across the pipe and adds nothing along it. The anchor
// at 10 holds the pipe back towards -X (-F), the anchor at 20 towards +X.
double settlement_pull()
{
    const double od = 6.625, id = od - 2 * 0.28;
    const double area = std::numbers::pi / 4 * (od * od - id * id);
    return 27.9e6 * area * 0.1 / 100.0;
}

// A load as a text shows it, whole pounds without blanks, near the one
// expected: the program's single-precision values may differ from the
// hand calculation in the last pound.
::testing::AssertionResult whole_load(const std::string& text, double expected)
{
    const std::string digits = "-0123456789";
    if (text.empty() || text.find_first_not_of(digits) != std::string::npos)
        return ::testing::AssertionFailure() << "\"" << text << "\" is not a whole load";
    if (std::fabs(std::stod(text) - expected) > 1.0)
        return ::testing::AssertionFailure() << text << " is not " << expected;
    return ::testing::AssertionSuccess();
}

using SummaryNumbersInFull = ExchangeResultsTest;

}  // namespace

TEST_F(SummaryNumbersInFull, SettlingAnchorsShowTheirAxialLoadsWhole)
{
    ASSERT_NO_FATAL_FAILURE(open_analysed(SETTLING_ANCHORS));
    ASSERT_TRUE(support_summary_built());
    const double pull = settlement_pull();
    ASSERT_NEAR(pull, 155719.0, 1.0);

    // Screen: the anchor at 10 (support 1), its combinations with Settlement.
    set_summary_support(1);
    show_support_load_summary();
    TableWindow& t = support_summary_table(0);
    int rows = 0;
    for (int r = 1; r <= t.row_count; ++r) {
        const std::string name = t.cell_text(r, 1, 0);
        if (name.find("+Settlement") == std::string::npos)
            continue;
        ++rows;
        EXPECT_TRUE(whole_load(t.cell_text(r, 2, 0), -pull)) << name;
    }
    EXPECT_EQ(rows, 2);   // Sustained+Settlement and Operating1+Settlement

    // Paper: the loads drawn whole.
    HeadlessPrintDocument doc(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(doc, ReportJob{"Summary", [] { print_all_support_summaries(); }, false}));
    int drawn = 0;
    for (const auto& page : doc.pages())
        for (const std::string& op : page->lines_starting("text")) {
            const std::string shown = op.substr(op.find('"') + 1, op.rfind('"') - op.find('"') - 1);
            drawn += whole_load(shown, -pull) || whole_load(shown, pull);
        }
    EXPECT_EQ(drawn, 2 * 2 + 2);   // each anchor's two rows and its extreme

    // Text: under "FX (lb)" each anchor's load whole, after the name.
    const std::string text = report_render_text(ReportJob{"Summary", [] { print_all_support_summaries(); }, false}, false);
    std::istringstream in(text);
    std::size_t fx_end = 0;
    int found = 0, anchor = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.find("Load combination") != std::string::npos) {
            fx_end = line.find("FX (lb)") + 7;
            ++anchor;
        }
        if (line.rfind("   Operating1+Settlement ", 0) != 0)
            continue;
        // The load ends under the heading's end, a blank before it.
        ASSERT_LT(fx_end, line.size());
        const std::size_t blank = line.rfind(' ', fx_end - 1);
        ASSERT_NE(blank, std::string::npos);
        EXPECT_GT(blank, std::string("   Operating1+Settlement").size() - 1) << line;
        EXPECT_EQ(line[fx_end], ' ') << line;
        EXPECT_TRUE(whole_load(line.substr(blank + 1, fx_end - blank - 1), anchor == 1 ? -pull : pull)) << line;
        ++found;
    }
    EXPECT_EQ(found, 2);
}
