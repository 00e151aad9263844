// The results window's commands and its ways in and out: missing, bad and
// older results, the ".res" opener, Units and the QA block in results mode,
// Ctrl+S, the list/layout switch, batch mode's Results command, tool-tips,
// the item sets and the right-button popups.
#include "results/results_program_fixture.h"

#include "analysis/results_file.h"
#include "framework/qa_block.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/messages.h"
#include "model/ui/dialogs_model.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_reader.h"
#include "results/support_summary.h"
#include "supports/support_item.h"

#include "golden.h"

#include <fstream>
#include <iterator>

namespace {

class ResultsCommandTest : public ResultsProgramTest {
protected:
    std::string last_message() const { return script().last_message(); }
    // The results of another model's file, and older than the model file.
    void make_model_newer()
    {
        restamp_results_fingerprint(path("sample.res"), sha256("another model file"));
        const auto results_time = std::filesystem::last_write_time(folder / "sample.res");
        std::filesystem::last_write_time(folder / "sample.mod", results_time + std::chrono::seconds(5));
    }
};

}  // namespace

TEST_F(ResultsCommandTest, ResultsNeedASavedModelAndItsResultsFile)
{
    // An untitled model.
    EXPECT_EQ(thrown_text([] { open_results(); }), "The model has not been saved and analyzed yet.");
    EXPECT_FALSE(in_results());
    // No results file beside the model.
    open_by_extension(path("sample.mod"));
    std::filesystem::remove(folder / "sample.res");
    open_results();
    EXPECT_EQ(last_message(), "Results file: " + path("sample.res") + "\nDoes not exist.");
    EXPECT_FALSE(in_results());
    EXPECT_TRUE(frame_is_visible(main_frame()));
}

TEST_F(ResultsCommandTest, BadResultsFileLeavesTheModelAsItWas)
{
    open_by_extension(path("sample.mod"));
    const int rows = numrows();
    std::filesystem::resize_file(folder / "sample.res", std::filesystem::file_size(folder / "sample.res") - 4);
    open_results();
    hb->run_loop();
    EXPECT_EQ(last_message(), results_damaged_text(path("sample.res")));
    EXPECT_FALSE(in_results());
    EXPECT_FALSE(input_locked());
    EXPECT_FALSE(results_open());
    EXPECT_EQ(numrows(), rows);
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(model_file_path(), path("sample.mod"));
    EXPECT_TRUE(frame_is_visible(main_frame()));
    EXPECT_FALSE(frame_is_visible(results_frame()));
    EXPECT_FALSE(main_frame().menu.items()[1].disabled);
    EXPECT_EQ(title_file_text(), "sample.mod (" + folder.string() + ")");
    // Another header.
    std::fstream f(path("sample.res"), std::ios::in | std::ios::out | std::ios::binary);
    f.write("KORVANE21KR10100", 16);
    f.close();
    open_results();
    EXPECT_EQ(last_message(), "Program version = 10.20\nResults version = 10.10\nPlease reanalyze the model.");
    EXPECT_FALSE(in_results());
}

TEST_F(ResultsCommandTest, ResultsOlderThanTheModelAreMarkedOutOfDate)
{
    make_model_newer();
    open_sample();
    ASSERT_TRUE(in_results());
    EXPECT_TRUE(results_out_of_date());
    const std::vector<std::string> messages = script().messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "The results are older than the model.\n"
                        "They are shown marked (out of date); analyze the model again."),
              messages.end());
    tables[RESULT_DISPLACEMENTS]->show();
    EXPECT_NE(results_title().find("Sustained (W+P) (out of date) ["), std::string::npos) << results_title();
    terminate_results();

    // A model changed in memory after the run: the same mark.
    std::filesystem::last_write_time(folder / "sample.mod",
                                     std::filesystem::last_write_time(folder / "sample.res") - std::chrono::seconds(5));
    open_by_extension(path("sample.mod"));
    model().rows[2].dx += 1.0f;
    model_changed();
    ASSERT_TRUE(model_modified());
    open_results();
    EXPECT_TRUE(in_results());
    EXPECT_TRUE(results_out_of_date());
}

namespace {

using ResultsMessageText = ResultsCommandTest;

}  // namespace

// A folder where the results file or its model should be: the message says
// it is a folder, and the results stay closed.
TEST_F(ResultsMessageText, AResultsFileOrModelThatIsAFolderSaysItIsAFolder)
{
    open_by_extension(path("sample.mod"));
    std::filesystem::remove(folder / "sample.res");
    std::filesystem::create_directories(folder / "sample.res");
    open_results();
    EXPECT_EQ(last_message(), "Results file: " + path("sample.res") + "\nIs a folder, not a file.");
    EXPECT_FALSE(in_results());
    std::filesystem::create_directories(folder / "x.mod");
    std::filesystem::copy_file(folder / "sample.mod", folder / "x.res");
    EXPECT_EQ(thrown_text([&] { open_by_extension(path("x.res")); }),
              "Model file: " + path("x.mod") + "\nIs a folder, not a file.");
    EXPECT_FALSE(in_results());
}

