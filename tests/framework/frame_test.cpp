// Frames, resources and command availability, on the headless backend.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <set>

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        set_title_file_text("");
    }

    void TearDown() override {
        for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()}) frame_destroy(*f);
        remove_backend();
    }

    // A frame served by the registry, with the layout menu, keys and tool bars.
    Frame& make_main() {
        Frame& m = main_frame();
        frame_create(m, "Korvane", "Korvane", nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
        frame_set_bars(m, toolbar_resource("LAYOUT_TOOLBAR"));
        return m;
    }

    const HeadlessWindow& win(const Frame& f) { return *hb->window(f.window); }

    HeadlessBackend* hb = nullptr;
};

WindowPlacement rect_placement(int left, int top, int right, int bottom, int show = WindowPlacement::SHOW_NORMAL) {
    WindowPlacement p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.show_cmd = show;
    return p;
}

// ---------------------------------------------------------------------------

TEST_F(FrameTest, TitleShowsProductTextAndFile) {
    Frame& m = make_main();
    frame_set_title(m, "Layout");
    EXPECT_EQ(frame_title(m), "Korvane - Layout [Untitled]");

    set_title_file_text(title_file_for_path("/data/models/pump.mod"));
    EXPECT_EQ(frame_title(m), "Korvane - Layout [pump.mod (/data/models)]");

    frame_set_title(m, "");
    EXPECT_EQ(frame_title(m), "Korvane [pump.mod (/data/models)]");

    // A mode that set its own title gets the file part added, and a later
    // file change replaces only the part from "[" on.
    backend().set_title(m.window, "Flange Qualification");
    frame_update_title_file(m);
    EXPECT_EQ(frame_title(m), "Flange Qualification [pump.mod (/data/models)]");
    set_title_file_text("");
    EXPECT_EQ(frame_title(m), "Flange Qualification [Untitled]");

    EXPECT_EQ(title_file_for_path(""), "Untitled");
    EXPECT_EQ(title_file_for_path("pump.mod"), "pump.mod");
}

