// What stands on a page of the results report: every line of the text
// report within its 88 columns (the reasons of rows that are not checked
// and the notes under the stress tables broken at their blanks, wide input
// tables in tiers), a row's note on the page of its row, a heading on the
// page of its first table; and on paper the reason under its row, with the
// Allowable column as wide as its numbers. Models imported from batch
// files, analysed and opened: the tee model under Z662 with a branch of a
// material without yield strength (checked and unchecked rows, the
// evaluation's note of the material), under B31.4 (expansion stresses on
// the reference modulus) and a generated plant network with anchors,
// guides and stops.
#include "../bench/piping_network.h"
#include "exchange/data/code_stress_models.h"
#include "exchange/exchange_fixture.h"
#include "exchange/text_pages.h"

#include "codes/code_driver.h"
#include "codes/stress_display.h"
#include "framework/commands.h"
#include "framework/units.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/results_report.h"
#include "results/ui/stress_result_tables.h"
#include "results/ui/support_load_tables.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string REASON = "Not checked: the material has no specified minimum yield strength";

class StressReportPages : public ExchangeProgramTest {
protected:
    void open(const std::string& text)
    {
        terminate_results();
        script().answer_file(write("model.mbf", text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        set_report_date("1 Jan 2025");
    }
    // The tee model under Z662, its 4 in branch of BARE, a material without
    // yield strength: the branch's rows are not checked, the run's are.
    void open_mixed_z662()
    {
        std::string text = code_stress_models::tee_model_text({"Z662", "", "", false, false, "350,300"});
        const std::string material_end = "MAT,700,25.5E6,8.1E-6,16000,30000\n";
        ASSERT_NE(text.find(material_end), std::string::npos);
        text.insert(text.find(material_end) + material_end.size(),
                    "BARE,0.283,0.3,1,1\nBARE,70,27.9E6,6.0E-6,20000,0\nBARE,700,25.5E6,8.1E-6,16000,0\n");
        ASSERT_NE(text.find("F20,PP4"), std::string::npos);
        text.replace(text.find("F20,PP4"), 7, "F20,MBARE,PP4");
        ASSERT_NO_FATAL_FAILURE(open(text));
        ASSERT_FALSE(code_evaluation_notes(results().code).empty());
    }
    void TearDown() override
    {
        stress_display_flags().ratio_kind = RATIO_SUSTAINED;
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // The text report of `filler` lines of text and then what `write` writes.
    static std::string report_after(int filler, const std::function<void()>& write)
    {
        return report_render_text(ReportJob{"Report", [filler, write] {
                                                for (int i = 1; i <= filler; ++i)
                                                    report_line("Line " + std::to_string(i));
                                                write();
                                            },
                                            false},
                                  false);
    }
    static std::vector<std::string> lines_of(const std::string& text)
    {
        std::vector<std::string> out;
        for (const std::vector<std::string>& page : page_bodies(text))
            out.insert(out.end(), page.begin(), page.end());
        return out;
    }
    static void expect_within_page(const std::string& text)
    {
        for (const std::string& line : lines_of(text))
            EXPECT_LE(drawn_chars(line), 88) << line;
    }
    // A row of the stress tables: its node from column 6.
    static bool stress_row(const std::string& line)
    {
        return line.size() > 5 && std::isdigit(static_cast<unsigned char>(line[5])) && line.substr(0, 5) == "     ";
    }
    // A line under a stress row: a reason from column 14, a note from column 6.
    static bool under_row(const std::string& line)
    {
        return line.rfind(std::string(13, ' ') + "Not checked", 0) == 0 ||
               (line.size() > 5 && line.substr(0, 5) == "     " && std::isalpha(static_cast<unsigned char>(line[5])) &&
                line.find("Node") == std::string::npos);
    }
};

std::vector<std::string> words_of(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    if (out.empty())
        out.emplace_back();
    return out;
}

class PageWidth : public StressReportPages {};
class NoteKeepsWithRow : public StressReportPages {};
class HeadingKeepsWithTable : public StressReportPages {};
class PrintedNotes : public StressReportPages {};

}  // namespace

// Every unchecked row of the code compliance has its reason on the line
// under it from column 14 (the row's allowable and ratio left empty); the
// evaluation's note of the material, longer than a line, is broken at its
// blanks and reads whole again; no line passes column 88.
TEST_F(PageWidth, NotCheckedReasonsAndNotesStandUnderTheirRows)
{
    ASSERT_NO_FATAL_FAILURE(open_mixed_z662());
    show_code_compliance();
    TableWindow& t = code_compliance_table();
    int unchecked = 0;
    for (int r = 1; r <= t.row_count; ++r)
        unchecked += t.cell_text(r, 4, 0) == REASON ? 1 : 0;
    ASSERT_GT(unchecked, 0);
    ASSERT_LT(unchecked, t.row_count);
    const std::string text = table_report_text(t, false);
    expect_within_page(text);
    const std::vector<std::string> lines = lines_of(text);
    int under = 0;
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (lines[i] == std::string(13, ' ') + REASON) {
            ++under;
            EXPECT_TRUE(stress_row(lines[i - 1])) << lines[i - 1];
            EXPECT_LE(lines[i - 1].size(), 52u) << "an allowable or ratio beside the reason: " << lines[i - 1];
        }
    EXPECT_EQ(under, unchecked);
    for (const std::string& note : code_evaluation_notes(results().code)) {
        EXPECT_GT(note.size() + 5, 88u) << "the note fits a line: " << note;
        EXPECT_NE(read_as_one(text).find(note), std::string::npos) << note;
    }
}

// B31.4 takes SE on the ambient modulus: the factor E(70)/E(350) of MAT,
// 27.9e6 / (27.9e6 + (25.5e6 - 27.9e6) x 280/630) = 1.0398, in a note of
// 110 characters under the code compliance, the sorted expansion stresses
// and the local pipe forces of the case; each within the page, read whole.
TEST_F(PageWidth, ExpansionNotesWrapWithinThePage)
{
    ASSERT_NO_FATAL_FAILURE(open(code_stress_models::tee_model_text({"B314", "", "", false, true, "350,300"})));
    const double k = 27.9e6 / (27.9e6 + (25.5e6 - 27.9e6) * 280.0 / 630.0);
    const std::string note = "Expansion (T1): SE is on the modulus at the reference temperature: the moments times "
                             "E(reference)/E(case), " +
                             format_real(k, 6, 4) + " for MAT at 350 F";
    EXPECT_EQ(format_real(k, 6, 4), "1.0398");
    show_code_compliance();
    const std::string compliance = table_report_text(code_compliance_table(), false);
    stress_display_flags().ratio_kind = RATIO_EXPANSION;
    show_sorted_stresses();
    const std::string sorted = table_report_text(sorted_stress_table(), false);
    ASSERT_TRUE(set_results_load_case(LC_EXPANSION_T1));
    show_pipe_forces();
    const std::string forces = table_report_text(pipe_force_table(), false);
    for (const std::string* text : {&compliance, &sorted, &forces}) {
        expect_within_page(*text);
        EXPECT_NE(read_as_one(*text).find(note.substr(text == &forces ? 16 : 0)), std::string::npos) << *text;
    }
}

// The whole report of a plant network (the model's input tables with its
// anchors, the stresses with hundreds of rows not checked, the summaries
// and the loads and forces of every case): no line passes column 88; the
// anchors' input table, wider than the page, goes on in tiers, each led by
// the node.
TEST_F(PageWidth, ReportOfAPlantNetworkStaysWithinThePage)
{
    piping_network::Options o;
    o.rows = 150;
    o.seed = 1;
    ASSERT_NO_FATAL_FAILURE(open(piping_network::batch_text(o)));
    const std::string text = report_render_text(results_report_job(default_report_selection()), false);
    expect_within_page(text);
    EXPECT_NE(text.find("Anchors"), std::string::npos);
    // Some table's heading names its first column more than once: tiers.
    int tiered = 0;
    for (const std::vector<std::string>& page : page_bodies(text))
        for (std::size_t i = 0; i + 1 < page.size(); ++i) {
            if (!title_at(page, i))
                continue;
            std::size_t end = i + 2;
            while (end < page.size() && page[end] != TEXT_RULE)
                ++end;
            int nodes = 0;
            for (std::size_t h = i + 2; h < end; ++h)
                nodes += page[h].find("Node") != std::string::npos ? 1 : 0;
            tiered += nodes > 1 ? 1 : 0;
        }
    EXPECT_GT(tiered, 0);
}

// A 40 ft riser of 6 in pipe from an anchor to a spring hanger at its top,
// designed from a catalogue beside the model (HGRA): the Hanger
// report, wider than the page, goes on in tiers led by the node; no line of
// the report passes column 88.
TEST_F(PageWidth, HangerReportGoesOnInTiersWithinThePage)
{
    // A catalogue of one spring beside the model.
    std::filesystem::create_directories(path("hangers"));
    write("hangers/16.txt", "CATALOGUE 16 Grinnell\nSPRING S 1 LONG 100 2000 20 # test values\n");
    ASSERT_NO_FATAL_FAILURE(open("Riser with a spring hanger\nOPTIONS\nHGRA,B313\nOPTEMP\n70,7000,1\n"
                                 "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                                 "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
                                 "PIPE\n6,6.625,0.28\nLOADS\nOPER,440,0\nLAYOUT\n"
                                 "F10,MA106B,P6,KA,CL=OPER\nT20,Y40-0,CVS\n"));
    const std::string text = report_render_text(results_report_job(default_report_selection()), false);
    expect_within_page(text);
    const std::vector<std::string> lines = lines_of(text);
    const auto report = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("Hanger Report (1)") != std::string::npos;
    });
    ASSERT_NE(report, lines.end());
    ASSERT_TRUE(title_at(std::vector<std::string>(report, lines.end()), 0));
    const auto heading_end = std::find(report + 2, lines.end(), TEXT_RULE);
    ASSERT_NE(heading_end, lines.end());
    EXPECT_GT(std::count_if(report + 2, heading_end,
                            [](const std::string& line) { return line.find("Node") != std::string::npos; }),
              1);
    // The hanger's row in every tier, each led by its node.
    const auto rows_end = std::find(heading_end + 1, lines.end(), TEXT_RULE);
    EXPECT_GT(rows_end - heading_end - 1, 1);
    for (auto row = heading_end + 1; row != rows_end; ++row)
        EXPECT_EQ(words_of(*row).front(), "20") << *row;
}

