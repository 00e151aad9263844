// The pages of a text report as a reader reads them: each page's lines
// below its three header lines, the rules, and a table's title.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

// The lines of a text, without their line feeds.
inline std::vector<std::string> text_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A rule of the text report: '-' from column 4 to 88.
inline const std::string TEXT_RULE = "   " + std::string(85, '-');

// The lines of each page of a text report below its three header lines.
inline std::vector<std::vector<std::string>> page_bodies(const std::string& text)
{
    std::vector<std::vector<std::string>> pages;
    std::istringstream in(text);
    for (std::string page; std::getline(in, page, '\f');) {
        std::vector<std::string> lines;
        std::istringstream p(page);
        for (std::string line; std::getline(p, line);)
            lines.push_back(line);
        lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(3, lines.size()));
        pages.push_back(std::move(lines));
    }
    return pages;
}

// A table's title: text centred on the page (eight blanks or more before
// it) with a rule under it.
inline bool title_at(const std::vector<std::string>& lines, std::size_t i)
{
    return i + 1 < lines.size() && lines[i + 1] == TEXT_RULE && lines[i].size() > 8 &&
           lines[i].find_first_not_of(' ') >= 8;
}

// A text report's lines read as one text, each line's blanks at its ends
// made one blank between lines: a note broken over lines reads whole again.
inline std::string read_as_one(const std::string& report)
{
    std::istringstream in(report);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos)
            continue;
        out += (out.empty() ? "" : " ") + line.substr(first, line.find_last_not_of(' ') - first + 1);
    }
    return out;
}