TEST_F(FrameTest, FramesGoBackAlongTheirChain) {
    Frame& m = make_main();
    Frame& l = list_frame();
    Frame& r = results_frame();
    frame_create(l, "KorvaneList", "Korvane", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    frame_create(r, "KorvaneResults", "Korvane", nullptr, "RESULTS_MENU", nullptr, "RESULTS_ACCEL");
    frame_bring_to_front(m);
    l.previous_frame = &m;

    frame_activate(r, &l);
    EXPECT_EQ(r.previous_frame, &l);
    EXPECT_TRUE(win(r).visible);
    EXPECT_EQ(backend().active_window(), r.window);
    EXPECT_EQ(current_accelerator_frame(), &r);
    EXPECT_EQ(hb->accelerator_table(), &accelerator_resource("RESULTS_ACCEL"));

    frame_go_back(r);
    EXPECT_EQ(backend().active_window(), l.window);
    EXPECT_EQ(hb->accelerator_window(), l.window);

    // The close box of a frame without its own close handler hides it and
    // activates the frame before it; the window itself stays.
    EXPECT_FALSE(hb->script().close(l.window));
    EXPECT_NE(hb->window(l.window), nullptr);
    EXPECT_FALSE(win(l).visible);
    EXPECT_EQ(backend().active_window(), m.window);
    EXPECT_EQ(hb->accelerator_table(), &accelerator_resource("LAYOUT_ACCEL"));

    // The end of the chain: nothing happens.
    frame_go_back(m);
    EXPECT_EQ(backend().active_window(), m.window);
    // Activating a frame with itself as previous keeps the chain intact.
    frame_activate(l, &l);
    EXPECT_EQ(l.previous_frame, &m);
}

TEST_F(FrameTest, PlacementIsClampedToTheWorkArea) {
    const Rect work{0, 0, 1920, 1040};

    // Off screen: the size is kept and the window moves inside.
    WindowPlacement off = clamp_placement(rect_placement(5000, -300, 5800, 300), work);
    EXPECT_EQ(off.right - off.left, 800);
    EXPECT_EQ(off.bottom - off.top, 600);
    EXPECT_EQ(off.right, 1920);
    EXPECT_EQ(off.top, 0);

    // Partly outside on the left: shifted, not shrunk.
    WindowPlacement part = clamp_placement(rect_placement(-100, 100, 700, 700), work);
    EXPECT_EQ(part.left, 0);
    EXPECT_EQ(part.right, 800);

    // Larger than the work area: shrunk to it.
    WindowPlacement big = clamp_placement(rect_placement(-50, -50, 4000, 3000), work);
    EXPECT_EQ(big.left, 0);
    EXPECT_EQ(big.top, 0);
    EXPECT_EQ(big.right, 1920);
    EXPECT_EQ(big.bottom, 1040);

    // A work area that does not start at the origin (a panel on the left).
    WindowPlacement panel = clamp_placement(rect_placement(0, 0, 400, 300), Rect{64, 0, 1920, 1040});
    EXPECT_EQ(panel.left, 64);
    EXPECT_EQ(panel.right, 464);

    // Show states: maximised and hidden stay, minimised becomes normal, nonsense becomes normal.
    EXPECT_EQ(clamp_placement(rect_placement(0, 0, 400, 300, WindowPlacement::SHOW_MAXIMIZED), work).show_cmd,
              WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_EQ(clamp_placement(rect_placement(0, 0, 400, 300, WindowPlacement::SHOW_HIDE), work).show_cmd,
              WindowPlacement::SHOW_HIDE);
    EXPECT_EQ(clamp_placement(rect_placement(0, 0, 400, 300, WindowPlacement::SHOW_MINIMIZED), work).show_cmd,
              WindowPlacement::SHOW_NORMAL);
    EXPECT_EQ(clamp_placement(rect_placement(0, 0, 400, 300, 77), work).show_cmd, WindowPlacement::SHOW_NORMAL);

    // An empty or inverted rectangle, or extreme values, give a sound window inside.
    for (const WindowPlacement& bad : {rect_placement(500, 500, 500, 500), rect_placement(900, 0, 100, 600),
                                       rect_placement(INT_MIN, INT_MIN, INT_MAX, INT_MAX),
                                       rect_placement(INT_MAX - 10, 0, INT_MAX, 400)}) {
        WindowPlacement q = clamp_placement(bad, work);
        EXPECT_GE(q.left, work.left);
        EXPECT_GE(q.top, work.top);
        EXPECT_LE(q.right, work.right);
        EXPECT_LE(q.bottom, work.bottom);
        EXPECT_GT(q.right - q.left, 0);
        EXPECT_GT(q.bottom - q.top, 0);
    }
}

TEST_F(FrameTest, PlacementIsAppliedSavedAndMaximisedStateKept) {
    Frame& m = make_main();
    m.placement_name = MAIN_WINDOW_PLACEMENT;

    frame_set_placement(m, rect_placement(3000, 100, 3600, 500));
    EXPECT_TRUE(win(m).visible);
    EXPECT_FALSE(win(m).maximized);
    EXPECT_EQ(win(m).placement.right, 1920);
    EXPECT_EQ(win(m).placement.left, 1320);

    frame_set_placement(m, rect_placement(10, 10, 610, 410, WindowPlacement::SHOW_MAXIMIZED));
    EXPECT_TRUE(frame_is_maximized(m));

    // Hidden and brought back: maximised again, as it was.
    frame_hide(m);
    EXPECT_FALSE(frame_is_visible(m));
    frame_bring_to_front(m);
    EXPECT_TRUE(frame_is_visible(m));
    EXPECT_TRUE(frame_is_maximized(m));

    // Saving a hidden frame keeps the state it is to be shown in, never "hidden".
    frame_hide(m);
    frame_save_placement(m);
    std::optional<std::vector<uint8_t>> bytes =
        hb->settings().get_binary(settings_key(WINDOW_POSITIONS_KEY), MAIN_WINDOW_PLACEMENT);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 44u);
    std::optional<WindowPlacement> saved = WindowPlacement::from_bytes(*bytes);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->show_cmd, WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_EQ(saved->left, 10);
    EXPECT_EQ(saved->right, 610);
    EXPECT_EQ(saved_placement(MAIN_WINDOW_PLACEMENT), saved);

    // A hidden frame placed stays hidden.
    Frame& l = list_frame();
    frame_create(l, "KorvaneList", "Korvane", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    frame_set_placement_hidden(l, rect_placement(100, 100, 900, 700));
    EXPECT_FALSE(win(l).visible);
    EXPECT_EQ(win(l).placement.left, 100);
}

TEST_F(FrameTest, ToolButtonsShowHideEnableOnBothVariants) {
    register_command(CMD_RESULTS, [](int) {});
    Frame& m = make_main();
    const auto state = [&](int id) { return win(m).buttons.at(id); };

    // The results button starts hidden (shown when a results file exists).
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(false, false));
    EXPECT_FALSE(hb->script().click_button(m.window, CMD_RESULTS));

    frame_show_button(m, CMD_RESULTS);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(true, true));
    frame_disable_button(m, CMD_RESULTS);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(true, false));
    frame_enable_button(m, CMD_RESULTS);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(true, true));
    frame_hide_button(m, CMD_RESULTS);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(false, false));
    // Enabling a hidden button does not show it.
    frame_enable_button(m, CMD_RESULTS);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(false, true));

    // The preferences choose the variant; the states survive the switch.
    EXPECT_TRUE(win(m).bars_visible);
    EXPECT_FALSE(win(m).show_large);
    app_settings().preferences.large_buttons = true;
    frame_set_bar_a(m);
    EXPECT_TRUE(win(m).show_large);
    EXPECT_EQ(state(CMD_RESULTS), std::make_pair(false, true));
    app_settings().preferences.show_toolbar = false;
    frame_set_bar_a(m);
    EXPECT_FALSE(win(m).bars_visible);

    // Pointing at a button by position counts separators (position 5: graphics).
    app_settings().preferences.show_toolbar = true;
    frame_set_bar_a(m);
    frame_point_to_button_at(m, 5);
    std::optional<Point> centre = backend().button_center(m.window, CMD_GRAPHICS_BUTTON);
    ASSERT_TRUE(centre);
    EXPECT_EQ(hb->cursor(), *centre);
}

