// The results window's own memory (one session part): what the choosers,
// the menus and the window share while results are shown.
#pragma once

#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <map>
#include <string>
#include <vector>

struct ResultsUiState {
    int current_result = RESULT_NONE;
    std::vector<int> result_list;
    std::vector<int> support_kinds;          // the kinds the model has, by Other Supports order
    int current_support_kind = -1;
    std::string title_base = "Results";
    bool out_of_date = false;
    bool return_to_layout = false;
    // The model was modified when the results opened; after leaving, the
    // model whose only changes since were made in results mode (the QA
    // block, units), whose results stay current when it is saved.
    bool modified_at_entry = false;
    std::string results_only_changes;
    // The model being saved is unchanged since it was read or last saved,
    // and its results were current: they stay current after the save.
    bool unchanged_save_of_current = false;
    // The item sets in the Results menu now.
    bool load_case_items = false;
    bool support_items = false;
    bool force_items = false;
    bool displacement_items = false;
    bool time_history_items = false;
    bool shape_items = false;     // 216, 221, 300 in View
    bool stress_items = false;    // 332, 333 in View
    // Handlers of the layout and list windows that results mode replaces.
    std::map<int, std::function<void(int)>> saved_main_commands;
    std::map<int, std::function<void(int)>> saved_list_commands;
    std::map<int, ResultItemCommands> item_commands;   // by result kind
};
ResultsUiState& results_ui();
