// Graphic report pages on the headless print service: paging, page headers,
// title bars, contents entries and the table printer's hooks.
//
// The headless pages measure text at 8 dots a character and 16 dots a line.
// A Letter page with 0.75 inch margins at 96 dpi is 672 x 912 dots; the page
// header takes 3 3/4 lines (60 dots), which leaves (912 - 60) / 16 = 53 body
// lines per page.
#include "framework/document.h"
#include "framework/qa_block.h"
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_printing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

constexpr int BODY_LINES = 53;
constexpr int BODY_TOP = 60;

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_headless_backend();
        set_report_date("12 Mar 2025");
        model_file_path() = "Boiler feed.mod";
        qa_block().client = "North Plant";
        qa_block().checked_by = {"A. Jones", ""};
    }
    void TearDown() override {
        if (gdi_active()) gdi_end();
        gdi_set_page_start_hook(nullptr);
        remove_backend();
    }
    HeadlessPrintDocument doc{PageSetup{}, 96};
};

std::vector<std::string> texts(RecordingSurface& page) {
    std::vector<std::string> out;
    for (const std::string& l : page.lines_starting("text")) out.push_back(l);
    return out;
}

bool has_text(RecordingSurface& page, const std::string& text) {
    std::vector<std::string> t = texts(page);
    return std::any_of(t.begin(), t.end(),
                       [&](const std::string& l) { return l.find("\"" + text + "\"") != std::string::npos; });
}

// The text line drawn with exactly this text, "" when none.
std::string text_op(RecordingSurface& page, const std::string& text) {
    for (const std::string& l : texts(page))
        if (l.find("\"" + text + "\"") != std::string::npos) return l;
    return {};
}

TEST_F(PagesTest, LinesFillAPageAndTheNextOneStartsWithItsHeader) {
    gdi_begin(doc);
    EXPECT_TRUE(report_state().printing_pages);
    EXPECT_EQ(gdi_lines_left(), BODY_LINES);
    EXPECT_EQ(gdi_printable_rect(), (Rect{0, BODY_TOP, 672, 912}));
    for (int i = 1; i <= BODY_LINES; ++i) report_line(c_format("line %d", i));
    // The page is full, but the next one is not started until it is written on.
    EXPECT_EQ(doc.page_number(), 1);
    EXPECT_EQ(gdi_page_number(), 2);
    EXPECT_EQ(gdi_lines_left(), BODY_LINES);
    report_line("line 54");
    EXPECT_EQ(doc.page_number(), 2);
    EXPECT_TRUE(gdi_end());
    EXPECT_FALSE(report_state().printing_pages);

    RecordingSurface& p1 = doc.page_at(1);
    RecordingSurface& p2 = doc.page_at(2);
    EXPECT_EQ(text_op(p1, "line 1"), "text 0 60 \"line 1\" left");
    EXPECT_EQ(text_op(p1, "line 53"), "text 0 892 \"line 53\" left");
    EXPECT_EQ(text_op(p2, "line 54"), "text 0 60 \"line 54\" left");
    // The header on both pages: title, date, page number and the QA block.
    for (int n : {1, 2}) {
        RecordingSurface& p = doc.page_at(n);
        EXPECT_EQ(text_op(p, "Boiler feed"), "text 0 0 \"Boiler feed\" left");
        EXPECT_EQ(text_op(p, c_format("12 Mar 2025    Page %d", n)),
                  c_format("text 672 0 \"12 Mar 2025    Page %d\" right", n));
        EXPECT_EQ(text_op(p, "Client: North Plant"), "text 0 16 \"Client: North Plant\" left");
        EXPECT_EQ(text_op(p, "Checked by: A. Jones"), "text 672 32 \"Checked by: A. Jones\" right");
    }
}

TEST_F(PagesTest, ExactlyFullLastPageLeavesNoEmptyPage) {
    ReportJob job{"Full", [] {
                      for (int i = 0; i < 2 * BODY_LINES; ++i) report_line("x");
                      gdi_new_page();
                      gdi_next_line();
                  },
                  false};
    EXPECT_TRUE(report_render_pages(doc, job));
    EXPECT_EQ(doc.page_number(), 2);
}

