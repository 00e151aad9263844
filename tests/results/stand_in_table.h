// A table that stands for a result table of a later issue in the tests: it
// names its result and the current load case in the window's title, steps
// the load case with the arrow keys, goes to the next result with Tab, has
// the load-case popup, and counts how often it was shown.
#pragma once

#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "results/results_load_cases.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <string>

class StandInTable : public TableWindow {
public:
    StandInTable(int kind, std::string name) : TableWindow(&results_frame(), 2, 1), kind_(kind), name_(std::move(name))
    {
        editing_allowed = false;
    }
    int shows = 0;
    void show()
    {
        ++shows;
        set_current_result(kind_);
        table_show_at(*this, name_, 3, 1, 0);
        table_window_show(*this);
        refresh();
    }
    void refresh() { set_results_title(name_); }
    std::string cell_text(int row, int column, int) override { return column == 1 ? std::to_string(row) : name_; }
    void on_load_case_changed() override { refresh(); }
    void on_enter() override { add_load_case_menu_items(); }
    void on_leave() override { remove_load_case_menu_items(); }
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        if (key == KEY_LEFT || key == KEY_RIGHT) {
            key == KEY_LEFT ? previous_load_case() : next_load_case();
            refresh();
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void context_menu(Point) override { table_popup_menu(*this, load_case_results_popup()); }

private:
    int kind_;
    std::string name_;
};

