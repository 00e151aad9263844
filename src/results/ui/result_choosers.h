// The choosers of the results window: the result chooser and the result
// list, the load-case chooser, the Other Supports chooser and the support
// loads result, the support load summary's support pick list, First-Level
// Checks and Thresholds.
//
// The three radio-list choosers share one dialog: a scrolling list of the
// entries (so that every entry can be reached, however many), whose
// template name follows the number of entries ("RESULTS3_DIALOG" to
// "RESULTS18_DIALOG", "RESULT_LOAD_CASES3_DIALOG" to
// "RESULT_LOAD_CASES110_DIALOG", "OTHER2_DIALOG" to "OTHER9_DIALOG"). The
// arrow keys move the choice; a click on an entry or OK chooses; Cancel
// chooses none.
#pragma once

#include "platform/handles.h"
#include "platform/resources.h"

#include <string>
#include <vector>

// The list control of the radio-list dialogs; entry i is row i - 1.
inline constexpr int RADIO_LIST = 1400;

struct RadioListChoice {
    std::string template_name;
    std::string caption;
    std::vector<std::string> entries;
    int current = 1;           // the entry checked when the dialog opens
    int width = 0, height = 0; // client size in dialog units (0: the template's)
};
// The chosen entry 1..n, 0 when cancelled.
int run_radio_list(const RadioListChoice& choice, WindowId owner);

// The template names by the number of entries.
std::string results_chooser_template(int count);
std::string load_cases_chooser_template(int count);
std::string other_supports_template(int count);
// The client size of the load-case chooser above 22 cases (0, 0 up to 22).
std::pair<int, int> load_cases_chooser_size(int count);

// ---- The result list ------------------------------------------------------------------

// Builds the list of the results that are offered now and clears the
// current result.
void build_result_list();
// The kinds offered, in order.
const std::vector<int>& result_list();
// The chooser's template name.
std::string result_chooser_template();
// The current result's place in the list (1-based); 1 when there is none.
int current_result_index();
// Shows entry `index` (1-based) after stopping an animation; 0 nothing.
void show_result(int index);
void run_result_chooser(WindowId owner);
void next_result();
void previous_result();
// The Tab key of the result tables: previous with Shift, else next.
void cycle_result(unsigned mods);

// ---- Load cases -----------------------------------------------------------------------

// The load-case chooser: the chosen case becomes current and the shown
// table reloads.
void choose_results_load_case(WindowId owner);
// After the current case changed: the shown table reloads (or, with none,
// the window's title follows), then results_case_changed.
void results_load_case_changed();
// The one way the news of a new current load case or mode reaches the
// graphics (ResultsHooks::case_changed): every command that changes either
// ends with it, so that the shape, its animation, the colouring and the
// titles drawn are those of the case now current.
void results_case_changed();

// ---- Support loads ---------------------------------------------------------------------

// The support kinds the model has, in the Other Supports order.
void build_support_kind_list();
const std::vector<int>& support_kind_list();
bool several_support_kinds();
std::string support_kinds_template();
// The "&Support loads" result: the current kind's table (the first kind's
// when none is current).
void show_support_loads();
void choose_support_kind(WindowId owner);
void next_support_kind();
void previous_support_kind();
int current_support_kind();

// ---- Support load summary --------------------------------------------------------------

// Shows the summary table of the current summary support's kind.
void show_support_load_summary();
// The pick list "Support load summary" of all supports in kind order.
void choose_summary_support(WindowId owner);
void show_next_summary_support();
void show_previous_summary_support();
// In a text report: the heading "Support load summary" (on a new page when
// fewer than 4 lines are left) and every support's summary, in kind order.
void print_support_load_summary();

// ---- Thresholds and First-Level Checks ---------------------------------------------------

// The thresholds and the stress-ratio kind are the code display's
// (codes/stress_display.h: stress_display_flags()), which the views read.
// THRESHOLDS_DIALOG; true when stored.
bool thresholds_dialog(WindowId owner);
// CHECKSTRESS_DIALOG.
void first_level_checks_dialog(WindowId owner);
const DialogTemplate& thresholds_template();
const DialogTemplate& first_level_checks_template();
