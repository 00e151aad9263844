// The user guide the build puts beside the program: every help context of
// the code has its anchor, and every dialog and table its page, the fields
// and columns taken from the program.
#include "elements/element_dialog_ids.h"
#include "model/row_kinds.h"
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "golden.h"
#include "guide_text.h"
#include "table_cell_point.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/help.h"
#include "framework/ui/menus.h"
#include "materials/library_file.h"
#include "materials/material_library_file.h"
#include "materials/pipe_material.h"
#include "materials/ui/library_mode.h"
#include "model/ui/layout_window.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/model.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

bool has_anchor(const std::string& guide, const std::string& name)
{
    return guide.find("<a name=\"" + name + "\">") != std::string::npos;
}

using HelpWindowGuideTest = ExchangeProgramTest;

}  // namespace

TEST_F(HelpWindowGuideTest, EveryContextOfTheCodeAndEveryDialogAndTableHasItsPage)
{
    const std::string guide = built_guide();
    ASSERT_FALSE(guide.empty());
    for (const int context : {TIE_ROD_HELP_CONTEXT, BENDS_TABLE_HELP_CONTEXT, BEND_DIALOG_HELP_CONTEXT})
        EXPECT_TRUE(has_anchor(guide, help_anchor(context))) << context;
    for (const char* page : {"window-layout", "window-list", "window-main", "analysing", "batch", "VALVE_DIALOG",
                             "BEND1_DIALOG", "PIPE_LOAD_DIALOG", "SECTION_DIALOG", "graphics",
                             "VIEWPOINT_DIALOG", "HIDE_ELEMENTS_DIALOG"})
        EXPECT_TRUE(has_anchor(guide, page)) << page;
    // Every data list of the program has its page.
    for (const DataList& list : data_lists()) {
        std::string anchor;
        for (const char c : list.name)
            anchor += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '-';
        EXPECT_TRUE(has_anchor(guide, anchor)) << list.name;
    }
    // The valve's page lists its length in the unit its field reads.
    const std::size_t valve = guide.find("<a name=\"VALVE_DIALOG\">");
    ASSERT_NE(valve, std::string::npos);
    const std::size_t length = guide.find("<td>Length</td>", valve);
    ASSERT_NE(length, std::string::npos);
    EXPECT_NE(guide.substr(length, 120).find("in the dimension unit"), std::string::npos);
}

namespace {

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Every command item of the menus, by its name as the guide writes it:
// "Anal&yze\tF12" is "analyze", "&Show...\tCtrl+S" is "show".
void collect_items(const std::vector<MenuItem>& items, std::vector<std::pair<std::string, int>>& out)
{
    for (const MenuItem& item : items) {
        collect_items(item.items, out);
        if (item.id == 0)
            continue;
        out.emplace_back(lower(menu_command_name(item.text)), item.id);
    }
}

using HelpGuide = ExchangeProgramTest;

}  // namespace

// No page of the guide is a heading alone: every heading (but the guide's
// title) has text under it before the next one.
TEST_F(HelpGuide, EverySectionHasText)
{
    const std::string guide = built_guide();
    ASSERT_FALSE(guide.empty());
    std::vector<std::pair<std::size_t, std::size_t>> headings;   // where each starts and ends
    for (std::size_t at = guide.find("<h"); at != std::string::npos; at = guide.find("<h", at + 1))
        if (at + 3 < guide.size() && (guide[at + 2] == '1' || guide[at + 2] == '2') && guide[at + 3] == '>')
            headings.emplace_back(at, guide.find('>', guide.find("</h", at)) + 1);
    ASSERT_GT(headings.size(), 100u);
    int empty = 0;
    for (std::size_t i = 1; i < headings.size(); ++i) {
        const std::size_t next = i + 1 < headings.size() ? headings[i + 1].first : guide.size();
        const std::string under = guide_plain(guide.substr(headings[i].second, next - headings[i].second));
        if (std::none_of(under.begin(), under.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); })) {
            ADD_FAILURE() << "no text under " << guide.substr(headings[i].first, headings[i].second - headings[i].first);
            ++empty;
        }
    }
    EXPECT_EQ(empty, 0);
}

