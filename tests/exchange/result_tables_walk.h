// Every table the results window shows, one after the other as a user
// reaches them: each result of the result list (the hanger report, which
// is a report and not a table, left out), in local and in global axes, in
// every load case, and each of its other items (support kind, support,
// element kind) until the first comes round again.
#pragma once

#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <functional>
#include <string>
#include <vector>

inline void walk_result_tables(const std::function<void(const std::string& what)>& visit)
{
    const std::vector<int> kinds = result_list();
    for (std::size_t i = 1; i <= kinds.size(); ++i) {
        if (kinds[i - 1] == RESULT_HANGER_REPORT)
            continue;
        show_result(static_cast<int>(i));
        for (int axes = 0; axes < 2; ++axes) {
            for (int c = 1; c <= results().load_case_count(); ++c) {
                set_results_load_case_index(c);
                results_load_case_changed();
                const std::string first = results_frame().title_text;
                for (int item = 0; item < 50; ++item) {
                    visit("result " + std::to_string(kinds[i - 1]));
                    next_item_command();
                    if (results_frame().title_text == first)
                        break;
                }
            }
            local_global_command();
        }
    }
}
