// Sentences of the user guide held to what the program does: the kinds of
// element each element-force table holds, the columns of the Materials,
// Bends and Miter bends tables under every piping code, what the support
// load summary prints, the steps of the worked response-spectrum example
// and the files its F12 writes, the pages F1 opens in the libraries' tables,
// how a batch file's row items are written, the axes of the pump report's
// loads, the columns every table page lists and marks as some codes and
// options show them (the Reducers' and the Pipe Sections' in words), what
// the list chooser offers, what File > New keeps, what File > New and the
// Materials popup offer, and what an import does with a bend that nothing
// continues.
#include "analysis/analysis_model.h"
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_fields.h"
#include "framework/ui/help.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "golden.h"
#include "guide_text.h"
#include "materials/pipe_material.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "qualification/pump_evaluation.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/support_load_tables.h"

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The text of a page of the built guide, from its anchor to the next.
std::string guide_page(const std::string& anchor)
{
    const std::string guide = built_guide();
    const std::size_t start = guide.find("<a name=\"" + anchor + "\">");
    if (start == std::string::npos)
        return {};
    return guide_plain(guide.substr(start, guide.find("<a name=", start + 10) - start));
}

// The part of a text from `from` to the first of `ends` after it ("" when
// `from` is not in it).
std::string part(const std::string& text, const std::string& from, const std::string& ends)
{
    const std::size_t start = text.find(from);
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_first_of(ends, start + from.size()) - start);
}

bool holds(const std::string& text, const std::string& words)
{
    return text.find(words) != std::string::npos;
}

using GuideSentences = ExchangeProgramTest;

}  // namespace

// The Pipe forces table holds the pipe-type elements and the Other forces
// table the others, valves among them, as their pages say.
TEST_F(GuideSentences, ForcePagesNameTheElementKindsTheirTablesHold)
{
    static const std::map<int, std::string> words = {
        {ET_PIPE, "pipe"},          {ET_BEND, "bend"},           {ET_MITER, "miter"},
        {ET_JACKETED_PIPE, "jacketed pipe"}, {ET_JACKETED_BEND, "jacketed bend"}, {ET_REDUCER, "reducer"},
        {ET_VALVE, "valves"},       {ET_BELLOWS, "bellows"},     {ET_SLIP_JOINT, "slip"},
        {ET_HINGE_JOINT, "hinge"},  {ET_BALL_JOINT, "ball joints"}, {ET_RIGID, "rigid"},
        {ET_ELASTIC, "elastic"},    {ET_TIE_ROD, "tie rods"}};
    const std::string pipes =
        part(guide_page(help_page_anchor(result_page(PAGE_PIPE_FORCES).name)), "The end forces", ";");
    const std::string others =
        part(guide_page(help_page_anchor(result_page(PAGE_OTHER_FORCES).name)), "The end forces", ")");
    ASSERT_FALSE(pipes.empty());
    ASSERT_FALSE(others.empty());

    // The sample: pipes, bends, a valve and a reducer.
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    const ResultsState& r = results();
    std::set<int> seen;
    for (const int32_t e : r.lists.pipes) {
        const int kind = r.elements[e].kind;
        ASSERT_TRUE(words.count(kind)) << kind;
        EXPECT_TRUE(holds(pipes, words.at(kind))) << words.at(kind) << " not in: " << pipes;
        seen.insert(kind);
    }
    for (const int32_t e : r.lists.others) {
        const int kind = r.elements[e].kind;
        ASSERT_TRUE(words.count(kind)) << kind;
        EXPECT_TRUE(holds(others, words.at(kind))) << words.at(kind) << " not in: " << others;
        EXPECT_FALSE(holds(pipes, words.at(kind))) << words.at(kind) << " in: " << pipes;
        seen.insert(kind);
    }
    // The sample holds the kinds whose tables were mistaken.
    for (const int kind : {ET_PIPE, ET_BEND, ET_REDUCER, ET_VALVE})
        EXPECT_TRUE(seen.count(kind)) << words.at(kind);
}