// Where the guide names a key beside a command ("Analyze (F12)", "Turn
// (Ctrl+T)"), an accelerator table of the program gives that key to a menu
// item of that name.
TEST_F(HelpGuide, KeysNamedBesideACommandAreTheAcceleratorKeysOfItsMenuItem)
{
    const std::string text = guide_plain(built_guide());
    std::vector<std::pair<std::string, int>> items;
    for (const std::string& name : menu_resource_names())
        collect_items(menu_resource(name).items, items);
    // And the items the results window adds to its menu while the
    // displacements are shown: the shapes, which the graphics chapter names;
    // and those of the layout and list windows while results are open.
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    ASSERT_TRUE(results_hooks().show[RESULT_DISPLACEMENTS]);
    results_hooks().show[RESULT_DISPLACEMENTS]();
    for (const Frame* frame : {&results_frame(), &main_frame(), &list_frame()})
        collect_items(frame->menu.items(), items);
    std::vector<const AcceleratorTable*> tables;
    for (const std::string& name : accelerator_resource_names())
        tables.push_back(&accelerator_resource(name));
    ASSERT_GT(items.size(), 50u);

    int checked = 0;
    for (std::size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
        const std::size_t close = text.find(')', open);
        int key = 0;
        unsigned mods = 0;
        if (close == std::string::npos || !read_guide_key(text.substr(open + 1, close - open - 1), key, mods))
            continue;
        const std::string before = lower(text.substr(open > 40 ? open - 40 : 0, open > 40 ? 40 : open));
        bool named = false, keyed = false;
        for (const auto& [name, id] : items) {
            std::string trimmed = before;
            while (!trimmed.empty() && trimmed.back() == ' ')
                trimmed.pop_back();
            if (name.empty() || trimmed.size() < name.size() ||
                trimmed.compare(trimmed.size() - name.size(), name.size(), name) != 0)
                continue;
            named = true;
            for (const AcceleratorTable* t : tables)
                keyed = keyed || t->command_for(key, mods) == id;
        }
        const std::string where = text.substr(open > 40 ? open - 40 : 0, close - (open > 40 ? open - 40 : 0) + 1);
        EXPECT_TRUE(named) << "no menu item of that name: " << where;
        EXPECT_TRUE(keyed) << "the key is not that item's: " << where;
        ++checked;
    }
    EXPECT_GE(checked, 10);
}