// A report line longer than the page is wide (672 dots, 84 characters)
// goes on over the next lines, broken at its blanks, each within the page;
// the next line follows under its last.
TEST_F(PagesTest, ALongReportLineWrapsWithinThePage) {
    std::string note = "B31.3: the stress range factor f";
    while (note.size() < 300) note += " of the cycles held at its table's end";
    gdi_begin(doc);
    report_line(note);
    report_line("next");
    ASSERT_TRUE(gdi_end());
    std::string joined;
    int lines = 0, last_y = 0;
    for (const std::string& op : texts(doc.page_at(1))) {
        std::istringstream in(op.substr(5));
        int x = 0, y = 0;
        in >> x >> y;
        if (y < BODY_TOP) continue;   // the page header
        const std::string text = op.substr(op.find('"') + 1, op.rfind('"') - op.find('"') - 1);
        if (text == "next") {
            EXPECT_EQ(y, last_y + 16);
            continue;
        }
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, BODY_TOP + 16 * lines);
        EXPECT_LE(8 * static_cast<int>(text.size()), 672) << text;
        joined += (joined.empty() ? "" : " ") + text;
        last_y = y;
        ++lines;
    }
    EXPECT_GE(lines, static_cast<int>(note.size() + 83) / 84);   // 336 characters
    EXPECT_EQ(joined, note);
}

TEST_F(PagesTest, NewPageAndSpacing) {
    gdi_begin(doc);
    gdi_new_page();   // nothing written yet: no new page
    gdi_next_line();  // spacing at the top of a fresh page is dropped
    EXPECT_EQ(gdi_y(), BODY_TOP);
    gdi_print_text("a");
    gdi_half_line();
    EXPECT_EQ(gdi_y(), BODY_TOP + 8);
    gdi_quarter_line();
    EXPECT_EQ(gdi_y(), BODY_TOP + 12);
    EXPECT_EQ(gdi_lines_left(), (912 - BODY_TOP - 12) / 16);
    gdi_print_text_right(300, "r");
    gdi_print_text_centred("c");
    gdi_print_text_at(40, "at");
    gdi_new_page();
    EXPECT_EQ(gdi_page_number(), 2);
    gdi_new_page();   // the pending page is still empty
    EXPECT_EQ(gdi_page_number(), 2);
    gdi_print_text("b");
    EXPECT_TRUE(gdi_end());
    ASSERT_EQ(doc.page_number(), 2);
    RecordingSurface& p1 = doc.page_at(1);
    EXPECT_EQ(text_op(p1, "a"), "text 0 60 \"a\" left");
    EXPECT_EQ(text_op(p1, "r"), "text 300 72 \"r\" right");
    EXPECT_EQ(text_op(p1, "c"), "text 336 72 \"c\" center");
    EXPECT_EQ(text_op(p1, "at"), "text 40 72 \"at\" left");
    EXPECT_EQ(text_op(doc.page_at(2), "b"), "text 0 60 \"b\" left");
}

TEST_F(PagesTest, TitleBarIsShadedAndBold) {
    gdi_begin(doc);
    gdi_print_title_bar("Pipe material A1: steel");
    gdi_end();
    const std::vector<std::string>& ops = doc.page_at(1).lines();
    auto fill = std::find(ops.begin(), ops.end(), "fill 0 60 672 76 #d9d9d9");
    ASSERT_NE(fill, ops.end());
    // Bold font, then the centred text.
    auto title = std::find(fill, ops.end(), "text 336 60 \"Pipe material A1: steel\" center");
    ASSERT_NE(title, ops.end());
    auto font = std::find_if(fill, title, [](const std::string& l) { return l.rfind("font ", 0) == 0; });
    ASSERT_NE(font, title);
    EXPECT_NE(font->find(" 700"), std::string::npos);
}

TEST_F(PagesTest, TitleBarNeedsTwoLinesLeft) {
    gdi_begin(doc);
    for (int i = 0; i < BODY_LINES - 1; ++i) report_line("x");
    EXPECT_EQ(gdi_lines_left(), 1);
    gdi_print_title_bar("Next table");
    EXPECT_EQ(doc.page_number(), 2);
    EXPECT_TRUE(has_text(doc.page_at(2), "Next table"));
    gdi_end();
}

