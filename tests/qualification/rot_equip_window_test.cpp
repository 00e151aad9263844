// The rotating-equipment report in the results frame's table window: the
// pump and machine windows, stepping through machines and load cases with
// wrap-around, the window's title that names the case shown, the F6 pick
// list, the report's load-case chooser, the menu items, and printing every
// machine's reports.
#include "framework/ui/frame.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/report_pages.h"
#include "golden.h"
#include "model/load_cases.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/report_lines.h"
#include "qualification/ui/rot_equip_ui.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_window.h"

#include <algorithm>

using namespace qualification_test;

namespace {

class RotEquipWindowTest : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        section("S6", 6.625f);
        section("S4", 4.5f);
        line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S6");
        line_to_anchor(15, {0, 100, 0}, 20, {0, -70, 0}, "S4");
        make_model();
        open_results_frame();
        for (const char* name : {"P-1", "P-2"}) {
            PumpRecord p;
            p.name = name;
            p.kind = PUMP_HORIZONTAL_API610;
            p.suction_node = 10;
            p.discharge_node = 20;
            p.shaft_axis = {1, 0, 0};
            p.centre = {0, 0, 5};
            pumps().push_back(p);
        }
        turbines().push_back({"T-1", 10, 20, 0, 0, {1, 0, 0}});
    }
    static TableWindow* shown_report() { return results_table_view().table(); }
    static std::string first_line() { return report_window_lines().empty() ? "" : report_window_lines()[0].text; }
    static std::string case_line() { return report_window_lines().size() < 2 ? "" : report_window_lines()[1].text; }
};

}  // namespace

TEST_F(RotEquipWindowTest, MachinesAndLoadCasesStepWithWrapAround)
{
    build_rot_equip_report(results({8, 9, 100}));
    ASSERT_EQ(rot_equip_report().case_count(), 3);
    show_rot_equip();
    EXPECT_EQ(shown_report(), &pump_report_window());
    EXPECT_EQ(pump_report_window().title, ROT_EQUIP_TITLE);
    EXPECT_EQ(first_line(), "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-1");
    EXPECT_EQ(pump_report_window().row_count, static_cast<int>(report_window_lines().size()));
    // Right and Left in the window step the load case, wrapping.
    const WindowId view = results_table_view().window();
    script().key(view, KEY_LEFT);
    EXPECT_EQ(rot_equip_report().current_case, 3);
    EXPECT_EQ(case_line(), "Load case: " + load_case_names(100));
    script().key(view, KEY_RIGHT);
    EXPECT_EQ(rot_equip_report().current_case, 1);
    // Next and previous machine, wrapping at both ends.
    EXPECT_TRUE(rot_equip_command(CMD_PREVIOUS_ITEM, results_frame().window));
    EXPECT_EQ(rot_equip_report().current, 3);
    EXPECT_EQ(shown_report(), &compressor_report_window());
    EXPECT_EQ(first_line(), "NEMA SM23 (1991) report for turbine : T-1");
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_ITEM, results_frame().window));
    EXPECT_EQ(rot_equip_report().current, 1);
    EXPECT_EQ(shown_report(), &pump_report_window());
    // The window paints the rows' fields at their columns.
    const std::vector<std::string> painted = script().paint(view);
    EXPECT_TRUE(std::any_of(painted.begin(), painted.end(),
                            [](const std::string& l) { return l.find("\"Calculated\" right") != std::string::npos; }));
    EXPECT_FALSE(rot_equip_command(CMD_RESULTS, results_frame().window));
}

TEST_F(RotEquipWindowTest, EquipmentReportTitleNamesTheLoadCaseShown)
{
    build_rot_equip_report(results({8, 9, 100}));
    set_results_title("Results");
    show_rot_equip();
    const std::string file = " [" + title_file_text() + "]";
    EXPECT_EQ(frame_title(results_frame()), "Korvane - Rotating Equipment Report: " + load_case_names(8) + file);
    // Stepping the case, by key, by command and by the chooser: the title follows.
    script().key(results_table_view().window(), KEY_LEFT);
    EXPECT_EQ(frame_title(results_frame()), "Korvane - Rotating Equipment Report: " + load_case_names(100) + file);
    EXPECT_TRUE(rot_equip_command(CMD_NEXT_LOAD_CASE, results_frame().window));
    EXPECT_EQ(frame_title(results_frame()), "Korvane - Rotating Equipment Report: " + load_case_names(8) + file);
    // Another machine keeps the case.
    EXPECT_TRUE(rot_equip_command(CMD_PREVIOUS_ITEM, results_frame().window));
    EXPECT_EQ(frame_title(results_frame()), "Korvane - Rotating Equipment Report: " + load_case_names(8) + file);
}

