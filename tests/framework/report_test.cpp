// Text reports, their CSV form, report destinations, report files and the
// Print dialog, on the scripted backend.
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/qa_block.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "golden.h"
#include "page_layout.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_printing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;


void write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}


void expect_golden(const std::string& name, const std::string& text) { expect_golden_file("reports", name, text); }

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> split_pages(const std::string& text) {
    std::vector<std::string> pages(1);
    for (char c : text) {
        if (c == '\f')
            pages.emplace_back();
        else
            pages.back() += c;
    }
    return pages;
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_headless_backend();
        set_report_date("12 Mar 2025");
        model_file_path() = "Cooling water header.mod";
        dir = fs::path(testing::TempDir()) / ("kv_report_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        install_print_service(nullptr);
        remove_backend();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

void set_sample_qa() {
    QABlock& qa = qa_block();
    qa.client = "North Plant";
    qa.project = "Unit 4 revamp";
    qa.file_number = "F-1021";
    qa.report_number = "R-7";
    qa.prepared_by = {"J. Smith", "2025-03-10"};
    qa.checked_by = {"A. Jones", ""};
}

// A table of 80 sections: a heading, a unit line and one line per section,
// with the heading repeated at the top of each page (as the section tables
// do). 80 rows under a four-line heading take two text pages.
void write_sections() {
    ReportState& st = report_state();
    auto heading = [&] {
        if (st.csv_mode) {
            csv_add_text("Name");
            csv_add_text("O.D.");
            csv_add_text("Thk");
            csv_add_text("Soil");
            report_next_line();
            csv_add_text("");
            csv_add_unit_cell(DIMENSION);
            csv_add_unit_cell(DIMENSION);
            report_next_line();
            return;
        }
        report_print_at("Name", 4);
        report_print_at("O.D.", 16);
        report_print_at("Thk", 27);
        report_print_at("Soil", 34);
        report_next_line();
        report_print_centred(unit_label(DIMENSION), 13, 21);
        report_print_centred(unit_label(DIMENSION), 23, 31);
        report_next_line();
        report_rule();
    };
    report_contents_line("Pipe sections");
    report_print_centred_page("Pipe Sections");
    report_next_line();
    report_rule();
    heading();
    for (int i = 1; i <= 80; ++i) {
        if (!st.csv_mode && report_current_line() == REPORT_FIRST_LINE) heading();
        std::string name = c_format("S%d", i);
        std::string od = c_format("%.3f", 2.375 + i);
        std::string thk = i % 10 == 0 ? "0" : c_format("%.4f", 0.154 + i / 1000.0);
        std::string soil = i == 7 ? "Clay, \"wet\"" : "";
        if (st.csv_mode) {
            csv_add_text(name);
            csv_add_cell(od);
            csv_add_cell(thk);
            csv_add_cell(soil);
        } else {
            report_print_at(name, 4);
            report_print_right(od, 21);
            if (thk != "0") report_print_decimal(thk, 26);
            report_print_at(soil, 34);
        }
        report_next_line();
    }
    report_rule();
}

TEST_F(ReportTest, TwoPageTextReportMatchesGoldenFile) {
    set_sample_qa();
    ReportJob job{"Pipe Sections", write_sections, true};
    std::string text = report_render_text(job, false);
    expect_golden("sections_report.txt", text);

    // The facts the golden file stands for, checked on their own.
    std::vector<std::string> pages = split_pages(text);
    ASSERT_EQ(pages.size(), 3u);   // contents, then two pages of sections
    for (size_t p = 0; p < pages.size(); ++p) {
        std::vector<std::string> lines = split_lines(pages[p]);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_NE(lines[0].find(c_format("Page %zu", p + 1)), std::string::npos) << p;
        EXPECT_NE(lines[0].find("Cooling water header"), std::string::npos);
        EXPECT_NE(lines[1].find("Client: North Plant"), std::string::npos);
        EXPECT_NE(lines[2].find("Prepared by: J. Smith, 2025-03-10"), std::string::npos);
        EXPECT_LE(lines.size(), static_cast<size_t>(REPORT_LAST_LINE));
    }
    // Page 2 is full: header lines 1-3 and body lines 4-59.
    EXPECT_EQ(split_lines(pages[1]).size(), static_cast<size_t>(REPORT_LAST_LINE));
    // The contents line names the first page of the sections.
    std::vector<std::string> contents = split_lines(pages[0]);
    EXPECT_EQ(contents[5].substr(3, 13), "Pipe sections");
    EXPECT_EQ(contents[5].back(), '2');
    // The heading repeated at the top of page 3.
    EXPECT_EQ(split_lines(pages[2])[3].substr(3, 4), "Name");
}

TEST_F(ReportTest, CsvFormMatchesGoldenFile) {
    ReportJob job{"Pipe Sections", write_sections, true};
    std::string csv = report_render_text(job, true);
    expect_golden("sections_report.csv", csv);
    // No page headers, page breaks or rules in CSV; the contents are not collected.
    EXPECT_EQ(csv.find('\f'), std::string::npos);
    EXPECT_EQ(csv.find("Page"), std::string::npos);
    EXPECT_EQ(csv.find("---"), std::string::npos);
    std::vector<std::string> lines = split_lines(csv);
    ASSERT_EQ(lines.size(), 83u);   // the title, two heading rows and 80 rows
    EXPECT_EQ(lines[0], "Pipe Sections,");
    EXPECT_EQ(lines[2], ",(inch),(inch),");
    EXPECT_EQ(lines[3 + 6], "S7,9.375,0.1610,\"Clay, \"\"wet\"\"\",");
    EXPECT_EQ(lines[3 + 9], "S10,12.375,,,");   // "0" and "" give empty cells
}

TEST_F(ReportTest, CsvCellRules) {
    report_begin_text(true);
    csv_add_cell("");
    csv_add_cell("0");
    csv_add_cell("  0  ");
    csv_add_cell("0.0");
    csv_add_cell("  12.5 ");
    csv_add_text("0");
    csv_add_text("a,b");
    csv_add_text("say \"hi\"");
    csv_add_text("two\nlines");
    csv_add_unit_cell(FORCE);
    report_next_line();
    EXPECT_EQ(report_end_text(), ",,,0.0,12.5,0,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",(lb),\n");

    // Outside a CSV report the cell calls write nothing.
    report_begin_text(false);
    csv_add_cell("x");
    csv_add_text("y");
    report_next_line();
    EXPECT_EQ(split_lines(report_end_text()).back(), "");
}

TEST_F(ReportTest, ColumnPlacement) {
    report_begin_text(false);
    report_print_at("abc", 5);
    report_print_right("xyz", 12);
    report_put_char('*', 14);
    report_print_decimal("  12.50", 20);   // point at column 20
    report_print_decimal("7", 30);         // no point: ends before column 30
    report_print_centred("mid", 31, 39);
    report_print_centred("far too long", 41, 44);   // longer than the range: starts at it
    report_next_line();
    report_dashes(6, 9);
    report_print_first("!");
    report_next_line();
    report_print_at("x", 10);
    report_rule_at_line();
    report_next_line();
    report_print_centred_page("Title");
    report_next_line();
    report_print_at("edge", 0);   // a column below 1 is column 1
    report_next_line();
    std::vector<std::string> lines = split_lines(report_end_text());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "    abc  xyz *   12.50      7    mid    far too long");
    EXPECT_EQ(lines[4], "!    ----");
    EXPECT_EQ(lines[5], "   " + std::string(85, '-'));
    EXPECT_EQ(lines[6].find("Title"), 43u);   // centred between columns 4 and 88
    EXPECT_EQ(lines[7], "edge");
}

TEST_F(ReportTest, PagingRules) {
    report_begin_text(false);
    EXPECT_EQ(report_current_line(), REPORT_FIRST_LINE);
    EXPECT_EQ(report_lines_left(), 56);
    report_page_break();   // a fresh page does not break
    EXPECT_EQ(report_page_number(), 1);
    for (int i = 0; i < 55; ++i) report_line("x");
    EXPECT_EQ(report_current_line(), 59);
    EXPECT_EQ(report_lines_left(), 1);
    report_line("last on page 1");
    EXPECT_EQ(report_page_number(), 2);
    EXPECT_EQ(report_current_line(), REPORT_FIRST_LINE);
    // The next page's header is not written until something goes on it.
    EXPECT_EQ(report_text().find('\f'), std::string::npos);
    report_line("first on page 2");
    report_page_break();
    report_page_break();   // once only
    EXPECT_EQ(report_page_number(), 3);
    std::string text = report_end_text();
    std::vector<std::string> pages = split_pages(text);
    ASSERT_EQ(pages.size(), 2u);   // page 3 never got anything
    EXPECT_EQ(split_lines(pages[0]).back(), "   last on page 1");
    EXPECT_EQ(split_lines(pages[1])[3], "   first on page 2");
    EXPECT_NE(split_lines(pages[1])[0].find("Page 2"), std::string::npos);

    // An empty report is empty: no header of its own.
    report_begin_text(false);
    EXPECT_EQ(report_end_text(), "");
}

TEST_F(ReportTest, RuleEndsAWrittenLineFirst) {
    report_begin_text(false);
    report_print_at("Heading", 4);
    report_rule();
    std::vector<std::string> lines = split_lines(report_end_text());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "   Heading");
    EXPECT_EQ(lines[4], "   " + std::string(85, '-'));

    report_begin_text(true);
    csv_add_text("Title");
    report_rule();   // ends the row
    report_rule();   // nothing more
    EXPECT_EQ(report_end_text(), "Title,\n");
}

TEST_F(ReportTest, ReportLineGoesToOneDestination) {
    // Neither flag: the screen list.
    report_line("on screen");
    report_line("second");
    EXPECT_EQ(report_screen_lines(), (std::vector<std::string>{"on screen", "second"}));

    // A text report: column 4, and nothing on the screen.
    report_begin_text(false);
    report_line("in text");
    std::string text = report_end_text();
    EXPECT_NE(text.find("\n   in text\n"), std::string::npos);
    // CSV: a cell and the row's end.
    report_begin_text(true);
    report_line("in, csv");
    EXPECT_EQ(report_end_text(), "\"in, csv\",\n");
    EXPECT_EQ(report_screen_lines().size(), 2u);

    // Graphic pages win over the text report.
    HeadlessPrintDocument doc(PageSetup{}, 96);
    report_begin_text(false);
    gdi_begin(doc, 1);
    report_line("on paper");
    gdi_end();
    EXPECT_EQ(split_lines(report_end_text()).size(), 0u);
    bool found = false;
    for (const std::string& l : doc.page_at(1).lines_starting("text"))
        found = found || l.find("\"on paper\"") != std::string::npos;
    EXPECT_TRUE(found);

    report_clear_lines();
    EXPECT_TRUE(report_screen_lines().empty());
}

TEST_F(ReportTest, HeadingAndDetails) {
    ReportHeading h;
    h.title = "Bends";
    h.entries = {{"Node", 0, 6}, {"Radius", 0, 14}, {"Angle", 1, 14}};
    h.heading_lines = 2;
    h.units = {{DIMENSION, 0, 22, 29}};
    report_begin_text(false);
    print_report_heading(h);
    print_row_details({3, 5}, [](int row) { report_line(c_format("Row %d: long radius", row)); });
    print_row_details({}, [](int) { report_line("never"); });
    std::vector<std::string> lines = split_lines(report_end_text());
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[3].find("Bends"), 43u);
    EXPECT_EQ(lines[4].substr(3, 3), "---");
    EXPECT_EQ(lines[5], "     Node    Radius   (inch)");
    EXPECT_EQ(lines[6], "             Angle");
    EXPECT_EQ(lines[7].substr(3, 3), "---");
    EXPECT_EQ(lines[8], "   Details");
    EXPECT_EQ(lines[9], "   Row 3: long radius");
    EXPECT_EQ(lines[10], "   Row 5: long radius");
    EXPECT_EQ(lines[11].substr(3, 3), "---");

    report_begin_text(true);
    print_report_heading(h);
    EXPECT_EQ(report_end_text(), "Bends,\nNode,Radius,Angle,\n(inch),\n");
}

