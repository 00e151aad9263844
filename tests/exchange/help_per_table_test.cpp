// F1 in every table of the results window, in the graphics window and in
// the properties grid under the Materials table opens a page of the user
// guide of its own, and that page says what each column of the table, as
// the window shows it, holds: the tables of the sample model and of a
// generated plant network with rod hangers (with their modes), walked as a
// user reaches them, and every other table of the list of result pages.
#include "../bench/piping_network.h"
#include "analysis/analysis_model.h"
#include "exchange/batch_import.h"
#include "exchange/exchange_fixture.h"
#include "exchange/result_tables_walk.h"

#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/help.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "guide_text.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/material_props_editor.h"
#include "model/load_cases.h"
#include "model/ui/list_window.h"
#include "results/ui/result_pages.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The prose of the guide's page of that anchor: its paragraphs up to the
// next page's anchor; empty when the guide has no such page.
std::string page_prose(const std::string& guide, const std::string& anchor)
{
    const std::size_t at = guide.find("<a name=\"" + anchor + "\">");
    if (at == std::string::npos)
        return {};
    const std::size_t heading = guide.find("</h2>", at);
    const std::size_t next = guide.find("<a name=\"", heading);
    return guide_plain(guide.substr(heading, next == std::string::npos ? std::string::npos : next - heading));
}

// The names of a table's columns as the window heads them: each heading
// line and each group heading, without the unit after it ("FX (lb)" is
// "FX") and without the lines that are a unit alone ("(lb)", "ratio %").
std::vector<std::string> column_names(TableWindow& t)
{
    std::vector<std::string> names;
    auto add = [&names](std::string text) {
        text = text.substr(0, text.find(" ("));
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        const bool unit = text.empty() || text[0] == '(' || text == "%" || text == "ratio %" || text == "node";
        if (!unit && std::find(names.begin(), names.end(), text) == names.end())
            names.push_back(text);
    };
    for (int c = 1; c <= t.columns(); ++c)
        if (t.widths.size() <= static_cast<std::size_t>(c) || t.widths[static_cast<std::size_t>(c)] > 0)
            for (int line = 0; line < t.header_lines; ++line)
                add(t.header_text(c, line));
    for (const TableGroup& g : t.groups)
        add(g.text);
    return names;
}

// The page whose registered table is this one, -1 for none.
int page_of(const TableWindow* t)
{
    for (int p = 0; p < RESULT_PAGES; ++p)
        if (t && result_page_table(p) == t)
            return p;
    return -1;
}

class HelpPerTable : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        help_init(std::filesystem::path(KV_PROGRAM_PATH).parent_path().string());
        ASSERT_FALSE(help_path().empty());
        guide = built_guide();
        ASSERT_FALSE(guide.empty());
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    std::string opened() const
    {
        return script().help_requests().empty() ? std::string("(none)") : script().help_requests().back().anchor;
    }
    // F1 with the keys in the results window's table.
    std::string f1_in_results_table()
    {
        hb->window(results_frame().client)->client_events->on_focus(true);
        script().key(results_frame().window, KEY_F1);
        return opened();
    }

    // Imports the batch text, analyses it with its modes too, and walks its
    // result tables: F1 in each opens the page of its table, which names
    // each of its columns.
    void walk(const std::string& batch, const std::string& model)
    {
        SCOPED_TRACE(model);
        terminate_results();
        script().answer_file(write("model.mbf", batch));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        LoadCaseList cases = analysis_load_cases();
        cases.add(LC_MODAL);
        load_case_list() = cases;
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        walk_result_tables([&](const std::string& what) { check_shown(what); });
        // The hanger report, a report rather than a table, is shown from
        // the chooser as well.
        if (results_hooks().show[RESULT_HANGER_REPORT] && model == "network") {
            results_hooks().show[RESULT_HANGER_REPORT]();
            check_shown("hanger report");
        }
    }
    void check_shown(const std::string& what)
    {
        TableWindow* t = results_table_view().table();
        ASSERT_NE(t, nullptr) << what;
        const int page = page_of(t);
        ASSERT_GE(page, 0) << results_frame().title_text << " is a result table without a page";
        const std::string anchor = help_page_anchor(result_page(page).name);
        EXPECT_EQ(f1_in_results_table(), anchor) << results_frame().title_text;
        const std::string prose = page_prose(guide, anchor);
        ASSERT_FALSE(prose.empty()) << anchor << " is not in the guide";
        for (const std::string& column : column_names(*t))
            EXPECT_NE(prose.find(column), std::string::npos)
                << "the page " << result_page(page).name << " does not say what \"" << column << "\" of "
                << results_frame().title_text << " holds";
        visited.insert(page);
    }

    std::string guide;
    std::set<int> visited;
};

}  // namespace

