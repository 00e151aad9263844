// The contents pages of a text report read back as a reader reads them:
// each entry's title (its lines joined when it goes on over several), its
// level by its indentation and the page number at the end of its last line.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

struct ShownEntry {
    int level = 0;
    std::string title;
    int page = 0;
};

// The pages before the page of the first entry are the contents pages; on
// each, the entries follow the "Contents" heading and its rule, below the
// page header's three lines.
inline std::vector<ShownEntry> text_contents(const std::string& report)
{
    std::vector<ShownEntry> out;
    std::size_t contents_pages = 1, start = 0;
    for (std::size_t page = 0; page < contents_pages && start < report.size(); ++page) {
        const std::size_t end = std::min(report.find('\f', start), report.size());
        std::istringstream in(report.substr(start, end - start));
        start = end + 1;
        bool started = false;
        int line_number = 0;
        ShownEntry entry;
        bool open = false;
        for (std::string line; std::getline(in, line);) {
            if (++line_number <= 3)
                continue;   // the page header
            if (!started) {
                started = line.find("Contents") != std::string::npos;
                continue;
            }
            const std::size_t first = line.find_first_not_of(' ');
            const std::size_t last = line.find_last_not_of(' ');
            if (first == std::string::npos || line.find_first_not_of("- ") == std::string::npos)
                continue;
            const std::size_t blank = line.find_last_of(' ', last);
            const std::string tail = line.substr(blank + 1, last - blank);
            const bool numbered = blank != std::string::npos && blank > first &&
                                  tail.find_first_not_of("0123456789") == std::string::npos;
            const std::string text =
                line.substr(first, (numbered ? line.find_last_not_of(' ', blank) : last) - first + 1);
            if (!open) {
                entry = ShownEntry{static_cast<int>(first - 3) / 4, text, 0};
                open = true;
            } else {
                entry.title += " " + text;
            }
            if (numbered) {
                entry.page = std::stoi(tail);
                out.push_back(entry);
                open = false;
            }
        }
        if (page == 0 && !out.empty())
            contents_pages = static_cast<std::size_t>(out.front().page - 1);
    }
    return out;
}