// The keys the guide gives for editing a cell edit it: in the layout a
// click on the selected cell opens it with its text selected and Home puts
// the caret at its start, so that a digit goes in front; Backspace opens a
// cell empty; F2 there shows the graphics window and edits nothing, and in a
// library's window, where no command takes it, F2 opens the cell with the
// caret at the end of its text.
TEST_F(HelpGuide, KeysTheGuideGivesForEditingACellEditIt)
{
    script().answer_file(write("model.mbf", read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    LayoutTable& t = layout_table();
    TableView& view = layout_view();
    const WindowId client = main_frame().client;
    script().paint(client);
    int row = 1;
    while (row < t.row_count && t.cell_text(row, LAYOUT_NODE, 0) != "12")
        ++row;
    ASSERT_EQ(t.cell_text(row, LAYOUT_NODE, 0), "12");
    table_goto_row(t, row, LAYOUT_NODE);
    const Point node = table_cell_point(view, row, LAYOUT_NODE);
    script().mouse_down(client, MouseButton::Left, node.x, node.y);
    script().mouse_up(client, MouseButton::Left, node.x, node.y);
    ASSERT_TRUE(t.edit.active);
    EXPECT_EQ(t.edit.text, "12");
    EXPECT_NE(t.edit.anchor, t.edit.caret) << "the text is selected";
    ASSERT_TRUE(script().key(main_frame().window, KEY_HOME));
    hb->window(client)->client_events->on_char("1");
    EXPECT_EQ(t.edit.text, "112");
    ASSERT_TRUE(script().key(main_frame().window, KEY_ESCAPE));
    EXPECT_FALSE(t.edit.active);

    ASSERT_TRUE(script().key(main_frame().window, KEY_BACK));
    ASSERT_TRUE(t.edit.active);
    EXPECT_EQ(t.edit.text, "");
    ASSERT_TRUE(script().key(main_frame().window, KEY_ESCAPE));
    EXPECT_EQ(t.cell_text(row, LAYOUT_NODE, 0), "12");

    EXPECT_EQ(accelerator_resource("LAYOUT_ACCEL").command_for(KEY_F2, MOD_NONE), CMD_GRAPHICS);
    EXPECT_EQ(accelerator_resource("LIST_ACCEL").command_for(KEY_F2, MOD_NONE), CMD_GRAPHICS);
    script().key(main_frame().window, KEY_F2);
    EXPECT_FALSE(t.edit.active);
    EXPECT_TRUE(hb->window(graphics_frame().window)->visible);

    // A material library: F2 opens the description with the caret at its end.
    OneBased<PipeMaterial> records;
    PipeMaterial steel;
    steel.description = "A106 GRADE B";
    steel.table = PropertyTable(1);
    steel.table[1][PROP_TEMPERATURE] = 70.0f;
    steel.table[1][PROP_MODULUS] = 29.5e6f;
    records.push_back(steel);
    write_material_library_file(path("lib.mat"), CODE_B313, {0, 0, 0, 0, 0}, records);
    script().answer(IDNO);   // the imported model is not kept
    open_by_extension(path("lib.mat"));
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    TableWindow* materials = list_window_table();
    ASSERT_NE(materials, nullptr);
    table_goto_row(*materials, 1, 2);
    ASSERT_EQ(materials->cell_text(1, 2, 0), "A106 GRADE B");
    ASSERT_TRUE(script().key(list_frame().window, KEY_F2));
    ASSERT_TRUE(materials->edit.active);
    EXPECT_EQ(materials->edit.text, "A106 GRADE B");
    EXPECT_EQ(materials->edit.caret, materials->edit.text.size());
    EXPECT_EQ(materials->edit.anchor, materials->edit.caret);
}

namespace {

// The pages of help/pages.txt: each name with the heading it gives, if any.
std::vector<std::pair<std::string, std::string>> hand_written_pages()
{
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/help/pages.txt", std::ios::binary);
    std::vector<std::pair<std::string, std::string>> pages;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("== ", 0) != 0)
            continue;
        std::string name = line.substr(3), heading;
        if (const std::size_t bar = name.find(" | "); bar != std::string::npos) {
            heading = name.substr(bar + 3);
            name.erase(bar);
        }
        pages.emplace_back(name, heading);
    }
    return pages;
}

// The pages of the guide: each heading (h2) with the anchors before it and
// the HTML under it, up to the next page.
struct GuidePage {
    std::vector<std::string> anchors;
    std::string heading;
    std::string body;
};

std::vector<GuidePage> guide_pages(const std::string& guide)
{
    std::vector<GuidePage> pages;
    std::size_t at = guide.find("<h2>");
    while (at != std::string::npos) {
        GuidePage page;
        // The anchors right before the heading.
        std::size_t back = at;
        while (back >= 4 && guide.compare(back - 4, 4, "</a>") == 0) {
            const std::size_t open = guide.rfind("<a name=\"", back - 4);
            page.anchors.push_back(guide.substr(open + 9, guide.find('"', open + 9) - open - 9));
            back = open;
        }
        const std::size_t end = guide.find("</h2>", at);
        page.heading = guide_plain(guide.substr(at + 4, end - at - 4));
        std::size_t next = guide.find("<h2>", end);
        // The body ends where the next page's anchors begin.
        std::size_t stop = next == std::string::npos ? guide.size() : next;
        while (stop >= 4 && guide.compare(stop - 4, 4, "</a>") == 0)
            stop = guide.rfind("<a name=\"", stop - 4);
        page.body = guide.substr(end + 5, stop - end - 5);
        pages.push_back(std::move(page));
        at = next;
    }
    return pages;
}

// The prose of a page: its paragraphs' text, without the generated tables.
std::string prose(const std::string& body)
{
    std::string text;
    for (std::size_t p = body.find("<p>"); p != std::string::npos; p = body.find("<p>", p + 3))
        text += guide_plain(body.substr(p + 3, body.find("</p>", p) - p - 3)) + " ";
    return text;
}

int words(const std::string& text)
{
    int n = 0;
    bool in_word = false;
    for (const char c : text) {
        const bool letter = std::isalpha(static_cast<unsigned char>(c)) != 0;
        n += letter && !in_word;
        in_word = letter;
    }
    return n;
}

// Every string literal of the program's sources that names a dialog
// template ("SECTION_DIALOG", "LUG_EVAL", "FINDANDREPLACE").
std::set<std::string> template_names_in_sources()
{
    std::set<std::string> names;
    const std::regex literal("\"([A-Z][A-Z0-9_]*(_DIALOG[A-Z0-9]*|_EVAL|_QUAL)|FINDANDREPLACE)\"");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(KV_SOURCE_DIR) + "/src")) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp" ||
            entry.path().string().find("/platform/") != std::string::npos)
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m)
            names.insert((*m)[1]);
    }
    return names;
}

