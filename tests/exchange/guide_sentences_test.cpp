// Sentences of the user guide held to what the program does: the kinds of
// element each element-force table holds, the columns of the Materials,
// Bends and Miter bends tables under every piping code, what the support
// load summary prints, the steps of the worked response-spectrum example
// and the files its F12 writes, the pages F1 opens in the libraries' tables,
// how a batch file's row items are written, and the axes of the pump
// report's loads.
#include "analysis/analysis_model.h"
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/help.h"
#include "framework/ui/report.h"
#include "golden.h"
#include "guide_text.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
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
#include <map>
#include <set>
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