TEST_F(PagesTest, EnsureLinesAndThePageStartHook) {
    gdi_begin(doc);
    gdi_print_text("header");
    gdi_next_line();
    EXPECT_FALSE(gdi_ensure_lines(5));
    int repeats = 0;
    gdi_set_page_start_hook([&] {
        ++repeats;
        gdi_print_text("header");
        gdi_next_line();
    });
    for (int row = 1; row <= 120; ++row) {
        gdi_ensure_lines(1);
        gdi_print_text(c_format("row %d", row));
        gdi_next_line();
    }
    gdi_set_page_start_hook(nullptr);
    EXPECT_TRUE(gdi_end());
    // 52 rows fit under the header on page 1, 52 on page 2, 16 on page 3.
    ASSERT_EQ(doc.page_number(), 3);
    EXPECT_EQ(repeats, 2);
    EXPECT_EQ(text_op(doc.page_at(2), "header"), "text 0 60 \"header\" left");
    EXPECT_EQ(text_op(doc.page_at(2), "row 53"), "text 0 76 \"row 53\" left");
    EXPECT_EQ(text_op(doc.page_at(3), "row 105"), "text 0 76 \"row 105\" left");

    // A page that holds only the repeated header is not left for another.
    HeadlessPrintDocument d2(PageSetup{}, 96);
    gdi_begin(d2);
    gdi_set_page_start_hook([] { gdi_print_text("header"); gdi_next_line(); });
    gdi_print_text("x");
    gdi_new_page();
    EXPECT_TRUE(gdi_ensure_lines(1));
    gdi_new_page();
    gdi_print_text("y");
    gdi_set_page_start_hook(nullptr);
    gdi_end();
    EXPECT_EQ(d2.page_number(), 2);
}

TEST_F(PagesTest, ContentsEntriesCarryTheirPages) {
    add_contents_entry("not collecting", 0);
    EXPECT_TRUE(report_contents().empty());

    auto write = [] {
        add_contents_entry("API 610 report", 0);
        gdi_print_title_bar("API 610 report");
        gdi_next_line();
        for (int pump = 1; pump <= 2; ++pump) {
            gdi_ensure_lines(40);
            add_contents_entry(c_format("Pump : P%d", pump), 1);
            add_contents_entry("Load case: Sustained", 2);
            for (int i = 0; i < 40; ++i) report_line("check line");
        }
    };
    // Collected directly: pages 1 and 2.
    report_state().collecting_contents = true;
    gdi_begin(doc);
    write();
    gdi_end();
    report_state().collecting_contents = false;
    std::vector<ContentsEntry> expected = {{"API 610 report", 0, 1},
                                           {"Pump : P1", 1, 1},
                                           {"Load case: Sustained", 2, 1},
                                           {"Pump : P2", 1, 2},
                                           {"Load case: Sustained", 2, 2}};
    EXPECT_EQ(report_contents(), expected);
    report_contents().clear();

    // A report with contents: a contents page in front, the pages shifted by one.
    HeadlessPrintDocument d2(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(d2, ReportJob{"Pumps", write, true}));
    ASSERT_EQ(d2.page_number(), 3);
    RecordingSurface& contents = d2.page_at(1);
    EXPECT_EQ(text_op(contents, "Contents"), "text 336 60 \"Contents\" center");
    EXPECT_EQ(text_op(contents, "API 610 report"), "text 0 84 \"API 610 report\" left");
    EXPECT_EQ(text_op(contents, "Pump : P1"), "text 24 100 \"Pump : P1\" left");
    EXPECT_EQ(text_op(contents, "Load case: Sustained"), "text 48 116 \"Load case: Sustained\" left");
    std::vector<std::string> numbers;
    for (const std::string& l : texts(contents))
        if (l.find("\" right") != std::string::npos && std::stoi(l.substr(9)) >= BODY_TOP) numbers.push_back(l);
    EXPECT_EQ(numbers, (std::vector<std::string>{"text 672 84 \"2\" right", "text 672 100 \"2\" right",
                                                 "text 672 116 \"2\" right", "text 672 132 \"3\" right",
                                                 "text 672 148 \"3\" right"}));
    EXPECT_TRUE(has_text(d2.page_at(2), "12 Mar 2025    Page 2"));
    EXPECT_TRUE(has_text(d2.page_at(3), "12 Mar 2025    Page 3"));
    EXPECT_FALSE(report_state().collecting_contents);
    EXPECT_TRUE(report_contents().empty());
}

