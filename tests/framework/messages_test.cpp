// Message dialogs, the framework's own small dialogs and the common dialogs,
// answered by the scripted backend.
#include "framework/app_state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/find_node.h"
#include "framework/ui/messages.h"
#include "framework/ui/qa_block_dialog.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override { hb = &install_headless_backend(); }
    void TearDown() override { remove_backend(); }
    HeadlessBackend* hb = nullptr;
};

TEST_F(MessagesTest, LongTextsAreCutToSixLines) {
    EXPECT_EQ(message_line_count(""), 1);
    EXPECT_EQ(message_line_count("a\nb\n"), 2);
    EXPECT_EQ(message_line_count("1\n2\n3\n4\n5\n6\n7\n8"), MAX_LINES);
    EXPECT_EQ(message_clamp_lines("1\n2\n3\n4\n5\n6"), "1\n2\n3\n4\n5\n6");
    EXPECT_EQ(message_clamp_lines("1\n2\n3\n4\n5\n6\n"), "1\n2\n3\n4\n5\n6\n");
    EXPECT_EQ(message_clamp_lines("1\n2\n3\n4\n5\n6\n7\n8"), "1\n2\n3\n4\n5\n6...");
    message_error(0, "1\n2\n3\n4\n5\n6\n7");
    EXPECT_EQ(script().last_message(), "1\n2\n3\n4\n5\n6...");
}

TEST_F(MessagesTest, MessageKindsAndAnswers) {
    message_error(0, "");   // an empty text cancels silently
    EXPECT_TRUE(script().log().empty());

    message_warning(0, "Careful");
    message_info(0, "Done");
    EXPECT_EQ(script().log().at(0).icon, MessageIcon::Warning);
    EXPECT_EQ(script().log().at(1).icon, MessageIcon::Info);

    script().answer(IDNO);
    EXPECT_FALSE(message_question(0, "Go on?"));
    EXPECT_TRUE(message_question(0, "Go on?"));           // default answer Yes
    script().answer(IDCANCEL);
    EXPECT_FALSE(message_question(0, "Go on?", true));
    EXPECT_EQ(script().log().back().buttons, MessageButtons::OkCancel);

    script().answer(IDYES);
    EXPECT_TRUE(ask_change_value(0, "the material", "A106", "A53"));
    EXPECT_EQ(script().last_message(), "Do you want to change the material\nfrom  \"A106\"  to  \"A53\" ?");

    // A plain error box takes no queued answer, so the next question gets it.
    script().answer(IDNO);
    message_error(0, "Oops");
    EXPECT_FALSE(message_question(0, "Sure?"));
    EXPECT_EQ(script().unused_answers(), 0u);
}

TEST_F(MessagesTest, ForegroundErrorGoesOverTheActiveWindow) {
    WindowId frame = hb->create_frame("KorvaneLayout", "Layout", nullptr);
    hb->show_window(frame, WindowPlacement::SHOW_NORMAL);
    hb->raise_and_activate(frame);
    message_error_foreground("Cannot open");
    EXPECT_EQ(script().last_message(), "Cannot open");
    EXPECT_EQ(hb->active_window(), frame);
}

TEST_F(MessagesTest, SaveChangesAnswers) {
    std::string asked;
    script().once("SAVE_CHANGES_DIALOG", [&](HeadlessDialog& d) {
        asked = d.text(SAVE_CHANGES_TEXT);
        d.press(IDNO);
    });
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });   // Enter: the default, Yes
    EXPECT_EQ(ask_save_changes(0, "pump.mod"), IDNO);
    EXPECT_EQ(asked, "Save changes to pump.mod ?");
    EXPECT_EQ(ask_save_changes(0, "pump.mod"), IDYES);
    EXPECT_EQ(ask_save_changes(0, "pump.mod"), IDYES);
    EXPECT_EQ(ask_save_changes(0, "pump.mod"), IDCANCEL);   // no answer: the dialog is cancelled
}

TEST_F(MessagesTest, InfoDialogClosesItselfByItsTimer) {
    int64_t before = script().now();
    info_dialog(0, "csv written.");
    EXPECT_EQ(script().last_message(), "csv written.");
    EXPECT_EQ(script().log().back().result, IDOK);   // closed by the timer, not cancelled
    EXPECT_GE(script().now() - before, 250);
    EXPECT_LE(script().now() - before, 500);

    // A script may watch it close.
    bool closed_early = true;
    script().once("INFO_DIALOG", [&](HeadlessDialog& d) {
        d.advance(100);
        closed_early = d.ended();
        d.advance(200);
        EXPECT_TRUE(d.ended());
    });
    info_dialog(0, "plt written.");
    EXPECT_FALSE(closed_early);
}

TEST_F(MessagesTest, AboutDialog) {
    std::vector<std::pair<int, std::string>> texts;
    script().once("ABOUT_DIALOG", [&](HeadlessDialog& d) {
        texts = d.static_texts();
        d.press(IDOK);
    });
    about_dialog(0);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].second, "Korvane");
    EXPECT_EQ(texts[2].second, "Stress analysis of piping systems");
    EXPECT_EQ(script().log().back().result, IDOK);
}

