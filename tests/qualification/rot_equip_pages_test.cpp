// The equipment on graphic report pages, as printing draws it: the input
// lists of pumps, compressors, turbines and allowables, and the rotating-
// equipment reports of every machine; no two texts on top of each other,
// nothing off the page, every text's position against a golden file.
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "golden.h"
#include "page_layout.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/allowable_ui.h"
#include "qualification/ui/compressor_ui.h"
#include "qualification/ui/pump_ui.h"
#include "qualification/ui/rot_equip_ui.h"

using namespace qualification_test;

namespace {

class RotEquipPagesTest : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        nozzle_lines();
        const PumpRecord p = api610_pump("P-101 FEED", {1, 0, 0}, {0, 0, 5});
        pumps().push_back(p);
        PumpRecord h = p;
        h.name = "HI-2";
        h.kind = PUMP_ANSI_HI;
        h.hi_type = 3;
        h.hi_size = 12;
        h.hi_mounting = 1;
        h.temperature = 250;
        pumps().push_back(h);
        compressors().push_back({"K-1", 10, 20, 0, 0, {1, 0, 0}});
        turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
        allowables().push_back({10, {1000, 2000, 0, 5000, 0, 6000}});
    }
    static void expect_pages(const std::string& golden, const std::function<void()>& write)
    {
        HeadlessPrintDocument doc{PageSetup{}, 96};
        ASSERT_TRUE(report_render_pages(doc, ReportJob{golden, write, true}));
        ASSERT_GE(doc.page_number(), 1);
        expect_clean_pages(doc);
        expect_golden_file("pages", golden + ".txt", page_layout_text(doc));
    }
};

}  // namespace

TEST_F(RotEquipPagesTest, InputListsOnGraphicPages)
{
    expect_pages("equipment_input", [] {
        print_pumps();
        print_compressors();
        print_turbines();
        print_allowables();
    });
}

TEST_F(RotEquipPagesTest, ReportsOfEveryMachineOnGraphicPages)
{
    build_rot_equip_report(results({8}));
    expect_pages("rot_equip_reports", print_rot_equip_reports);
    // The contents page lists each standard, its machines and their cases.
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, ReportJob{"reports", print_rot_equip_reports, true}));
    std::vector<std::string> titles;
    for (const DrawnText& t : drawn_texts(*doc.pages()[0]))
        titles.push_back(t.text);
    for (const std::string& entry : {std::string("API 610 report"), std::string("Pump : P-101 FEED"),
                                     std::string("Pump : HI-2"), std::string("API 617 report"),
                                     std::string("Compressor : K-1"), std::string("NEMA SM 23 report"),
                                     std::string("Turbine : T-1"), "Load case: " + load_case_names(8)})
        EXPECT_NE(std::find(titles.begin(), titles.end(), entry), titles.end()) << entry;
}
