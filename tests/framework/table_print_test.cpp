// Printing tables: graphic pages (title, repeated header, row test, tiers,
// wrapped texts, inverted cells), the text and CSV forms against golden files in
// tests/data/tables, and the Print and Export commands, on the scripted
// backend. KV_UPDATE_GOLDEN=1 rewrites the golden files.
#include "framework/document.h"
#include "framework/qa_block.h"
#include "framework/table_fixture.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "platform/headless/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;


void expect_golden(const std::string& name, const std::string& text) { expect_golden_file("tables", name, text); }

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

// The texts drawn on a page, in order.
std::vector<std::string> page_texts(const RecordingSurface& page) {
    std::vector<std::string> out;
    for (const std::string& l : page.lines_starting("text")) {
        size_t a = l.find('"'), b = l.rfind('"');
        out.push_back(l.substr(a + 1, b - a - 1));
    }
    return out;
}

int count_text(const std::vector<std::string>& texts, const std::string& text) {
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

class TablePrintTest : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        service = &install_headless_print_service();
        reset_qa_block();
        reset_printer_settings();
        set_report_date("12 Mar 2025");
        model_file_path() = "Table test.mod";
        dir = fs::path(testing::TempDir()) / ("kv_tables_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (gdi_active()) gdi_end();
        gdi_set_page_start_hook(nullptr);
        install_print_service(nullptr);
        std::error_code ec;
        fs::remove_all(dir, ec);
        TableTest::TearDown();
    }
    // Prints on a Letter page at 96 dpi: 53 body lines of 16 dots.
    template <class F>
    void print_pages(F&& body) {
        gdi_begin(doc);
        body();
        ASSERT_TRUE(gdi_end());
    }
    HeadlessPrintService* service = nullptr;
    HeadlessPrintDocument doc{PageSetup{}, 96};
    fs::path dir;
};

TEST_F(TablePrintTest, PagesCarryTheTitleAndTheHeaderOnEveryPage) {
    table.fill(120);
    const std::vector<int> widths = table.widths;
    report_state().collecting_contents = true;
    print_pages([&] { table_print(table, "Pipes", 120); });
    report_state().collecting_contents = false;
    ASSERT_EQ(doc.pages().size(), 3u);
    std::vector<std::string> all;
    for (int page = 1; page <= 3; ++page) {
        const std::vector<std::string> texts = page_texts(doc.page_at(page));
        EXPECT_EQ(count_text(texts, "Node"), 1) << "page " << page;
        EXPECT_EQ(count_text(texts, "Size"), 1) << "page " << page;
        EXPECT_EQ(count_text(texts, "Pipes (120)"), 1) << "page " << page;
        all.insert(all.end(), texts.begin(), texts.end());
    }
    // Every row once, in order; the empty input row is not printed.
    int next = 1;
    for (const std::string& t : all)
        if (t == "P" + std::to_string(next)) ++next;
    EXPECT_EQ(next, 121);
    EXPECT_EQ(count_text(all, "P121"), 0);
    // The contents entry, and nothing of the print left behind.
    ASSERT_EQ(report_contents().size(), 1u);
    EXPECT_EQ(report_contents()[0], (ContentsEntry{"Pipes", 1, 1}));
    EXPECT_EQ(table.widths, widths);
    EXPECT_FALSE(static_cast<bool>(gdi_set_page_start_hook(nullptr)));
}

TEST_F(TablePrintTest, TheTitleCountsTheItemsAndNotTheSummaryRowsAfterThem) {
    table.fill(5);
    table.summary_rows = 1;
    print_pages([&] { table_print(table, "Pipes", 5); });
    const std::vector<std::string> texts = page_texts(doc.page_at(1));
    EXPECT_EQ(count_text(texts, "Pipes (4)"), 1);
    EXPECT_EQ(count_text(texts, "P5"), 1);   // the summary row is printed
    report_begin_text(false);
    table_print_text(table, "Pipes", 5);
    EXPECT_NE(report_end_text().find("Pipes (4)"), std::string::npos);
    report_begin_text(true);
    table_print_csv(table, "Pipes", 5);
    EXPECT_NE(report_end_text().find("Pipes (4)"), std::string::npos);
    table.summary_rows = 0;
}

// The vertical rules that cross a text drawn centred at its place: a rule
// whose x lies under the text and whose run covers the text's line.
int rules_through(const std::vector<std::string>& records, const std::string& text) {
    int x = 0, y = 0;
    bool found = false;
    for (const std::string& r : records) {
        if (r.rfind("text ", 0) != 0 || r.find("\"" + text + "\" center") == std::string::npos) continue;
        std::istringstream in(r.substr(5));
        in >> x >> y;
        found = true;
    }
    EXPECT_TRUE(found) << text;
    const int half = RecordingSurface::GLYPH_WIDTH * static_cast<int>(text.size()) / 2;
    int crossing = 0;
    for (const std::string& r : records) {
        if (r.rfind("line ", 0) != 0) continue;
        std::istringstream in(r.substr(5));
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        in >> x1 >> y1 >> x2 >> y2;
        if (x1 == x2 && x1 > x - half && x1 < x + half && std::min(y1, y2) <= y && std::max(y1, y2) > y) ++crossing;
    }
    return crossing;
}

