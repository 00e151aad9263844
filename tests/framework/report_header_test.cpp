// Page headers: the model they name, and long names cut so that every
// header line fits its page in a text report and on graphic pages, while the
// file and report numbers, the date and the page number stay whole.
#include "framework/document.h"
#include "framework/qa_block.h"
#include "framework/strings.h"
#include "framework/ui/report.h"
#include "framework/ui/report_header.h"
#include "page_layout.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

void PrintTo(const PageHeaderLine& line, std::ostream* out) { *out << '"' << line.left << "\" | \"" << line.right << '"'; }

namespace {

std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class ReportHeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_headless_backend();
        set_report_date("12 Mar 2025");
    }
    void TearDown() override {
        if (gdi_active()) gdi_end();
        remove_backend();
    }
    // Names far too long for one line, numbers as they are usually given.
    static void long_names() {
        model_file_path() = "/plant/" + std::string(70, 'M') + ".mod";
        QABlock& qa = qa_block();
        qa.client = std::string(QA_NAME_LIMIT, 'C');
        qa.project = "Revamp of the boiler feed water system of units 3 and 4, phase 2";
        qa.file_number = "F-2025-00417";
        qa.report_number = "R-0042/B";
        qa.prepared_by = {std::string(QA_NAME_LIMIT, 'P'), std::string(QA_NAME_LIMIT, 'p')};
        qa.checked_by = {std::string(QA_NAME_LIMIT, 'K'), std::string(QA_NAME_LIMIT, 'k')};
    }
    static std::string file_no() { return "File No.: " + qa_block().file_number; }
    static std::string report_no() { return "Report No.: " + qa_block().report_number; }
};

TEST_F(ReportHeaderTest, TheModelIsNamedByItsFileAndItsTitle) {
    EXPECT_EQ(report_model_name(), "Untitled");
    model_file_path() = "/plant/units/BOILER.mod";
    EXPECT_EQ(report_model_name(), "BOILER");
    std::string title = "  Feed water line  ";
    set_report_title_source([&title] { return title; });
    EXPECT_EQ(report_model_name(), "BOILER - Feed water line");
    title = "   ";
    EXPECT_EQ(report_model_name(), "BOILER");

    title = "Feed water line";
    report_begin_text(false);
    report_line("x");
    const std::vector<std::string> lines = text_lines(report_end_text());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "   BOILER - Feed water line                                        12 Mar 2025    Page 1");
}

TEST_F(ReportHeaderTest, ShortNamesStandWholeAtBothMargins) {
    model_file_path() = "BOILER.mod";
    qa_block().client = "North Plant";
    qa_block().project = "Unit 4";
    qa_block().file_number = "F-1021";
    qa_block().prepared_by = {"J. Smith", ""};
    const std::vector<PageHeaderLine> lines =
        page_header_lines(7, 85, 3, [](int, const std::string& text) { return utf8_length(text); });
    const std::vector<PageHeaderLine> expected = {{"BOILER", "12 Mar 2025    Page 7"},
                                                  {"Client: North Plant   Project: Unit 4", "File No.: F-1021"},
                                                  {"Prepared by: J. Smith", ""}};
    EXPECT_EQ(lines, expected);
}

