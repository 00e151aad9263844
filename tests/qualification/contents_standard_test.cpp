// The printed contents of the rotating-equipment reports name the standard
// each machine was evaluated to, as its page's heading does: a pump to
// ANSI/HI 9.6.2 under ANSI/HI 9.6.2, one to API 610 under API 610, in the
// text report's entries and in the groups of the printed pages.
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/load_cases.h"
#include "page_layout.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/rot_equip_ui.h"
#include "report_contents.h"

#include <algorithm>
#include <sstream>

using namespace qualification_test;

namespace {

class ContentsStandard : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        nozzle_lines();
        // P-101 to ANSI/HI 9.6.2 (a B73.5M end suction pump), P-102 to API
        // 610, and P-103 to ANSI/HI again after it.
        PumpRecord hi = api610_pump("P-101", {1, 0, 0}, {0, 0, 5});
        hi.kind = PUMP_ANSI_HI;
        hi.hi_type = HI_B735;
        hi.hi_size = 12;
        hi.hi_mounting = 1;
        hi.temperature = 250;
        pumps().push_back(hi);
        pumps().push_back(api610_pump("P-102", {1, 0, 0}, {0, 0, 5}));
        hi.name = "P-103";
        pumps().push_back(hi);
        compressors().push_back({"K-1", 10, 20, 0, 0, {1, 0, 0}});
        turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
        build_rot_equip_report(results({LC_OPERATING_1}));
    }

    // The heading of text page `page` (its number in the page header): the
    // first line of its body, centred.
    static std::string heading_of_page(const std::string& report, int page)
    {
        std::size_t start = 0;
        const std::string number = "Page " + std::to_string(page);
        while (start < report.size()) {
            const std::size_t end = std::min(report.find('\f', start), report.size());
            std::istringstream lines(report.substr(start, end - start));
            start = end + 1;
            std::vector<std::string> text;
            for (std::string line; std::getline(lines, line);)
                text.push_back(line);
            const bool numbered = text.size() > 4 && std::any_of(text.begin(), text.begin() + 3, [&](const std::string& l) {
                                      return l.size() >= number.size() &&
                                             l.compare(l.size() - number.size(), number.size(), number) == 0;
                                  });
            if (numbered) {
                const std::string& h = text[3];
                const std::size_t first = h.find_first_not_of(' ');
                return first == std::string::npos ? std::string() : h.substr(first);
            }
        }
        return {};
    }
    // The standard a title names: its words before " report for".
    static std::string standard_of(const std::string& title)
    {
        const std::size_t at = title.find(" report for");
        return at == std::string::npos ? title : title.substr(0, at);
    }
};

}  // namespace

TEST_F(ContentsStandard, TextContentsNameEachPumpsOwnStandardAsItsPageHeadingDoes)
{
    const std::string report = report_render_text(ReportJob{"reports", print_rot_equip_reports, true}, false);
    const std::vector<ShownEntry> entries = text_contents(report);
    const std::string operating = load_case_names(LC_OPERATING_1);
    const std::vector<std::string> expected = {
        "ANSI/HI 9.6.2-2011 report for pump P-101, " + operating,
        "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-102, " + operating,
        "ANSI/HI 9.6.2-2011 report for pump P-103, " + operating,
        "API 617 report for K-1, " + operating,
        "NEMA SM 23 report for T-1, " + operating,
    };
    ASSERT_EQ(entries.size(), expected.size()) << report;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].title, expected[i]);
        // The page the entry points to is headed by the same standard.
        const std::string heading = heading_of_page(report, entries[i].page);
        EXPECT_NE(heading.find(" report for "), std::string::npos) << heading;
        if (i < 3) {
            EXPECT_EQ(standard_of(heading), standard_of(entries[i].title)) << heading;
        }
    }
    EXPECT_EQ(heading_of_page(report, entries[0].page), "ANSI/HI 9.6.2-2011 report for pump : P-101");
    EXPECT_EQ(heading_of_page(report, entries[1].page),
              "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-102");
    EXPECT_EQ(heading_of_page(report, entries[3].page), "API 617 (7th Ed. 2003) report for compressor : K-1");
    EXPECT_EQ(heading_of_page(report, entries[4].page), "NEMA SM23 (1991) report for turbine : T-1");
}

TEST_F(ContentsStandard, PrintedPagesGroupEachPumpUnderItsOwnStandard)
{
    // The contents page of the printed pages: each standard's entry, then
    // its machines indented under it, a new entry where the standard
    // changes from the pump before.
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, ReportJob{"reports", print_rot_equip_reports, true}));
    std::vector<std::pair<int, std::string>> groups;   // left edge and title
    for (const DrawnText& t : drawn_texts(*doc.pages()[0]))
        if (t.text.find(" report") != std::string::npos || t.text.find(" : ") != std::string::npos)
            groups.emplace_back(t.left, t.text);
    const std::vector<std::string> expected = {
        "ANSI/HI 9.6.2 report", "Pump : P-101",    "API 610 report",    "Pump : P-102",
        "ANSI/HI 9.6.2 report", "Pump : P-103",    "API 617 report",    "Compressor : K-1",
        "NEMA SM 23 report",    "Turbine : T-1"};
    ASSERT_EQ(groups.size(), expected.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(groups[i].second, expected[i]);
        // Standards at the margin, machines indented under them.
        EXPECT_EQ(groups[i].first > groups[0].first, i % 2 == 1) << groups[i].second;
    }
}