TEST_F(TablePrintTest, NoColumnRuleCrossesAGroupHeadingOnPaperOrOnScreen) {
    // "Size" stands over OD and Thk, on the header's first line.
    table.fill(3);
    print_pages([&] { table_print(table, "Pipes", 3); });
    EXPECT_EQ(rules_through(doc.page_at(1).lines(), "Size"), 0);
    EXPECT_EQ(rules_through(script().paint(view.window()), "Size"), 0);
    // Below the heading the two columns are ruled apart: a rule between
    // their headings, down their header line.
    const std::vector<std::string>& page = doc.page_at(1).lines();
    auto centre = [&page](const std::string& text) {
        for (const std::string& r : page)
            if (r.rfind("text ", 0) == 0 && r.find("\"" + text + "\" center") != std::string::npos) {
                std::istringstream in(r.substr(5));
                int x = 0, y = 0;
                in >> x >> y;
                return std::pair<int, int>{x, y};
            }
        return std::pair<int, int>{0, 0};
    };
    const auto [od_x, od_y] = centre("OD");
    const auto [thk_x, thk_y] = centre("Thk");
    ASSERT_LT(od_x, thk_x);
    bool between = false;
    for (const std::string& r : page) {
        if (r.rfind("line ", 0) != 0) continue;
        std::istringstream in(r.substr(5));
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        in >> x1 >> y1 >> x2 >> y2;
        between = between || (x1 == x2 && x1 > od_x && x1 < thk_x && std::min(y1, y2) <= od_y && std::max(y1, y2) > od_y);
    }
    EXPECT_TRUE(between);
    EXPECT_EQ(od_y, thk_y);
}

TEST_F(TablePrintTest, TheRowTestTakesThePrintedRowsFromTheFirstRowOn) {
    struct EvenRows : PipeTable {
        bool row_present(int row) override { return row % 2 == 0; }
    } even;
    even.fill(10);
    even.print_rows = 0;
    EXPECT_FALSE(even.row_test(2));   // a print object without rows prints none
    even.print_first_row = 2;
    print_pages([&] { table_print(even, "Even", 6); });
    const std::vector<std::string> texts = page_texts(doc.page_at(1));
    EXPECT_EQ(count_text(texts, "Even (6)"), 1);
    for (const char* shown : {"P4", "P6", "P8"}) EXPECT_EQ(count_text(texts, shown), 1) << shown;
    for (const char* left_out : {"P1", "P2", "P3", "P5", "P7", "P9"}) EXPECT_EQ(count_text(texts, left_out), 0) << left_out;
    EXPECT_TRUE(even.row_test(2));
    EXPECT_FALSE(even.row_test(1));
}

// Nine columns of 20 letters each are twice as wide as the page: each row
// goes on in tiers under itself, each tier led by the first column, so
// that all of a row stands together on one page width; the header shows
// every column once, in tiers as the rows do, and no text leaves the page.
TEST_F(TablePrintTest, WideTablesPrintEachRowInTiersLedByTheFirstColumn) {
    struct Wide : TableWindow {
        Wide() : TableWindow(nullptr, 9, 1) {}
        std::string header_text(int c, int) override { return "Column " + std::to_string(c); }
        std::string cell_text(int row, int c, int) override {
            return c == 1 ? "Row" + std::to_string(row) : std::string(20, static_cast<char>('a' + c)) + std::to_string(row);
        }
    } wide;
    table_set_rows(wide, "Wide", 2, 0);
    print_pages([&] { table_print(wide, "Wide", 2); });
    ASSERT_EQ(doc.page_number(), 1);
    expect_clean_pages(doc);
    const std::vector<DrawnText> texts = drawn_texts(doc.page_at(1));
    std::vector<std::string> shown;
    for (const DrawnText& t : texts) shown.push_back(t.text);
    EXPECT_EQ(count_text(shown, "Wide (2)"), 1);
    const int tiers = count_text(shown, "Column 1");
    EXPECT_GE(tiers, 2);
    EXPECT_EQ(count_text(shown, "Row1"), tiers);
    EXPECT_EQ(count_text(shown, "Row2"), tiers);
    for (int c = 2; c <= 9; ++c) EXPECT_EQ(count_text(shown, "Column " + std::to_string(c)), 1) << c;
    // Row 1's cells, all of them, above row 2's; each tier's first column
    // at the left edge with its cells beside it.
    const auto at = [&texts](const std::string& text) {
        return std::find_if(texts.begin(), texts.end(), [&text](const DrawnText& t) { return t.text == text; });
    };
    int row1_bottom = 0, row2_top = 1 << 30;
    for (int c = 2; c <= 9; ++c) {
        const std::string cell = std::string(20, static_cast<char>('a' + c));
        ASSERT_NE(at(cell + "1"), texts.end()) << c;
        ASSERT_NE(at(cell + "2"), texts.end()) << c;
        row1_bottom = std::max(row1_bottom, at(cell + "1")->bottom);
        row2_top = std::min(row2_top, at(cell + "2")->top);
    }
    EXPECT_LE(row1_bottom, row2_top);
    for (const DrawnText& t : texts)
        if (t.text == "Row1" || t.text == "Row2") {
            EXPECT_LE(t.left, 8) << t.text;
        }
}