TEST_F(MessagesTest, FindNodeStaysOpenUntilFound) {
    std::vector<std::string> asked;
    NodeLookup lookup = [&](const std::string& text, int& node) {
        asked.push_back(text);
        if (text != "20") return false;
        node = 7;
        return true;
    };
    script().once("FIND_NODE_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);
        d.type(FIND_NODE_TEXT, " 15 ");
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), FIND_NODE_TEXT);
        d.type(FIND_NODE_TEXT, "20");
        d.press(IDOK);
    });
    EXPECT_TRUE(find_node_dialog(0, lookup));
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Node is required", "Node  15  not found"}));
    EXPECT_EQ(asked, (std::vector<std::string>{"15", "20"}));
    EXPECT_EQ(found_node(), 7);

    // The last text is offered again; Cancel leaves the found node alone.
    std::string offered;
    script().once("FIND_NODE_DIALOG", [&](HeadlessDialog& d) {
        offered = d.text(FIND_NODE_TEXT);
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(find_node_dialog(0, lookup));
    EXPECT_EQ(offered, "20");
    EXPECT_EQ(found_node(), 7);
    EXPECT_FALSE(find_node_dialog(0, NodeLookup{}));
}

TEST_F(MessagesTest, QABlockEditsAndMarksModel) {
    reset_app_state();
    reset_qa_block();
    qa_block().client = "Refinery";
    script().once("QA_BLOCK_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(QA_CLIENT), "Refinery");
        d.type(QA_PROJECT, "  Unit 4  ");
        d.type(QA_FILE_NUMBER, std::string(30, '9'));   // the field takes 20
        d.type(QA_CHECKED_BY_2, "J. Doe");
        // 60 characters but 61 bytes: the file's 60 bytes keep whole characters.
        d.type(QA_PREPARED_BY_1, std::string(59, 'a') + "\xC3\xA9");
        d.press(IDOK);
    });
    EXPECT_TRUE(qa_block_dialog(0));
    EXPECT_EQ(qa_block().prepared_by[0], std::string(59, 'a'));
    EXPECT_EQ(qa_block().project, "Unit 4");
    EXPECT_EQ(qa_block().file_number, std::string(QA_NUMBER_LIMIT, '9'));
    EXPECT_EQ(qa_block().checked_by[1], "J. Doe");
    EXPECT_TRUE(model_modified());

    // OK without a change leaves the model unmodified; locked input stores nothing.
    model_modified() = false;
    script().once("QA_BLOCK_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_TRUE(qa_block_dialog(0));
    EXPECT_FALSE(model_modified());
    input_locked() = true;
    script().once("QA_BLOCK_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.type(QA_CLIENT, "Other"));   // read-only
        d.press(IDOK);
    });
    EXPECT_TRUE(qa_block_dialog(0));
    EXPECT_EQ(qa_block().client, "Refinery");
    EXPECT_FALSE(model_modified());
    reset_app_state();
}

TEST_F(MessagesTest, FileDialogsKeepPathAndOffsets) {
    FileDialogRequest r;
    r.title = "Export to Comma Separated Values file";
    r.filters = {{"Comma Separated Values file (*.csv)", "*.csv"}};
    r.default_extension = "csv";
    EXPECT_FALSE(save_file_dialog_path(0, r));   // cancelled: nothing chosen
    script().answer_file("/tmp/run.1/results");
    ASSERT_TRUE(save_file_dialog_path(0, r));
    EXPECT_EQ(ofn_file_path(), "/tmp/run.1/results.csv");
    EXPECT_EQ(ofn_file_path().substr(ofn_file_offset()), "results.csv");
    EXPECT_EQ(ofn_file_path().substr(ofn_extension_offset()), "csv");
    script().answer_file("/tmp/run.1/README");
    ASSERT_TRUE(open_file_dialog_path(0, r = FileDialogRequest{}));
    EXPECT_EQ(ofn_extension_offset(), ofn_file_path().size());   // no extension
    EXPECT_FALSE(open_file_dialog_path(0, r));
    EXPECT_EQ(ofn_file_path(), "/tmp/run.1/README");   // a cancel keeps the last path

    // A file of another type is not offered as this dialog's file, only its
    // folder: a valve library is no model name.
    script().answer_file("/tmp/run.1/valves.val");
    ASSERT_TRUE(open_file_dialog_path(0, r = FileDialogRequest{}));
    FileDialogRequest model;
    model.title = "Save Model As";
    model.filters = {{"Model files (*.mod)", "*.mod"}};
    model.default_extension = "mod";
    EXPECT_FALSE(save_file_dialog_path(0, model));
    EXPECT_EQ(script().log().back().suggested, "/tmp/run.1/");
    // One of its own type is.
    script().answer_file("/tmp/run.1/pump.MOD");
    ASSERT_TRUE(open_file_dialog_path(0, r = FileDialogRequest{}));
    model.initial_path.clear();
    EXPECT_FALSE(save_file_dialog_path(0, model));
    EXPECT_EQ(script().log().back().suggested, "/tmp/run.1/pump.MOD");

    script().answer_folder("/data/models");
    EXPECT_EQ(browse_for_folder(0, "Model folder", ""), "/data/models");
    EXPECT_EQ(browse_for_folder(0, "Model folder", ""), std::nullopt);

    dialog_hook_remove();   // unbalanced removal is harmless
    EXPECT_FALSE(dialog_hook_installed());
    dialog_hook_install();
    EXPECT_TRUE(dialog_hook_installed());
    dialog_hook_remove();
}

}  // namespace