TEST_F(ResultsCommandTest, ResultsFileOpensItsModelFirst)
{
    open_by_extension(path("sample.res"));
    hb->run_loop();
    EXPECT_EQ(model_file_path(), path("sample.mod"));
    EXPECT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    terminate_results();
    // A results file without its model.
    std::filesystem::copy_file(folder / "sample.res", folder / "lonely.res");
    EXPECT_EQ(thrown_text([&] { open_by_extension(path("lonely.res")); }),
              "Model file: " + path("lonely.mod") + "\nDoes not exist.");
    EXPECT_FALSE(in_results());
}

TEST_F(ResultsCommandTest, UnitsAndQaBlockWorkInResultsMode)
{
    open_sample();
    tables[RESULT_DISPLACEMENTS]->show();
    script().once("UNITS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.select(units_combo(FORCE), 1));
        EXPECT_TRUE(d.press(IDOK));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_UNITS));
    script().once("QA_BLOCK_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.type(QA_CLIENT, "Client B"));
        EXPECT_TRUE(d.press(IDOK));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_QA_BLOCK));
    EXPECT_EQ(qa_block().client, "Client B");
    EXPECT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    EXPECT_EQ(results_title().find("(out of date)"), std::string::npos);
    // Leaving with the changes kept: no assertion, and they are still to be saved.
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_INPUT));
    EXPECT_FALSE(in_results());
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(qa_block().client, "Client B");
}

TEST_F(ResultsCommandTest, SaveKeyDoesNothingInResults)
{
    open_sample();
    const auto before = std::filesystem::last_write_time(folder / "sample.mod");
    script().clear_log();
    EXPECT_TRUE(script().key(results_frame().window, 'S', MOD_CONTROL));
    EXPECT_EQ(std::filesystem::last_write_time(folder / "sample.mod"), before);
    EXPECT_TRUE(script().messages().empty());
    EXPECT_TRUE(in_results());
}

TEST_F(ResultsCommandTest, ListLayoutSwitchAndGoingBack)
{
    open_sample();
    Frame& f = results_frame();
    EXPECT_EQ(f.previous_frame, &list_frame());
    EXPECT_EQ(results_tooltip(CMD_GO_BACK_BUTTON), "List Window");
    results_menu_popup();
    EXPECT_EQ(f.menu.find(CMD_GO_BACK)->text, "&List\tF3");
    EXPECT_EQ(f.menu.find(CMD_SWITCH_LIST_LAYOUT)->text, "L&ayout");
    EXPECT_TRUE(script().menu_command(f.window, CMD_SWITCH_LIST_LAYOUT));
    EXPECT_EQ(f.previous_frame, &main_frame());
    EXPECT_TRUE(frame_is_visible(main_frame()));
    EXPECT_EQ(results_tooltip(CMD_GO_BACK_BUTTON), "Layout Window");
    results_menu_popup();
    EXPECT_EQ(f.menu.find(CMD_GO_BACK)->text, "L&ayout\tF3");
    EXPECT_EQ(f.menu.find(CMD_SWITCH_LIST_LAYOUT)->text, "&List");
    // From neither: 257 does nothing and the tip does not know.
    f.previous_frame = &graphics_frame();
    EXPECT_EQ(results_tooltip(CMD_GO_BACK_BUTTON), "??? Window");
    frame_command(f, CMD_SWITCH_LIST_LAYOUT);
    EXPECT_EQ(f.previous_frame, &graphics_frame());
}

TEST_F(ResultsCommandTest, BatchModeResultsCommandWritesTheReportAndEnds)
{
    open_by_extension(path("sample.mod"));
    batch_mode() = true;
    int written = 0;
    results_hooks().write_batch_report = [&](WindowId) {
        ++written;
        return true;
    };
    open_results();
    EXPECT_TRUE(in_results());
    EXPECT_EQ(hb->run_loop(), 0);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(script().runs(result_chooser_template()), 0);
    EXPECT_FALSE(in_results());

    // A report that could not be written ends with 1.
    results_hooks().write_batch_report = [](WindowId) { return false; };
    open_by_extension(path("sample.mod"));
    open_results();
    EXPECT_EQ(hb->run_loop(), 1);
}

