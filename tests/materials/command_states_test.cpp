// Every command the program offers through a menu item, an accelerator key
// or a tool button is enabled exactly when something serves it. The program
// is started headless with all its subsystems, as main() starts it, and each
// window is checked at start and with each property-set table shown.
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "materials/ui/beam_library_ui.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/materials_subsystem.h"
#include "materials/ui/valve_library_ui.h"
#include "model/ui/layout_install.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_subsystem.h"
#include "materials/program_fixture.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class CommandStatesTest : public HeadlessProgramTest {
protected:
    // What the user sees of a frame's commands agrees with what serves them.
    void expect_enabled_only_when_served(Frame& f, const std::string& where)
    {
        hb->window(f.window)->frame_events->on_menu_opening();
        const HeadlessWindow& w = *hb->window(f.window);
        for (int id : w.menu.command_ids()) {
            const bool served = frame_command_available(f, id);
            EXPECT_TRUE(served || !w.menu.is_enabled(id)) << where << ": menu item " << id << " enabled without a handler";
        }
        std::set<int> buttons;
        for (const ToolBar* bar : {&f.large_bar, &f.small_bar})
            for (const ToolButton& b : bar->buttons)
                if (b.id != 0)
                    buttons.insert(b.id);
        for (int id : buttons) {
            const auto state = w.buttons.find(id);
            ASSERT_NE(state, w.buttons.end()) << where << ": button " << id << " has no state";
            const auto [visible, enabled] = state->second;
            EXPECT_TRUE(frame_command_available(f, id) || !enabled) << where << ": button " << id << " enabled without a handler";
            // A shown button is greyed exactly when its item is.
            EXPECT_TRUE(!visible || enabled == frame_command_enabled(f, id)) << where << ": button " << id;
            EXPECT_TRUE(!visible || !w.menu.contains(id) || enabled == w.menu.is_enabled(id))
                << where << ": button " << id << " and its item";
        }
        // A key of a command that nothing serves beeps and does nothing else.
        if (!f.accel)
            return;
        frame_make_current(f);
        for (const Accelerator& a : f.accel->entries) {
            if (frame_command_available(f, a.id))
                continue;
            const int beeps = hb->script().beeps();
            const size_t events = hb->script().log().size();
            hb->script().key(f.window, a.key, a.mods);
            EXPECT_EQ(hb->script().beeps(), beeps + 1) << where << ": key of " << a.id;
            EXPECT_EQ(hb->script().log().size(), events) << where << ": key of " << a.id;
        }
    }

};

TEST_F(CommandStatesTest, EveryWindowEnablesOnlyWhatItServes)
{
    for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()})
        expect_enabled_only_when_served(*f, f->class_name);

    // The layout window's buttons that nothing serves yet are greyed, as their items.
    const HeadlessWindow& main = *hb->window(main_frame().window);
    for (int id : {CMD_PRINT, CMD_GRAPHICS_BUTTON, CMD_ANALYZE}) {
        const bool served = frame_command_available(main_frame(), id);
        EXPECT_EQ(main.buttons.at(id), std::make_pair(true, served)) << id;
    }

    // The list window with each table of the Misc menu.
    for (int table : {CMD_MATERIALS, CMD_SECTIONS, CMD_SOILS, CMD_BEAM_MATERIALS, CMD_BEAM_SECTIONS}) {
        frame_command(main_frame(), table);
        ASSERT_NE(list_window_table(), nullptr) << table;
        expect_enabled_only_when_served(list_frame(), list_window_table()->title);
    }
    const HeadlessWindow& list = *hb->window(list_frame().window);
    const bool graphics = frame_command_available(list_frame(), CMD_GRAPHICS_BUTTON);
    EXPECT_EQ(list.buttons.at(CMD_GRAPHICS_BUTTON), std::make_pair(true, graphics));
    close_list_window();
    expect_enabled_only_when_served(list_frame(), "list window without a table");

    // The list window of each library.
    for (const auto& [start, where] : std::vector<std::pair<void (*)(), std::string>>{
             {new_material_library, "material library"},
             {new_beam_library, "beam library"},
             {new_valve_library, "valve library"}}) {
        start();
        ASSERT_TRUE(library_mode_active()) << where;
        expect_enabled_only_when_served(list_frame(), where);
        close_model();
        ASSERT_FALSE(library_mode_active()) << where;
        expect_enabled_only_when_served(list_frame(), "list window after the " + where);
    }
    EXPECT_TRUE(hb->script().faults().empty()) << hb->script().faults().front();
}

}  // namespace