TEST_F(ReportTest, HeadingBreaksAPageThatHasNoRoom) {
    ReportHeading h;
    h.title = "Valves";
    h.entries = {{"Node", 0, 6}};
    report_begin_text(false);
    for (int i = 0; i < 52; ++i) report_line("row");
    EXPECT_EQ(report_lines_left(), 4);
    // Title, rule, one heading line and a rule, and two rows: 6 lines.
    ReportTable table([&] { print_report_heading(h); }, 2);
    EXPECT_EQ(report_page_number(), 2);
    table.end();
    std::vector<std::string> pages = split_pages(report_end_text());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(split_lines(pages[1])[3].find("Valves"), std::string::npos);
}

TEST_F(ReportTest, ContentsPagesShiftThePageNumbers) {
    // 54 entry lines under "Contents" and its rule on every page.
    const auto entries = [](int n) { return std::vector<ContentsEntry>(static_cast<size_t>(n), ContentsEntry{"M", 0, 1}); };
    EXPECT_EQ(report_contents_text_pages(entries(0)), 0);
    EXPECT_EQ(report_contents_text_pages(entries(54)), 1);
    EXPECT_EQ(report_contents_text_pages(entries(55)), 2);
    EXPECT_EQ(report_contents_text_pages(entries(108)), 2);
    EXPECT_EQ(report_contents_text_pages(entries(109)), 3);
    // 60 entries need two contents pages; the body starts on page 3.
    ReportJob job{"Many", [] {
                      for (int i = 1; i <= 60; ++i) {
                          report_page_break();
                          report_contents_line(c_format("Part %d", i));
                          report_line("text");
                      }
                  },
                  true};
    std::string text = report_render_text(job, false);
    std::vector<std::string> pages = split_pages(text);
    ASSERT_EQ(pages.size(), 62u);
    std::vector<std::string> first = split_lines(pages[0]);
    EXPECT_EQ(first[5].substr(3, 6), "Part 1");
    EXPECT_EQ(first[5].substr(first[5].size() - 2), " 3");
    std::vector<std::string> second = split_lines(pages[1]);
    EXPECT_EQ(trimmed(second[3]), "Contents");
    EXPECT_EQ(second[5].substr(3, 7), "Part 55");
    EXPECT_EQ(second[5].substr(second[5].size() - 3), " 57");
    EXPECT_NE(split_lines(pages[61])[0].find("Page 62"), std::string::npos);
    EXPECT_FALSE(report_state().text_report);
    EXPECT_FALSE(report_state().collecting_contents);
}

