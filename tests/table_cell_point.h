// Where a click lands in a cell of a table's view: a point in the client
// coordinates of the window the view is a pane of (its origin added), for
// the tests that click into cells as a user does.
#pragma once

#include "framework/ui/table.h"

#include <gtest/gtest.h>

// A point of a cell of a view (column 0: the row's number), near its left
// edge; a failure, and the origin, when the view shows no such cell.
inline Point table_cell_point(const TableView& view, int row, int column)
{
    const int y = table_row_y(*view.table(), row) + view.line_height() / 2;
    for (int x = 0; x < view.width(); ++x) {
        const TableView::Hit h = view.hit_test(x, y);
        if (h.row == row && h.column == column &&
            (h.kind == TableView::Hit::Cell || (column == 0 && h.kind == TableView::Hit::RowNumber)))
            return Point{view.origin().x + x + 2, view.origin().y + y};
    }
    ADD_FAILURE() << "no point for row " << row << " column " << column;
    return Point{};
}