// Under every piping code each heading of the Materials table is on its
// page, and a heading that only some codes show is said of each of them.
TEST_F(GuideSentences, MaterialsPageNamesEveryColumnUnderEveryCode)
{
    const std::string page = guide_page(help_page_anchor("Materials"));
    ASSERT_FALSE(page.empty());
    MaterialsTable& t = materials_table();
    for (const int32_t code : piping_code_ids()) {
        piping_code() = code;
        open_materials_table();
        // "Z662", "Norwegian" of "Norwegian(83)".
        const std::string name = piping_code_short_name(code);
        const std::string code_word = name.substr(0, name.find('('));
        bool type_shown = false;
        for (int c = 1; c <= t.columns(); ++c) {
            const std::string heading = t.header_text(c, 0);
            if (heading.empty())
                continue;
            type_shown = type_shown || heading == "Type";
            EXPECT_TRUE(holds(page, heading)) << heading << " (" << name << ")";
            // The strength columns: "Yield under B31.3, ...;".
            if (heading == "Yield" || heading == "Tensile" || heading == "Ultimate") {
                EXPECT_TRUE(holds(part(page, heading + " under", ";"), code_word)) << heading << " " << name;
            }
        }
        if (!type_shown) {
            EXPECT_TRUE(holds(part(page, "Type is not shown under", "."), code_word)) << name;
        }
    }
    // B31.3, the Tutorial's code, shows Yield.
    piping_code() = CODE_B313;
    open_materials_table();
    bool yield = false;
    for (int c = 1; c <= t.columns(); ++c)
        yield = yield || t.header_text(c, 0) == "Yield";
    EXPECT_TRUE(yield);
}

// The text report of a support load summary prints the loads alone; the
// screen and the CSV export add the node's displacements. Every summary
// page says so.
TEST_F(GuideSentences, SummaryPagesSayWhatTheTextReportLeavesOut)
{
    for (int kind = 0; kind < SUPPORT_KINDS; ++kind) {
        const std::string page = guide_page(help_page_anchor(result_page(PAGE_SUPPORT_SUMMARY + kind).name));
        EXPECT_TRUE(holds(page, "X, Y and Z under Displacements (global)")) << kind;
        EXPECT_TRUE(holds(page, "the text report prints the loads alone")) << kind;
    }
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    const std::vector<int> kinds = result_list();
    const auto at = std::find(kinds.begin(), kinds.end(), RESULT_SUPPORT_SUMMARY);
    ASSERT_NE(at, kinds.end());
    show_result(static_cast<int>(at - kinds.begin()) + 1);
    TableWindow& anchors = support_summary_table(0);
    ASSERT_NE(anchors.title.find("Support load summary for anchor"), std::string::npos) << anchors.title;
    auto written = [&anchors](bool csv) {
        report_begin_text(csv);
        csv ? anchors.print_csv() : anchors.print_text();
        return report_end_text();
    };
    const std::string text = written(false), csv = written(true);
    EXPECT_TRUE(holds(text, "FX (lb)")) << text;
    EXPECT_FALSE(holds(text, "Displacements")) << text;
    EXPECT_FALSE(holds(text, "X (inch)")) << text;
    EXPECT_TRUE(holds(csv, "X (inch),Y (inch),Z (inch)")) << csv;
}

// The worked response-spectrum example: F12 on an untitled model asks for
// its file name before anything is analysed; the example says so, says
// where the library's file dialog opens and how its cantilever is made.
TEST_F(GuideSentences, ResponseSpectrumExampleSaysWhatTheProgramAsks)
{
    const std::string guide = built_guide();
    const std::size_t start = guide.find("<a name=\"response-spectrum-example\">");
    ASSERT_NE(start, std::string::npos);
    const std::string example = guide_plain(guide.substr(start, guide.find("<a name=", start + 10) - start));
    EXPECT_TRUE(holds(example, "F12 (Misc > Analyze) first asks for a file name when the model is untitled"));
    EXPECT_TRUE(holds(example, "its file dialog opening in the folder beside the program"));
    EXPECT_TRUE(holds(example, "a material of density 0, which makes the pipe weightless"));
    EXPECT_TRUE(holds(example, "Concentrated mass Enter, Weight 1000 OK"));
    EXPECT_FALSE(holds(example, "opens the spectrum library (spectra.spe beside the program)"));

    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    set_model_file_path("");
    script().clear_log();
    script().answer_file(std::nullopt);
    run_command(CMD_ANALYZE);
    ASSERT_FALSE(script().log().empty());
    const ScriptEvent& asked = script().log().front();
    EXPECT_EQ(asked.kind, ScriptEvent::FileDialog);
    EXPECT_EQ(asked.name, "save");
    EXPECT_FALSE(in_results());
}