// The writer of a report with contents runs once; the text handed out in
// pieces is the whole text; every page (the 9th to the 10th and the 99th to
// the 100th among them) carries its own number, and a text of several
// megabytes (more than one block) reads back whole.
TEST_F(ReportTest, AReportWithContentsIsWrittenOnceAndPutTogetherWhole) {
    set_sample_qa();
    int runs = 0;
    const std::string row(400, 'x');
    ReportJob job{"Long", [&] {
                      ++runs;
                      for (int part = 1; part <= 3; ++part) {
                          report_page_break();
                          report_contents_line(c_format("Part %d", part));
                          for (int i = 0; i < 40 * 56; ++i) report_line(c_format("%d.%d ", part, i) + row);
                      }
                  },
                  true};
    const std::string text = report_render_text(job, false);
    EXPECT_EQ(runs, 1);
    EXPECT_GT(text.size(), size_t{2} << 20);
    std::string pieces;
    report_render_text_to(job, false, [&pieces](std::string_view piece) { pieces += piece; });
    EXPECT_EQ(pieces, text);
    const std::vector<std::string> pages = split_pages(text);
    ASSERT_EQ(pages.size(), 121u);   // one of contents, three parts of 40 pages
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string> lines = split_lines(pages[p]);
        ASSERT_GE(lines.size(), 4u);
        const std::string number = c_format("12 Mar 2025    Page %zu", p + 1);
        EXPECT_EQ(lines[0].substr(lines[0].size() - number.size()), number);
        EXPECT_EQ(lines[1], split_lines(pages[0])[1]);
    }
    // The contents give each part's first page, after the contents page.
    const std::vector<std::string> contents = split_lines(pages[0]);
    EXPECT_EQ(contents[6].substr(3, 6), "Part 2");
    EXPECT_EQ(contents[6].substr(contents[6].size() - 3), " 42");
    EXPECT_EQ(split_lines(pages[41])[3].substr(3, 5), "2.0 x");
}

// A number never runs into the text before it on the line: it keeps one
// blank, taking the exponent form that fits the room there is, or stars;
// in CSV its cell holds it whole.
TEST_F(ReportTest, ANumberTakesTheRoomThereIs) {
    auto line = [](const std::function<void()>& write) {
        report_begin_text(false);
        write();
        const std::vector<std::string> lines = split_lines(report_end_text());
        return lines.size() > 3 ? lines[3] : std::string();
    };
    // A load of 141,096,320 lb after node 19540: ten characters wide, it
    // would start right after the node.
    EXPECT_EQ(line([] {
                  report_print_at("19540", 6);
                  report_real_right(141096320.0, 10, 0, 19);
              }),
              "     19540 1.41E+08");
    // With room it is written as format_real writes it.
    EXPECT_EQ(line([] {
                  report_print_at("195", 6);
                  report_real_right(-1410963.0, 10, 0, 19);
              }),
              "     195   -1410963");
    // Two values of 1e10 and more side by side: the second takes the seven
    // characters left to it.
    EXPECT_EQ(line([] {
                  report_real_right(2.5162e10, 10, 0, 30);
                  report_real_right(3.1033e10, 10, 0, 38);
              }),
              std::string(20, ' ') + "2.5162E+10 3.1E+10");
    // One character of room: a star; none: nothing (the text before is kept).
    EXPECT_EQ(line([] {
                  report_print_at("Flange rating", 5);
                  report_real_right(12345.0, 10, 0, 19);
              }),
              "    Flange rating *");
    EXPECT_EQ(line([] {
                  report_print_at("Flange rating", 5);
                  report_real_right(12345.0, 10, 0, 17);
              }),
              "    Flange rating");
    // Columns are characters: an accented name takes one column a letter.
    EXPECT_EQ(line([] {
                  report_print_at("Düsseldorf", 1);
                  report_real_right(12345678.0, 10, 0, 18);
              }),
              "Düsseldorf 1.2E+07");
    report_begin_text(true);
    report_real_right(141096320.0, 10, 0, 19);
    report_real_right(0.0, 10, 0, 29);
    report_real_right(-0.2, 10, 0, 39);
    report_next_line();
    EXPECT_EQ(report_end_text(), "141096320,,,\n");
}

