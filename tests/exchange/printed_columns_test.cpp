// Printed tables keep all of a row's columns on one page width: the Code
// compliance table whose "Not checked" reasons are longer than the page is
// wide (with the evaluation's notes under it), and every table of generated
// plant models, printed as Print prints them (tests/printed_rows.h reads
// the rows back from the pages).
#include "../bench/piping_network.h"
#include "exchange/data/code_stress_models.h"
#include "exchange/exchange_fixture.h"
#include "exchange/printed_tables.h"

#include "codes/code_driver.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "page_layout.h"
#include "printed_rows.h"
#include "results/results_state.h"
#include "results/ui/stress_result_tables.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

class PrintedColumnsTogether : public ExchangeProgramTest {
protected:
    // Imports the batch text, lets `change` edit the model, analyses it and
    // opens its results.
    template <typename F>
    void open(const std::string& text, F change)
    {
        terminate_results();
        script().answer_file(write("model.mbf", text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        change();
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        set_report_date("1 Jan 2025");
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // The code compliance printed alone: every row whole on one page width,
    // with the reason of a row not checked under it, the five
    // column headings under every title bar; how many rows are not checked.
    int expect_compliance_rows_whole()
    {
        show_code_compliance();
        TableWindow& t = code_compliance_table();
        const auto doc = print_alone(t);
        expect_clean_pages(*doc);
        for (const std::string& fault : rows_not_printed_together(*doc, t))
            ADD_FAILURE() << fault;
        for (std::size_t p = 0; p < doc->pages().size(); ++p) {
            std::vector<std::string> texts;
            for (const DrawnText& d : drawn_texts(*doc->pages()[p]))
                texts.push_back(d.text);
            for (const char* heading : {"Node", "Load case", "Stress", "Allowable", "Ratio"})
                EXPECT_EQ(std::count(texts.begin(), texts.end(), heading), 1) << "page " << p + 1 << " " << heading;
        }
        // The evaluation's notes under the rows, as in the text report, each
        // whole and within the page however long it is.
        const std::vector<TextRun> runs = text_runs(*doc);
        for (const std::string& note : code_evaluation_notes(results().code))
            EXPECT_TRUE(std::any_of(runs.begin(), runs.end(),
                                    [&note](const TextRun& run) { return run_holds(run, folded_blanks(note)); }))
                << note;
        int unchecked = 0;
        for (int r = 1; r <= t.row_count; ++r)
            unchecked += t.cell_text(r, 4, 0).rfind("Not checked: ", 0) == 0 ? 1 : 0;
        return unchecked;
    }
};

// A material without the allowables of its table: every row of a plant
// network of 300 rows reads "Not checked: the material's allowable stress
// is not given at every temperature of its table", 93 characters, wider
// than a Letter page's 84 under the report font; its rows and their
// reasons stand whole under the five headings on every page.
TEST_F(PrintedColumnsTogether, CodeComplianceRowsOfAPlantStandWholeWithTheirReasons)
{
    piping_network::Options o;
    o.rows = 300;
    o.seed = 3;
    std::string text = piping_network::batch_text(o);
    const std::string hot_row = "A106B,700,27.9E6,8.1E-6,16000";
    ASSERT_NE(text.find(hot_row), std::string::npos);
    text.replace(text.find(hot_row), hot_row.size(), "A106B,700,27.9E6,8.1E-6,0");
    ASSERT_NO_FATAL_FAILURE(open(text, [] {}));
    EXPECT_GT(expect_compliance_rows_whole(), 1000);
}

// The branch of the tee model of a material without its yield strength
// under Z662: its rows are not checked, the run's are; both kinds of row
// stand whole, the reasons under their rows, the evaluation's
// note of the material under them.
TEST_F(PrintedColumnsTogether, CheckedAndUncheckedRowsStandWholeSideBySide)
{
    std::string text = code_stress_models::tee_model_text({"Z662", "", "", false, false, "350,300"});
    const std::string material_end = "MAT,700,25.5E6,8.1E-6,16000,30000\n";
    ASSERT_NE(text.find(material_end), std::string::npos);
    text.insert(text.find(material_end) + material_end.size(),
                "BARE,0.283,0.3,1,1\nBARE,70,27.9E6,6.0E-6,20000,0\nBARE,700,25.5E6,8.1E-6,16000,0\n");
    ASSERT_NE(text.find("F20,PP4"), std::string::npos);
    text.replace(text.find("F20,PP4"), 7, "F20,MBARE,PP4");
    ASSERT_NO_FATAL_FAILURE(open(text, [] {}));
    const int unchecked = expect_compliance_rows_whole();
    EXPECT_FALSE(code_evaluation_notes(results().code).empty());
    EXPECT_GT(unchecked, 0);
    EXPECT_LT(unchecked, code_compliance_table().row_count);
}

// Every table of generated plant networks (with gaps and friction, and
// their linear twins of rigid restraints): each input list and each result
// table, printed alone on Letter and on A4 pages, prints every row whole on
// one page width, and no two texts of a page lie over each other.
TEST_F(PrintedColumnsTogether, EveryTableOfGeneratedModelsPrintsItsRowsWhole)
{
    PageSetup a4;
    a4.paper = "A4";
    a4.margin_left = a4.margin_right = 1000;
    int tables = 0, tiered = 0;
    for (const bool rigid : {false, true}) {
        SCOPED_TRACE(rigid ? "rigid" : "with gaps and friction");
        piping_network::Options o;
        o.rows = 160;
        o.seed = rigid ? 5 : 4;
        o.rigid = rigid;
        ASSERT_NO_FATAL_FAILURE(open(piping_network::batch_text(o), [] {}));
        for_each_shown_table(
            [&](TableWindow& t, const std::string& what) {
                SCOPED_TRACE(what);
                for (const PageSetup& setup : {PageSetup{}, a4}) {
                    const auto doc = print_alone(t, setup);
                    expect_clean_pages(*doc);
                    // The materials list prints the materials' report, not its rows.
                    if (what == "Materials")
                        continue;
                    for (const std::string& fault : rows_not_printed_together(*doc, t))
                        ADD_FAILURE() << fault;
                    std::vector<std::string> texts;
                    for (const DrawnText& d : drawn_texts(*doc->pages()[0]))
                        texts.push_back(d.text);
                    tiered += std::count(texts.begin(), texts.end(), t.header_text(1, 0)) >= 2 ? 1 : 0;
                }
                ++tables;
            },
            true);
    }
    EXPECT_GT(tables, 60);
    EXPECT_GT(tiered, 5);   // among them tables in tiers
}

}  // namespace