TEST_F(FrameTest, UnavailableCommandsAreGreyedAndBeep) {
    int saves = 0;
    register_command(CMD_EXIT, [](int) {});
    register_command(CMD_PRINT, [](int) {});
    Frame& m = make_main();
    frame_make_current(m);
    Script& s = hb->script();

    EXPECT_TRUE(win(m).menu.is_enabled(CMD_EXIT));
    EXPECT_FALSE(win(m).menu.is_enabled(CMD_SAVE));
    EXPECT_FALSE(s.menu_command(m.window, CMD_SAVE));

    // Ctrl+S of a command without handler beeps; its tool button is greyed
    // as its menu item is, and so are those of Print's neighbours without one.
    EXPECT_TRUE(s.key(m.window, 'S', MOD_CONTROL));
    EXPECT_EQ(s.beeps(), 1);
    const auto button = [&](int id) { return win(m).buttons.at(id); };
    EXPECT_EQ(button(CMD_SAVE), std::make_pair(true, false));
    EXPECT_FALSE(s.click_button(m.window, CMD_SAVE));
    EXPECT_EQ(button(CMD_PRINT), std::make_pair(true, true));
    for (int id : {CMD_GRAPHICS_BUTTON, CMD_ANALYZE, CMD_NEW, CMD_OPEN})
        EXPECT_EQ(button(id), std::make_pair(true, false)) << id;

    // A subsystem plugs the command in: item and button are enabled at once.
    register_command(CMD_SAVE, [&](int) { ++saves; });
    EXPECT_EQ(button(CMD_SAVE), std::make_pair(true, true));
    EXPECT_TRUE(s.menu_command(m.window, CMD_SAVE));
    EXPECT_TRUE(s.key(m.window, 'S', MOD_CONTROL));
    EXPECT_TRUE(s.click_button(m.window, CMD_SAVE));
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(s.beeps(), 1);

    unregister_command(CMD_SAVE);
    EXPECT_FALSE(s.menu_command(m.window, CMD_SAVE));
    EXPECT_EQ(button(CMD_SAVE), std::make_pair(true, false));

    // A renamed item keeps its state and reaches the window.
    EXPECT_TRUE(menu_set_state(m, CMD_GO_BACK, "&Results\tF3"));
    EXPECT_EQ(win(m).menu.find(CMD_GO_BACK)->text, "&Results\tF3");
    EXPECT_FALSE(menu_set_state(m, 4711, "Nothing"));

    // An item greyed for another reason is not enabled by the refresh; its button follows it.
    m.menu.enable(CMD_PRINT, false);
    frame_update_menu(m);
    EXPECT_FALSE(win(m).menu.is_enabled(CMD_PRINT));
    EXPECT_EQ(button(CMD_PRINT), std::make_pair(true, false));
    m.menu.enable(CMD_PRINT, true);
    frame_update_menu(m);
    EXPECT_EQ(button(CMD_PRINT), std::make_pair(true, true));

    // A command of one frame alone is available there only.
    int own = 0;
    Frame& g = graphics_frame();
    frame_create(g, "KorvaneGraphics", "Korvane", nullptr, "GRAPHICS_MENU", nullptr, "GRAPHICS_ACCEL");
    frame_register_command(g, CMD_RENDER, [&](int) { ++own; });
    EXPECT_TRUE(frame_command_available(g, CMD_RENDER));
    EXPECT_FALSE(frame_command_available(m, CMD_RENDER));
    EXPECT_TRUE(s.menu_command(g.window, CMD_RENDER));
    EXPECT_EQ(own, 1);

    // One that can be served only now and then is greyed, and its key beeps, meanwhile.
    bool ready = false;
    frame_set_bars(g, toolbar_resource("GRAPHICS_TOOLBAR"));
    frame_register_command(g, CMD_TURN, [&](int) { ++own; }, [&] { return ready; });
    frame_make_current(g);
    EXPECT_FALSE(win(g).menu.is_enabled(CMD_TURN));
    EXPECT_EQ(win(g).buttons.at(CMD_TURN), std::make_pair(true, false));
    EXPECT_TRUE(s.key(g.window, 'T', MOD_CONTROL));
    EXPECT_EQ(own, 1);
    EXPECT_EQ(s.beeps(), 2);
    ready = true;
    frame_update_menu(g);
    EXPECT_EQ(win(g).buttons.at(CMD_TURN), std::make_pair(true, true));
    EXPECT_TRUE(s.key(g.window, 'T', MOD_CONTROL));
    EXPECT_EQ(own, 2);

    // A frame with its own handler takes every command, with no greying or beep.
    std::vector<int> seen;
    Frame& r = results_frame();
    frame_create(r, "KorvaneResults", "Korvane", [&](int id) { seen.push_back(id); }, "RESULTS_MENU", nullptr,
                 "RESULTS_ACCEL");
    EXPECT_TRUE(win(r).menu.is_enabled(CMD_INPUT));
    EXPECT_TRUE(s.menu_command(r.window, CMD_INPUT));
    EXPECT_EQ(seen, std::vector<int>{CMD_INPUT});
    EXPECT_EQ(s.beeps(), 2);
}

