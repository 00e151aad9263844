// The printed contents list a property-set table once, on the page where its
// title bar really lands (a table that does not fit moves to the next page).
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "materials/soil.h"
#include "materials/ui/soil_ui.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_printing.h"

#include <gtest/gtest.h>

namespace {

class TableContentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_headless_backend();
        set_report_date("1 Jan 2025");
    }
    void TearDown() override {
        if (gdi_active()) gdi_end();
        remove_backend();
    }
};

// On a Letter page (53 body lines) one line of text fills page 1 up to 3
// lines left, then the soils table: its title moves to page 2, so the
// contents should hold one "Soils" entry on page 2 (+1 contents page = 3).
TEST_F(TableContentsTest, SoilsTableNearThePageBottomHasOneEntryOnItsPage) {
    Soil s;
    s.name = "SAND";
    s.density = 0.07f;
    soils().push_back(s);
    ReportJob job{"Soils", [] {
                      for (int i = 0; i < 50; ++i) report_line("filler");
                      print_soils();
                  },
                  true};
    HeadlessPrintDocument doc(PageSetup{}, 96);
    ASSERT_TRUE(report_render_pages(doc, job));
    // Page 1 is the contents page: count the entries.
    int soils_lines = 0;
    for (const std::string& l : doc.page_at(1).lines_starting("text"))
        if (l.find("\"Soils\"") != std::string::npos) ++soils_lines;
    // Where the soils title really lands.
    int title_page = 0;
    for (int p = 1; p <= static_cast<int>(doc.pages().size()); ++p)
        for (const std::string& l : doc.page_at(p).lines_starting("text"))
            if (l.find("\"Soils (1)\"") != std::string::npos && title_page == 0) title_page = p;
    EXPECT_EQ(title_page, 3);
    EXPECT_EQ(soils_lines, 1) << "the soils table is listed more than once in the contents";
}

}  // namespace