// A note longer than the page is wide wraps within its column, at its
// blanks, on the lines under its row's first; the other columns keep their
// place beside it on one page width, and the next row begins under the
// note's last piece.
TEST_F(TablePrintTest, ALongTextWrapsWithinItsColumnBesideTheOthers) {
    struct Noted : TableWindow {
        Noted() : TableWindow(nullptr, 4, 1) { alignments[3] = TextAlign::Right; }
        std::string note(int row) const {
            std::string text = "Not checked:";
            for (int i = 0; i < 12 + row; ++i) text += " the material holds no allowable";
            return text;
        }
        std::string header_text(int c, int) override {
            static const char* names[] = {"", "Node", "Load case", "Stress", "Allowable"};
            return names[c];
        }
        std::string cell_text(int row, int c, int) override {
            switch (c) {
            case 1: return std::to_string(10 * row);
            case 2: return "Operating (W+P1+T1)";
            case 3: return c_format("%d.5", 1000 * row);
            default: return row == 2 ? "20000.0" : note(row);
            }
        }
    } noted;
    table_set_rows(noted, "Code compliance", 3, 0);
    print_pages([&] { table_print(noted, "Code compliance", 3); });
    expect_clean_pages(doc);
    const std::vector<DrawnText> texts = drawn_texts(doc.page_at(1));
    const auto first = [&texts](const std::string& text) {
        return std::find_if(texts.begin(), texts.end(), [&text](const DrawnText& t) { return t.text == text; });
    };
    ASSERT_NE(first("Allowable"), texts.end());
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const DrawnText& t) { return t.text == "Node"; }), 1);
    for (int row : {1, 3}) {
        SCOPED_TRACE(row);
        const auto node = first(std::to_string(10 * row));
        ASSERT_NE(node, texts.end());
        // The row's cells on the node's line, the note's pieces under its
        // first, each within the Allowable column, joined again the note.
        ASSERT_NE(first(c_format("%d.5", 1000 * row)), texts.end());
        EXPECT_EQ(first(c_format("%d.5", 1000 * row))->top, node->top);
        auto piece = std::find_if(node, texts.end(), [](const DrawnText& t) { return t.text.rfind("Not checked:", 0) == 0; });
        ASSERT_NE(piece, texts.end());
        EXPECT_EQ(piece->top, node->top);
        // The column's header stands over the pieces.
        const int left = piece->left;
        EXPECT_LT(left, first("Allowable")->left);
        EXPECT_GT(left, first("Stress")->right);
        std::string joined;
        int line = 0, bottom = 0;
        for (; piece != texts.end() && piece->left == left; ++piece, ++line) {
            EXPECT_EQ(piece->top, node->top + 16 * line);
            EXPECT_LE(piece->right, doc.page_at(1).width());
            joined += (joined.empty() ? "" : " ") + piece->text;
            bottom = piece->bottom;
        }
        EXPECT_GE(line, 2);
        EXPECT_EQ(joined, noted.note(row));
        const auto next = first(std::to_string(10 * row + 10));
        if (next != texts.end()) {
            EXPECT_GE(next->top, bottom);
        }
    }
}

TEST_F(TablePrintTest, AHighlightedCellPrintsWhiteOnBlack) {
    ElementTable elements;
    elements.elements = {{10, 20}, {20, 30}};
    elements.highlight_row = 2;
    table_set_rows(elements, "Forces", 2, 0);
    print_pages([&] { table_print(elements, "Forces", 2); });
    const std::vector<std::string>& lines = doc.page_at(1).lines();
    bool black = false, white_text = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("fill", 0) == 0 && lines[i].find("#000000") != std::string::npos) black = true;
        if (black && lines[i] == "textcolor #ffffff" && i + 1 < lines.size() && lines[i + 1].find("\"202\"") != std::string::npos)
            white_text = true;
    }
    EXPECT_TRUE(black);
    EXPECT_TRUE(white_text);
}