// The code compliance after 0 to 56 lines of text, so that its rows, their
// reasons and the note under the last row fall at every place of a page:
// a reason or a note is on the page of the row it stands under, and a
// page that goes on with the table shows a row under its heading; the rows
// written on several threads (blocks of 2 rows) keep them the same way.
TEST_F(NoteKeepsWithRow, ReasonsAndNotesShareThePageOfTheirRow)
{
    ASSERT_NO_FATAL_FAILURE(open_mixed_z662());
    int parted = 0;
    for (const int block : {0, 2}) {
        set_report_rows_apart_block(block);
        for (int filler = 0; filler <= 56; ++filler) {
            const std::string text = report_after(filler, print_code_compliance);
            const std::vector<std::vector<std::string>> pages = page_bodies(text);
            parted += pages.size() > 1 && filler > 0 ? 1 : 0;
            for (std::size_t p = 0; p < pages.size(); ++p) {
                const std::vector<std::string>& lines = pages[p];
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    if (!under_row(lines[i]))
                        continue;
                    std::size_t row = i;
                    while (row > 0 && under_row(lines[row - 1]))
                        --row;
                    EXPECT_TRUE(row > 0 && stress_row(lines[row - 1]))
                        << "after " << filler << " lines, page " << p + 1 << ": \"" << lines[i]
                        << "\" without its row";
                }
                // A page that begins with the table's heading: a row under it.
                if (title_at(lines, 0)) {
                    ASSERT_GT(lines.size(), 4u);
                    EXPECT_TRUE(stress_row(lines[4])) << "after " << filler << " lines, page " << p + 1;
                }
            }
        }
    }
    set_report_rows_apart_block(0);
    EXPECT_GT(parted, 20);
}

