// A hanger the design leaves without a design says why: the report printed
// from the windows carries the run's warnings of its hanger design as a
// batch run's report does, also from results opened again from their files,
// and the hanger report's row of the hanger says it was not designed and
// why: on screen and in CSV in its Figure cell, on paper and in the text
// report under the row.
#include "exchange_fixture.h"

#include "exchange/hanger_models.h"
#include "exchange/text_pages.h"
#include "number_in_text.h"
#include "results/ui/hanger_report_ui.h"
#include "results/ui/results_hooks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string WARNING_HEAD = "Row 3: the hanger at node 20 carries no load upwards (";
const std::string NOTE_HEAD = "The hanger carries no load upwards (";
const std::string NOT_DESIGNED_TAIL = " N): it is not designed";

class UndesignedHangerSaysWhy : public ExchangeResultsTest {
protected:
    // The text that begins with `head` and ends the sentence of the
    // undesigned spring, its load the one worked by hand.
    static void expect_said(const std::string& text, const std::string& head, const std::string& where)
    {
        const std::size_t at = text.find(head);
        ASSERT_NE(at, std::string::npos) << where << ":\n" << text;
        const std::size_t end = text.find(NOT_DESIGNED_TAIL, at);
        ASSERT_NE(end, std::string::npos) << where << ": " << text.substr(at, 200);
        const std::string said = text.substr(at, end + NOT_DESIGNED_TAIL.size() - at);
        const double load = hanger_models::si_riser_spring_load();
        EXPECT_NEAR(number_before(said, " N)"), load, 1e-4 * std::fabs(load)) << where << ": " << said;
    }
};

}  // namespace

TEST_F(UndesignedHangerSaysWhy, ReportFromTheWindowsAndTheHangerRowSayWhy)
{
    // The riser's spring pushed off (its load w l / 2 - 5000 N is below 0).
    ASSERT_LT(hanger_models::si_riser_spring_load(), -4000.0);
    hanger_models::write_catalogue(path(""));
    open_saved_batch(hanger_models::SI_RISER, "riser.mod");
    ASSERT_FALSE(batch_mode());
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());

    // The hanger report on screen: the Figure cell says it, with the reason.
    results_hooks().show[RESULT_HANGER_REPORT]();
    TableWindow& t = hanger_report_table();
    ASSERT_EQ(t.row_count, 1);
    const std::string figure = t.cell_text(1, 5, 0);
    EXPECT_EQ(figure.rfind("Not designed: the hanger carries no load upwards (", 0), 0u) << figure;
    expect_said(figure, "Not designed: the hanger carries no load upwards (", "screen");
    // In CSV the same cell.
    expect_said(table_report_text(t, true), "Not designed: the hanger carries no load upwards (", "CSV");

    // The report printed to a text file: the warning under its heading after
    // the hanger report, whose row says "Not designed" and, under it, why.
    for (const char* when : {"after Analyze", "opened again from the files"}) {
        SCOPED_TRACE(when);
        const std::string report = printed_report();
        const std::string whole = read_as_one(report);
        const std::size_t table = whole.find("Hanger Report (1)");
        ASSERT_NE(table, std::string::npos);
        const std::size_t heading = whole.find("The hanger design:", table);
        ASSERT_NE(heading, std::string::npos) << whole.substr(table, 2000);
        expect_said(whole.substr(heading), "The hanger design: " + WARNING_HEAD, "warnings");
        const std::string rows = whole.substr(table, heading - table);
        EXPECT_NE(rows.find(" Not designed "), std::string::npos) << rows;
        expect_said(rows, NOTE_HEAD, "row note");
        // The results again, from their files.
        terminate_results();
        open_by_extension(path("model.res"));
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }

    // On paper: "Not designed" in the row, the reason under it.
    std::string drawn;
    for (const std::string& text : drawn_report())
        drawn += (drawn.empty() ? "" : " ") + text;
    EXPECT_NE(drawn.find("Not designed"), std::string::npos);
    expect_said(drawn, NOTE_HEAD, "pages");
    expect_said(drawn, WARNING_HEAD, "pages");
}