TEST_F(PagesTest, LongContentsTakeSeveralPages) {
    // Every contents page has 53 - 1.5 lines for entries under its title: 51.
    const auto entries = [](int n) { return std::vector<ContentsEntry>(static_cast<size_t>(n), ContentsEntry{"M", 0, 1}); };
    EXPECT_EQ(gdi_contents_pages(doc, entries(0)), 0);
    EXPECT_EQ(gdi_contents_pages(doc, entries(51)), 1);
    EXPECT_EQ(gdi_contents_pages(doc, entries(52)), 2);
    EXPECT_EQ(gdi_contents_pages(doc, entries(102)), 2);
    EXPECT_EQ(gdi_contents_pages(doc, entries(103)), 3);
    // The dry run draws nothing on the document and leaves the state alone.
    for (const std::string& l : doc.page_at(1).lines()) EXPECT_EQ(l.rfind("font ", 0), 0u) << l;
    EXPECT_FALSE(report_state().printing_pages);

    ReportJob job{"Many", [] {
                      for (int i = 1; i <= 60; ++i) {
                          gdi_new_page();
                          add_contents_entry(c_format("Table %d", i), 0);
                          gdi_print_text("rows");
                      }
                  },
                  true};
    ASSERT_TRUE(report_render_pages(doc, job));
    ASSERT_EQ(doc.page_number(), 62);
    EXPECT_EQ(text_op(doc.page_at(1), "Table 1").empty(), false);
    EXPECT_TRUE(has_text(doc.page_at(1), "3"));   // Table 1 is on page 3
    EXPECT_TRUE(has_text(doc.page_at(2), "Table 52"));
    EXPECT_TRUE(has_text(doc.page_at(2), "62"));
    EXPECT_TRUE(has_text(doc.page_at(62), "12 Mar 2025    Page 62"));
}

TEST_F(PagesTest, DeviceFailureIsReported) {
    doc.fail_after_pages(1);
    gdi_begin(doc);
    for (int i = 0; i < BODY_LINES + 1; ++i) report_line("x");
    EXPECT_FALSE(gdi_end());
}

using PrintFailureReason = PagesTest;

// A report of twenty pages on a device that fails to begin its third: the
// report stops there, leaving the rest unwritten, and says the device
// failed; the caller finishes the document, which says why.
TEST_F(PrintFailureReason, AReportStopsAtThePageItsDeviceFailedToBegin) {
    doc.fail_after_pages(2);
    int written = 0;
    const ReportJob job{"Long", [&] {
                            for (; written < 20 * BODY_LINES; ++written) report_line(c_format("Line %d", written + 1));
                        },
                        false};
    EXPECT_FALSE(report_render_pages(doc, job));
    EXPECT_EQ(doc.pages().size(), 2u);
    // The line that asked for the third page was the last the report wrote.
    EXPECT_EQ(written, 2 * BODY_LINES);
    EXPECT_FALSE(gdi_active());
    EXPECT_FALSE(report_state().printing_pages);
}

TEST_F(PagesTest, WithoutADocumentNothingIsDrawn) {
    EXPECT_FALSE(gdi_active());
    gdi_print_text("x");
    gdi_print_title_bar("t");
    gdi_next_line();
    EXPECT_EQ(gdi_lines_left(), 0);
    EXPECT_FALSE(gdi_ensure_lines(3));
    Surface& s = gdi_surface();
    s.text(0, 0, "ignored");
    EXPECT_GT(gdi_measure_surface().text_width("abc"), 0);
    EXPECT_EQ(doc.page_at(1).lines().size(), 0u);
}

TEST_F(PagesTest, TablePrinterDrawsThroughTheSurface) {
    gdi_begin(doc);
    Surface& measure = gdi_measure_surface();
    EXPECT_EQ(measure.text_width("abcd"), 32);
    EXPECT_EQ(doc.page_at(1).lines_starting("text").size(), 0u);   // measuring starts no page
    Surface& s = gdi_surface();
    s.line(gdi_left_margin(), gdi_y(), 100, gdi_y());
    gdi_set_y(gdi_y() + 3 * gdi_line_height());
    gdi_print_text("below");
    gdi_set_y(2000);   // past the bottom: the next page is pending
    EXPECT_EQ(gdi_page_number(), 2);
    gdi_end();
    RecordingSurface& p = doc.page_at(1);
    EXPECT_NE(std::find(p.lines().begin(), p.lines().end(), "line 0 60 100 60"), p.lines().end());
    EXPECT_EQ(text_op(p, "below"), "text 0 108 \"below\" left");
    EXPECT_EQ(doc.page_number(), 1);
}

}  // namespace