TEST_F(FrameTest, FailingCommandShowsItsMessageOverTheFrame) {
    register_command(CMD_SAVE, [](int) { throw MessageText("Unable to write the model file"); });
    register_command(CMD_PRINT, [](int) { throw MessageText(""); });
    Frame& m = make_main();
    Script& s = hb->script();

    EXPECT_TRUE(s.menu_command(m.window, CMD_SAVE));
    EXPECT_EQ(s.last_message(), "Unable to write the model file");
    // An empty text cancels silently.
    s.clear_log();
    EXPECT_TRUE(s.menu_command(m.window, CMD_PRINT));
    EXPECT_TRUE(s.messages().empty());

    // Sent and posted commands take the same path, without a beep when unavailable.
    frame_send_command(m, CMD_SAVE);
    EXPECT_EQ(s.messages().size(), 1u);
    frame_send_command(m, CMD_MERGE);
    frame_post_command(m, CMD_SAVE);
    backend().process_events();
    EXPECT_EQ(s.messages().size(), 2u);
    EXPECT_EQ(s.beeps(), 0);
}

TEST_F(FrameTest, FrameCreationFailsCleanlyOnUnknownResources) {
    Frame& m = make_main();
    const WindowId before = m.window;
    EXPECT_THROW(frame_create(m, "Korvane", "Korvane", nullptr, "NO_SUCH_MENU", nullptr, "LAYOUT_ACCEL"),
                 MessageText);
    EXPECT_EQ(m.window, before);
    EXPECT_THROW(frame_create(list_frame(), "KorvaneList", "Korvane", nullptr, "LIST_MENU", nullptr, "NO_ACCEL"),
                 MessageText);
    EXPECT_EQ(list_frame().window, 0);
    EXPECT_THROW(frame_set_menu(m, "NO_SUCH_MENU"), MessageText);
    EXPECT_FALSE(m.menu.empty());
}