TEST_F(ReportHeaderTest, LongNamesAreCutToTheTextPageAndTheNumbersStayWhole) {
    long_names();
    report_begin_text(false);
    for (int i = 0; i < 60; ++i) report_line("x");   // two pages
    const std::string text = report_end_text();
    std::vector<std::string> headers;
    const std::vector<std::string> lines = text_lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = lines[i][0] == '\f' ? lines[i].substr(1) : lines[i];
        EXPECT_LE(utf8_length(line), REPORT_RIGHT_COLUMN) << line;
        if (lines[i][0] == '\f' || i == 0)
            for (size_t h = 0; h < 3; ++h) headers.push_back(h == 0 ? line : lines[i + h]);
    }
    ASSERT_EQ(headers.size(), 6u);
    for (int page = 1; page <= 2; ++page) {
        const std::string* h = &headers[static_cast<size_t>(3 * (page - 1))];
        EXPECT_TRUE(ends_with(h[0], "12 Mar 2025    Page " + std::to_string(page))) << h[0];
        EXPECT_EQ(h[0].rfind("   MMMMMMMMMM", 0), 0u) << h[0];
        EXPECT_NE(h[0].find("..."), std::string::npos);
        EXPECT_TRUE(ends_with(h[1], file_no() + "   " + report_no())) << h[1];
        EXPECT_EQ(h[1].rfind("   Client: CCC", 0), 0u) << h[1];
        EXPECT_NE(h[1].find("   Project: Revamp"), std::string::npos) << h[1];
        EXPECT_EQ(h[2].rfind("   Prepared by: PPP", 0), 0u) << h[2];
        EXPECT_NE(h[2].find("...   Checked by: KKK"), std::string::npos) << h[2];
        EXPECT_TRUE(ends_with(h[2], "...")) << h[2];
    }
}

TEST_F(ReportHeaderTest, LongNamesAreCutToTheGraphicPage) {
    long_names();
    // Letter and the narrow A5: the header stays on the page, the numbers,
    // the date and the page number whole; on Letter the names are cut, on
    // A5 the client and project give way to the numbers.
    PageSetup narrow;
    narrow.paper = "A5";
    for (const PageSetup& setup : {PageSetup{}, narrow}) {
        SCOPED_TRACE(setup.paper);
        HeadlessPrintDocument doc{setup, 96};
        gdi_begin(doc);
        report_line("x");
        ASSERT_TRUE(gdi_end());
        expect_clean_pages(doc);
        auto drawn = [&doc](const std::string& start) {
            for (const DrawnText& t : drawn_texts(doc.page_at(1)))
                if (t.text.rfind(start, 0) == 0) return t.text;
            return std::string();
        };
        EXPECT_EQ(drawn("12 Mar"), "12 Mar 2025    Page 1");
        EXPECT_EQ(drawn("File No."), file_no() + "   " + report_no());
        EXPECT_TRUE(ends_with(drawn("MMMM"), "..."));
        EXPECT_TRUE(ends_with(drawn("Prepared by: PPP"), "..."));
        if (setup.paper == "Letter") {
            EXPECT_TRUE(ends_with(drawn("Client: CCC"), "..."));
            EXPECT_NE(drawn("Client: CCC").find("   Project: Rev"), std::string::npos);
        } else {
            EXPECT_EQ(drawn("Client"), "");
        }
    }
}

TEST_F(ReportHeaderTest, OnlyWhenNoNameIsLeftDoTheNumbersGiveWay) {
    long_names();
    qa_block().file_number = std::string(QA_NUMBER_LIMIT - 1, '7') + "F";
    qa_block().report_number = std::string(QA_NUMBER_LIMIT - 1, '9') + "R";
    const HeaderMeasure chars = [](int, const std::string& text) { return utf8_length(text); };
    // Numbers of the greatest length fill most of a text line: the names
    // give way entirely.
    std::vector<PageHeaderLine> lines = page_header_lines(1, 85, 3, chars);
    EXPECT_EQ(lines[1], (PageHeaderLine{"Project: Rev...", file_no() + "   " + report_no()}));
    // A narrower page cuts the numbers too.
    lines = page_header_lines(1, 60, 3, chars);
    EXPECT_EQ(lines[1].left, "");
    EXPECT_LE(utf8_length(lines[1].right), 60);
    EXPECT_EQ(lines[1].right.rfind("File No.: 777", 0), 0u);
    EXPECT_NE(lines[1].right.find("...   Report No.: 999"), std::string::npos);
    // Far too narrow: the model gives way to the date and the page number,
    // and one number is cut to its shortest.
    lines = page_header_lines(1, 24, 3, chars);
    EXPECT_EQ(lines[0], (PageHeaderLine{"", "12 Mar 2025    Page 1"}));
    EXPECT_EQ(lines[1], (PageHeaderLine{"", "Report No.: 999..."}));
}

}  // namespace
