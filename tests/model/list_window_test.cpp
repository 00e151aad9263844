// The list window: the data-list chooser with its counts, the kinds' row
// tables, Copy, Paste and Export of the table opened last, the library and
// qualification modes and the local-axes toggle.
#include "model/layout_fixture.h"
#include "model/ui/dialogs_layout.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

class ListWindowTest : public LayoutFixture {
protected:
    void SetUp() override {
        LayoutFixture::SetUp();
        small_model();
        set_row_data_type(2, DT_ANCHOR);
        set_row_data_type(4, DT_ANCHOR);
        model_modified() = false;
    }
    void list(int id) { frame_command(list_frame(), id); }
    // Chooses the entry of the data-list chooser with the text.
    static void choose(const std::string& entry) {
        script().once("DATA_LISTS_DIALOG", [entry](HeadlessDialog& d) {
            EXPECT_TRUE(d.select_text(LAYOUT_CHOICE_LIST, entry)) << entry;
            d.press(IDOK);
        });
    }
};

TEST_F(ListWindowTest, TheChooserOffersTheListsWithTheirCounts) {
    std::vector<std::string> entries;
    script().once("DATA_LISTS_DIALOG", [&](HeadlessDialog& d) {
        for (int i = 0; i < d.list_count(LAYOUT_CHOICE_LIST); ++i) entries.push_back(d.list_text(LAYOUT_CHOICE_LIST, i));
        d.select(LAYOUT_CHOICE_LIST, 1);
        d.press(IDOK);
    });
    list(CMD_LIST);
    EXPECT_EQ(entries, (std::vector<std::string>{"Bends (1)", "Anchors (2)"}));

    TableWindow* shown = list_window_table();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->title, "Anchors");
    EXPECT_EQ(shown->row_count, 2);
    EXPECT_EQ(shown->cell_text(1, 1, 0), "20");
    EXPECT_EQ(shown->cell_text(2, 1, 0), "40");
    EXPECT_EQ(shown->cell_text(2, 2, 0), "Anchor");
    EXPECT_TRUE(backend().is_visible(list_frame().window));
    EXPECT_EQ(frame_title(list_frame()), "Korvane - Anchors  (2)  [Untitled]");
    EXPECT_EQ(last_opened_table(), shown);

    // Moving in the list moves the layout's current row.
    table_goto_row(*shown, 2);
    EXPECT_EQ(model().current_row, 4);
    EXPECT_EQ(layout_table().current_row, 4);

    // Delete takes the item off its row; the list follows.
    list(CMD_DELETE);
    EXPECT_EQ(row(4).dtype, DT_NONE);
    EXPECT_EQ(shown->row_count, 1);
    EXPECT_TRUE(model_modified());

    // An input list is offered even while it is empty; a list registered
    // again under its name keeps its place.
    int opened = 0;
    register_data_list({"Materials", [] { return 0; }, [&] { ++opened; }, true});
    register_data_list({"Materials", [] { return 0; }, [&] { opened += 10; }, true});
    choose("Materials (0)");
    frame_command(main_frame(), CMD_LIST);   // the layout window's View > List
    EXPECT_EQ(opened, 10);
    std::vector<std::string> names;
    for (const DataList* l : offered_data_lists()) names.push_back(l->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Bends", "Anchors", "Materials"}));
}

TEST_F(ListWindowTest, AnEmptyModelHasNoListsToOffer) {
    reset_model();
    make_model();
    list(CMD_LIST);
    EXPECT_EQ(script().last_message(), "There are no data lists to show");
    EXPECT_EQ(script().runs("DATA_LISTS_DIALOG"), 0);
    EXPECT_EQ(list_window_table(), nullptr);
}