TEST_F(FrameTest, RecentModelsMenuFollowsTheList) {
    Frame& m = make_main();
    register_commands(CMD_RECENT_FIRST, CMD_RECENT_LAST, [](int) {});
    const auto popup = [&]() -> const MenuItem& {
        for (const MenuItem& item : win(m).menu.items()[0].items)
            if (item.text == RECENT_MODELS_TEXT) return item;
        throw MessageText("no recent models popup");
    };
    EXPECT_TRUE(popup().disabled);
    EXPECT_TRUE(popup().items.empty());

    for (const char* p : {"/m/a.mod", "/m/b.mod", "/m/c.mod", "/m/d.mod", "/m/e.mod", "/m/b.mod", "/m/R&D.mod"})
        add_recent_model(p);
    EXPECT_EQ(app_settings().recent_models,
              (std::vector<std::string>{"/m/R&D.mod", "/m/b.mod", "/m/e.mod", "/m/d.mod"}));

    // The menu is rebuilt when it opens.
    hb->script().menu_command(m.window, CMD_EXIT);
    ASSERT_EQ(popup().items.size(), 4u);
    EXPECT_FALSE(popup().disabled);
    EXPECT_EQ(popup().items[0].text, "&1 /m/R&&D.mod");
    EXPECT_EQ(popup().items[0].id, CMD_RECENT_FIRST);
    EXPECT_EQ(popup().items[3].text, "&4 /m/d.mod");
    EXPECT_EQ(popup().items[3].id, CMD_RECENT_LAST);
    EXPECT_TRUE(win(m).menu.is_enabled(CMD_RECENT_FIRST));
}

// ---------------------------------------------------------------------------
// Resources

// The key of a menu text's hint ("&Save\tCtrl+S"), or false when the hint
// names no accelerator of the window (Alt+F4, Tab, arrows are handled elsewhere).
bool hint_key(const std::string& text, Accelerator& out) {
    const size_t tab = text.find('\t');
    if (tab == std::string::npos) return false;
    std::string hint = text.substr(tab + 1);
    while (!hint.empty() && hint.front() == ' ') hint.erase(0, 1);
    unsigned mods = MOD_NONE;
    for (const auto& [prefix, mod] : {std::pair<std::string, unsigned>{"Ctrl+", MOD_CONTROL}, {"Shift+", MOD_SHIFT}})
        if (hint.rfind(prefix, 0) == 0) {
            mods |= mod;
            hint.erase(0, prefix.size());
        }
    int key = 0;
    if (hint.size() == 1 && std::isupper(static_cast<unsigned char>(hint[0]))) key = hint[0];
    else if (hint == "Ins") key = KEY_INSERT;
    else if (hint == "Num 2") key = KEY_NUMPAD2;
    else if (hint == "Num 8") key = KEY_NUMPAD8;
    else if (hint.size() >= 2 && hint[0] == 'F' && std::isdigit(static_cast<unsigned char>(hint[1])))
        key = KEY_F1 + std::stoi(hint.substr(1)) - 1;
    else return false;
    out = Accelerator{key, mods, 0};
    return true;
}

void collect_items(const std::vector<MenuItem>& items, std::vector<const MenuItem*>& out) {
    for (const MenuItem& item : items) {
        if (item.id != 0) out.push_back(&item);
        collect_items(item.items, out);
    }
}

TEST(MenuResources, KeyHintsMatchTheAcceleratorTables) {
    const std::pair<const char*, const char*> windows[] = {
        {"LAYOUT_MENU", "LAYOUT_ACCEL"}, {"LIST_MENU", "LIST_ACCEL"},
        {"RESULTS_MENU", "RESULTS_ACCEL"}, {"GRAPHICS_MENU", "GRAPHICS_ACCEL"}};
    for (const auto& [menu_name, accel_name] : windows) {
        const MenuTemplate& menu = menu_resource(menu_name);
        const AcceleratorTable& accel = accelerator_resource(accel_name);
        std::vector<const MenuItem*> items;
        collect_items(menu.items, items);
        std::set<int> ids;
        for (const MenuItem* item : items) {
            // A command appears once per menu: later items would never be found by id.
            EXPECT_TRUE(ids.insert(item->id).second) << menu_name << " repeats " << item->id;
            Accelerator key;
            if (!hint_key(item->text, key)) continue;
            EXPECT_EQ(accel.command_for(key.key, key.mods), item->id)
                << menu_name << " \"" << item->text << "\" is not a key of " << accel_name;
        }
        // Every key of the window is a command of its menu or a known key-only command.
        for (const Accelerator& a : accel.entries) {
            // Keys whose items the windows add while they need them.
            const bool key_only = a.id == CMD_SAVE || a.id == CMD_INSERT || a.id == CMD_OTHER_ITEM ||
                                  a.id == CMD_LOCAL_GLOBAL || a.id == CMD_NEXT_ITEM || a.id == CMD_PREVIOUS_ITEM ||
                                  a.id == CMD_ANIMATE || a.id == CMD_SHAPE;
            EXPECT_TRUE(ids.count(a.id) || key_only) << accel_name << " key for " << a.id << " has no menu item";
        }
    }
}