// F12 on an untitled model asks for its file name, saves the model under it
// and writes its results file beside it (.res, and .rds with the modes), as
// the worked example says; the report is not written, but printed from the
// results.
TEST_F(GuideSentences, AnalyzeOnAnUntitledModelWritesWhatTheExampleSaysBesideIt)
{
    const std::string guide = built_guide();
    const std::size_t start = guide.find("<a name=\"response-spectrum-example\">");
    ASSERT_NE(start, std::string::npos);
    const std::string example = guide_plain(guide.substr(start, guide.find("<a name=", start + 10) - start));
    EXPECT_TRUE(holds(example, "the model is saved under it, and the results file is written beside it under the "
                               "same name, with .res, and with .rds when the modes are solved; the report is "
                               "printed from the results, File > Print"))
        << example;

    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    set_model_file_path("");
    LoadCaseList cases = analysis_load_cases();
    cases.add(LC_MODAL);
    load_case_list() = cases;
    script().answer_file(path("untitled.mod"));
    ASSERT_TRUE(analyze_command(0));
    settle();
    for (const char* written : {"untitled.mod", "untitled.res", "untitled.rds"})
        EXPECT_TRUE(std::filesystem::exists(path(written))) << written;
    EXPECT_FALSE(std::filesystem::exists(path("untitled.txt")));
}

// The pages of the Bends and Miter bends tables list every column, those
// that only some piping codes or B31J show among them, and each heading the
// table shows under any code, with or without B31J, is on its page.
TEST_F(GuideSentences, BendAndMiterPagesListEveryColumnUnderEveryCode)
{
    for (const char* name : {"Bends", "Miter bends"}) {
        SCOPED_TRACE(name);
        const std::string guide = built_guide();
        const std::size_t start = guide.find("<a name=\"" + help_page_anchor(name) + "\">");
        ASSERT_NE(start, std::string::npos);
        const std::string page = guide.substr(start, guide.find("<a name=", start + 10) - start);
        TableWindow* t = nullptr;
        for (const DataList& list : data_lists())
            if (list.name == name) {
                list.open();
                t = list_window_table();
            }
        ASSERT_NE(t, nullptr);
        for (int c = 1; c <= t->columns(); ++c)
            EXPECT_TRUE(holds(page, "<tr><td>" + std::to_string(c) + "</td>")) << "column " << c;
        const std::string prose = guide_plain(page);
        for (const int32_t code : piping_code_ids())
            for (const bool b31j : {false, true}) {
                piping_code() = code;
                analysis_options().use_b31j = b31j;
                for (int c = 1; c <= t->columns(); ++c)
                    for (int line = 0; line < t->header_lines; ++line) {
                        const std::string heading = t->header_text(c, line);
                        if (!heading.empty() && heading.find('(') == std::string::npos) {
                            EXPECT_TRUE(holds(prose, heading)) << heading << " " << piping_code_short_name(code);
                        }
                    }
            }
    }
}

