// The text report of a table wider than its page (88 columns): it goes on
// in tiers, each led by its first column again, and a text wider than a
// tier is broken at its blanks under its first line; every line within
// the page, every cell once in its tier.
#include "framework/table_fixture.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

int count_in(const std::vector<std::string>& lines, const std::string& what) {
    int n = 0;
    for (const std::string& line : lines)
        for (size_t p = line.find(what); p != std::string::npos; p = line.find(what, p + 1)) ++n;
    return n;
}

class PageWidth : public TableTest {};

}  // namespace

// Nine columns, the first 8 wide (its heading "Column 1") and eight of 21
// characters: 8 + 8 x 23 = 192 characters side by side, more than twice
// the page's 85. Each tier holds the first column and three of 21 beside
// it (8 + 3 x 23 = 77; a fourth would need 100), so three tiers; each
// heading and cell once, the first column's in every tier, row 1's tiers
// all above row 2's.
TEST_F(PageWidth, AWideTableGoesOnInTiersLedByItsFirstColumn) {
    struct Wide : TableWindow {
        Wide() : TableWindow(nullptr, 9, 1) {}
        std::string header_text(int c, int) override { return "Column " + std::to_string(c); }
        std::string cell_text(int row, int c, int) override {
            return c == 1 ? "Row" + std::to_string(row) : std::string(20, static_cast<char>('a' + c)) + std::to_string(row);
        }
    } wide;
    table_set_rows(wide, "Wide", 2, 0);
    const std::vector<std::string> lines = lines_of(table_report_text(wide, false));
    for (const std::string& line : lines) EXPECT_LE(line.size(), 88u) << line;
    EXPECT_EQ(count_in(lines, "Column 1 "), 3);
    EXPECT_EQ(count_in(lines, "Row1"), 3);
    EXPECT_EQ(count_in(lines, "Row2"), 3);
    size_t last_of_row1 = 0, first_of_row2 = lines.size();
    for (int c = 2; c <= 9; ++c) {
        const std::string cell = std::string(20, static_cast<char>('a' + c));
        EXPECT_EQ(count_in(lines, "Column " + std::to_string(c)), 1) << c;
        EXPECT_EQ(count_in(lines, cell + "1"), 1) << c;
        EXPECT_EQ(count_in(lines, cell + "2"), 1) << c;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(cell + "1") != std::string::npos) {
                last_of_row1 = std::max(last_of_row1, i);
                EXPECT_EQ(lines[i].rfind("   Row1  ", 0), 0u) << "a tier not led by its row's first column: " << lines[i];
            }
            if (lines[i].find(cell + "2") != std::string::npos) first_of_row2 = std::min(first_of_row2, i);
        }
    }
    EXPECT_LT(last_of_row1, first_of_row2);
}

// A note of 170 characters in the second column: broken at its blanks over
// the lines under its row's first, each piece from the column's start and
// within the page; read again, the pieces give the note.
TEST_F(PageWidth, ATextWiderThanItsTierIsBrokenAtItsBlanks) {
    struct Noted : TableWindow {
        Noted() : TableWindow(nullptr, 2, 1) {}
        std::string note() const {
            std::string text = "Not checked:";
            for (int i = 0; i < 5; ++i) text += " the material holds no allowable";
            return text;
        }
        std::string header_text(int c, int) override { return c == 1 ? "Node" : "Note"; }
        std::string cell_text(int row, int c, int) override { return c == 1 ? std::to_string(10 * row) : note(); }
    } noted;
    table_set_rows(noted, "Noted", 2, 0);
    ASSERT_GT(noted.note().size(), 2u * 85u);
    const std::vector<std::string> lines = lines_of(table_report_text(noted, false));
    for (const std::string& line : lines) EXPECT_LE(line.size(), 88u) << line;
    for (const char* node : {"10", "20"}) {
        size_t i = 0;
        // The node right-aligned in its column (numbers), the note beside it.
        while (i < lines.size() && lines[i].find(std::string(node) + "  Not checked:") == std::string::npos) ++i;
        ASSERT_LT(i, lines.size()) << node;
        const size_t column = lines[i].find("Not checked:");
        ASSERT_NE(column, std::string::npos) << lines[i];
        std::string joined = lines[i].substr(column);
        for (++i; i < lines.size() && lines[i].find_first_not_of(' ') == column; ++i) joined += " " + lines[i].substr(column);
        EXPECT_EQ(joined, noted.note()) << node;
    }
}