TEST_F(RotEquipWindowTest, PickListAndLoadCaseChooser)
{
    build_rot_equip_report(results({8, 9}));
    show_rot_equip();
    // F6: "Pump", "Pump", "Turbine"; the picked row is shown.
    script().once("SELECT_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Other Rotating Equipment");
        const WindowId list = d.control(PICK_LIST_TABLE)->client;
        std::vector<std::string> types;
        for (const std::string& l : script().paint(list))
            for (const char* word : {"\"Pump\"", "\"Turbine\""})
                if (l.find(word) != std::string::npos)
                    types.push_back(word);
        EXPECT_EQ(types, (std::vector<std::string>{"\"Pump\"", "\"Pump\"", "\"Turbine\""}));
        script().key(list, KEY_DOWN);
        script().key(list, KEY_DOWN);
        d.press(IDOK);
    });
    rot_equip_command(CMD_OTHER_ITEM, results_frame().window);
    EXPECT_EQ(rot_equip_report().current, 3);
    EXPECT_EQ(first_line(), "NEMA SM23 (1991) report for turbine : T-1");
    // The load-case chooser: RESULT_LOAD_CASES3_DIALOG for two cases; the
    // same case again changes nothing, a click on another shows it.
    script().once("RESULT_LOAD_CASES3_DIALOG", [](HeadlessDialog& d) {
        ASSERT_EQ(d.list_count(RADIO_LIST), 2);
        EXPECT_EQ(d.list_text(RADIO_LIST, 1), load_case_names(9));
        EXPECT_EQ(d.list_selection(RADIO_LIST), 0);
        d.press(IDOK);
    });
    rot_equip_command(CMD_LOAD_CASES, results_frame().window);
    EXPECT_EQ(rot_equip_report().current_case, 1);
    script().once("RESULT_LOAD_CASES3_DIALOG", [](HeadlessDialog& d) { EXPECT_TRUE(d.click_item(RADIO_LIST, 1)); });
    rot_equip_command(CMD_LOAD_CASES, results_frame().window);
    EXPECT_EQ(rot_equip_report().current_case, 2);
    EXPECT_EQ(case_line(), "Load case: " + load_case_names(9));
}

TEST_F(RotEquipWindowTest, MenuItemsByTheNumberOfMachinesAndCases)
{
    build_rot_equip_report(results({8, 9}));
    add_rot_equip_menu_items(results_frame());
    Menu& m = results_frame().menu;
    EXPECT_TRUE(m.contains(CMD_OTHER_ITEM));
    EXPECT_TRUE(m.contains(CMD_LOAD_CASES));
    const std::vector<int> ids = m.command_ids();
    const auto at = [&ids](int id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
    EXPECT_LT(at(CMD_OTHER_ITEM), at(CMD_RESULTS));
    remove_rot_equip_menu_items(results_frame());
    EXPECT_FALSE(m.contains(CMD_OTHER_ITEM));
    EXPECT_FALSE(m.contains(CMD_NEXT_LOAD_CASE));
    // One compressor and one listed case: neither set of items; the steps do nothing.
    pumps().clear();
    turbines().clear();
    compressors().push_back({"K-1", 10, 20, 0, 0, {1, 0, 0}});
    build_rot_equip_report(results({8}));
    add_rot_equip_menu_items(results_frame());
    EXPECT_FALSE(m.contains(CMD_OTHER_ITEM));
    EXPECT_FALSE(m.contains(CMD_LOAD_CASES));
    show_rot_equip();
    script().key(results_table_view().window(), KEY_RIGHT);
    EXPECT_EQ(rot_equip_report().current_case, 1);
    rot_equip_command(CMD_NEXT_ITEM, results_frame().window);
    EXPECT_EQ(rot_equip_report().current, 1);
}

TEST_F(RotEquipWindowTest, EveryMachineOfEveryCaseInTheTextReport)
{
    build_rot_equip_report(results({8, 9}));
    report_contents().clear();
    report_begin_text(false);
    report_state().collecting_contents = true;
    print_rot_equip_reports();
    report_state().collecting_contents = false;
    const std::string text = report_end_text();
    std::vector<std::string> titles;
    for (const ContentsEntry& e : report_contents())
        titles.push_back(e.title);
    EXPECT_EQ(titles, (std::vector<std::string>{
                          "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-1, " + load_case_names(8),
                          "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-1, " + load_case_names(9),
                          "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-2, " + load_case_names(8),
                          "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump P-2, " + load_case_names(9),
                          "NEMA SM 23 report for T-1, " + load_case_names(8),
                          "NEMA SM 23 report for T-1, " + load_case_names(9)}));
    // One report a page.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 5);
}