// Each library's table (material, beam, spectrum and valve library) opens
// a page of the guide with F1, the Valve Library its own.
TEST_F(GuideSentences, F1InEveryLibraryTableOpensAPageOfTheGuide)
{
    help_init(std::filesystem::path(KV_PROGRAM_PATH).parent_path().string());
    const std::string guide = built_guide();
    for (const int kind : {NEW_KIND_MATERIAL_LIBRARY, NEW_KIND_BEAM_LIBRARY, NEW_KIND_SPECTRUM_LIBRARY,
                           NEW_KIND_VALVE_LIBRARY}) {
        model_modified() = false;
        model_file_hooks().new_document[static_cast<std::size_t>(kind)](0);
        TableWindow* t = list_window_table();
        ASSERT_NE(t, nullptr) << kind;
        hb->window(list_frame().client)->client_events->on_focus(true);
        script().key(list_frame().window, KEY_F1);
        ASSERT_FALSE(script().help_requests().empty());
        const std::string anchor = script().help_requests().back().anchor;
        EXPECT_EQ(anchor, help_page_anchor(t->title)) << t->title;
        EXPECT_TRUE(holds(guide, "<a name=\"" + anchor + "\">")) << t->title;
        leave_library_mode();
    }
    const std::size_t valves = guide.find("<a name=\"Valve-Library\">");
    ASSERT_NE(valves, std::string::npos);
    const std::string page = guide_plain(guide.substr(valves, guide.find("<a name=", valves + 10) - valves));
    EXPECT_TRUE(holds(page, "Valve Library (table)")) << page;
    EXPECT_TRUE(holds(page, "Nom Dia takes a size of the size table")) << page;
}

// The guide's layout rows of a batch file: the row with its items written
// as the guide writes them is read (the bend's wall and intermediate node),
// and the same with a C before its second item is refused with "Unknown
// comment".
TEST_F(GuideSentences, BatchRowItemsAreReadAsTheGuideWritesThem)
{
    const std::string text = guide_plain(built_guide());
    const std::string taken = "T160,X60,KI,B9,CBTHK=0.3,IN2(161,30)";
    ASSERT_TRUE(holds(text, "(" + taken + ": the bend's wall and an intermediate node 161 at 30 degrees)"));
    ASSERT_TRUE(holds(text, "CIN2(161,30), names no item and is refused with \"Unknown comment\""));
    // The sample's head, and a bend at 160 between two anchored runs.
    const std::string sample = read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    const std::string head = sample.substr(0, sample.find("LAYOUT\n") + 7);
    auto batch = [&head](const std::string& row) {
        return head + "F10,MA106B,P6,KA\nT150,X60\n" + row + "\nT170,Y60,KA\n";
    };
    script().answer_file(write("taken.mbf", batch(taken)));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    EXPECT_EQ(script().messages(), std::vector<std::string>{});
    const int row = row_of_node(160);
    ASSERT_NE(row, 0);
    ASSERT_EQ(model().rows[row].etype, ET_BEND);

    close_model();
    const std::string refused = "T160,X60,KI,B9,CBTHK=0.3,CIN2(161,30)";
    script().answer_file(write("refused.mbf", batch(refused)));
    run_command(CMD_IMPORT);
    EXPECT_TRUE(holds(script().last_message(), "Unknown comment")) << script().last_message();
    EXPECT_TRUE(holds(script().last_message(), "CIN2(161,30)")) << script().last_message();
    EXPECT_EQ(numrows(), 0);
}

