// Exports of report windows against what the window shows: a paint's
// recorded texts row by row, and the exported CSV's cells.
#pragma once

#include "csv_text.h"
#include "framework/ui/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace window_export {

// The texts a paint of a window drew, row by row (by their line's y, top
// down), each row's texts in the order drawn. Recorded as
// `text X Y "TEXT" ALIGN`.
inline std::vector<std::vector<std::string>> painted_rows(const std::vector<std::string>& painted)
{
    std::map<int, std::vector<std::string>> rows;
    for (const std::string& l : painted) {
        if (l.rfind("text ", 0) != 0)
            continue;
        const std::size_t open = l.find('"'), close = l.rfind('"');
        if (open == std::string::npos || close <= open)
            continue;
        int x = 0, y = 0;
        if (std::sscanf(l.c_str(), "text %d %d", &x, &y) != 2)
            continue;
        // A cell of the file is trimmed of blanks, so the text drawn is too.
        const std::string drawn = l.substr(open + 1, close - open - 1);
        const std::size_t first = drawn.find_first_not_of(' '), last = drawn.find_last_not_of(' ');
        const std::string text = first == std::string::npos ? std::string() : drawn.substr(first, last - first + 1);
        if (!text.empty())
            rows[y].push_back(text);
    }
    std::vector<std::vector<std::string>> out;
    for (auto& [y, texts] : rows)
        out.push_back(std::move(texts));
    return out;
}

// The cells of the first CSV row whose first cell is `first`.
inline std::vector<std::string> row_starting(const std::string& csv, const std::string& first)
{
    for (const std::vector<std::string>& row : csv_rows(csv))
        if (!row.empty() && row[0] == first)
            return row;
    return {};
}

// The cells of the first CSV row that holds a cell `text`.
inline std::vector<std::string> row_holding(const std::string& csv, const std::string& text)
{
    for (const std::vector<std::string>& row : csv_rows(csv))
        if (std::find(row.begin(), row.end(), text) != row.end())
            return row;
    return {};
}

inline std::size_t index_of(const std::vector<std::string>& cells, const std::string& text)
{
    return static_cast<std::size_t>(std::find(cells.begin(), cells.end(), text) - cells.begin());
}

// The file against a paint of the window: each row of the table, which the
// window draws with its row number in front, a line of the file after the
// caption, its cells (empty ones left out) the texts the window draws in the
// row, in the order drawn.
inline void expect_export_shows_the_window(const std::string& csv, const TableWindow& table,
                                           const std::vector<std::string>& paint)
{
    const std::vector<std::vector<std::string>> file = csv_rows(csv);
    const std::vector<std::vector<std::string>> painted = painted_rows(paint);
    ASSERT_GE(table.row_count, 1);
    ASSERT_EQ(file.size(), static_cast<std::size_t>(table.row_count) + 1) << csv;
    ASSERT_EQ(painted.size(), static_cast<std::size_t>(table.row_count)) << "every row painted at once";
    for (std::size_t r = 0; r < painted.size(); ++r) {
        ASSERT_FALSE(painted[r].empty());
        EXPECT_EQ(painted[r].front(), std::to_string(r + 1));
        const std::vector<std::string> shown(painted[r].begin() + 1, painted[r].end());
        std::vector<std::string> cells;
        for (const std::string& c : file[r + 1])
            if (!c.empty())
                cells.push_back(c);
        EXPECT_EQ(cells, shown) << "row " << r + 1;
    }
}

}  // namespace window_export