// A text never runs into the text before it: one that would come closer
// than one blank starts one blank after it, and a value of a left-aligned
// column takes the exponent form that fits the room up to the next column,
// or moves on with its room after a text that reaches into it. What still
// runs together (a text written before one to its left) is counted.
TEST_F(ReportTest, ColumnsKeepABlankBeforeTheNext) {
    auto line = [](const std::function<void()>& write, int* crowded = nullptr) {
        report_begin_text(false);
        write();
        if (crowded) *crowded = report_crowded_texts();
        const std::vector<std::string> lines = split_lines(report_end_text());
        return lines.size() > 3 ? lines[3] : std::string();
    };
    // Node 99970 in the four columns from 3: the next node moves on.
    EXPECT_EQ(line([] {
                  report_print_at("99970", 3);
                  report_print_at("99980", 8);
              }),
              "  99970 99980");
    // Right-aligned too, and accented names count characters.
    EXPECT_EQ(line([] {
                  report_print_at("Düsseldorf", 1);
                  report_print_right("Köln", 12);
              }),
              "Düsseldorf Köln");
    // Eight characters where seven fit before the next column at 30: the
    // exponent form that fits; a value that fits is written as given.
    EXPECT_EQ(line([] {
                  report_value_at("20599202", 20599202.0, 22, 7);
                  report_value_at("545455", 545455.0, 30, 8);
              }),
              std::string(21, ' ') + "2.1E+07 545455");
    // After a text that reaches into its column the value moves on with all
    // its room.
    EXPECT_EQ(line([] {
                  report_print_at("99980", 8);
                  report_value_at("28.6E+6", 2.86e7, 13, 8);
                  report_value_at("3376680", 3376680.0, 22, 7);
              }),
              "       99980 28.6E+6 3376680");
    // Written out of order over the text after it: nothing can move, and the
    // report counts it.
    int crowded = 0;
    EXPECT_EQ(line(
                  [] {
                      report_print_at("12345", 10);
                      report_print_at("ABCDEFG", 4);
                  },
                  &crowded),
              "   ABCDEFG2345");
    EXPECT_EQ(crowded, 1);
    // Rules are written over and may be written over.
    EXPECT_EQ(line(
                  [] {
                      report_rule_at_line();
                      report_print_at(" Title ", 10);
                  },
                  &crowded),
              "   ------ Title " + std::string(REPORT_RIGHT_COLUMN - 16, '-'));
    EXPECT_EQ(crowded, 0);
    // CSV holds the value as given.
    report_begin_text(true);
    report_value_at("20599202", 20599202.0, 22, 7);
    report_next_line();
    EXPECT_EQ(report_end_text(), "20599202,\n");
}

TEST_F(ReportTest, AWholeReportRunKeepsAnOpenReportAlone) {
    report_begin_text(false);
    report_line("outer before");
    std::string inner = report_render_text(ReportJob{"Inner", [] { report_line("inner"); }, false}, true);
    EXPECT_EQ(inner, "inner,\n");
    report_line("outer after");
    std::string outer = report_end_text();
    EXPECT_NE(outer.find("   outer before\n   outer after\n"), std::string::npos);
}

TEST_F(ReportTest, AWriterThatThrowsLeavesNoReportOpen) {
    ReportJob job{"Bad", [] {
                      report_line("partial");
                      throw MessageText("Material A1 is not defined");
                  },
                  true};
    EXPECT_THROW(report_render_text(job, false), MessageText);
    EXPECT_FALSE(report_state().text_report);
    EXPECT_FALSE(report_state().collecting_contents);
    report_line("screen again");
    EXPECT_EQ(report_screen_lines().back(), "screen again");
}

// ---------------------------------------------------------------------------
// Files

TEST_F(ReportTest, ReportFileIsWrittenOnClose) {
    std::string path = (dir / "model.txt").string();
    write_file(path, "old report");
    script().answer_file(path);
    ASSERT_TRUE(open_report_file(0));
    ASSERT_EQ(script().log().back().kind, ScriptEvent::FileDialog);
    EXPECT_TRUE(report_state().text_report);
    EXPECT_FALSE(report_state().csv_mode);
    report_line("first line");
    EXPECT_EQ(read_text_file(path), "old report");   // nothing replaced before the close
    ASSERT_TRUE(close_report_file(0));
    EXPECT_EQ(script().last_message(), "txt written.");
    EXPECT_NE(read_text_file(path).find("   first line\n"), std::string::npos);
    EXPECT_FALSE(report_state().text_report);
    // Only the report is left in the folder: the temporary file was renamed.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_FALSE(close_report_file(0));   // nothing open

    // A ".csv" name gives the CSV form.
    std::string csv = (dir / "model.csv").string();
    script().answer_file(csv);
    ASSERT_TRUE(open_report_file(0));
    EXPECT_TRUE(report_state().csv_mode);
    csv_add_cell("1");
    report_next_line();
    ASSERT_TRUE(close_report_file(0));
    EXPECT_EQ(script().last_message(), "csv written.");
    EXPECT_EQ(read_text_file(csv), "1,\n");
}

TEST_F(ReportTest, CsvExportFileDialogAndFailures) {
    script().answer_file(std::nullopt);
    EXPECT_FALSE(open_csv_export_file(0, "Materials.csv"));
    const ScriptEvent& e = script().log().back();
    EXPECT_EQ(e.caption, "Export to Comma Separated Values file");
    EXPECT_FALSE(report_state().text_report);

    std::string bad = (dir / "missing" / "x.csv").string();
    script().answer_file(bad);
    EXPECT_FALSE(open_csv_export_file(0));
    EXPECT_EQ(script().last_message(), "Unable to open csv file:\n" + bad + "\nNo such file or directory.");
    EXPECT_FALSE(report_state().text_report);
    EXPECT_FALSE(report_file_open());

    std::string good = (dir / "m.csv").string();
    script().answer_file(good);
    ASSERT_TRUE(open_csv_export_file(0));
    EXPECT_TRUE(report_state().csv_mode);
    csv_add_text("Material A1: steel");
    report_next_line();
    ASSERT_TRUE(close_report_file(0));
    EXPECT_EQ(read_text_file(good), "Material A1: steel,\n");
}

TEST_F(ReportTest, AFailedWriteKeepsTheOldFile) {
    std::string sub = (dir / "gone").string();
    fs::create_directories(sub);
    std::string path = sub + "/r.txt";
    ASSERT_TRUE(open_report_file_at(0, path, false));
    report_line("lost");
    // The folder disappears before the close: the rename cannot happen.
    fs::remove_all(sub);
    EXPECT_FALSE(close_report_file(0));
    EXPECT_EQ(script().last_message(), "Unable to write txt file:\n" + path + "\nNo such file or directory.");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(report_state().text_report);
}

TEST_F(ReportTest, ReportFilePathOfTheQualificationModes) {
    EXPECT_FALSE(report_file_path());
    set_report_file_path("/data/flange.fqd");
    EXPECT_EQ(*report_file_path(), "/data/flange.txt");
    script().answer_file(std::nullopt);
    open_report_file(0);
    EXPECT_EQ(script().log().back().kind, ScriptEvent::FileDialog);
    clear_report_file_path();
    EXPECT_FALSE(report_file_path());
}

// ---------------------------------------------------------------------------
// Printer settings and the Print dialog