// The pump report says in which axes its loads stand; a horizontal pump
// whose shaft runs along global X in a model with Y up takes X = (1, 0, 0),
// Z = (0, 1, 0) and Y = Z x X = (0, 0, -1); a vertical pump whose discharge
// lies along +X from its suction takes Y = (1, 0, 0) and X = Y x Z =
// (0, 0, 1) (cross products worked by hand).
TEST_F(GuideSentences, PumpReportSaysInWhichAxesItsLoadsStand)
{
    const std::string page = guide_page(help_page_anchor(result_page(PAGE_PUMP_REPORT).name));
    EXPECT_TRUE(holds(page, "Z is the model's vertical axis, pointing up; for a horizontal pump X runs along the "
                            "shaft axis direction (its horizontal component) and Y = Z x X across it"))
        << page;
    EXPECT_TRUE(holds(page, "Y runs horizontally from the suction node towards the discharge node and X = Y x Z"));
    EXPECT_TRUE(holds(page, "FX, FY, FZ and MX, MY, MZ are the loads the piping puts on the nozzle along these axes"));

    ASSERT_FALSE(analysis_options().z_vertical);
    PumpRecord horizontal;
    horizontal.name = "P-1";
    horizontal.kind = PUMP_HORIZONTAL_API610;
    horizontal.shaft_axis = {2, 0, 0};
    PumpEvaluation e;
    const PumpAxes h = pump_axes(horizontal, e);
    EXPECT_EQ(h.x, (std::array<double, 3>{1, 0, 0}));
    EXPECT_EQ(h.y, (std::array<double, 3>{0, 0, -1}));
    EXPECT_EQ(h.z, (std::array<double, 3>{0, 1, 0}));
    PumpRecord vertical = horizontal;
    vertical.kind = PUMP_VERTICAL_INLINE_API610;
    vertical.vertical = 1;
    e.vertical_axis = {3, 0, 0};
    const PumpAxes v = pump_axes(vertical, e);
    EXPECT_EQ(v.y, (std::array<double, 3>{1, 0, 0}));
    EXPECT_EQ(v.x, (std::array<double, 3>{0, 0, 1}));
    EXPECT_EQ(v.z, (std::array<double, 3>{0, 1, 0}));
}

// ---- Tables: the columns each shows under which codes and options ---------------------------------

namespace {

// The raw HTML of a page of the built guide, from its anchor to the next:
// the page headed by that anchor's name, else the first that bears it.
std::string guide_page_html(const std::string& anchor)
{
    const std::string guide = built_guide();
    const std::string mark = "<a name=\"" + anchor + "\">";
    std::size_t start = guide.find(mark + "</a><h2>");
    if (start == std::string::npos)
        start = guide.find(mark);
    return start == std::string::npos ? std::string()
                                      : guide.substr(start, guide.find("<a name=", start + 10) - start);
}

// The heading a table page lists for a column ("" when it lists none).
std::string listed_heading(const std::string& page_html, int column)
{
    const std::string row = "<tr><td>" + std::to_string(column) + "</td><td>";
    const std::size_t at = page_html.find(row);
    if (at == std::string::npos)
        return {};
    const std::size_t from = at + row.size();
    return guide_plain(page_html.substr(from, page_html.find("</td>", from) - from));
}

// The settings the list window's tables follow: every piping code, with
// and without B31J for SIFs and flexibility factors, with one thermal load
// set and with ten. Each is set in turn for `look`; the options are then
// as they were.
void under_every_setting(const std::function<void()>& look)
{
    const AnalysisOptions kept = analysis_options();
    const int32_t code = piping_code();
    for (const int32_t sets : {1, 10}) {
        numtloads() = sets;
        for (const bool b31j : {false, true}) {
            analysis_options().use_b31j = b31j;
            for (const int32_t id : piping_code_ids()) {
                piping_code() = id;
                look();
            }
        }
    }
    analysis_options() = kept;
    piping_code() = code;
}

constexpr const char* SOME_CODES_ONLY = " (under some piping codes and options only)";

// The names a list in a sentence gives: its items between commas and
// "and", and with `groups` between parentheses too.
std::set<std::string> names_in(std::string text, bool groups = false)
{
    std::vector<std::string> joints = {", and ", " and ", ", "};
    if (groups)
        joints.insert(joints.end(), {"(", ")"});
    for (const std::string& joint : joints)
        for (std::size_t at = text.find(joint); at != std::string::npos; at = text.find(joint, at + 1))
            text.replace(at, joint.size(), "|");
    std::set<std::string> names;
    std::istringstream parts(text);
    for (std::string name; std::getline(parts, name, '|');)
        if (trim_blanks(name); !name.empty())
            names.insert(name);
    return names;
}

// The names of the lists that the list chooser offers now.
std::set<std::string> offered_list_names()
{
    std::set<std::string> offered;
    for (const DataList* list : offered_data_lists())
        offered.insert(list->name);
    return offered;
}

}  // namespace

