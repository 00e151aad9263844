// Results mode: the results window (the results frame, "KorvaneResults",
// with RESULTS_MENU, RESULTS_ACCEL and its tool bars), entering it for the
// current model and leaving it, its commands, the menu items and tool-bar
// buttons that follow the result on screen, the right-button popups, the
// tool-tips, and the changes results mode makes to the layout and list
// windows.
#pragma once

#include "platform/handles.h"
#include "platform/resources.h"

#include <functional>
#include <string>

// ---- Entering and leaving ---------------------------------------------------------

// Enters results mode for the current model: its results file (the model
// path with the extension "res") is read and the result chooser comes up.
// "The model has not been saved and analyzed yet." without a path;
// "Results file: %s\nDoes not exist." without a file; a bad file shows its
// message and results mode is left again, the model as it was. Results
// older than their model open marked "(out of date)".
void open_results();
// The reading part of open_results: sets in_results and input_locked, reads
// the results (results_session.h), builds the result list.
void init_results();
// Leaves results mode: frees the results, gives the layout and list windows
// their menus back, clears in_results and input_locked. Nothing when not in
// results mode.
void terminate_results();
// True when the open results are older than their model.
bool results_out_of_date();

// The frame title of the results window: the text, ": " and the current
// load case's name (and "(out of date)" for older results).
void set_results_title(const std::string& text);
// A title that names no load case (the time-history tables).
void set_results_title_fixed(const std::string& text);
// The text given last (the title follows the load case with it).
const std::string& results_title_base();

// ---- Menu items and tool-bar buttons of the shown result ---------------------------

void add_load_case_menu_items();
void remove_load_case_menu_items();
void add_support_menu_items();
void remove_support_menu_items();
void remove_summary_menu_items();
// `other_forces`: more than one element-force kind; `global`: global forces shown.
void add_force_menu_items(bool other_forces, bool global);
void remove_force_menu_items();
void add_displacement_menu_items();
void remove_displacement_menu_items();
// A time-history table: its Other item (287) and F6.
void add_time_history_menu_items();
void remove_time_history_menu_items();

// The results the graphics view draws on: the deflected or mode shape
// (216, 221) belongs to the displacements and the modal results, the
// stress and stress-ratio colouring (332, 333) to the sorted stresses.
bool result_shows_shapes(int kind);
bool result_colours_stresses(int kind);
// Brings the View menu's shape and colouring items and their tool-bar
// buttons to the result on screen: shown and enabled while it needs them,
// hidden again when it leaves (set_current_result calls it).
void follow_current_result();

// ---- Popups ---------------------------------------------------------------------------

// The items of the right-button popups.
void append_results_menu_items(MenuItem& popup);
void append_load_case_menu_items(MenuItem& popup);
void append_displacement_menu_items(MenuItem& popup);
// The popups of the result tables (Part of each table's context menu).
MenuItem plain_results_popup();
MenuItem load_case_results_popup();
MenuItem support_summary_popup();
MenuItem time_history_popup();

// ---- Commands whose meaning follows the shown result --------------------------------------

// The text of a tool button's tip by the state (results_tooltip); the
// shape, animation and colouring buttons read the state of the view.
std::string results_tooltip(int command);
// The tips of the tool buttons made again (after the view's state changed).
void update_results_tooltips();
// Brings the results window's menu to the state of the moment (before a
// menu drops down) and the tool-tips with it.
void results_menu_popup();
void other_item_command();
void next_item_command();
void previous_item_command();
void local_global_command();

// The other / next / previous of the shown result, registered by the
// result tables that have one (element forces, displacements, rotating
// equipment, FRP stresses).
struct ResultItemCommands {
    std::function<void()> other, next, previous, local_global;
    std::function<std::string(int command)> tip;   // 287, 330, 331, 288
};
void set_result_item_commands(int result_kind, ResultItemCommands commands);

// Registers the results window's commands, the opener of ".res" files and
// the Results command of the layout window (install_results_ui).
void install_results_ui();