TEST_F(ReportTest, PrinterSettingsRoundTripAndDamagedValues) {
    MemorySettings& store = headless_backend().memory_settings();
    const std::string key = settings_key(PRINTER_KEY);
    store.set_int(key, "Orientation", 1);
    store.set_string(key, "Paper", "A4");
    store.set_int(key, "Copies", 0);            // refused
    store.set_int(key, "Margin left", 500);
    store.set_int(key, "Margin top", -20);      // refused
    store.set_string(key, "Margin right", "x"); // wrong kind
    PageSetup& s = printer_settings();
    EXPECT_EQ(s.orientation, PageSetup::Landscape);
    EXPECT_EQ(s.paper, "A4");
    EXPECT_EQ(s.copies, 1);
    EXPECT_EQ(s.margin_left, 500);
    EXPECT_EQ(s.margin_top, 750);
    EXPECT_EQ(s.margin_right, 750);

    HeadlessPrintService& ps = install_headless_print_service();
    PageSetup changed = s;
    changed.paper = "Legal";
    changed.margin_bottom = 1000;
    ps.answer_page_setup(changed);
    EXPECT_TRUE(page_setup(0));
    EXPECT_EQ(*store.get_string(key, "Paper"), "Legal");
    EXPECT_EQ(*store.get_int(key, "Margin bottom"), 1000);
    reset_printer_settings();
    EXPECT_EQ(printer_settings(), changed);   // read back from the store
    ps.answer_page_setup(std::nullopt);
    EXPECT_FALSE(page_setup(0));
}

TEST_F(ReportTest, PrintSheetSendsTheJobToTheChosenDestination) {
    HeadlessPrintService& ps = install_headless_print_service();
    int writes = 0;
    ReportJob job{"Pipe Sections", [&] {
                      ++writes;
                      report_line("S1  2.375");
                  },
                  false};

    // Cancel: nothing happens.
    script().once("PRINT_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(print_sheet(0, job));
    EXPECT_EQ(writes, 0);

    // Text file.
    std::string path = (dir / "sections.txt").string();
    script().once("PRINT_DIALOG", [](HeadlessDialog& d) {
        d.press(PRINT_TO_TEXT);
        d.press(IDOK);
    });
    script().answer_file(path);
    EXPECT_TRUE(print_sheet(0, job));
    EXPECT_NE(read_text_file(path).find("   S1  2.375\n"), std::string::npos);
    EXPECT_EQ(script().last_message(), "txt written.");

    // The choice is remembered: the next dialog opens on "Text file".
    bool text_checked = false;
    script().once("PRINT_DIALOG", [&](HeadlessDialog& d) {
        text_checked = d.is_checked(PRINT_TO_TEXT);
        d.press(PRINT_TO_PRINTER);
        d.press(IDOK);
    });
    EXPECT_TRUE(print_sheet(0, job));
    EXPECT_TRUE(text_checked);
    ASSERT_EQ(ps.printed.size(), 1u);
    EXPECT_EQ(ps.last_job_name, "Pipe Sections");
    bool printed_row = false;
    for (const std::string& l : ps.printed[0][0]) printed_row = printed_row || l.find("S1  2.375") != std::string::npos;
    EXPECT_TRUE(printed_row);

    // Preview, with the page setup opened from the dialog.
    ps.answer_page_setup(std::nullopt);
    script().once("PRINT_DIALOG", [](HeadlessDialog& d) {
        d.press(PRINT_PAGE_SETUP);
        d.press(PRINT_TO_PREVIEW);
        d.press(IDOK);
    });
    EXPECT_FALSE(print_sheet(0, job));   // closed without printing
    EXPECT_EQ(ps.page_setup_dialogs, 1);
    EXPECT_EQ(ps.previews, 1);
    EXPECT_EQ(ps.last_preview_title, "Pipe Sections");
    EXPECT_FALSE(ps.last_preview_pages.empty());

    // A printer that cannot be used gives a message.
    ps.printer_fails = true;
    EXPECT_FALSE(print_report_to(0, job, PrintDestination::Printer));
    EXPECT_EQ(script().last_message(), "Unable to print on the printer (default)");
    EXPECT_TRUE(script().faults().empty());
}

TEST_F(ReportTest, PrintedPageRangeKeepsOnlyThosePages) {
    HeadlessPrintService& ps = install_headless_print_service();
    ps.answer_print_dialog(true, 2, 3);
    ASSERT_TRUE(print_page_to_printer(0, "Range", [](PrintDocument& doc) {
        for (int p = 1; p <= 4; ++p) {
            if (p > 1) doc.new_page();
            doc.page().text(0, 0, c_format("page %d", p));
        }
    }));
    ASSERT_EQ(ps.printed.size(), 1u);
    ASSERT_EQ(ps.printed[0].size(), 2u);
    EXPECT_EQ(ps.printed[0][0].back(), "text 0 0 \"page 2\" left");
    EXPECT_EQ(ps.printed[0][1].back(), "text 0 0 \"page 3\" left");
}

TEST_F(ReportTest, APageRangeBeyondTheDocumentPrintsNothing) {
    HeadlessPrintService& ps = install_headless_print_service();
    ps.answer_print_dialog(true, 5, 6);
    EXPECT_FALSE(print_page_to_printer(0, "Short", [](PrintDocument& doc) { doc.page().text(0, 0, "only page"); }));
    EXPECT_TRUE(ps.printed.empty());
}

TEST_F(ReportTest, PrintingWithoutAServiceOrPdfSupportSaysSo) {
    EXPECT_FALSE(print_service_installed());
    EXPECT_FALSE(print_page_to_printer(0, "x", nullptr));
    EXPECT_EQ(script().last_message(), "Printing is not available.");
    install_headless_print_service();
    std::string pdf = (dir / "r.pdf").string();
    EXPECT_FALSE(print_to_pdf(0, pdf, nullptr));
    EXPECT_EQ(script().last_message(), "Unable to open pdf file:\n" + pdf);
}

}  // namespace

// ---- Rows written apart ----------------------------------------------------------------------