// Every table page of the list window lists each column that the table
// shows under some code and options, in its order, and marks those that
// some code or option hides (the Bends' 7, 9, 10 and 11, the Miter bends'
// 6, 8, 9 and 10, the Reducers' 7, 8 and 9, the sets of the pipe loads
// beyond the first): the table's own headings and widths say which.
TEST_F(GuideSentences, EveryTablePageMarksTheColumnsThatOnlySomeCodesOrOptionsShow)
{
    int marked = 0;
    for_every_data_list_table(
        [&marked](const DataList& list, TableWindow& t) {
            SCOPED_TRACE(list.name);
            const std::string page = guide_page_html(help_page_anchor(list.name));
            ASSERT_FALSE(page.empty());
            std::vector<int> shown(static_cast<std::size_t>(t.columns()) + 1), hidden(shown.size());
            under_every_setting([&] {
                const std::vector<bool> widths = table_columns_shown(t);
                for (int c = 1; c <= t.columns(); ++c) {
                    const bool shows = widths[static_cast<std::size_t>(c)] && !t.heading_words(c).empty();
                    ++(shows ? shown : hidden)[static_cast<std::size_t>(c)];
                }
            });
            for (int c = 1; c <= t.columns(); ++c) {
                const std::size_t k = static_cast<std::size_t>(c);
                const std::string heading = listed_heading(page, c);
                EXPECT_EQ(heading.empty(), shown[k] == 0) << "column " << c;
                if (shown[k] == 0)
                    continue;
                EXPECT_EQ(heading.ends_with(SOME_CODES_ONLY), hidden[k] > 0) << "column " << c << ": " << heading;
                marked += hidden[k] > 0 ? 1 : 0;
            }
        },
        true);
    EXPECT_GT(marked, 10);
    const std::string bends = guide_page_html(help_page_anchor("Bends"));
    for (const int c : {7, 9, 10, 11})
        EXPECT_TRUE(listed_heading(bends, c).ends_with(SOME_CODES_ONLY)) << c;
    EXPECT_TRUE(listed_heading(guide_page_html(help_page_anchor("Miter bends")), 8).ends_with(SOME_CODES_ONLY));
}

// The Reducers page names its knuckles' column as a word, and the codes
// under which its last three columns show: the cone angle under every code
// but those that the page names, the knuckles and Delta under the codes it
// names; the table's widths under each code say which.
TEST_F(GuideSentences, ReducersPageNamesTheCodesOfItsLastColumnsAndKnucklesWhole)
{
    EXPECT_FALSE(holds(built_guide(), "Knuc kles"));
    const std::string html = guide_page_html(help_page_anchor("Reducers"));
    EXPECT_EQ(listed_heading(html, 8), std::string("Knuckles") + SOME_CODES_ONLY);
    const std::string page = guide_plain(html);
    const std::string cone = "shows under every code but ", nordic = "under the Nordic codes: ";
    const std::string cone_part = part(page, cone, ";"), nordic_part = part(page, nordic, ".");
    ASSERT_FALSE(cone_part.empty()) << page;
    ASSERT_FALSE(nordic_part.empty()) << page;
    const std::set<std::string> without_cone = names_in(cone_part.substr(cone.size()));
    const std::set<std::string> knuckles = names_in(nordic_part.substr(nordic.size()));
    TableWindow* t = open_data_list("Reducers");
    ASSERT_EQ(t ? t->title : std::string(), "Reducers");
    for (const int32_t id : piping_code_ids()) {
        piping_code() = id;
        const std::vector<bool> shown = table_columns_shown(*t);
        const std::string name = piping_code_name(id);
        EXPECT_EQ(without_cone.count(name), shown[7] ? 0u : 1u) << name;
        EXPECT_EQ(knuckles.count(name), shown[8] ? 1u : 0u) << name;
        EXPECT_EQ(shown[8], shown[9]) << name;
    }
}

