// A pick list: rows of a few columns shown as a table in SELECT_DIALOG, over
// its item 1500, to choose one from (another support, another machine...).
// At most 8 rows show (more scroll); a double-click or Enter on a row, or
// OK, picks the current row; Cancel picks none.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <string>
#include <vector>

struct PickListColumn {
    std::string heading;
    // The column is at least as wide as this text (and as its heading and cells).
    std::string width_text;
};

struct PickList {
    std::string caption;
    std::vector<PickListColumn> columns;
    int rows = 0;
    int current = 1;
    std::function<std::string(int row, int column)> cell;   // row and column from 1
};

inline constexpr int PICK_LIST_TABLE = 1500;
inline constexpr int PICK_LIST_VISIBLE_ROWS = 8;

// The picked row (1..rows), 0 when cancelled or when there are no rows.
int run_pick_list(const PickList& list, WindowId owner);