TEST(MenuResources, NamedTextsAndLookups) {
    const Menu layout(menu_resource("LAYOUT_MENU"));
    const std::vector<std::string> tops = {"&File", "&Edit", "&View", "&Options", "&Loads", "&Misc", "&Window", "&Help"};
    ASSERT_EQ(layout.items().size(), tops.size());
    for (size_t i = 0; i < tops.size(); ++i) EXPECT_EQ(layout.items()[i].text, tops[i]);
    EXPECT_EQ(layout.find(CMD_IMPORT)->text, "&Import...");
    EXPECT_EQ(layout.find(CMD_EXPORT)->text, "&Export to MBF...");
    EXPECT_EQ(layout.find(CMD_EXPORT_PCF)->text, "Export to PC&F...");
    EXPECT_EQ(layout.find(CMD_EXPORT_PLANT_DESIGN)->text, "Export to 3&D Plant Design");
    EXPECT_EQ(layout.find(CMD_EDIT_ROW)->text, "&Edit\tCtrl+E");
    EXPECT_EQ(layout.find(CMD_INSERT)->text, "&Insert\tCtrl+Ins");
    EXPECT_EQ(layout.find(CMD_DELETE)->text, "&Delete\tCtrl+X");
    EXPECT_EQ(layout.find(CMD_GO_BACK)->text, "&List\tF3");

    const Menu results(menu_resource("RESULTS_MENU"));
    EXPECT_EQ(results.items()[0].text, "&File");
    EXPECT_EQ(results.items()[0].items[2].text, RECENT_MODELS_TEXT);
    EXPECT_EQ(results.items()[2].text, "&View");
    EXPECT_EQ(results.items()[4].text, "&Window");
    EXPECT_EQ(results.find(CMD_EXPORT_PLANT_DESIGN_RESULTS)->text, "Export to &3D Plant Design...");

    EXPECT_EQ(accelerator_resource("LAYOUT_ACCEL").command_for(KEY_F12, MOD_NONE), CMD_ANALYZE);
    EXPECT_EQ(accelerator_resource("RESULTS_ACCEL").command_for(KEY_RIGHT, MOD_CONTROL), CMD_NEXT_ITEM);
    EXPECT_EQ(accelerator_resource("GRAPHICS_ACCEL").command_for(KEY_F12, MOD_NONE), CMD_HIDE_ELEMENTS);
    EXPECT_EQ(accelerator_resource("MAIN_ACCEL").command_for('N', MOD_CONTROL), CMD_NEW);

    try {
        menu_resource("NO_MENU");
        FAIL() << "an unknown menu was found";
    } catch (const MessageText& m) {
        EXPECT_NE(m.text.find("NO_MENU"), std::string::npos);
    }
    EXPECT_THROW(accelerator_resource("NO_ACCEL"), MessageText);
    EXPECT_THROW(toolbar_resource("NO_TOOLBAR"), MessageText);

    // Later windows add their own resources; the built-in ones cannot be replaced.
    MenuTemplate extra{"TEST_LIBRARY_MENU", {}};
    add_menu_resource(extra);
    const MenuTemplate& found = menu_resource("TEST_LIBRARY_MENU");
    extra.items.resize(1);
    extra.items[0].text = "&File";
    add_menu_resource(extra);
    EXPECT_EQ(&menu_resource("TEST_LIBRARY_MENU"), &found);
    EXPECT_EQ(found.items.size(), 1u);
    EXPECT_THROW(add_menu_resource(MenuTemplate{"LAYOUT_MENU", {}}), MessageText);
    EXPECT_THROW(add_accelerator_resource(AcceleratorTable{"RESULTS_ACCEL", {}}), MessageText);
}

}  // namespace
