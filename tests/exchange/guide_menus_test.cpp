// The guide names every command of the menus the program builds: each
// command of a window's menu bar, as its resource holds it and as the window
// shows it with a table, a library or a result on screen, in that window's
// part of the Menus chapter; each command of a popup menu (the tables', the
// graphics window's) somewhere in the guide; and every link of the chapter
// leads to a page of the guide.
#include "exchange_fixture.h"
#include "framework/ui/menus.h"
#include "graphics/model_view.h"
#include "graphics/view_transform.h"
#include "guide_text.h"
#include "materials/ui/library_mode.h"
#include "model/nodes.h"
#include "model/ui/model_commands.h"
#include "result_tables_walk.h"
#include "results/ui/results_window.h"

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Where the guide names a command: the part of the Menus chapter of a
// menu resource ("LAYOUT_MENU"), or anywhere (POPUPS).
const std::string POPUPS;

// The commands of the menus the program built, by where the guide must name
// them, each with the first place it was seen.
class BuiltMenus {
public:
    // A window's menu bar as the window has it now (its resource's name).
    void bar(const Menu& menu, const std::string& seen) { items(menu.name(), menu.items(), seen); }
    void items(const std::string& resource, const std::vector<MenuItem>& items, const std::string& seen)
    {
        for (const MenuItem& item : items) {
            this->items(resource, item.items, seen);
            if (item.id != 0)
                add(resource, menu_command_name(item.text), seen);
        }
    }
    // The popup menus the scripted backend was shown since the last call.
    void popups(Script& script, const std::string& seen)
    {
        for (const ScriptEvent& e : script.log())
            if (e.kind == ScriptEvent::PopupMenu) {
                std::istringstream lines(e.text);
                for (std::string line; std::getline(lines, line);)
                    add(POPUPS, menu_command_name(line), seen);
            }
        script.clear_log();
    }
    // A table's right-button menu.
    void table_popup(TableWindow* table, Script& script, const std::string& seen)
    {
        if (!table)
            return;
        script.clear_log();
        table->context_menu({});
        popups(script, seen);
    }

    std::map<std::string, std::map<std::string, std::string>> names;

private:
    void add(const std::string& where, const std::string& name, const std::string& seen)
    {
        if (!name.empty())
            names[where].emplace(name, seen);
    }
};

using GuideSentences = ExchangeProgramTest;

}  // namespace

