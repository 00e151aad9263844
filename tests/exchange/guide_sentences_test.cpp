// Sentences of the user guide held to what the program does: the kinds of
// element each element-force table holds, the columns of the Materials
// table under every piping code, what the support load summary prints, and
// the steps of the worked response-spectrum example.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/help.h"
#include "framework/ui/report.h"
#include "guide_text.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
#include "model/ui/model_commands.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/support_load_tables.h"

#include <map>
#include <set>
#include <string>

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
