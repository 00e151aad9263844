// A CSV text read back as its rows of cells: cells end at ',' and rows at
// a line end; a quoted cell holds commas and line ends, and its doubled
// quotes read as one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> csv_rows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1);
    std::string cell;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                cell += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\n') {
            rows.back().push_back(cell);
            cell.clear();
            if (c == '\n')
                rows.emplace_back();
        } else {
            cell += c;
        }
    }
    if (!cell.empty())
        rows.back().push_back(cell);
    if (rows.back().empty())
        rows.pop_back();
    return rows;
}
