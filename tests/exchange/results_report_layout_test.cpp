// The results report's layouts, as the Print Results command writes them,
// for models imported from batch files, saved, analysed and opened: the
// text and CSV forms against text written here, the printed (PDF) form on
// the recording pages.
#include "exchange/exchange_fixture.h"

#include "analysis/ui/analysis_ui.h"
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "golden.h"
#include "model/ui/model_commands.h"
#include "page_layout.h"
#include "report_contents.h"
#include "platform/headless/headless_printing.h"
#include "results/results_state.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/results_report.h"
#include "results/ui/support_load_tables.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A weightless 8 in line (the density a billionth of steel's), so that the
// supports carry the applied forces alone.
const std::string WEIGHTLESS_HEAD = "OPTIONS\nB313,IN\nMATERIAL\nCS,1E-9,0.3\nCS,70,27.9E6,6.0E-6,20000\n"
                                    "CS,700,27.9E6,8.1E-6,16000\nPIPE\nP8,8.625,0.322\nLAYOUT\n";

class ResultsOnViewsReport : public ExchangeProgramTest {
protected:
    void open(const std::string& text)
    {
        script().answer_file(write("model.mbf", text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        set_report_date("1 Jan 2025");
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    static std::string text_of(const std::function<void()>& write, bool csv = false)
    {
        report_begin_text(csv);
        write();
        return report_end_text();
    }
    // `count` lines from the first that begins with `first`, after the first
    // that holds `after`.
    static std::vector<std::string> lines_from(const std::string& text, const std::string& first, size_t count,
                                               const std::string& after = "")
    {
        std::istringstream in(text.substr(std::min(text.find(after), text.size())));
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line) && out.size() < count;)
            if (!out.empty() || line.rfind(first, 0) == 0)
                out.push_back(line);
        return out;
    }
    static std::vector<std::string> page_texts(const HeadlessPrintDocument& doc, size_t page)
    {
        std::vector<std::string> out;
        for (const DrawnText& t : drawn_texts(*doc.pages()[page]))
            out.push_back(t.text);
        return out;
    }
};

}  // namespace

// An anchor 10 ft from a 1000 lb downward end load carries FY = 1000 lb and
// MZ = 1000 lb x 10 ft = 10000 ft-lb (r x F = (120, 0, 0) x (0, -1000, 0) =
// (0, 0, -120000) in-lb on the line, the anchor's reaction the opposite).
// The moment headings, ten characters each, stand apart from each other,
// and each value ends where its heading ends.
TEST_F(ResultsOnViewsReport, AnchorSummaryHeadingsStandApart)
{
    ASSERT_NO_FATAL_FAILURE(open("Cantilever\n" + WEIGHTLESS_HEAD + "F10,MCS,PP8,KA\nT20,X120\nL20,CFOR(0,-1000,0)\n"));
    const std::string text = text_of(print_all_support_summaries);
    EXPECT_EQ(lines_from(text, "   Load combination", 4),
              (std::vector<std::string>{
                  "   Load combination    FX (lb) FY (lb) FZ (lb) MX (ft-lb) MY (ft-lb) MZ (ft-lb)",
                  "   -------------------------------------------------------------------------------------",
                  "   Sustained                 0    1000       0          0          0      10000",
                  "   Operating1                0    1000       0          0          0      10000"}));
}