// Printed after 0 to 50 lines of text, the code compliance's last row and
// the evaluation's note under it stand on one page: the note's page shows a
// row of the table above it.
TEST_F(NoteKeepsWithRow, PrintedNoteSharesThePageOfTheLastRow)
{
    ASSERT_NO_FATAL_FAILURE(open_mixed_z662());
    const std::string note_start = code_evaluation_notes(results().code).front().substr(0, 10);
    for (int filler = 0; filler <= 50; filler += 2) {
        HeadlessPrintDocument doc{PageSetup{}, 96};
        ASSERT_TRUE(report_render_pages(doc, ReportJob{"Report", [filler] {
                                                           for (int i = 1; i <= filler; ++i)
                                                               report_line("Line " + std::to_string(i));
                                                           print_code_compliance();
                                                       },
                                                       false}));
        expect_clean_pages(doc);
        int notes = 0;
        for (std::size_t p = 0; p < doc.pages().size(); ++p) {
            const std::vector<DrawnText> texts = drawn_texts(*doc.pages()[p]);
            for (const DrawnText& note : texts) {
                if (note.text.rfind(note_start, 0) != 0)
                    continue;
                ++notes;
                const bool row_above = std::any_of(texts.begin(), texts.end(), [&note](const DrawnText& t) {
                    return t.top < note.top && t.text.find(" (") != std::string::npos &&
                           t.text.rfind("Code compliance", 0) != 0;
                });
                EXPECT_TRUE(row_above) << "after " << filler << " lines, page " << p + 1;
            }
        }
        EXPECT_EQ(notes, 1) << "after " << filler << " lines";
    }
}