namespace {

// Rows of one to four lines each: text at a column that moves with the row
// (trailing blanks dropped), a value placed by the number writer, a degree
// sign (two bytes, one column) on every seventh row, and a blank line
// after every fifth.
void write_apart_row(int row) {
    const int lines = row % 4 + 1;
    for (int k = 0; k < lines; ++k) {
        report_print_at(c_format("Row %d.%d   ", row, k), 4 + (row + k) % 9);
        if (row % 7 == 0) report_print_at("\xC2\xB0" "F", 24);
        report_real_right(row * 1.5 + k, 10, 2, 40);
        report_next_line();
    }
    if (row % 5 == 0) report_next_line();
}

struct ApartRun {
    std::string text;
    int other_thread_rows = 0;
};

// A table heading of two lines and a rule.
void write_apart_heading() {
    report_print_centred_page("Rows");
    report_next_line();
    report_print_at("Row", 4);
    report_print_at("Value", 36);
    report_next_line();
    report_rule();
}

// A table of `count` rows as the result tables write it: under its heading
// (a ReportTable), with a page break between two rows now and then; the
// rows written apart in blocks of `block` rows (block 0: each row written in
// turn, without ReportRowsApart).
ApartRun apart_table(int count, int block, bool csv, bool contents,
                     const std::function<void(int)>& extra = {}) {
    set_report_rows_apart_block(block);
    const std::thread::id main = std::this_thread::get_id();
    std::atomic<int> other{0};
    const auto write_row = [&](int row) {
        // A block further on that the report's thread writes while it
        // waits takes a moment, in which the other threads take theirs.
        if (std::this_thread::get_id() != main)
            ++other;
        else if (!csv && block > 0 && row > block)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (extra) extra(row);
        write_apart_row(row);
    };
    ReportJob job{"Rows", [&] {
                      report_contents_line("Rows");
                      report_line("Before the rows");
                      std::optional<ReportRowsApart> rows;
                      if (block > 0) rows.emplace(count, write_row);
                      ReportTable table(write_apart_heading);
                      for (int row = 1; row <= count; ++row) {
                          rows ? rows->write(row) : write_row(row);
                          if (row % 97 == 0) report_page_break();
                      }
                      table.end();
                      report_rule();
                  },
                  contents};
    ApartRun run;
    run.text = report_render_text(job, csv);
    run.other_thread_rows = other;
    set_report_rows_apart_block(0);
    return run;
}

class ReportRowsApartTest : public ReportTest {};

}  // namespace

// However the rows are cut into blocks, the report reads as the rows written
// one after the other on the report's thread: the pages they reach, the
// headings at the top of each (written once and put in again), with the
// page headers made at once or after the contents. Blocks past the first go
// to other threads when the machine has more than one processor.
TEST_F(ReportRowsApartTest, ReadAsRowsWrittenInTurn) {
    set_sample_qa();
    const int count = 600;
    for (bool contents : {false, true}) {
        const std::string in_turn = apart_table(count, 0, false, contents).text;
        ASSERT_GT(split_pages(in_turn).size(), 20u);
        EXPECT_NE(in_turn.find("          Row 7.0      \xC2\xB0" "F"), std::string::npos);
        int other_thread_rows = 0;
        for (int block : {1, 3, 64, 599, count}) {
            const ApartRun apart = apart_table(count, block, false, contents);
            EXPECT_EQ(apart.text, in_turn) << "block " << block << (contents ? " with contents" : "");
            other_thread_rows += apart.other_thread_rows;
        }
        if (std::thread::hardware_concurrency() > 1) {
            EXPECT_GT(other_thread_rows, 0);
        }
    }
}

// A CSV report, and a row whose line the report's thread has begun, are
// written in place.
TEST_F(ReportRowsApartTest, StayInPlaceWhereTheyMust) {
    const ApartRun csv = apart_table(300, 4, true, false);
    EXPECT_EQ(csv.other_thread_rows, 0);
    EXPECT_NE(csv.text.find("Row 299.3,451.50,\n"), std::string::npos);

    set_report_rows_apart_block(4);
    report_begin_text(false);
    {
        ReportRowsApart rows(40, write_apart_row);
        for (int row = 1; row <= 40; ++row) {
            if (row == 30) report_print_at("Begun:", 50);
            rows.write(row);
        }
    }
    const std::vector<std::string> lines = split_lines(report_end_text());
    const auto begun = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& l) { return l.find("Begun:") != std::string::npos; });
    ASSERT_NE(begun, lines.end());
    EXPECT_EQ(begun->substr(0, 13), "      Row 30.");
    EXPECT_EQ(begun->substr(49), "Begun:");
}

// A row that fails on another thread fails at its own row, with the rows
// before it written; one of the first block fails where it is written.
TEST_F(ReportRowsApartTest, ARowThatFailsFailsAtItsRow) {
    for (int failing : {150, 3}) {
        std::string text;
        try {
            apart_table(400, 8, false, false, [failing](int row) {
                if (row == failing) throw MessageText(c_format("Row %d cannot be written", row));
            });
            ADD_FAILURE() << "no failure for row " << failing;
        } catch (const MessageText& m) {
            EXPECT_EQ(m.text, c_format("Row %d cannot be written", failing));
        }
        EXPECT_FALSE(report_state().text_report);
    }
    // The report after it is whole.
    EXPECT_EQ(apart_table(50, 8, false, false).text, apart_table(50, 0, false, false).text);
}

// ---- Tables going on over pages ---------------------------------------------------------

namespace {

class PageContinuation : public ReportTest {};

// A table's heading: its title, a rule, one heading line and a rule.
void write_element_heading() {
    report_print_centred_page("Element forces");
    report_next_line();
    report_rule();
    report_print_at("Node      FX", 4);
    report_next_line();
    report_rule();
}

// An element of three lines: its two ends and a blank line.
void write_element(int row) {
    report_print_at(c_format("%d", 10 * row), 4);
    report_print_at(c_format("%d", -row), 14);
    report_next_line();
    report_print_at(c_format("%d", 10 * row + 10), 4);
    report_print_at(c_format("%d", row), 14);
    report_next_line();
    report_next_line();
}

const std::vector<std::string> ELEMENT_HEADING = {
    std::string(38, ' ') + "Element forces", "   " + std::string(85, '-'), "   Node      FX",
    "   " + std::string(85, '-')};

// The first lines of every page below its three header lines.
std::vector<std::vector<std::string>> page_tops(const std::string& text, size_t lines) {
    std::vector<std::vector<std::string>> tops;
    for (const std::string& page : split_pages(text)) {
        const std::vector<std::string> all = split_lines(page);
        tops.emplace_back(all.begin() + 3, all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), 3 + lines)));
    }
    return tops;
}

}  // namespace

