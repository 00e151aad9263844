// A line on a steel frame: the results report prints both tables of the
// model titled "Beams", the beam sections and the beam elements, each with
// its entry in the contents, in the text report and on pages; the data list
// chooser offers both.
#include "exchange/data/english_head.h"
#include "exchange/exchange_fixture.h"

#include "framework/ui/report.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_printing.h"
#include "results/ui/results_report.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> text_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A 6 in line from an anchor at 10 resting at 20 on a frame: a post of W8
// from 100 down to 110 and a beam of the section BS from 110 to 120 on an
// anchor.
const std::string LINE_ON_FRAME = "Line on a frame\n" + english_head("B313") +
                                  "P6,6.625,0.28\nLOADS\nL1,400,0\n"
                                  "BMATERIALS\nBM,29E6,0.3,0.283,6.5E-6\n"
                                  "BSECTIONS\nW8,9.13,110,37.1,0.536\nBS,10,100,50,20\n"
                                  "BLOADS\nBL,70\n"
                                  "LAYOUT\n"
                                  "F10,MA106B,PP6,KA,CL=L1\n"
                                  "T20,X100\n"
                                  "T30,X100,KA\n"
                                  "F100,X0\n"
                                  "T110,Y-100,JM,CMAT=BM,SEC=W8,LOAD=BL\n"
                                  "T120,X100,JM,KA,CMAT=BM,SEC=BS,LOAD=BL\n";

using BeamSectionsReported = ExchangeResultsTest;

}  // namespace

TEST_F(BeamSectionsReported, BothBeamsTablesPrintWithTheirContentsEntries)
{
    ASSERT_NO_FATAL_FAILURE(open_analysed(LINE_ON_FRAME));

    std::vector<std::string> offered;
    for (const DataList* list : offered_data_lists())
        offered.push_back(data_list_entry(*list));
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Beam sections (2)"), offered.end());
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Beams (2)"), offered.end());

    // The model report alone, in text: each table under its title with
    // its rows, each with its line in the contents.
    ResultsReportSelection model_only = default_report_selection();
    model_only.parts = {};
    model_only.load_cases.clear();
    const std::vector<std::string> lines = text_lines(report_render_text(results_report_job(model_only), false));
    const auto line_of = [&lines](const std::string& start, std::size_t from = 0) {
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].rfind(start, 0) == 0)
                return i;
        return lines.size();
    };
    const std::size_t contents = line_of("   Model report ");
    ASSERT_LT(contents, lines.size());
    EXPECT_LT(line_of("   Beam sections ", contents), lines.size());
    EXPECT_LT(line_of("   Beams ", contents), lines.size());
    const std::size_t sections = line_of("   W8 ");
    ASSERT_LT(sections, lines.size());
    EXPECT_NE(lines[sections].find("9.13"), std::string::npos) << lines[sections];
    EXPECT_NE(lines[sections + 1].find("   BS  "), std::string::npos) << lines[sections + 1];
    EXPECT_NE(lines[sections - 3].find("Name  Description"), std::string::npos);
    const std::size_t beams = line_of("     100     110");
    ASSERT_LT(beams, lines.size());
    EXPECT_EQ(lines[beams + 1].rfind("     110     120", 0), 0u);
    EXPECT_NE(lines[beams - 4].find("End Releases"), std::string::npos);

    // On pages: the contents name both, and both tables print their rows.
    HeadlessPrintDocument doc(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(doc, results_report_job(model_only)));
    std::vector<std::string> drawn;
    for (const auto& page : doc.pages())
        for (const std::string& op : page->lines_starting("text"))
            drawn.push_back(op.substr(op.find('"') + 1, op.rfind('"') - op.find('"') - 1));
    const auto count = [&drawn](const std::string& text) { return std::count(drawn.begin(), drawn.end(), text); };
    EXPECT_EQ(count("Beam sections"), 1);   // the contents entries
    EXPECT_EQ(count("Beams"), 1);
    EXPECT_EQ(count("Beam sections (2)"), 1);   // the tables' title bars
    EXPECT_EQ(count("Beams (2)"), 1);
    EXPECT_EQ(count("W8"), 1);
    EXPECT_EQ(count("BS"), 1);
}