TEST_F(ListWindowTest, CopyPasteAndExportActOnTheTableOpenedLast) {
    int edited = 0;
    layout_hooks().data_dialog[DT_ANCHOR] = [&](int r) {
        edited = r;
        return false;
    };
    choose("Anchors (2)");
    list(CMD_LIST);
    TableWindow* shown = list_window_table();
    ASSERT_NE(shown, nullptr);

    list(CMD_COPY);
    EXPECT_EQ(backend().clipboard_text(), "20\tAnchor\t");
    list(CMD_EDIT_ROW);
    EXPECT_EQ(edited, 2);

    // In results mode Copy and Paste are not served.
    in_results() = true;
    backend().set_clipboard_text("");
    list(CMD_COPY);
    EXPECT_EQ(backend().clipboard_text(), "");
    in_results() = false;

    const std::filesystem::path csv =
        std::filesystem::path(::testing::TempDir()) / ("kv_anchors_" + std::to_string(::getpid()) + ".csv");
    script().answer_file(csv.string());
    list(CMD_EXPORT);
    std::ifstream in(csv);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Anchors"), std::string::npos);
    EXPECT_NE(text.str().find("40"), std::string::npos);
    EXPECT_EQ(script().last_message(), "csv written.");
    std::filesystem::remove(csv);

    // Nothing opened: Export beeps.
    clear_last_table_opener();
    const int beeps = script().beeps();
    list(CMD_EXPORT);
    EXPECT_EQ(script().beeps(), beeps + 1);
}

TEST_F(ListWindowTest, ModesTakeTheFileCommandsAfterTheirSaveQuestion) {
    std::vector<int> routed;
    int asked = 0, left = 0, closed = 0;
    bool go_on = false;
    ListMode mode;
    mode.kind = ListMode::Qualification;
    mode.name = "Flange";
    mode.ask_save = [&](WindowId) {
        ++asked;
        return go_on;
    };
    mode.command = [&](int id) { routed.push_back(id); };
    mode.leave = [&] { ++left; };
    mode.analyze_command = CMD_FLANGE_ANALYZE;
    enter_list_mode(mode);
    EXPECT_TRUE(in_qualification_mode());

    // Nothing changed: no question.
    EXPECT_TRUE(ListCommand(CMD_NEW));
    EXPECT_EQ(asked, 0);
    model_modified() = true;
    EXPECT_TRUE(ListCommand(CMD_OPEN));   // Cancel stops it
    go_on = true;
    EXPECT_TRUE(ListCommand(CMD_OPEN));
    EXPECT_TRUE(ListCommand(CMD_SAVE));   // the data set's own Save
    EXPECT_TRUE(ListCommand(CMD_FLANGE_ANALYZE));
    EXPECT_FALSE(ListCommand(CMD_NOZZLE_ANALYZE));
    EXPECT_TRUE(ListCommand(CMD_UNITS));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(routed, (std::vector<int>{CMD_NEW, CMD_OPEN, CMD_SAVE, CMD_FLANGE_ANALYZE, CMD_UNITS}));

    // The close box asks, leaves the mode and closes the main window.
    main_frame().close_handler = [&] {
        ++closed;
        return false;
    };
    go_on = false;
    EXPECT_FALSE(list_window_close());
    EXPECT_EQ(left, 0);
    go_on = true;
    EXPECT_FALSE(list_window_close());
    EXPECT_EQ(left, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(in_qualification_mode());

    // A library saves through its own command; the model's file commands
    // are left to the registry.
    routed.clear();
    mode.kind = ListMode::Library;
    enter_list_mode(mode);
    EXPECT_TRUE(in_library_mode());
    EXPECT_TRUE(ListCommand(CMD_SAVE_AS));
    EXPECT_TRUE(ListCommand(CMD_CLOSE));
    EXPECT_EQ(routed, (std::vector<int>{CMD_SAVE_AS, CMD_CLOSE}));
    leave_list_mode();
    EXPECT_FALSE(ListCommand(CMD_NEW));
    EXPECT_FALSE(ListCommand(CMD_SAVE));
}

TEST_F(ListWindowTest, LocalAxesToggleRedrawsTheHighlight) {
    std::vector<std::string> calls;
    model_hooks().erase_highlight = [&] { calls.push_back("erase"); };
    list_window_hooks().refresh_highlight = [&] { calls.push_back(local_axes_display() ? "on" : "off"); };
    list(CMD_LOCAL_AXES);
    EXPECT_TRUE(local_axes_display());
    frame_command(main_frame(), CMD_LOCAL_AXES);
    EXPECT_FALSE(local_axes_display());
    EXPECT_EQ(calls, (std::vector<std::string>{"erase", "on", "erase", "off"}));
}

}  // namespace