// The Pipe Sections page names the table's twelve columns in their order.
TEST_F(GuideSentences, PipeSectionsPageNamesItsTwelveColumnsInOrder)
{
    const std::string page = guide_page(help_page_anchor("Sections"));
    const std::size_t start = page.find("The pipe sections, one line each, in twelve columns");
    ASSERT_NE(start, std::string::npos) << page;
    const std::string prose = page.substr(start, page.find("The values", start) - start);
    TableWindow* t = open_data_list("Sections");
    ASSERT_EQ(t ? t->title : std::string(), "Pipe Sections");
    ASSERT_EQ(t->columns(), 12);
    std::size_t at = 0;
    for (int c = 1; c <= t->columns(); ++c) {
        // "OD (inch)" is named OD, "M.Tol (%)" M.Tol.
        std::string name = t->heading_words(c);
        name = name.substr(0, name.find(" ("));
        const std::size_t found = prose.find(name, at);
        ASSERT_NE(found, std::string::npos) << name << " after " << prose.substr(at);
        at = found + name.size();
    }
}

// ---- The list chooser, a new model, an import ---------------------------------------------------

// The list chooser offers every list that holds records, and the lists its
// page names even when they are empty; the list window's chapter says so.
TEST_F(GuideSentences, ListChooserOffersWhatItsPageSays)
{
    const std::string page = guide_page(help_page_anchor("DATA_LISTS_DIALOG"));
    EXPECT_TRUE(holds(page, "every list of the model that holds records, with its count, such as \"Anchors (2)\""))
        << page;
    const std::set<std::string> empty = names_in(part(page, "(with a count of 0), ", "."), true);
    EXPECT_TRUE(holds(guide_page("window-list"), "Its data list chooser offers every list that holds records, "
                                                 "with its count, and, even when they are empty, the lists of "
                                                 "property sets, component attributes and equipment"));
    close_model();
    std::set<std::string> offered = offered_list_names();
    for (const DataList& list : data_lists())
        EXPECT_EQ(empty.count(list.name), offered.count(list.name)) << list.name;

    // The sample: its anchors at 10 and 60, as the page writes them.
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    offered = offered_list_names();
    for (const DataList& list : data_lists()) {
        const int count = list.count ? list.count() : 0;
        if (count > 0) {
            EXPECT_EQ(offered.count(list.name), 1u) << list.name;
        }
        if (list.name == "Anchors") {
            EXPECT_EQ(data_list_entry(list), "Anchors (2)");
        }
    }
}