TEST_F(HelpPerTable, EveryResultTableOpensItsOwnPageWhichSaysWhatItsColumnsHold)
{
    walk(read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample");
    piping_network::Options o;
    o.rows = 80;
    o.seed = 2;   // with two rod hangers
    walk(piping_network::batch_text(o), "network");
    // The walks reach the sample's and the network's kinds of table.
    for (const int page : std::initializer_list<int>{PAGE_SORTED_STRESSES, PAGE_CODE_COMPLIANCE, PAGE_SUPPORT_LOADS, PAGE_SUPPORT_SUMMARY,
                           PAGE_SUPPORT_LOADS + 2, PAGE_PIPE_FORCES, PAGE_OTHER_FORCES, PAGE_DISPLACEMENTS,
                           PAGE_DISPLACEMENT_EXTREMES, PAGE_FREQUENCIES, PAGE_MODE_SHAPES, PAGE_HANGER_REPORT})
        EXPECT_TRUE(visited.count(page)) << result_page(page).name << " was not reached";
    EXPECT_GE(visited.size(), 20u);

    // Every page of the list is in the guide with text of its own, under a
    // name no other page has, and F1 in its table (where the results have
    // made it) opens it, shown or not.
    std::set<std::string> names;
    for (int p = 0; p < RESULT_PAGES; ++p) {
        const std::string name = result_page(p).name;
        EXPECT_TRUE(names.insert(name).second) << name << " stands twice";
        const std::string prose = page_prose(guide, help_page_anchor(name));
        EXPECT_GE(std::count(prose.begin(), prose.end(), ' '), 15) << name << " has no page of its own";
        if (TableWindow* t = result_page_table(p)) {
            t->on_help(results_frame().window);
            EXPECT_EQ(opened(), help_page_anchor(name));
        }
    }
    EXPECT_EQ(static_cast<int>(names.size()), RESULT_PAGES);
}

// The graphics window opens its chapter; the properties grid under the
// Materials table the Material Properties page, which says what its
// columns hold, not the list window's chapter.
TEST_F(HelpPerTable, GraphicsWindowAndPropertiesGridOpenTheirOwnPages)
{
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    ASSERT_TRUE(run_command(CMD_GRAPHICS));
    ASSERT_TRUE(hb->window(graphics_frame().window)->visible);
    script().key(graphics_frame().window, KEY_F1);
    EXPECT_EQ(opened(), "graphics");
    EXPECT_FALSE(page_prose(guide, "graphics").empty());

    for (const DataList& list : data_lists())
        if (list.name == "Materials")
            list.open();
    ASSERT_NE(list_lower_table(), nullptr);
    script().key(list_frame().window, KEY_F6);
    ASSERT_TRUE(list_lower_pane_active());
    hb->window(list_frame().client)->client_events->on_focus(true);
    script().key(list_frame().window, KEY_F1);
    EXPECT_EQ(opened(), help_page_anchor(MATERIAL_PROPERTIES_DIALOG.name));
    const std::string prose = page_prose(guide, help_page_anchor(MATERIAL_PROPERTIES_DIALOG.name));
    ASSERT_FALSE(prose.empty());
    // Its page lists the grid's columns (the dialog's grid is the same grid).
    const std::size_t page = guide.find("<a name=\"" + help_page_anchor(MATERIAL_PROPERTIES_DIALOG.name) + "\">");
    const std::size_t heading = guide.find("</h2>", page);
    const std::string body = guide_plain(guide.substr(heading, guide.find("<h2>", heading) - heading));
    for (const std::string& column : column_names(*list_lower_table()))
        EXPECT_NE(body.find(column), std::string::npos) << column;
}
