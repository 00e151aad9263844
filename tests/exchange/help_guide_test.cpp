// The user guide the build puts beside the program: every help context of
// the code has its anchor, and every dialog and table its page, the fields
// and columns taken from the program.
#include "elements/element_dialog_ids.h"
#include "exchange_fixture.h"
#include "golden.h"
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

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string guide_text()
{
    const std::filesystem::path guide = std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "help" / "index.html";
    std::ifstream in(guide, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool has_anchor(const std::string& guide, const std::string& name)
{
    return guide.find("<a name=\"" + name + "\">") != std::string::npos;
}

using HelpWindowGuideTest = ExchangeProgramTest;

}  // namespace

TEST_F(HelpWindowGuideTest, EveryContextOfTheCodeAndEveryDialogAndTableHasItsPage)
{
    const std::string guide = guide_text();
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

// The text of some HTML: no tags, white space one blank, the entities the
// guide uses read.
std::string plain(const std::string& html)
{
    std::string text;
    bool in_tag = false;
    for (const char c : html) {
        if (c == '<')
            in_tag = true;
        else if (c == '>')
            in_tag = false;
        else if (!in_tag && std::isspace(static_cast<unsigned char>(c)))
            text += text.empty() || text.back() == ' ' ? "" : " ";
        else if (!in_tag)
            text += c;
    }
    for (const auto& [entity, c] : {std::pair{"&gt;", ">"}, std::pair{"&lt;", "<"}, std::pair{"&quot;", "\""},
                                    std::pair{"&amp;", "&"}})
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at))
            text.replace(at, std::string(entity).size(), c);
    return text;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A key as the guide writes it ("F12", "Ctrl+Shift+C"); false when the
// text is no key.
bool read_key(const std::string& text, int& key, unsigned& mods)
{
    mods = MOD_NONE;
    std::string rest = text;
    for (const auto& [prefix, mod] : {std::pair{"Ctrl+", MOD_CONTROL}, std::pair{"Shift+", MOD_SHIFT}})
        if (rest.rfind(prefix, 0) == 0) {
            mods |= mod;
            rest = rest.substr(std::string(prefix).size());
        }
    if (rest.size() >= 2 && rest.size() <= 3 && rest[0] == 'F' &&
        std::all_of(rest.begin() + 1, rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const int n = std::stoi(rest.substr(1));
        key = KEY_F1 + n - 1;
        return n >= 1 && n <= 12;
    }
    // A letter or digit alone is no key ("Eq. (8)"): with Ctrl it is.
    if (rest.size() == 1 && mods != MOD_NONE && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        key = rest[0];
        return true;
    }
    return false;
}

// Every command item of the menus, by its name as the guide writes it:
// "Anal&yze\tF12" is "analyze", "&Show...\tCtrl+S" is "show".
void collect_items(const std::vector<MenuItem>& items, std::vector<std::pair<std::string, int>>& out)
{
    for (const MenuItem& item : items) {
        collect_items(item.items, out);
        if (item.id == 0)
            continue;
        std::string name = item.text.substr(0, item.text.find('\t'));
        std::erase(name, '&');
        while (!name.empty() && (name.back() == '.' || name.back() == ' '))
            name.pop_back();
        out.emplace_back(lower(name), item.id);
    }
}

using HelpGuide = ExchangeProgramTest;

}  // namespace

// No page of the guide is a heading alone: every heading (but the guide's
// title) has text under it before the next one.
TEST_F(HelpGuide, EverySectionHasText)
{
    const std::string guide = guide_text();
    ASSERT_FALSE(guide.empty());
    std::vector<std::pair<std::size_t, std::size_t>> headings;   // where each starts and ends
    for (std::size_t at = guide.find("<h"); at != std::string::npos; at = guide.find("<h", at + 1))
        if (at + 3 < guide.size() && (guide[at + 2] == '1' || guide[at + 2] == '2') && guide[at + 3] == '>')
            headings.emplace_back(at, guide.find('>', guide.find("</h", at)) + 1);
    ASSERT_GT(headings.size(), 100u);
    int empty = 0;
    for (std::size_t i = 1; i < headings.size(); ++i) {
        const std::size_t next = i + 1 < headings.size() ? headings[i + 1].first : guide.size();
        const std::string under = plain(guide.substr(headings[i].second, next - headings[i].second));
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
    const std::string text = plain(guide_text());
    std::vector<std::pair<std::string, int>> items;
    for (const std::string& name : menu_resource_names())
        collect_items(menu_resource(name).items, items);
    std::vector<const AcceleratorTable*> tables;
    for (const std::string& name : accelerator_resource_names())
        tables.push_back(&accelerator_resource(name));
    ASSERT_GT(items.size(), 50u);

    int checked = 0;
    for (std::size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
        const std::size_t close = text.find(')', open);
        int key = 0;
        unsigned mods = 0;
        if (close == std::string::npos || !read_key(text.substr(open + 1, close - open - 1), key, mods))
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

namespace {

// A point inside a cell of a view, in its client's coordinates.
Point cell_point(TableView& view, int row, int column)
{
    const int y = table_row_y(*view.table(), row) + view.line_height() / 2;
    for (int x = 0; x < view.width(); ++x) {
        const TableView::Hit h = view.hit_test(x, y);
        if (h.kind == TableView::Hit::Cell && h.row == row && h.column == column)
            return Point{view.origin().x + x + 4, view.origin().y + y};
    }
    ADD_FAILURE() << "no point for row " << row << " column " << column;
    return Point{};
}

}  // namespace

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
    const Point node = cell_point(view, row, LAYOUT_NODE);
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