TEST_F(TablePrintTest, PagesReadCleanlyAgainstTheirGoldenLayout) {
    // A table over two pages with a group heading and rows in bold, and a
    // table of two text lines a row: no text over another or off the page,
    // every text where the golden file in tests/data/pages has it.
    table.fill(60);
    table.records[1].note = "bend, 90";
    print_pages([&] { table_print(table, "Pipes", 60); });
    ASSERT_EQ(doc.page_number(), 2);
    expect_clean_pages(doc);
    expect_golden_file("pages", "table_pipes.txt", page_layout_text(doc));

    HeadlessPrintDocument forces{PageSetup{}, 96};
    ElementTable elements;
    for (int i = 1; i <= 30; ++i) elements.elements.push_back({10 * i, 10 * i + 10});
    table_set_rows(elements, "Element forces", 30, 0);
    gdi_begin(forces);
    table_print(elements, "Element forces", 30);
    ASSERT_TRUE(gdi_end());
    expect_clean_pages(forces);
    expect_golden_file("pages", "table_elements.txt", page_layout_text(forces));
}

TEST_F(TablePrintTest, TextAndCsvFormsMatchTheirGoldenFiles) {
    table.fill(5);
    table.records[1].note = "bend, 90";
    table.records[4].od = 0;
    expect_golden("pipes.txt", table_report_text(table, false));
    expect_golden("pipes.csv", table_report_text(table, true));
    ElementTable elements;
    elements.elements = {{10, 20}, {20, 30}, {30, 40}};
    table_set_rows(elements, "Element forces", 3, 0);
    expect_golden("elements.txt", table_report_text(elements, false));
    expect_golden("elements.csv", table_report_text(elements, true));
}

TEST_F(TablePrintTest, ColumnsCountCharactersNotBytes) {
    // Six two-byte letters: the next column must neither overwrite nor cut them.
    table.fill(3);
    const std::string name = "\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84\xC3\x84";
    table.records[0].name = name;
    const std::string text = table_report_text(table, false);
    const size_t at = text.find(name);
    ASSERT_NE(at, std::string::npos) << text;
    const std::string line = text.substr(at, text.find('\n', at) - at);
    EXPECT_NE(line.find("3.375"), std::string::npos) << line;
    EXPECT_EQ(line.substr(name.size(), 2), "  ") << line;
}

TEST_F(TablePrintTest, AGroupHeadingWiderThanItsColumnsWidensThem) {
    struct Narrow : TablePrint {
        Narrow() : TablePrint(3, 2) { groups.push_back(TableGroup{1, 2, "Moment of inertia", 0}); }
        std::string header_text(int column, int line) override { return line == 1 ? std::string(column == 3 ? "Tor" : "Ix") : ""; }
    } t;
    RecordingSurface dc(800, 600);
    table_measure(t, dc, 1, 0, false);
    EXPECT_GE(t.widths[1] + t.widths[2], RecordingSurface::GLYPH_WIDTH * 17);
    EXPECT_LE(std::abs(t.widths[1] - t.widths[2]), 1);   // spread evenly
    EXPECT_LT(t.widths[3], t.widths[1]);                 // the column outside the group keeps its width
}

TEST_F(TablePrintTest, ALongTextReportRepeatsItsHeaderOnTheNextPage) {
    table.fill(70);
    const std::string text = table_report_text(table, false);
    EXPECT_EQ(occurrences(text, "\f"), 1);
    EXPECT_EQ(occurrences(text, "Pipes (70)"), 2);
    for (int i = 1; i <= 70; ++i) EXPECT_EQ(occurrences(text, "P" + std::to_string(i) + " "), 1) << i;
}

TEST_F(TablePrintTest, PrintAndExportCommandsReachTheTable) {
    table.fill(5);
    table.records[1].note = "bend, 90";
    table.records[4].od = 0;
    const std::string path = (dir / "pipes.csv").string();
    script().answer_file(path);
    EXPECT_TRUE(table_export_csv(table, frame.window));
    // What the screen shows: the window's caption, the headings and the cells.
    expect_golden("pipes_export.csv", read_text_file(path));
    EXPECT_EQ(script().last_message(), "csv written.");

    script().once("PRINT_DIALOG", [](HeadlessDialog& d) {
        d.press(PRINT_TO_PREVIEW);
        d.press(IDOK);
    });
    table_print_sheet(table, frame.window);
    EXPECT_EQ(service->previews, 1);
    ASSERT_FALSE(service->last_preview_pages.empty());
    const std::vector<std::string>& page = service->last_preview_pages[0];
    EXPECT_TRUE(std::any_of(page.begin(), page.end(), [](const std::string& l) { return l.find("\"Pipes (5)\"") != std::string::npos; }));
}

}  // namespace