// File > New keeps the units, the piping code, the vertical axis and the
// option switches, and starts the thermal load sets, the temperatures,
// cycles and dynamic settings at their defaults, as the Tutorial's first
// step says; All English gives back the units the Tutorial types in.
TEST_F(GuideSentences, FileNewKeepsWhatTheTutorialsFirstStepSays)
{
    const std::string text = guide_page("tutorial");
    const AnalysisOptions defaults;
    EXPECT_TRUE(holds(text, "A new model keeps the units, the piping code, the vertical axis and the option "
                            "switches of the model open before; its thermal load sets, reference temperature, "
                            "thermal cycles and dynamic settings start at their defaults (one thermal load set, " +
                                c_format("%g", double(defaults.reference_temperature)) + " degF, " +
                                std::to_string(defaults.thermal_cycles) + " cycles)"))
        << text;
    EXPECT_EQ(defaults.numtloads, 1);
    EXPECT_TRUE(holds(text, "after a model in other units, Options > Units, All English, OK gives them back"));

    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        unit_choice()[static_cast<std::size_t>(q)] = unit_count(q) > 1 ? 1 : 0;
    const UnitChoices units = unit_choice();
    piping_code() = CODE_EN13480;
    AnalysisOptions& o = analysis_options();
    o.z_vertical = true;
    o.use_b31j = true;
    o.bourdon_effect = false;
    o.numtloads = 3;
    o.reference_temperature = 100.0f;
    o.thermal_cycles = 20000;
    o.cutoff_frequency = 50;
    o.number_of_modes = 5;
    model_modified() = false;
    script().once("NEW_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    ASSERT_TRUE(run_command(CMD_NEW));
    ASSERT_EQ(numrows(), 0);
    EXPECT_EQ(unit_choice(), units);
    EXPECT_EQ(piping_code(), CODE_EN13480);
    EXPECT_TRUE(o.z_vertical);
    EXPECT_TRUE(o.use_b31j);
    EXPECT_FALSE(o.bourdon_effect);
    EXPECT_EQ(o.numtloads, defaults.numtloads);
    EXPECT_EQ(o.reference_temperature, defaults.reference_temperature);
    EXPECT_EQ(o.thermal_cycles, defaults.thermal_cycles);
    EXPECT_EQ(o.cutoff_frequency, defaults.cutoff_frequency);
    EXPECT_EQ(o.number_of_modes, defaults.number_of_modes);

    const ControlSpec* button = UNITS_DIALOG.find(UNITS_ENGLISH);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(dialog_shown_text(button->text), "All English");
    script().once("UNITS_DIALOG", [](HeadlessDialog& d) {
        d.press(UNITS_ENGLISH);
        d.press(IDOK);
    });
    ASSERT_TRUE(run_command(CMD_UNITS));
    EXPECT_EQ(unit_label(LENGTH), "(ft-in)");
    EXPECT_EQ(unit_label(DIMENSION), "(inch)");
}

// The Menus chapter's File > New names every choice of the New dialog, and
// the Materials popup offers Delete on a material only while no row uses
// it, as the chapter's table of popups says.
TEST_F(GuideSentences, FileNewAndTheMaterialsPopupOfferWhatTheMenusChapterSays)
{
    const std::string menus = guide_page("menus-LAYOUT_MENU");
    const std::string file_new = part(menus, "Asks to save a changed model, then offers", ")");
    for (const ControlSpec& c : NEW_DIALOG.controls) {
        if (c.kind != ControlKind::Radio)
            continue;
        std::string kind = dialog_shown_text(c.text);
        kind = lower_case(kind.substr(0, kind.find(' ')));
        EXPECT_TRUE(holds(file_new, kind)) << kind << " in: " << file_new;
    }
    EXPECT_TRUE(holds(guide_page("menus-popups"),
                      "Materials, Sections, Beam sectionsInsert, Delete (on a material or a section only when no "
                      "row uses it)"));

    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    PipeMaterial unused;
    unused.name = "SS";
    pipe_materials().push_back(unused);
    TableWindow* table = open_data_list("Materials");
    ASSERT_NE(table, nullptr);
    auto popup_items = [&](int row) {
        table_goto_row(*table, row, 1);
        script().answer_popup(0);
        table->context_menu(Point{});
        return script().log().back().text;
    };
    EXPECT_FALSE(holds(popup_items(1), "Delete"));   // A106B, which the rows name
    EXPECT_TRUE(holds(popup_items(2), "Delete"));
}

// A bend that no element continues is taken with the model, and the
// import's closing note says that F12 will refuse it, naming its node.
TEST_F(GuideSentences, ABendThatNothingContinuesIsTakenAsTheImportSentenceSays)
{
    EXPECT_TRUE(holds(guide_page("getting-started"),
                      "a bend that no element continues (at a line's end, with an anchor there or nothing) is "
                      "taken with the model, and the note says that F12 will refuse the bend, naming its node"));
    const std::string sample = read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    const std::string head = sample.substr(0, sample.find("LAYOUT\n") + 7);
    script().answer_file(write("open_end.mbf", head + "F10,MA106B,P6,KA\nT150,X60\nT160,X60,KI,B9\n"));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    EXPECT_EQ(model_file_path(), path("open_end.mod"));
    const int row = row_of_node(160);
    ASSERT_NE(row, 0);
    EXPECT_EQ(model().rows[row].etype, ET_BEND);
    const std::string note = script().last_message();
    EXPECT_TRUE(holds(note, "The analysis (F12) will refuse the model: Row " + std::to_string(row) +
                                ": the bend at node 160"))
        << note;
}
