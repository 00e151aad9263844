// A model whose title, model file name and support tag hold ESC with the
// OSC and CSI sequences that would retitle and clear a terminal, BEL, the
// 8-bit CSI (U+009B), a byte that is no UTF-8 and the right-to-left
// override (U+202E): its results report in text, in CSV and on pages holds
// none of them as it is, but each as the codes of its bytes, and keeps the
// accented letters as they are.
#include "control_bytes.h"
#include "exchange/data/english_head.h"
#include "exchange/exchange_fixture.h"

#include "framework/ui/report.h"
#include "platform/headless/headless_printing.h"
#include "results/ui/results_report.h"
#include "supports/anchor.h"

#include <string>
#include <vector>

namespace {

const std::string HOSTILE = "Unit 4\x1B]0;pwned\x07\x1B[2J\xC2\x9B" "31m\xFF\xE2\x80\xAE" "cba \xC3\xA9t\xC3\xA9";
const std::string HOSTILE_SHOWN = "Unit 4\\x1B]0;pwned\\x07\\x1B[2J\\xC2\\x9B31m\\xFF\\xE2\\x80\\xAEcba \xC3\xA9t\xC3\xA9";
const std::string FILE_NAME = "net\x1B]2;x\x07";
const std::string FILE_NAME_SHOWN = "net\\x1B]2;x\\x07";

// 100 in of 4 in pipe between anchors at 10 and 20 at 300 degF.
const std::string LINE = "Line\n" + english_head("B313") + "P4,4.5,0.237\nLOADS\nL1,300,150\nLAYOUT\n"
                         "F10,MA106B,PP4,KA,CL=L1\nT20,X100,KA\n";

using ReportControlBytes = ExchangeResultsTest;

}  // namespace

TEST_F(ReportControlBytes, TitleFileNameAndTagReachTheReportAsCodes)
{
    ASSERT_NO_FATAL_FAILURE(open_analysed(LINE));
    model_title() = HOSTILE;
    model_file_path() = path(FILE_NAME + ".mod");
    // The anchor at 10 tagged as a damaged model file may tag it.
    for (LayoutRow& row : model().rows)
        if (row.node == 10 && row.dtype == DT_ANCHOR)
            dynamic_cast<Anchor&>(*row.data).v.tag = "A\x1B[2J";
    set_report_date("1 Jan 2025");

    const std::string text = report_render_text(results_report_job(default_report_selection()), false);
    EXPECT_EQ(raw_control_bytes(text, "\n\f"), std::vector<std::string>{});
    // Every page header names the file and the title as codes.
    EXPECT_EQ(text.rfind("   " + FILE_NAME_SHOWN + " - Unit 4\\x1B]0;pwned", 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\f   " + FILE_NAME_SHOWN + " - Unit 4\\x1B]0;pwned"), std::string::npos);
    EXPECT_NE(text.find("(Tag: A\\x1B[2J)"), std::string::npos);

    const std::string csv = report_render_text(results_report_job(default_report_selection()), true);
    EXPECT_EQ(raw_control_bytes(csv, "\n"), std::vector<std::string>{});
    EXPECT_NE(csv.find("(Tag: A\\x1B[2J)"), std::string::npos);

    HeadlessPrintDocument doc(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
    int headers = 0;
    for (const auto& page : doc.pages())
        for (const std::string& op : page->lines_starting("text")) {
            EXPECT_EQ(raw_control_bytes(op, ""), std::vector<std::string>{}) << op;
            headers += op.find("\"" + FILE_NAME_SHOWN + " - Unit 4\\x1B]0;pwned") != std::string::npos;
        }
    EXPECT_EQ(headers, static_cast<int>(doc.pages().size()));
    set_report_date("");
}
