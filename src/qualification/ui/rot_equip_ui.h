// The "Rotating Equipment Report" of the results window: the pump and the
// compressor/turbine report windows (tables whose rows are the report's
// stored lines, which Export writes as the window shows them, each field a
// cell), stepping through machines and load cases with wrap-around,
// the "Other Rotating Equipment" pick list (F6), the report's own load-case
// chooser, the results menu items, and printing every machine's reports.
//
// The results window reaches the report through rot_equip_command and
// show_rot_equip; what it offers back (Tab to the next result, registering
// the report as its current result, its own load-case chooser) comes
// through RotEquipUiHooks.
#pragma once

#include "platform/backend.h"

#include <functional>

struct Frame;
class TableWindow;

struct RotEquipUiHooks {
    // Tab (Shift+Tab) in a report window: the results window's next
    // (previous) result.
    std::function<void(unsigned mods)> cycle_result;
    // The report became the results window's current result.
    std::function<void()> made_current;
    // "&Load Cases..." with fewer than two listed cases: the results
    // window's own load-case chooser.
    std::function<void(WindowId owner)> results_load_cases;
};
RotEquipUiHooks& rot_equip_ui_hooks();

inline constexpr const char* ROT_EQUIP_TITLE = "Rotating Equipment Report";

// Shows entry rot_equip_report().current for the current listed load case.
void show_rot_equip();
void next_rot_equip();
void previous_rot_equip();
// The next or previous entry of the load-case list (with at least two), shown.
void next_rot_load_case();
void previous_rot_load_case();
// F6: the pick list of every machine; the picked one is shown.
void select_rot_equip(WindowId owner);
// The load-case chooser of the report: the results window's radio list of
// the report's cases (RESULT_LOAD_CASES3_DIALOG for up to 3...).
void choose_rot_load_case(WindowId owner);

// The results frame's commands while the report is shown: 287 (F6), 330,
// 331 (Ctrl+Right, Ctrl+Left), 231, 228, 229. False for any other.
bool rot_equip_command(int id, WindowId owner);
// The equipment items (with two or more machines) and the load-case items
// (with two or more cases) of the results menu, before the item of 174,
// with their tool buttons; and their removal.
void add_rot_equip_menu_items(Frame& frame);
void remove_rot_equip_menu_items(Frame& frame);

// The reports of every machine for every listed case (results printing).
void print_rot_equip_reports();

TableWindow& pump_report_window();
TableWindow& compressor_report_window();
// Both windows back to their first row.
void reset_rot_equip_windows();

// The report in the results window: built after the results are read, the
// chooser's "&Rot. equip report", its F6, Ctrl+Right and Ctrl+Left, its
// load-case chooser, and dropped when results are left.
void install_rot_equip_results();