// A rigid restraint (1e12 lb/in) at node 19540 takes a force of
// (-2.5162e10, -3.1033e10) lb at its node but for the share of the pipe's
// own stiffness to the anchor, EA/L = 27.9e6 x 8.39 / 120 = 1.95e6 lb/in, a
// part in 5e5: it pushes back with +2.5162e10 and +3.1033e10 lb to five
// digits. The line 10 ft on carries 1.593e11 lb along Z to node 10410. No
// value runs into the node or the value before it: each takes the room it
// has in the exponent form that fits; the support load summary moves its
// columns so that its loads stand whole. CSV cells hold the values whole.
TEST_F(ResultsOnViewsReport, HugeLoadsNeverRunIntoTheirNeighbours)
{
    ASSERT_NO_FATAL_FAILURE(open("Huge loads\n" + WEIGHTLESS_HEAD +
                                 "F10,MCS,PP8,KA\nT19540,X120,CF(1,1,0)\nL19540,CFOR(-2.5162E10,-3.1033E10,0)\n"
                                 "T10410,X120\nL10410,CFOR(0,0,1.5930E11)\n"));
    const std::string loads = text_of(print_all_support_loads);
    EXPECT_EQ(lines_from(loads, "     Node", 3, "Loads on Restraints"),
              (std::vector<std::string>{"     Node     FX (lb)   FY (lb)   FZ (lb)",
                                        "   -------------------------------------------------------------------------------------",
                                        "     19540 2.52E+10 3.103E+10"}));
    const std::string summary = text_of(print_all_support_summaries);
    EXPECT_EQ(lines_from(summary, "   Sustained", 1, "restraint at node 19540"),
              (std::vector<std::string>{"   Sustained        2.5162E+10 3.1033E+10"}));
    // The second element's ends: node 19540 and node 10410, FZ 1.593e11 lb
    // on each end, MY = 1.593e11 lb x 10 ft at the first.
    const std::string forces = text_of(print_global_element_forces);
    EXPECT_EQ(lines_from(forces, "   19540         0", 2),
              (std::vector<std::string>{"   19540         0         0 -1.59E+11           0  1.5930E+12           0",
                                        "   10410         0         0 1.593E+11           0           0           0"}));
    const std::string csv = text_of(print_all_support_loads, true);
    EXPECT_NE(csv.find("\n19540,,2.5162E+10,3.1033E+10,,\n"), std::string::npos) << csv;
}

// The local pipe forces of a B31.3 model (torsion, in-plane and out-of-plane
// moments each with its SIF, the flexibility factors) are too wide for a
// page: each row goes on in a tier under itself, each tier led by the node
// column and showing its columns under their whole group heading, and no
// two texts of a page lie on top of each other.
TEST_F(ResultsOnViewsReport, SplitWideTablePrintsEachPartsHeadings)
{
    ASSERT_NO_FATAL_FAILURE(open(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, ReportJob{"forces", print_local_element_forces, false}));
    expect_clean_pages(doc);
    // The table is in tiers: its node column leads each.
    const std::vector<std::string> first = page_texts(doc, 0);
    EXPECT_GE(std::count(first.begin(), first.end(), "Node"), 2);
    for (const char* group : {"Torsion (ft-lb)", "Inplane (ft-lb)", "Outplane (ft-lb)", "Flex. Factors"})
        EXPECT_NE(std::find(first.begin(), first.end(), group), first.end()) << group;
}