TEST_F(ResultsCommandTest, LoadCaseItemsAndToolTipsFollowTheResult)
{
    open_sample();
    Frame& f = results_frame();
    EXPECT_FALSE(f.menu.contains(CMD_LOAD_CASES));
    tables[RESULT_DISPLACEMENTS]->show();
    EXPECT_TRUE(f.menu.contains(CMD_LOAD_CASES));
    EXPECT_TRUE(f.menu.contains(CMD_NEXT_LOAD_CASE));
    const auto* window = hb->window(f.window);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->buttons.at(CMD_LOAD_CASES).first);
    // The items stand before "&Results..." in the Results menu.
    const std::vector<int> ids = f.menu.command_ids();
    EXPECT_LT(std::find(ids.begin(), ids.end(), CMD_PREVIOUS_LOAD_CASE) - ids.begin(),
              std::find(ids.begin(), ids.end(), CMD_RESULTS) - ids.begin());
    EXPECT_EQ(results_tooltip(CMD_NEXT_LOAD_CASE), "Next load case");
    EXPECT_EQ(results_tooltip(CMD_PREVIOUS_LOAD_CASE), "Previous load case");
    set_current_result(RESULT_MODE_SHAPES);
    EXPECT_EQ(results_tooltip(CMD_NEXT_LOAD_CASE), "Next mode");
    EXPECT_EQ(results_tooltip(CMD_PREVIOUS_LOAD_CASE), "Previous mode");
    EXPECT_EQ(results_tooltip(CMD_PRINT), "Print");
    EXPECT_EQ(results_tooltip(CMD_GRAPHICS_BUTTON), "Graphics Window");
    EXPECT_EQ(results_tooltip(CMD_SHOW_STRESSES), "Show stresses");
    // Another table leaves: the items and buttons go.
    tables[RESULT_SORTED_STRESSES]->show();
    tables[RESULT_SORTED_STRESSES]->on_leave();
    EXPECT_FALSE(f.menu.contains(CMD_LOAD_CASES));
    EXPECT_FALSE(hb->window(f.window)->buttons.at(CMD_LOAD_CASES).first);
    // With one results load case no load-case items appear.
    ResultsState& r = results();
    OneBased<ResultsLoadCase> one;
    one.push_back(r.load_cases[1]);
    r.load_cases = one;
    add_load_case_menu_items();
    EXPECT_FALSE(f.menu.contains(CMD_LOAD_CASES));
    remove_load_case_menu_items();
    EXPECT_FALSE(f.menu.contains(CMD_LOAD_CASES));
}

TEST_F(ResultsCommandTest, RightButtonPopupsOfTheResults)
{
    open_sample();
    auto ids = [](const MenuItem& popup) {
        std::vector<int> out;
        for (const MenuItem& i : popup.items)
            out.push_back(i.id);
        return out;
    };
    EXPECT_EQ(ids(plain_results_popup()), (std::vector<int>{CMD_RESULTS, CMD_NEXT_RESULT, CMD_PREVIOUS_RESULT}));
    EXPECT_EQ(ids(load_case_results_popup()),
              (std::vector<int>{CMD_RESULTS, CMD_NEXT_RESULT, CMD_PREVIOUS_RESULT, 0, CMD_LOAD_CASES,
                                CMD_NEXT_LOAD_CASE, CMD_PREVIOUS_LOAD_CASE}));
    EXPECT_EQ(ids(time_history_popup()),
              (std::vector<int>{CMD_OTHER_ITEM, 0, CMD_RESULTS, CMD_NEXT_RESULT, CMD_PREVIOUS_RESULT}));
    EXPECT_EQ(time_history_popup().items[0].text, "&Other Time History...");
    EXPECT_EQ(ids(support_summary_popup()),
              (std::vector<int>{CMD_OTHER_ITEM, CMD_NEXT_ITEM, CMD_PREVIOUS_ITEM, 0, CMD_RESULTS, CMD_NEXT_RESULT,
                                CMD_PREVIOUS_RESULT}));
    MenuItem displacements;
    append_displacement_menu_items(displacements);
    EXPECT_EQ(displacements.items[0].text, "&Other displacements...");
    // A right click on a table: its popup, and the command chosen runs.
    StandInTable& table = *tables[RESULT_DISPLACEMENTS];
    table.show();
    const int before = results_loadcase();
    script().answer_popup(CMD_NEXT_LOAD_CASE);
    script().mouse_down(results_table_view().window(), MouseButton::Right, 40, 60);
    EXPECT_EQ(results_loadcase(), before + 1);
    script().answer_popup(CMD_NEXT_RESULT);
    script().mouse_down(results_table_view().window(), MouseButton::Right, 40, 60);
    EXPECT_NE(current_result(), RESULT_DISPLACEMENTS);
}