// Any dialog of a name, to ask for its help.
struct PlainDialog : DialogProc {};

class HelpPage : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        help_init(std::filesystem::path(KV_PROGRAM_PATH).parent_path().string());
        ASSERT_FALSE(help_path().empty());
    }
    // The anchor the last help request opened.
    std::string opened() const
    {
        return script().help_requests().empty() ? std::string("(none)") : script().help_requests().back().anchor;
    }
};

}  // namespace

// The hand-written text of every page is in the built guide, under the
// heading it gives, and no heading stands twice: a reader who finds a
// heading finds the one page it names.
TEST_F(HelpPage, EveryHandWrittenPageIsInTheGuideAndNoHeadingStandsTwice)
{
    const std::string guide = built_guide();
    const std::vector<GuidePage> pages = guide_pages(guide);
    ASSERT_GT(pages.size(), 150u);
    const std::vector<std::pair<std::string, std::string>> written = hand_written_pages();
    ASSERT_GT(written.size(), 150u);
    for (const auto& [name, heading] : written) {
        const auto page = std::find_if(pages.begin(), pages.end(), [&](const GuidePage& p) {
            return std::find(p.anchors.begin(), p.anchors.end(), help_page_anchor(name)) != p.anchors.end();
        });
        ASSERT_NE(page, pages.end()) << name;
        EXPECT_GE(words(prose(page->body)), 8) << name << ": its text is not on its page";
        if (!heading.empty()) {
            EXPECT_EQ(page->heading, heading) << name;
        }
    }
    // The Pipe Sections table's page, once lost, holds its text.
    const auto sections = std::find_if(pages.begin(), pages.end(),
                                       [](const GuidePage& p) { return p.heading == "Pipe Sections (table)"; });
    ASSERT_NE(sections, pages.end());
    EXPECT_NE(prose(sections->body).find("corrosion allowance"), std::string::npos);

    std::set<std::string> headings;
    for (const std::string& h1 : {std::string("Korvane user guide"), std::string("Dialogs"), std::string("Tables")})
        headings.insert(h1);
    for (const GuidePage& page : pages)
        EXPECT_TRUE(headings.insert(page.heading).second) << "the heading \"" << page.heading << "\" stands twice";
}