// The printed contents list every case's tables under the case's name, as
// the page headings name it, not "Loads on anchors 9, 12, 15".
TEST_F(ResultsOnViewsReport, PrintedContentsNameTheLoadCases)
{
    ASSERT_NO_FATAL_FAILURE(open(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
    std::vector<std::string> contents = page_texts(doc, 0);
    const std::vector<std::string> second = page_texts(doc, 1);
    contents.insert(contents.end(), second.begin(), second.end());
    for (const char* entry :
         {"Loads on anchors: Sustained (W+P)", "Loads on anchors: Expansion (T1)", "Loads on anchors: Operating (W+P2+T2)",
          "Pipe forces (local coordinates): Operating (W+P1+T1)", "Other forces (global coordinates): Expansion (T2)",
          "Displacements (global coordinates): Sustained (W+P)"})
        EXPECT_NE(std::find(contents.begin(), contents.end(), entry), contents.end()) << entry;
    EXPECT_EQ(std::find(contents.begin(), contents.end(), "Loads on anchors"), contents.end());
}

namespace {

class ResultsReportRowsApart : public ResultsOnViewsReport {};

}  // namespace

// The long tables of the results report (support loads, pipe and other
// element forces in local and in global axes, displacements, sorted
// stresses, code compliance) have their rows written on several threads:
// the report of the sample, its blocks of rows cut as small as they go,
// reads as the one written in turn.
TEST_F(ResultsReportRowsApart, ReportReadsAsTheOneWrittenInTurn)
{
    ASSERT_NO_FATAL_FAILURE(open(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    const ReportJob job = results_report_job(default_report_selection());
    set_report_rows_apart_block(1000000);
    const std::string in_turn = report_render_text(job, false);
    for (const char* table : {"Loads on Anchors", "Pipe element forces in local coordinates",
                              "Element forces in global coordinates", "Other forces in global coordinates",
                              "Displacements", "Code compliance", "Sorted stresses"})
        EXPECT_NE(in_turn.find(table), std::string::npos) << table;
    for (int block : {1, 2, 5}) {
        set_report_rows_apart_block(block);
        EXPECT_EQ(report_render_text(job, false), in_turn) << "block " << block;
    }
    set_report_rows_apart_block(0);
}

namespace {

class ReportColumns : public ResultsOnViewsReport {
protected:
    // The whitespace-separated texts of the first line that begins with
    // `start` after the first line that holds `after`.
    static std::vector<std::string> row_texts(const std::string& text, const std::string& start,
                                              const std::string& after)
    {
        const std::vector<std::string> lines = lines_from(text, start, 1, after);
        std::vector<std::string> out;
        if (lines.empty())
            return out;
        std::istringstream in(lines[0]);
        for (std::string word; in >> word;)
            out.push_back(word);
        return out;
    }
};

// Five-digit nodes (bends' A and B nodes six characters), a valve of
// 3.25E8 lb, forces of 1E10 to 1E12 lb and ft-lb, a specified displacement
// of 100 in and a 48 in line 30 ft deep in sand of phi 75 degrees.
const std::string EXTREME_VALUES =
    "Extreme values\nOPTIONS\nHGRA,B313\nOPTEMP\n70,7000,2\n"
    "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\nA106B,70,29.5E6,6.07E-6,20000\n"
    "A106B,500,27.3E6,7.02E-6,18900\nA106B,3000,1.3E6,9.02E-6,900\n"
    "SOILS\nS1,0,120,30-0,75,1.0\n"
    "PIPE\n6,6.625,0.28,0.0625,12.5,7.5,2.0\n4,4.5,0.237,0.0625,12.5,7.5,1.5\n48,48,0.5,,,,,,,S1\n"
    "LOADS\nOPER,3000,99000,1.0,2900,150\n"
    "LAYOUT\nF99910,MA106B,P6,KA,CL=OPER\nT99912,Y0-6\nT99914,Y1-4,JV,CVWGT=325E6,AWGT=60E6,OFFSET(18,0,0)\n"
    "T99920,Y4-2,KI,B9\nT99925,X3-0,CLS(0,NONE),DV(0,1,0)\nT99930,X7-0,KI,B9\nT99935,Z4-0,CG\n"
    "T99940,Z4-0,CF(0,1,0)\nT99945,X1-0,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=0.237\n"
    "T99950,X4-0,P4,KI,B6\nT99960,Y-4-0,KA,CDIS(100,-80,90),DIS2(0,0.12,0)\n"
    "L99960,CFOR(-1.5E10,2.5E11,-3.7E10),MOM(-1E12,2E12,-3E12)\n"
    "F99970,MA106B,P48,KA\nT99980,Z20-0\nT99990,Z20-0,KA\n";

}  // namespace

// Every table of the report, the model's input tables and every part of
// the results, keeps a blank before each column on extreme values: no text
// runs into the text before it (report_crowded_texts counts the texts that
// did), the rows written apart on other threads included. Where a node or
// a number is wider than its column the row moves on; a soil row of
// five-digit nodes, a displacement row of a bend's node and the valve's
// row keep every value a text of its own.
TEST_F(ReportColumns, EveryTableKeepsABlankBeforeEachColumnOnExtremeValues)
{
    ASSERT_NO_FATAL_FAILURE(open(EXTREME_VALUES));
    set_report_rows_apart_block(2);
    report_begin_text(false);
    results_report_job(default_report_selection()).write();
    EXPECT_EQ(report_crowded_texts(), 0);
    const std::string text = report_end_text();
    set_report_rows_apart_block(0);
    for (const char* part : {"Valves", "Soil restraints", "Displacements", "Sorted stresses", "Code compliance",
                             "Loads on Anchors"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    // From, To and the eight values.
    EXPECT_EQ(row_texts(text, "  99970 ", "Stiffnes MaxLoad").size(), 10u);
    // The node and six displacements.
    EXPECT_EQ(row_texts(text, "     99920A", "Displacements in global coordinates").size(), 7u);
    // From, To, the weight and the other five values of the valve.
    const std::vector<std::string> valve = row_texts(text, "     99912", "Valves");
    ASSERT_GE(valve.size(), 3u);
    EXPECT_EQ(valve[1], "99914");
}

namespace {

// A contents entry as the reader sees it: its indentation and its page.
// The part a table of the report belongs under, by its entry's title.
std::string part_of(const std::string& title)
{
    if (title.find(" at Node ") != std::string::npos || title.find(" at node ") != std::string::npos)
        return "Support load summary";
    if (title.find("Loads on ") != std::string::npos)
        return "Support loads";
    if (title.find("(local") != std::string::npos)
        return "Element forces (local)";
    if (title.find("(global") != std::string::npos)
        return title.find("Displacements") != std::string::npos ? "Displacements" : "Element forces (global)";
    return "";
}

// Every entry one level in stands under the heading of its own part, which
// names the page its first entry is on; the headings stand at the outer
// level, each part's entries together under it.
void expect_parts_nest(const std::vector<ShownEntry>& entries, const char* form)
{
    const ShownEntry* heading = nullptr;
    int nested = 0;
    for (const char* part : {"Hanger report", "Support load summary", "Support loads", "Element forces (local)",
                             "Element forces (global)", "Displacements"}) {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [part](const ShownEntry& e) { return e.title == part; });
        ASSERT_NE(it, entries.end()) << form << ": no heading " << part;
        EXPECT_EQ(it->level, 0) << form << ": " << part;
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [part](const ShownEntry& e) { return e.title == part; }),
                  1)
            << form << ": " << part;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const ShownEntry& e = entries[i];
        if (e.level == 0) {
            heading = &e;
            if (i + 1 < entries.size() && entries[i + 1].level > 0) {
                EXPECT_EQ(e.page, entries[i + 1].page) << form << ": " << e.title;
            }
            continue;
        }
        ++nested;
        const std::string part = part_of(e.title);
        ASSERT_FALSE(part.empty()) << form << ": " << e.title;
        ASSERT_NE(heading, nullptr) << form << ": " << e.title;
        EXPECT_EQ(heading->title, part) << form << ": " << e.title;
    }
    // The summary of five supports and every case's tables.
    EXPECT_GE(nested, 5 + 4 * 5) << form;
}

// The entries of the contents pages: each title with its page number at
// the right on the same line; the level from the title's indentation. The
// contents pages are those before the page of the first entry.
std::vector<ShownEntry> page_contents(const HeadlessPrintDocument& doc)
{
    const auto is_number = [](const std::string& t) {
        return !t.empty() && t.find_first_not_of("0123456789") == std::string::npos;
    };
    std::vector<ShownEntry> out;
    std::vector<int> lefts;
    size_t contents_pages = 1;
    for (size_t p = 0; p < contents_pages && p < doc.pages().size(); ++p) {
        const std::vector<DrawnText> texts = drawn_texts(*doc.pages()[p]);
        for (const DrawnText& n : texts) {
            if (!is_number(n.text))
                continue;
            for (const DrawnText& t : texts) {
                if (t.top != n.top || t.right >= n.left || is_number(t.text))
                    continue;
                out.push_back(ShownEntry{0, t.text, std::stoi(n.text)});
                lefts.push_back(t.left);
            }
        }
        if (p == 0 && !out.empty())
            contents_pages = static_cast<size_t>(out.front().page - 1);
    }
    const int outer = lefts.empty() ? 0 : *std::min_element(lefts.begin(), lefts.end());
    for (size_t i = 0; i < out.size(); ++i)
        out[i].level = lefts[i] > outer ? 1 : 0;
    return out;
}

}  // namespace

// A model with a spring hanger (a Grinnell spring of the test's own
// catalogue beside the model) prints the hanger report, the support load
// summary and the tables of every case: in the text report and on pages the
// summary's supports stand under "Support load summary", every case's
// support loads under "Support loads", and its forces and displacements
// under the heading of their part, not under the hanger report.
TEST_F(ResultsOnViewsReport, ReportContentsNestingPutsEachTableUnderItsPart)
{
    std::filesystem::create_directories(path("hangers"));
    write("hangers/16.txt", "CATALOGUE 16 Grinnell\nSPRING S 1 LONG 100 2000 20 # test values\n");
    std::string model = read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    const std::string guide = "T35,Z4-0,CG\n";
    ASSERT_NE(model.find(guide), std::string::npos);
    model.insert(model.find(guide) + guide.size(), "T37,Z2-0,CVS\n");
    ASSERT_NO_FATAL_FAILURE(open(model));
    const ReportJob job = results_report_job(default_report_selection());
    ASSERT_TRUE(default_report_selection().parts[PART_HANGER_REPORT]);

    const std::vector<ShownEntry> text = text_contents(report_render_text(job, false));
    ASSERT_NO_FATAL_FAILURE(expect_parts_nest(text, "text"));

    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, job));
    const std::vector<ShownEntry> pages = page_contents(doc);
    ASSERT_NO_FATAL_FAILURE(expect_parts_nest(pages, "pages"));
    // On pages the tables name their case after the table.
    EXPECT_NE(std::find_if(pages.begin(), pages.end(),
                           [](const ShownEntry& e) { return e.title == "Loads on hangers: Operating (W+P1+T1)"; }),
              pages.end());
}