TEST_F(ResultsCommandTest, CommandsWithoutAServerAreGreyed)
{
    open_sample();
    results_menu_popup();
    Frame& f = results_frame();
    // Nothing serves the views here: viewpoint, zoom, shapes are greyed;
    // export is only for histories and the hanger report.
    EXPECT_FALSE(frame_command_enabled(f, CMD_VIEWPOINT));
    EXPECT_FALSE(frame_command_enabled(f, CMD_ZOOM_ALL));
    EXPECT_FALSE(f.menu.is_enabled(CMD_EXPORT));
    EXPECT_FALSE(f.menu.is_enabled(CMD_EXPORT_PLANT_DESIGN_RESULTS));
    EXPECT_TRUE(frame_command_enabled(f, CMD_RESULTS));
    EXPECT_TRUE(frame_command_enabled(f, CMD_THRESHOLDS));
    EXPECT_TRUE(frame_command_enabled(f, CMD_FIRST_LEVEL_CHECKS));
    // Once the view serves zoom all, it is offered and runs.
    int zooms = 0;
    results_hooks().commands[CMD_ZOOM_ALL] = [&](int) { ++zooms; };
    frame_refresh_command_states(f);
    EXPECT_TRUE(frame_command_enabled(f, CMD_ZOOM_ALL));
    EXPECT_TRUE(script().key(f.window, 'A', MOD_CONTROL));
    EXPECT_EQ(zooms, 1);
}

TEST_F(ResultsCommandTest, FuzzSeedIsTheSampleResultsAndReads)
{
    // The results reader's fuzz target starts from the sample's results as
    // the program writes them (KV_UPDATE_GOLDEN=1 rewrites the seed).
    std::ifstream in(path("sample.res"), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    expect_golden_file_at(std::string(KV_SOURCE_DIR) + "/fuzz/corpus/results/sample.res", bytes);
    open_sample();
    EXPECT_TRUE(in_results());
}

TEST_F(ResultsCommandTest, ResultsStayCurrentAfterSavingChangesMadeInResultsMode)
{
    // The QA block changed in results mode, the model saved after leaving:
    // the results open without the mark.
    open_sample();
    qa_block().client = "Client C";
    model_modified() = true;
    terminate_results();
    ASSERT_TRUE(run_command(CMD_SAVE));
    open_results();
    EXPECT_TRUE(in_results());
    EXPECT_FALSE(results_out_of_date());
    terminate_results();
    // An edit after leaving: saved, the results are older than the model.
    model().rows[2].dx += 1.0f;
    model_changed();
    ASSERT_TRUE(run_command(CMD_SAVE));
    open_results();
    EXPECT_TRUE(results_out_of_date());
}

TEST_F(ResultsCommandTest, LeavingResultsFreesWhatTheyHeld)
{
    int opened = 0, closing = 0;
    results_hooks().opened.push_back([&] { ++opened; });
    results_hooks().closing.push_back([&] { ++closing; });
    open_sample();
    EXPECT_EQ(opened, 1);
    ASSERT_TRUE(support_summary_built());
    const SupportItem* first = nullptr;
    for (const LayoutRow& r : model().rows)
        if (const auto* s = dynamic_cast<const SupportItem*>(r.data.get()); s && !first)
            first = s;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->summary.empty());
    tables[RESULT_DISPLACEMENTS]->show();
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_INPUT));
    EXPECT_EQ(closing, 1);
    EXPECT_TRUE(first->summary.empty());
    EXPECT_FALSE(support_summary_built());
    EXPECT_FALSE(results_open());
    EXPECT_EQ(results().load_case_count(), 0);
    EXPECT_EQ(current_result(), RESULT_NONE);
    EXPECT_TRUE(result_list().empty());
    EXPECT_FALSE(results_table_view().shown());
    EXPECT_FALSE(results_frame().menu.contains(CMD_LOAD_CASES));
}

TEST_F(ResultsCommandTest, OpenResultsCommandOpensAResultsFileWithItsModel)
{
    open_sample();
    // Another model's results beside their model: both open in its place.
    std::filesystem::copy_file(folder / "sample.mod", folder / "other.mod");
    std::filesystem::copy_file(folder / "sample.res", folder / "other.res");
    script().answer_file(path("other.res"));
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_OPEN_RESULTS));
    hb->run_loop();
    EXPECT_EQ(model_file_path(), path("other.mod"));
    EXPECT_TRUE(in_results());
    EXPECT_EQ(title_file_text(), "other.res (" + folder.string() + ")");
    // Cancelled: nothing changes.
    script().answer_file(std::nullopt);
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_OPEN_RESULTS));
    EXPECT_EQ(model_file_path(), path("other.mod"));
    EXPECT_TRUE(in_results());
}
