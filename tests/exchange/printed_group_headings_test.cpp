// The printed tables of the results report of a line with a cold spring
// under each piping code whose pipe forces table differs (the standard
// table, the in/out-plane table with and without IGEM's SCFs, the BS 806
// table and the table without a code, each with and without its stress
// column: a cold spring case has none): on pages of three widths no group
// heading runs into the headings beside it, no text lies over another and
// no column of any table stands empty.
#include "exchange/data/english_head.h"
#include "exchange/exchange_fixture.h"
#include "exchange/printed_tables.h"

#include "framework/ui/report.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/results_report.h"

#include <memory>
#include <string>

namespace {

// A 6 in line from an anchor at 10 with a cut pipe (a cold spring of
// 0.5 in), a bend at 30, a welding tee at 40 with a 4 in branch to an
// anchor at 60, and an anchor at 50.
std::string cold_spring_line(const std::string& code)
{
    return "Line with cold spring\n" + english_head(code) +
           "P6,6.625,0.28\n"
           "P4,4.5,0.237\n"
           "LOADS\n"
           "L1,400,500\n"
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n"
           "T20,X100\n"
           "T25,X10,JC,CSHORT=0.5\n"
           "T30,X100,KI\n"
           "T40,Y100,KT\n"
           "T50,Y100,KA\n"
           "F40,PP4\n"
           "T60,Z80,KA\n";
}

using PrintedGroupHeadings = ExchangeResultsTest;

}  // namespace

TEST_F(PrintedGroupHeadings, EveryTableVariantPrintsItsHeadingsApartAndNoColumnEmpty)
{
    for (const char* code : {"B311", "B313", "B318", "IGEM", "BS806", "None", "ASME-2017"}) {
        SCOPED_TRACE(code);
        ASSERT_NO_FATAL_FAILURE(open_analysed(cold_spring_line(code)));
        // The cold spring cases are among the results: their tables have no
        // stress column.
        EXPECT_TRUE(results().available.has(LC_COLD_SPRING) && results().available.has(15));
        for (const PageSetup& setup : printed_page_setups()) {
            SCOPED_TRACE(setup.paper + (setup.orientation ? " across" : ""));
            HeadlessPrintDocument doc(setup, 96);
            ASSERT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
            expect_clean_pages(doc);
            for (std::size_t p = 0; p < doc.pages().size(); ++p)
                for (const std::string& fault : blank_printed_columns(*doc.pages()[p]))
                    ADD_FAILURE() << "page " << p + 1 << ": " << fault;
        }
    }
}