TEST_F(GuideSentences, EveryCommandOfEveryMenuIsNamedInTheGuide)
{
    BuiltMenus built;
    for (const std::string& name : menu_resource_names())
        built.items(name, menu_resource(name).items, name);

    // The library windows, each with its table's popup.
    for (const int kind : {NEW_KIND_MATERIAL_LIBRARY, NEW_KIND_BEAM_LIBRARY, NEW_KIND_SPECTRUM_LIBRARY,
                           NEW_KIND_VALVE_LIBRARY}) {
        model_modified() = false;
        model_file_hooks().new_document[static_cast<std::size_t>(kind)](0);
        built.bar(list_frame().menu, "a library window");
        built.table_popup(list_window_table(), script(), "a library's table");
        leave_library_mode();
    }

    // The sample model: the layout, every table of the list window, the
    // graphics window and its mouse buttons' popups.
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    present_layout_window();
    built.bar(main_frame().menu, "the layout window");
    built.table_popup(&layout_table(), script(), "the layout");
    for (const DataList& list : data_lists()) {
        if (!list.open)
            continue;
        list.open();
        built.bar(list_frame().menu, "the list window with " + list.name);
        built.table_popup(list_window_table(), script(), list.name);
        built.table_popup(list_lower_table(), script(), list.name + ", lower pane");
    }
    const auto graphics_popups = [&](const std::string& seen) {
        ASSERT_TRUE(run_command(CMD_GRAPHICS));
        built.bar(graphics_frame().menu, "the graphics window " + seen);
        const WindowId client = graphics_frame().client;
        script().clear_log();
        script().mouse_down(client, MouseButton::Right, 5, 5);
        script().mouse_down(client, MouseButton::Middle, 1, 1);
        script().mouse_up(client, MouseButton::Middle, 1, 1);
        // The middle button on an element: the pipe from node 35 to 40.
        script().paint(client);
        const Vec3 a = node_position(model(), node_index(35)), b = node_position(model(), node_index(40));
        float sx = 0.0f, sy = 0.0f;
        project_point((a.x + b.x) / 2.0, (a.y + b.y) / 2.0, (a.z + b.z) / 2.0, sx, sy);
        double px = 0.0, py = 0.0;
        view_to_client(sx, sy, px, py);
        script().mouse_down(client, MouseButton::Middle, static_cast<int>(px), static_cast<int>(py));
        script().mouse_up(client, MouseButton::Middle, static_cast<int>(px), static_cast<int>(py));
        built.popups(script(), "the graphics window's mouse buttons " + seen);
    };
    ASSERT_NO_FATAL_FAILURE(graphics_popups("with the model"));

    // The results: every result table with its menus, in both axes, every
    // case and item; the layout and list windows while results are open.
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    walk_result_tables([&](const std::string& what) {
        built.bar(results_frame().menu, "the results window with " + what);
        built.table_popup(results_table_view().table(), script(), what);
    });
    built.bar(main_frame().menu, "the layout window with results");
    built.bar(list_frame().menu, "the list window with results");
    for (const DataList& list : data_lists()) {
        if (!list.open || (list.count && list.count() == 0))
            continue;
        list.open();
        built.table_popup(list_window_table(), script(), list.name + " with results");
    }
    // The displacements with their deflected shape, which the graphics
    // window's popup offers too.
    ASSERT_TRUE(results_hooks().show[RESULT_DISPLACEMENTS]);
    results_hooks().show[RESULT_DISPLACEMENTS]();
    frame_command(results_frame(), CMD_SHAPE);
    built.bar(results_frame().menu, "the results window with the deflected shape");
    ASSERT_NO_FATAL_FAILURE(graphics_popups("with the deflected shape"));
    // The items of the results that the sample has not: a time history, and
    // the popups of the support load summary and of the time-history tables.
    add_time_history_menu_items();
    built.bar(results_frame().menu, "the results window with a time history");
    remove_time_history_menu_items();
    built.items(POPUPS, time_history_popup().items, "a time-history table");
    built.items(POPUPS, support_summary_popup().items, "the support load summary");

    const std::string guide = built_guide();
    const std::size_t chapter = guide.find("<a name=\"menus\">");
    ASSERT_NE(chapter, std::string::npos);
    const std::string menus = guide.substr(chapter, guide.find("<h1>Dialogs</h1>", chapter) - chapter);
    // The part of the chapter of a menu resource: from its anchor to the next.
    const auto part_of = [&menus](const std::string& resource) {
        const std::size_t start = menus.find("<a name=\"menus-" + resource + "\">");
        if (start == std::string::npos)
            return std::string();
        return menus.substr(start, menus.find("<a name=\"menus-", start + 1) - start);
    };
    int named = 0;
    for (const auto& [where, names] : built.names) {
        const std::string part = where == POPUPS ? guide : part_of(where);
        EXPECT_FALSE(part.empty()) << "the Menus chapter has no part of " << where;
        for (const auto& [name, seen] : names) {
            EXPECT_NE(part.find("<b>" + name + "</b>"), std::string::npos)
                << name << " (" << seen << ") is not named " << (where == POPUPS ? "in the guide" : "under " + where);
            ++named;
        }
    }
    EXPECT_GT(built.names.size(), 11u);
    EXPECT_GT(named, 250);

    // The contents lead to the chapter, and each of its links to a page.
    EXPECT_NE(guide.substr(0, guide.find("<h2>")).find("href=\"#menus\""), std::string::npos);
    int links = 0;
    for (std::size_t at = menus.find("href=\"#"); at != std::string::npos; at = menus.find("href=\"#", at + 1)) {
        const std::string anchor = menus.substr(at + 7, menus.find('"', at + 7) - at - 7);
        EXPECT_NE(guide.find("<a name=\"" + anchor + "\">"), std::string::npos) << "no page " << anchor;
        ++links;
    }
    EXPECT_GT(links, 60);
}