// Elements of three lines after 50 lines of text: the heading and the
// first element take the last 7 lines of page 1 (lines 53 to 59); every
// page after it begins with the heading, whatever starts it (a full page, a
// page break between two elements, rows written on other threads), and an
// element is never parted: 17 elements of 3 lines fit under the heading's 4
// on a page of 56. The closing rule under an element that ends a page is
// left out rather than put alone on the next.
TEST_F(PageContinuation, EveryPageTheRowsReachBeginsWithTheHeading) {
    for (int block : {0, 1, 5}) {
        SCOPED_TRACE(block);
        set_report_rows_apart_block(block);
        report_begin_text(false);
        for (int i = 0; i < 49; ++i) report_line("text");
        ASSERT_EQ(report_current_line(), 53);
        {
            std::optional<ReportRowsApart> apart;
            if (block > 0) apart.emplace(60, write_element);
            ReportTable table(write_element_heading, 3);
            for (int row = 1; row <= 60; ++row) {
                table.keep(3);
                apart ? apart->write(row) : write_element(row);
                if (row == 30) report_page_break();
            }
            table.close();
        }
        report_line("after");
        const std::string text = report_end_text();
        const auto tops = page_tops(text, 5);
        // Page 1: the table's start at line 53; pages 2 to 5 begin with its heading.
        ASSERT_EQ(tops.size(), 5u);
        const std::vector<std::string> first = split_lines(split_pages(text)[0]);
        EXPECT_EQ(first[52], ELEMENT_HEADING[0]);
        EXPECT_EQ(first[56], "   10        -1");
        for (size_t p = 1; p < tops.size(); ++p) {
            EXPECT_EQ(std::vector<std::string>(tops[p].begin(), tops[p].begin() + 4), ELEMENT_HEADING) << "page " << p + 1;
        }
        // Page 2 holds elements 2 to 18 (17 of them); page 3 goes on from 19
        // to 30, where the page is broken; page 4 from 31 to 47, page 5 the rest.
        EXPECT_EQ(tops[1][4], "   20        -2");
        EXPECT_EQ(tops[2][4], "   190       -19");
        EXPECT_EQ(tops[3][4], "   310       -31");
        EXPECT_EQ(tops[4][4], "   480       -48");
        const std::vector<std::string> last = split_lines(split_pages(text)[4]);
        EXPECT_EQ(last[last.size() - 2], "   " + std::string(85, '-'));
        EXPECT_EQ(last.back(), "   after");
    }
    set_report_rows_apart_block(0);
}

// A table inside a table: the inner heading stands at the top of the pages
// while the inner table is open, the outer one's again after it ends; a
// page holding only the repeated heading counts as fresh for a page break;
// a heading of more than half a page is written once, not repeated.
TEST_F(PageContinuation, NestedTablesAndLongHeadings) {
    report_begin_text(false);
    ReportTable outer([] { report_line("Outer"); });
    {
        ReportTable inner([] { report_line("Inner"); });
        for (int i = 0; i < 60; ++i) report_line("row");
    }
    report_page_break();
    report_page_break();   // the page holds the outer heading only when it begins: nothing to break
    report_line("outer row");
    outer.end();
    report_page_break();
    ReportTable tall([] {
        for (int i = 0; i < 30; ++i) report_line("heading");
    });
    for (int i = 0; i < 30; ++i) report_line("tall row");
    tall.end();
    const auto tops = page_tops(report_end_text(), 2);
    ASSERT_EQ(tops.size(), 5u);
    EXPECT_EQ(tops[0], (std::vector<std::string>{"   Outer", "   Inner"}));
    EXPECT_EQ(tops[1], (std::vector<std::string>{"   Inner", "   row"}));
    EXPECT_EQ(tops[2], (std::vector<std::string>{"   Outer", "   outer row"}));
    EXPECT_EQ(tops[3], (std::vector<std::string>{"   heading", "   heading"}));
    EXPECT_EQ(tops[4], (std::vector<std::string>{"   tall row", "   tall row"}));
}

// ---- Contents lines ----------------------------------------------------------------------

namespace {

class ContentsLine : public ReportTest {};

// The pump report's contents entry, 93 characters, and a title of one word
// of 100 characters.
const std::string PUMP_ENTRY =
    "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-101 FEED PUMP, Operating (W+P1+T1)";
const std::string LONG_WORD(100, 'W');

}  // namespace

// A title that fits stays on one line; a longer one breaks at the blanks
// before the room runs out; a word wider than the room is cut there; a
// character of two bytes (the degree sign) counts as one.
TEST_F(ContentsLine, TitlesBreakAtBlanksWithinTheirRoom) {
    const auto chars = [](std::string_view t) { return utf8_length(t); };
    EXPECT_EQ(wrapped_lines("Pipe sections", 13, 11, chars), (std::vector<std::string>{"Pipe sections"}));
    EXPECT_EQ(wrapped_lines("Pipe sections", 12, 10, chars), (std::vector<std::string>{"Pipe", "sections"}));
    EXPECT_EQ(wrapped_lines("Loads on anchors: Operating (W+P1+T1)", 20, 18, chars),
              (std::vector<std::string>{"Loads on anchors:", "Operating", "(W+P1+T1)"}));
    EXPECT_EQ(wrapped_lines("ABCDEFGHIJ KL", 4, 3, chars), (std::vector<std::string>{"ABCD", "EFG", "HIJ", "KL"}));
    EXPECT_EQ(wrapped_lines("400 \xC2\xB0" "F case", 5, 5, chars),
              (std::vector<std::string>{"400", "\xC2\xB0" "F", "case"}));
    EXPECT_EQ(wrapped_lines("", 10, 8, chars), (std::vector<std::string>{""}));
}

// In the text report's contents a long entry goes on over the next lines,
// two columns further in, and its page number ends its last line at column
// 88 with at least two blanks before it: no text is written over another,
// and the entry reads whole again when its lines are put together.
TEST_F(ContentsLine, LongEntriesOfTheTextReportAreWhole) {
    ReportJob job{"Pumps", [] {
                      report_contents_line(PUMP_ENTRY);
                      report_line("pump report");
                      report_contents_line(LONG_WORD, 1);
                      report_line("more");
                      report_contents_line("Short", 2);
                  },
                  true};
    const std::string text = report_render_text(job, false);
    EXPECT_EQ(report_crowded_texts(), 0);
    const std::vector<std::string> page = split_lines(split_pages(text)[0]);
    // "Contents", its rule, then the entries from line 6.
    ASSERT_GE(page.size(), 10u);
    const std::string rule = "   " + std::string(85, '-');
    EXPECT_EQ(page[4], rule);
    // A line that ends in the page number "2" at column 88.
    const auto numbered = [](const std::string& text) { return text + std::string(87 - text.size(), ' ') + "2"; };
    // The title from column 4 up to column 82 (79 columns; six are kept for
    // the number), broken at the blank after "PUMP,", which ends at column
    // 76: "Operating" would reach column 86.
    EXPECT_EQ(page[5], "   API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-101 FEED PUMP,");
    EXPECT_EQ(page[6], numbered("     Operating (W+P1+T1)"));
    // One level in, from column 8: 75 columns, then 73 from column 10.
    EXPECT_EQ(page[7], "       " + std::string(75, 'W'));
    EXPECT_EQ(page[8], numbered("         " + std::string(25, 'W')));
    EXPECT_EQ(page[9], numbered("           Short"));
    for (const std::string& line : page) EXPECT_LE(line.size(), 88u) << line;
}