// Every page of a dialog or table says in a sentence or two what it is for,
// beyond the fields and columns the program lists.
TEST_F(HelpPage, EveryDialogAndTablePageSaysWhatItIsFor)
{
    const std::string guide = built_guide();
    const std::size_t first_dialog = guide.find("<a name=\"NEW_DIALOG\">");
    ASSERT_NE(first_dialog, std::string::npos);
    int checked = 0;
    for (const GuidePage& page : guide_pages(guide.substr(first_dialog))) {
        EXPECT_GE(words(prose(page.body)), 10) << page.heading << " has no text of its own";
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

// Every dialog template that the program's sources name, and every name a
// chooser's template takes for its count of entries, has a page of its own
// in the guide, and F1 in the dialog opens it, not the contents.
TEST_F(HelpPage, F1InEveryDialogOfTheProgramOpensItsOwnPage)
{
    const std::string guide = built_guide();
    std::set<std::string> names = template_names_in_sources();
    names.erase("EXAMPLE_DIALOG");   // the design notes' illustration
    for (int n = 1; n <= 300; ++n)
        for (const std::string& name :
             {results_chooser_template(n), load_cases_chooser_template(n), other_supports_template(n)})
            names.insert(name);
    ASSERT_GT(names.size(), 120u);
    for (const std::string& name : names) {
        EXPECT_TRUE(has_anchor(guide, help_page_anchor(name))) << name << " is a dialog of the program without its page";
        const DialogTemplate dialog{name, name, {control(IDOK, ControlKind::Button, "OK", 0, 0, 1, CF_DEFAULT)}};
        script().once(name, [](HeadlessDialog& d) {
            d.help_key();
            d.press(IDCANCEL);
        });
        PlainDialog proc;
        run_dialog(dialog, proc, main_frame().window);
        EXPECT_EQ(opened(), help_page_anchor(name));
    }
}

// F1 in every table of the list window opens the table's own page; the
// Bends and Tie rods tables and their dialogs too, though their help also
// has a context number of its own.
TEST_F(HelpPage, F1InEveryTableOpensItsOwnPage)
{
    const std::string guide = built_guide();
    int tables = 0;
    for_every_data_list_table(
        [&](const DataList& list, TableWindow& t) {
            // The keys of the list window's table, as the window system
            // gives the focus to it.
            hb->window(list_frame().client)->client_events->on_focus(true);
            script().key(list_frame().window, KEY_F1);
            const std::string anchor = opened();
            EXPECT_TRUE(anchor == help_page_anchor(list.name) || anchor == help_page_anchor(t.title))
                << list.name << " opened \"" << anchor << "\"";
            EXPECT_TRUE(has_anchor(guide, anchor)) << list.name;
            ++tables;
        },
        true);
    EXPECT_GT(tables, 40);
    // The layout has no page of its own: its topic.
    hb->window(main_frame().client)->client_events->on_focus(true);
    script().key(main_frame().window, KEY_F1);
    EXPECT_EQ(opened(), "window-layout");
}

// The bend dialogs' Help button opens the page of the dialog shown (the
// B31.3 group's dialog its own); F1 in the Print Results sheet of the
// results window opens the sheet's page, and in a result table the table's
// own page.
TEST_F(HelpPage, BendDialogsThePrintResultsSheetAndResultTablesOpenTheirPages)
{
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    ASSERT_EQ(piping_code(), CODE_B313);
    LayoutTable& t = layout_table();
    int bend = 1;
    while (bend <= numrows() && model().rows[bend].etype != ET_BEND)
        ++bend;
    ASSERT_LE(bend, numrows());
    for (const auto& [code, name] : {std::pair{CODE_B313, "BEND2_DIALOG"}, std::pair{CODE_B311, "BEND1_DIALOG"}}) {
        piping_code() = code;
        script().once(name, [](HeadlessDialog& d) {
            d.press(BEND_HELP);
            d.press(IDCANCEL);
        });
        table_goto_row(t, bend, LAYOUT_TYPE);
        ASSERT_TRUE(layout_hooks().element_dialog[ET_BEND]);
        layout_hooks().element_dialog[ET_BEND](bend);
        EXPECT_EQ(script().runs(name), 1);
        EXPECT_EQ(opened(), name);
    }
    piping_code() = CODE_B313;

    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    script().once("PRINT_RESULTS_DIALOG", [](HeadlessDialog& d) {
        d.help_key();
        d.press(IDCANCEL);
    });
    ASSERT_TRUE(results_hooks().print_results);
    results_hooks().print_results(main_frame().window);
    EXPECT_EQ(script().runs("PRINT_RESULTS_DIALOG"), 1);
    EXPECT_EQ(opened(), "PRINT_RESULTS_DIALOG");

    show_other_displacements();
    hb->window(results_frame().client)->client_events->on_focus(true);
    ASSERT_NE(TableView::keyboard_focus(), nullptr);
    ASSERT_EQ(TableView::keyboard_focus()->table()->frame, &results_frame());
    script().key(results_frame().window, KEY_F1);
    EXPECT_EQ(opened(), help_page_anchor(result_page(PAGE_DISPLACEMENTS).name));
    EXPECT_TRUE(has_anchor(built_guide(), opened()));
}