// The support load summary after 44 to 56 lines of text, among them the
// places where its heading would stand 4 and 5 lines from the foot: the
// heading "Support load summary" is followed on its page by its first
// table's title, rule, heading line, rule and first row.
TEST_F(HeadingKeepsWithTable, SummaryHeadingStandsWithItsFirstTable)
{
    ASSERT_NO_FATAL_FAILURE(open(code_stress_models::tee_model_text({"B313", "", "", false, true, "350,300"})));
    int at_foot = 0;
    for (int filler = 44; filler <= 56; ++filler) {
        const std::string text = report_after(filler, print_all_support_summaries);
        const std::vector<std::vector<std::string>> pages = page_bodies(text);
        bool found = false;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const std::vector<std::string>& lines = pages[p];
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (lines[i] != "Support load summary")
                    continue;
                found = true;
                at_foot += p == 0 ? 1 : 0;
                ASSERT_LT(i + 5, lines.size()) << "after " << filler << " lines the heading is at the foot";
                EXPECT_TRUE(title_at(lines, i + 1)) << lines[i + 1];
                EXPECT_NE(lines[i + 3].find("Load combination"), std::string::npos) << lines[i + 3];
                EXPECT_EQ(lines[i + 4], TEXT_RULE);
                EXPECT_NE(lines[i + 5].find("Sustained"), std::string::npos) << lines[i + 5];
            }
        }
        EXPECT_TRUE(found) << filler;
    }
    EXPECT_GT(at_foot, 0);   // some on the filler's page, close to its foot
}

// Printed, the code compliance's Allowable column is as wide as its
// numbers and heading: the reason stands under its row, whole on its
// line(s), left of the Allowable column, and no column rule runs through it.
TEST_F(PrintedNotes, ReasonUnderItsRowAndTheAllowableAsWideAsItsNumbers)
{
    ASSERT_NO_FATAL_FAILURE(open_mixed_z662());
    show_code_compliance();
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, ReportJob{"Report", [] { print_code_compliance(); }, false}));
    expect_clean_pages(doc);
    ASSERT_FALSE(doc.pages().empty());
    const RecordingSurface& page = *doc.pages()[0];
    const std::vector<DrawnText> texts = drawn_texts(page);
    const auto find = [&texts](const std::string& text) {
        return std::find_if(texts.begin(), texts.end(), [&text](const DrawnText& t) { return t.text == text; });
    };
    const auto allowable = find("Allowable"), ratio = find("Ratio");
    ASSERT_NE(allowable, texts.end());
    ASSERT_NE(ratio, texts.end());
    // Heading centres half of each column apart: "Allowable" (9) and the
    // ratio's "100.0" columns with their padding, far less than a reason's 66.
    const int between = (ratio->left + ratio->right) / 2 - (allowable->left + allowable->right) / 2;
    EXPECT_LT(between, 20 * RecordingSurface::GLYPH_WIDTH);
    // The reasons the table shows on screen.
    std::set<std::string> reasons_of_rows;
    TableWindow& table = code_compliance_table();
    for (int r = 1; r <= table.row_count; ++r)
        if (const std::string cell = table.cell_text(r, 4, 0); cell.rfind("Not checked: ", 0) == 0)
            reasons_of_rows.insert(cell);
    ASSERT_TRUE(reasons_of_rows.count(REASON));
    int reasons = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].text.rfind("Not checked", 0) != 0)
            continue;
        ++reasons;
        // The reason's lines one under the other from the same left edge.
        DrawnText t = texts[i];
        std::string reason = t.text;
        for (std::size_t j = i + 1; j < texts.size() && texts[j].left == t.left && texts[j].top == t.bottom; ++j) {
            reason += " " + texts[j].text;
            t.bottom = texts[j].bottom;
            t.right = std::max(t.right, texts[j].right);
        }
        EXPECT_TRUE(reasons_of_rows.count(reason)) << reason;
        EXPECT_LT(t.left, allowable->left);
        // Its row on the line just above: the row's load case.
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&t](const DrawnText& u) {
            return u.top == t.top - RecordingSurface::LINE_HEIGHT && u.text.find(" (") != std::string::npos;
        })) << t.top;
        // No vertical rule crosses the reason's lines but the table's edges.
        for (const std::string& op : page.lines_starting("line ")) {
            int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            if (std::sscanf(op.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) != 4 || x1 != x2)
                continue;
            const bool crosses = std::min(y1, y2) < t.bottom - 1 && std::max(y1, y2) > t.top + 1;
            EXPECT_FALSE(crosses && x1 > t.left - RecordingSurface::GLYPH_WIDTH && x1 < t.right) << op;
        }
    }
    EXPECT_GT(reasons, 0);
}
