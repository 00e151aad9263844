// A pick list: a modal dialog (SELECT_DIALOG) that shows rows in a table of
// a few columns and returns the row chosen. OK, Enter or a double click
// choose the current row; Cancel chooses none.
#pragma once

#include "platform/handles.h"

#include <functional>
#include <string>
#include <vector>

// The table control of SELECT_DIALOG.
inline constexpr int PICK_LIST_TABLE = 1500;

struct PickListColumn {
    std::string heading;
    // The cell of a row 1..count.
    std::function<std::string(int row)> cell;
    // The width the column takes at least: the width of this text (empty: none).
    std::string least_width_text;
};

struct PickList {
    std::string title;
    std::vector<PickListColumn> columns;
    int count = 0;
    int visible_rows = 12;     // at most this many rows show at once
    int current = 1;           // the row current when the dialog opens
};

// The chosen row (1..count), 0 when cancelled or when there are no rows.
int run_pick_list(const PickList& list, WindowId owner);
