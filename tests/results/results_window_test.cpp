// Results mode on the scripted backend with the sample model: entering and
// leaving, the input windows' menus, the title that follows the load case,
// the result and load-case choosers, Tab and the arrow keys, missing, bad
// and older results files, Units and the QA block in results mode, the
// ".res" opener and batch mode's Results command.
#include "results/results_program_fixture.h"

#include "framework/ui/app_settings.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_reader.h"

#include <fstream>

namespace {

class ResultsWindowTest : public ResultsProgramTest {};

// The title text of the results frame for a case.
std::string title_for(const std::string& text, const std::string& case_name, const std::string& file)
{
    return "Korvane - " + text + ": " + case_name + " [" + file + "]";
}

}  // namespace

TEST_F(ResultsWindowTest, ResultsCommandOpensTheSampleResults)
{
    open_by_extension(path("sample.mod"));
    const int rows = numrows();
    // The chooser comes up once the window is there: the first entry.
    script().once(result_chooser_template(), [](HeadlessDialog& d) { EXPECT_TRUE(d.press(IDOK)); });
    ASSERT_TRUE(run_command(CMD_RESULTS));
    hb->run_loop();
    EXPECT_TRUE(in_results());
    EXPECT_TRUE(input_locked());
    EXPECT_FALSE(frame_is_visible(main_frame()));
    EXPECT_TRUE(frame_is_visible(results_frame()));
    EXPECT_EQ(numrows(), rows);
    EXPECT_EQ(script().runs(result_chooser_template()), 1);
    // The first result offered is the sorted stresses stand-in.
    EXPECT_EQ(current_result(), RESULT_SORTED_STRESSES);
    const std::string file = "sample.res (" + folder.string() + ")";
    EXPECT_EQ(results_title(), title_for("Stand-in 0", "Sustained (W+P)", file));
    EXPECT_FALSE(model_modified());
}

TEST_F(ResultsWindowTest, InputMenusWhileResultsAreShownAndBack)
{
    open_sample();
    ASSERT_TRUE(in_results());
    Frame& main = main_frame();
    Frame& list = list_frame();
    EXPECT_FALSE(main.menu.is_enabled(CMD_ELEMENT_TYPES));
    EXPECT_FALSE(main.menu.is_enabled(CMD_DATA_TYPES));
    EXPECT_FALSE(main.menu.is_enabled(CMD_CHECK_BENDS));
    EXPECT_TRUE(main.menu.items()[1].disabled);
    EXPECT_TRUE(list.menu.items()[1].disabled);
    EXPECT_TRUE(main.menu.contains(CMD_SWITCH_LIST_LAYOUT));
    EXPECT_TRUE(list.menu.contains(CMD_SWITCH_LIST_LAYOUT));
    // The sample has no beam materials: their table is greyed; materials are not.
    EXPECT_FALSE(main.menu.is_enabled(CMD_BEAM_MATERIALS));
    EXPECT_TRUE(main.menu.is_enabled(CMD_MATERIALS));
    // F3 of the layout window comes back to the results.
    frame_bring_to_front(main);
    frame_command(main, CMD_GO_BACK);
    EXPECT_TRUE(frame_is_visible(results_frame()));

    // Input: the layout window again, its menus as they were.
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_INPUT));
    EXPECT_FALSE(in_results());
    EXPECT_FALSE(input_locked());
    EXPECT_FALSE(frame_is_visible(results_frame()));
    EXPECT_TRUE(frame_is_visible(main));
    EXPECT_FALSE(main.menu.items()[1].disabled);
    EXPECT_TRUE(main.menu.is_enabled(CMD_ELEMENT_TYPES));
    EXPECT_FALSE(main.menu.contains(CMD_SWITCH_LIST_LAYOUT));
    EXPECT_FALSE(list.menu.contains(CMD_SWITCH_LIST_LAYOUT));
    EXPECT_EQ(main.menu.find(CMD_GO_BACK)->text, "&List\tF3");
    EXPECT_EQ(list.menu.find(CMD_GO_BACK)->text, "L&ayout\tF3");
    EXPECT_EQ(title_file_text(), "sample.mod (" + folder.string() + ")");
    EXPECT_FALSE(results_open());
    // Leaving twice does nothing.
    terminate_results();
    EXPECT_FALSE(in_results());
}