// On printed pages the same: the title's lines stop short of its page
// number, which stands at the right on the entry's last line, and no two
// texts of the page lie over each other.
TEST_F(ContentsLine, LongEntriesOfPrintedPagesAreWhole) {
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ReportJob job{"Pumps", [] {
                      add_contents_entry(PUMP_ENTRY, 1);
                      report_line("pump report");
                      add_contents_entry(LONG_WORD, 0);
                  },
                  true};
    ASSERT_TRUE(report_render_pages(doc, job));
    RecordingSurface& contents = doc.page_at(1);
    EXPECT_TRUE(page_layout_faults(contents).empty());
    std::vector<DrawnText> body;
    for (const DrawnText& t : drawn_texts(contents))
        if (t.top >= 60 + 24 && t.text != "Contents") body.push_back(t);
    // 672 dots wide, the number's room "  9999" (48 dots) at the right: a
    // title one level in (24 dots) has 600 dots, 75 characters, its later
    // lines 16 dots further in 73.
    ASSERT_EQ(body.size(), 6u);
    EXPECT_EQ(body[0].text, "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-101 FEED PUMP,");
    EXPECT_EQ(body[0].left, 24);
    EXPECT_EQ(body[1].text, "Operating (W+P1+T1)");
    EXPECT_EQ(body[1].left, 40);
    EXPECT_EQ(body[2].text, "2");
    EXPECT_EQ(body[2].top, body[1].top);
    EXPECT_EQ(body[2].right, 672);
    EXPECT_EQ(body[3].text, std::string(78, 'W'));
    EXPECT_EQ(body[4].text, std::string(22, 'W'));
    EXPECT_EQ(body[5].text, "2");
    EXPECT_EQ(body[5].top, body[4].top);
}

// ---- A line kept with the table after it -------------------------------------------------

namespace {

const char* const CASE_NOTE = "Operating (W+P1+T1): converged in 17 iterations, 9 factorisations";

// `before` lines of text, the note, and a table of element forces of three
// lines a row that keeps its heading with its first row.
std::string note_and_table(int before, bool csv = false) {
    report_begin_text(csv);
    for (int i = 0; i < before; ++i) report_line("text");
    report_line_with_next(CASE_NOTE);
    {
        ReportTable table(write_element_heading, 3);
        for (int row = 1; row <= 3; ++row) {
            table.keep(3);
            write_element(row);
        }
        table.close();
    }
    return report_end_text();
}

// A table of two columns and `rows` rows.
struct TwoColumns : TablePrint {
    TwoColumns() : TablePrint(2, 1) {}
    std::string header_text(int c, int) override { return c == 1 ? "Node" : "FX"; }
    std::string cell_text(int row, int c, int) override { return std::to_string(c == 1 ? 10 * row : -row); }
};

}  // namespace

class NoteWithItsTable : public ReportTest {};

// The note, the heading (4 lines) and the first element (3) take 8 lines:
// after 48 lines of text they end page 1 on its last line (59), the other
// elements going on on page 2; after 49
// the note goes over to page 2 with the table, above its heading, and page
// 1 ends with the text before it. A note with nothing after it still ends
// the report; in CSV it is a row of its own before the table's.
TEST_F(NoteWithItsTable, TheNoteGoesOnToThePageOfTheHeadingAndFirstRow) {
    {
        const std::vector<std::string> pages = split_pages(note_and_table(48));
        ASSERT_EQ(pages.size(), 2u);
        const std::vector<std::string> lines = split_lines(pages[0]);
        ASSERT_EQ(lines.size(), 59u);   // the page header and lines 4 to 59
        EXPECT_EQ(lines[51], "   " + std::string(CASE_NOTE));
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 52, lines.begin() + 56), ELEMENT_HEADING);
        EXPECT_EQ(lines[56], "   10        -1");
    }
    {
        const std::vector<std::string> pages = split_pages(note_and_table(49));
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_EQ(split_lines(pages[0]).back(), "   text");
        const std::vector<std::string> second = split_lines(pages[1]);
        ASSERT_GT(second.size(), 8u);
        EXPECT_EQ(second[3], "   " + std::string(CASE_NOTE));
        EXPECT_EQ(std::vector<std::string>(second.begin() + 4, second.begin() + 8), ELEMENT_HEADING);
        EXPECT_EQ(second[8], "   10        -1");
    }
    report_begin_text(false);
    report_line("text");
    report_line_with_next(CASE_NOTE);
    EXPECT_EQ(report_lines_left(), REPORT_PAGE_LINES - REPORT_FIRST_LINE - 2);
    EXPECT_EQ(split_lines(report_end_text()).back(), "   " + std::string(CASE_NOTE));
    const std::string csv = note_and_table(49, true);
    EXPECT_NE(csv.find("text,\n" + csv_cell_text(CASE_NOTE) + ",\nElement forces,\n"), std::string::npos) << csv;
}

// On printed pages the same: with three lines left the note goes over with
// the table's title bar, header and first row, which need four; with more
// it stands on the page right above the title bar.
TEST_F(NoteWithItsTable, OnPrintedPagesTheNoteGoesOverWithTheTitleBar) {
    for (int left : {3, 7}) {
        SCOPED_TRACE(left);
        HeadlessPrintDocument doc{PageSetup{}, 96};
        gdi_begin(doc);
        while (gdi_lines_left() > left) report_line("text");
        report_line_with_next(CASE_NOTE);
        TwoColumns table;
        table_print(table, "Loads on Anchors", 3);
        ASSERT_TRUE(gdi_end());
        expect_clean_pages(doc);
        const std::vector<DrawnText> first = drawn_texts(*doc.pages()[0]);
        const auto note = std::find_if(first.begin(), first.end(), [](const DrawnText& t) { return t.text == CASE_NOTE; });
        if (left == 3) {
            ASSERT_EQ(doc.pages().size(), 2u);
            EXPECT_EQ(first.back().text, "text");
            EXPECT_EQ(note, first.end());
            const std::vector<DrawnText> second = drawn_texts(*doc.pages()[1]);
            ASSERT_GT(second.size(), 8u);
            // Below the page header's texts: the note, the title, the header, the rows.
            const auto moved = std::find_if(second.begin(), second.end(), [](const DrawnText& t) { return t.text == CASE_NOTE; });
            ASSERT_NE(moved, second.end());
            ASSERT_LT(moved + 2, second.end());
            EXPECT_EQ((moved + 1)->text, "Loads on Anchors (3)");
            EXPECT_EQ((moved + 2)->text, "Node");
        } else {
            ASSERT_EQ(doc.pages().size(), 1u);
            ASSERT_NE(note, first.end());
            ASSERT_LT(note + 1, first.end());
            EXPECT_EQ((note + 1)->text, "Loads on Anchors (3)");
            EXPECT_EQ(first.back().text, "-3");
        }
    }
}