TEST_F(ResultsWindowTest, ListWindowLayoutItemShowsTheLayoutWindowInResultsMode)
{
    open_sample();
    ASSERT_TRUE(in_results());
    // Ctrl+L in the results window: the Bends list in the list window.
    script().once("DATA_LISTS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.select_text(LAYOUT_CHOICE_LIST, "Bends (3)"));
        d.press(IDOK);
    });
    EXPECT_TRUE(script().key(results_frame().window, 'L', MOD_CONTROL));
    ASSERT_NE(list_window_table(), nullptr);
    EXPECT_EQ(list_window_table()->title, "Bends");
    EXPECT_TRUE(frame_is_visible(list_frame()));
    EXPECT_FALSE(frame_is_visible(main_frame()));
    // Window > Layout of the list window: the layout window, results stay.
    const int beeps = script().beeps();
    EXPECT_TRUE(script().menu_command(list_frame().window, CMD_SWITCH_LIST_LAYOUT));
    EXPECT_TRUE(frame_is_visible(main_frame()));
    EXPECT_EQ(current_accelerator_frame(), &main_frame());
    EXPECT_EQ(script().beeps(), beeps);
    EXPECT_TRUE(in_results());
    // Its Window > List: the list window with the Bends again.
    frame_hide(list_frame());
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_SWITCH_LIST_LAYOUT));
    EXPECT_TRUE(frame_is_visible(list_frame()));
    EXPECT_EQ(list_window_table()->title, "Bends");
    EXPECT_EQ(script().beeps(), beeps);
}

TEST_F(ResultsWindowTest, TitleFollowsTheLoadCaseWithArrowsAndChooser)
{
    open_sample();
    StandInTable& displacements = *tables[RESULT_DISPLACEMENTS];
    displacements.show();
    const ResultsState& r = results();
    ASSERT_GT(r.load_case_count(), 2);
    const std::string file = "sample.res (" + folder.string() + ")";
    auto title_is = [&](int index) {
        return results_title() == title_for("Stand-in 12", load_case_names(r.load_cases[index].code), file);
    };
    EXPECT_TRUE(title_is(1));
    // Right arrow on the table steps, Left from the first wraps to the last.
    script().key(results_table_view().window(), KEY_RIGHT);
    EXPECT_EQ(results_loadcase(), 2);
    EXPECT_TRUE(title_is(2));
    script().key(results_table_view().window(), KEY_LEFT);
    script().key(results_table_view().window(), KEY_LEFT);
    EXPECT_EQ(results_loadcase(), r.load_case_count());
    EXPECT_TRUE(title_is(r.load_case_count()));
    // The menu commands of the load-case set.
    EXPECT_TRUE(results_frame().menu.contains(CMD_LOAD_CASES));
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_NEXT_LOAD_CASE));
    EXPECT_EQ(results_loadcase(), 1);
    // The chooser: a click on the third case chooses it at once.
    const std::string chooser = load_cases_chooser_template(r.load_case_count());
    script().once(chooser, [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(RADIO_LIST), 0);
        EXPECT_EQ(d.caption(), "Load cases");
        EXPECT_TRUE(d.click_item(RADIO_LIST, 2));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_LOAD_CASES));
    EXPECT_EQ(results_loadcase(), 3);
    EXPECT_TRUE(title_is(3));
    // Arrow keys in the chooser only move; Cancel keeps the case.
    script().once(chooser, [](HeadlessDialog& d) {
        EXPECT_TRUE(d.select(RADIO_LIST, 0));
        EXPECT_FALSE(d.ended());
        EXPECT_TRUE(d.press(IDCANCEL));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_LOAD_CASES));
    EXPECT_EQ(results_loadcase(), 3);
}

TEST_F(ResultsWindowTest, TabAndTheResultChooserWrap)
{
    open_sample();
    const std::vector<int>& list = result_list();
    // Of the five stand-ins the sample offers three: no hangers, no modes.
    ASSERT_EQ(list, (std::vector<int>{RESULT_SORTED_STRESSES, RESULT_ELEMENT_FORCES, RESULT_DISPLACEMENTS}));
    // With no current result, next shows entry 2 and previous the last.
    set_current_result(RESULT_NONE);
    next_result();
    EXPECT_EQ(current_result(), list[1]);
    set_current_result(RESULT_NONE);
    previous_result();
    EXPECT_EQ(current_result(), list.back());
    // Tab from the last wraps to the first; Shift+Tab back.
    script().key(results_table_view().window(), KEY_TAB);
    EXPECT_EQ(current_result(), list.front());
    script().key(results_table_view().window(), KEY_TAB, MOD_SHIFT);
    EXPECT_EQ(current_result(), list.back());
    // The chooser opens on the current result; a click chooses.
    script().once(result_chooser_template(), [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(RADIO_LIST), 2);
        EXPECT_EQ(d.list_text(RADIO_LIST, 0), "Sorted stresses");
        EXPECT_TRUE(d.click_item(RADIO_LIST, 1));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_RESULTS));
    EXPECT_EQ(current_result(), list[1]);
}
