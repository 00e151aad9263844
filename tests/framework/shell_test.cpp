// Start-up, command line, settings and shutdown of the shell, on the headless backend.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/frame.h"
#include "framework/ui/dialog_fields.h"
#include "framework/ui/help.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        register_batch_starter(nullptr);
        set_first_run_action(nullptr);
        folder = fs::temp_directory_path() /
                 ("korvane_shell_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        set_program_folder(folder.string());
    }

    void TearDown() override {
        app_shutdown();
        register_batch_starter(nullptr);
        set_first_run_action(nullptr);
        set_program_folder("");
        remove_backend();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Runs the entry routine with the installed headless backend.
    int run_main(std::vector<std::string> args) {
        args.insert(args.begin(), "korvane");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return app_main(static_cast<int>(args.size()), argv.data(), nullptr);
    }

    const HeadlessWindow& win(const Frame& f) { return *hb->window(f.window); }
    Script& script() { return hb->script(); }

    HeadlessBackend* hb = nullptr;
    fs::path folder;
};

WindowPlacement placement(int left, int top, int right, int bottom, int show = WindowPlacement::SHOW_NORMAL) {
    WindowPlacement p;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    p.show_cmd = show;
    return p;
}

// ---------------------------------------------------------------------------

TEST_F(ShellTest, StartupShowsTheUntitledMainWindowAndHiddenFrames) {
    app_startup();
    ASSERT_TRUE(app_started());

    const Frame& m = main_frame();
    EXPECT_EQ(win(m).class_name, "Korvane");
    EXPECT_TRUE(win(m).visible);
    EXPECT_EQ(win(m).title, "Korvane - Layout [Untitled]");
    EXPECT_EQ(win(m).menu.items().size(), 8u);
    EXPECT_EQ(hb->accelerator_window(), m.window);
    EXPECT_EQ(hb->accelerator_table(), &accelerator_resource("LAYOUT_ACCEL"));
    // No results file: the results button is hidden.
    EXPECT_FALSE(win(m).buttons.at(CMD_RESULTS).first);

    const std::pair<Frame*, const char*> hidden[] = {
        {&list_frame(), "KorvaneList"}, {&results_frame(), "KorvaneResults"}, {&graphics_frame(), "KorvaneGraphics"}};
    for (const auto& [frame, class_name] : hidden) {
        ASSERT_NE(frame->window, 0);
        EXPECT_EQ(win(*frame).class_name, class_name);
        EXPECT_FALSE(win(*frame).visible) << class_name;
    }

    // What the shell serves now is enabled; the model commands wait for their subsystems.
    EXPECT_TRUE(win(m).menu.is_enabled(CMD_EXIT));
    EXPECT_TRUE(win(m).menu.is_enabled(CMD_ABOUT));
    EXPECT_TRUE(win(m).menu.is_enabled(CMD_HELP));
    EXPECT_TRUE(win(m).menu.is_enabled(CMD_FONT));
    EXPECT_FALSE(win(m).menu.is_enabled(CMD_SAVE));
    EXPECT_FALSE(win(m).menu.is_enabled(CMD_UNITS));
    EXPECT_FALSE(win(m).menu.is_enabled(CMD_ANALYZE));
    EXPECT_TRUE(script().key(m.window, KEY_F12));
    EXPECT_EQ(script().beeps(), 1);

    // The graphics window's Close only hides it.
    frame_bring_to_front(graphics_frame());
    EXPECT_TRUE(script().menu_command(graphics_frame().window, CMD_EXIT));
    EXPECT_FALSE(win(graphics_frame()).visible);
    EXPECT_EQ(backend().active_window(), m.window);
}

TEST_F(ShellTest, CommandLineIsParsed) {
    const auto parse = [](std::vector<const char*> args) {
        args.insert(args.begin(), "korvane");
        return parse_command_line(static_cast<int>(args.size()), args.data());
    };
    EXPECT_EQ(parse({}).path, "");
    CommandLine cl = parse({"--headless", "/m/pump.mod", "other.mod"});
    EXPECT_TRUE(cl.headless);
    EXPECT_FALSE(cl.gui);
    EXPECT_EQ(cl.path, "/m/pump.mod");
    EXPECT_TRUE(parse({"--gui"}).gui);
    EXPECT_EQ(parse({"--some-option", "-x", "a.mod"}).path, "a.mod");
    EXPECT_EQ(parse({"--", "--gui"}).path, "--gui");
    EXPECT_FALSE(parse({"--", "--gui"}).gui);
}

// The file name's extension makes a batch file, in any case; ".mbf" in a
// folder's name or before another extension does not.
TEST(BatchPathExtension, ABatchFileIsANameEndingInMbf) {
    for (const char* path : {"/data/PIPE.MBF", "run.mbf", "a.b.Mbf", "jobs.mbf/model.mbf"})
        EXPECT_TRUE(is_batch_path(path)) << path;
    for (const char* path : {"pipe.mod", "mbf.mod", "run.mbf.txt", "weird.mbfx", "jobs.mbf/model.mod", "jobs.mbf/",
                             "mbf", "x.mb", ""})
        EXPECT_FALSE(is_batch_path(path)) << path;
}

TEST_F(ShellTest, CommandLineFileIsOpenedByItsExtension) {
    std::vector<std::string> opened;
    register_opener("MOD", [&](const std::string& p) { opened.push_back(p); });
    app_startup();

    EXPECT_TRUE(open_command_line_file(""));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(open_command_line_file("/m/PUMP.Mod"));
    EXPECT_EQ(opened, std::vector<std::string>{"/m/PUMP.Mod"});

    // Unknown or missing extensions: the message, and the program goes on.
    for (const char* path : {"/m/pump.xyz", "/m/pump", "/m.d/pump"}) {
        script().clear_log();
        EXPECT_FALSE(open_command_line_file(path));
        EXPECT_EQ(script().last_message(), "Invalid file extension") << path;
    }
    // A kind of file the program knows but has no reader for yet says so.
    script().clear_log();
    EXPECT_FALSE(open_command_line_file("/m/pump.spe"));
    EXPECT_EQ(script().last_message(), "Files of type .spe cannot be opened in this version:\n/m/pump.spe");
    EXPECT_TRUE(app_started());
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_FALSE(batch_mode());

    // An opener that fails shows its text.
    register_opener("res", [](const std::string&) { throw MessageText("Results file: x.res\nDoes not exist."); });
    open_command_line_file("x.res");
    EXPECT_EQ(script().last_message(), "Results file: x.res\nDoes not exist.");
}

TEST_F(ShellTest, AnOpenerThatShowsItsOwnRefusalHasOpenedNothing) {
    register_opener("mat",
                    [](const std::string& p) { message_error(0, "Material Library: " + p + "\nDoes not exist."); });
    register_opener("val", [](const std::string& p) { message_warning(0, "Valve Library: " + p + " is old"); });
    app_startup();
    EXPECT_FALSE(open_command_line_file("/m/x.mat"));
    // A warning is no refusal.
    EXPECT_TRUE(open_command_line_file("/m/x.val"));
    // Without windows the error goes to standard error as well, whole.
    set_error_messages_to_stderr(true);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(open_command_line_file("/m/x.mat"));
    EXPECT_TRUE(open_command_line_file("/m/x.val"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Korvane: Material Library: /m/x.mat\nDoes not exist.\n");
    set_error_messages_to_stderr(false);
}

TEST_F(ShellTest, BatchFileStartsBatchModeOrIsRefused) {
    app_startup();
    try {
        open_command_line_file("/m/Pipe.MBF");
        FAIL() << "no batch starter, but the batch file was accepted";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Batch import is not available in this version");
    }

    std::string started;
    register_batch_starter([&](const std::string& p) { started = p; });
    open_command_line_file("/m/pipe.mbf");
    EXPECT_EQ(started, "/m/pipe.mbf");
    EXPECT_TRUE(batch_mode());
}

TEST_F(ShellTest, EntryRoutineWithoutDisplayOrFileEndsWithCode2) {
    ::testing::internal::CaptureStderr();
    const int code = run_main({});
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, EXIT_NO_DISPLAY);
    EXPECT_NE(err.find(NO_DISPLAY_TEXT), std::string::npos);
    EXPECT_FALSE(app_started());
    EXPECT_EQ(main_frame().window, 0);
}

TEST_F(ShellTest, EntryRoutineShowsAMessageTextAndEndsWithCode1) {
    register_batch_starter([](const std::string&) { throw MessageText("Line 12: NODE expected"); });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_main({"/m/pipe.mbf"}), 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(script().last_message(), "Line 12: NODE expected");
    EXPECT_NE(err.find("Line 12: NODE expected"), std::string::npos);
    // Shutdown ran: the windows are gone and the settings were written.
    EXPECT_FALSE(app_started());
    EXPECT_EQ(main_frame().window, 0);
    EXPECT_TRUE(hb->settings().get_int(settings_key(PREFERENCES_KEY), "Show toolbar"));

    // Without a starter the batch file is refused the same way.
    register_batch_starter(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_main({"/m/pipe.mbf"}), 1);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(script().last_message(), "Batch import is not available in this version");
}

TEST_F(ShellTest, FailureAtEntryOffersToSaveAModifiedModel) {
    int saves = 0;
    const auto modify = [&] {
        register_command(CMD_SAVE, [&](int) {
            ++saves;
            model_modified() = false;
        });
        model_modified() = true;
    };
    // A fault that is not a message text passes the command-line handling and
    // reaches the entry routine, which shows it and offers to save.
    register_opener("mod", [&](const std::string&) {
        modify();
        throw std::runtime_error("vector index out of range");
    });
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_main({"/m/pump.mod"}), 1);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(script().last_message(), "Internal error: vector index out of range");
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 1);
    EXPECT_EQ(saves, 1);

    // In batch mode nothing is asked.
    reset_app_state();
    register_batch_starter([&](const std::string&) {
        modify();
        throw MessageText("Analysis aborted.");
    });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_main({"/m/pipe.mbf"}), 1);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(script().last_message(), "Analysis aborted.");
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 1);
    EXPECT_EQ(saves, 1);
}

TEST_F(ShellTest, CommandLineFileWithoutWindows) {
    // Opened: the loop runs until there is nothing left to do.
    int opened = 0;
    register_opener("mod", [&](const std::string& p) {
        if (p == "/m/x.mod") throw MessageText("Not a model file: /m/x.mod");
        ++opened;
    });
    EXPECT_EQ(run_main({"/m/good.mod"}), 0);
    EXPECT_EQ(opened, 1);

    // Not opened: the failure goes to the message and to standard error, and
    // with no window to go on in the program ends with code 1.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_main({"/m/x.mod"}), 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(script().last_message(), "Not a model file: /m/x.mod");
    EXPECT_NE(err.find("Not a model file"), std::string::npos);
}

TEST_F(ShellTest, ExitEndsTheLoopUnlessTheSaveQuestionIsCancelled) {
    app_startup();
    frame_post_command(main_frame(), CMD_EXIT);
    EXPECT_EQ(app_run(), 0);
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 0);

    // A modified model: Cancel keeps the program running, No ends it.
    model_modified() = true;
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(request_exit(7));
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    EXPECT_TRUE(request_exit(7));
    EXPECT_EQ(app_run(), 7);

    // Yes saves first; a save that fails keeps the program running.
    register_command(CMD_SAVE, [](int) { throw MessageText("Unable to write file"); });
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    EXPECT_FALSE(request_exit(7));
    EXPECT_EQ(script().last_message(), "Unable to write file");
    register_command(CMD_SAVE, [](int) { model_modified() = false; });
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    EXPECT_TRUE(request_exit(7));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(app_run(), 7);

    // The close box of the main window asks the same question and keeps the window.
    model_modified() = true;
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(script().close(main_frame().window));
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 5);
    EXPECT_NE(hb->window(main_frame().window), nullptr);
}

TEST_F(ShellTest, EnvironmentSwitchesAreReadAtStartup) {
    ::setenv("KVUNTITLED", "1", 1);
    ::setenv("Valve_Symbol", "", 1);   // set to any value, even empty
    ::unsetenv("KVVERIFY");
    ::unsetenv("ZEDIRUVI");
    app_startup();
    ::unsetenv("KVUNTITLED");
    ::unsetenv("Valve_Symbol");
    EXPECT_TRUE(env_switches().untitled);
    EXPECT_TRUE(env_switches().valve_symbol);
    EXPECT_FALSE(env_switches().verify);
    EXPECT_FALSE(env_switches().zediruvi);
    // Kept as read at start-up, not read again.
    EXPECT_TRUE(env_switches().untitled);
    reset_app_state();
    EXPECT_FALSE(env_switches().untitled);
}

TEST_F(ShellTest, FirstRunCreatesTheMarkerOnce) {
    int first_runs = 0;
    set_first_run_action([&] { ++first_runs; });
    const fs::path marker = folder / MARKER_FILE_NAME;
    ASSERT_FALSE(fs::exists(marker));

    app_startup();
    EXPECT_TRUE(app_first_run());
    EXPECT_TRUE(fs::exists(marker));
    EXPECT_EQ(fs::file_size(marker), 0u);
    EXPECT_EQ(first_runs, 1);
    app_shutdown();

    app_startup();
    EXPECT_FALSE(app_first_run());
    EXPECT_EQ(first_runs, 1);
    app_shutdown();

    // A folder the marker cannot be written to: no first run, no failure.
    set_program_folder((folder / "missing" / "deeper").string());
    app_startup();
    EXPECT_FALSE(app_first_run());
    EXPECT_EQ(first_runs, 1);
}

TEST_F(ShellTest, SettingsAreWrittenAtShutdownAndRestoredAtTheNextStart) {
    app_startup();
    frame_set_placement(main_frame(), placement(100, 80, 1100, 780));
    frame_set_placement(list_frame(), placement(200, 100, 900, 600, WindowPlacement::SHOW_MAXIMIZED));
    frame_hide(list_frame());
    app_settings().preferences.white_background = true;
    add_recent_model("/m/a.mod");
    add_recent_model("/m/b.mod");
    script().answer_font(FontSpec{"Courier", 12, 700, false, false, true, 0});
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_FONT));
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_LARGE_BUTTONS));
    app_shutdown();

    const MemorySettings& store = hb->memory_settings();
    const std::string positions = settings_key(WINDOW_POSITIONS_KEY);
    EXPECT_EQ(settings_key(), "Software\\QVN Systems\\Korvane\\10.20");
    for (const char* name : {MAIN_WINDOW_PLACEMENT, LIST_WINDOW_PLACEMENT, RESULTS_WINDOW_PLACEMENT,
                             GRAPHICS_WINDOW_PLACEMENT}) {
        std::optional<std::vector<uint8_t>> bytes = store.get_binary(positions, name);
        ASSERT_TRUE(bytes) << name;
        EXPECT_EQ(bytes->size(), 44u) << name;
    }
    EXPECT_EQ(store.get_string(settings_key(RECENT_FILES_KEY), "File1"), "/m/b.mod");
    EXPECT_EQ(store.get_string(settings_key(RECENT_FILES_KEY), "File2"), "/m/a.mod");
    EXPECT_FALSE(store.get_string(settings_key(RECENT_FILES_KEY), "File3"));

    // The next start reads them back: placement, preferences, recent models.
    reset_app_settings();
    app_startup();
    const HeadlessWindow& m = win(main_frame());
    EXPECT_TRUE(m.visible);
    EXPECT_EQ(m.placement.left, 100);
    EXPECT_EQ(m.placement.top, 80);
    EXPECT_EQ(m.placement.right, 1100);
    EXPECT_EQ(m.placement.bottom, 780);
    EXPECT_TRUE(preferences().white_background);
    EXPECT_TRUE(preferences().large_buttons);
    EXPECT_TRUE(m.show_large);
    EXPECT_TRUE(m.menu.is_checked(CMD_LARGE_BUTTONS));
    EXPECT_EQ(text_font().face, "Courier");
    EXPECT_EQ(text_font().height, 12);
    EXPECT_EQ(app_settings().recent_models, (std::vector<std::string>{"/m/b.mod", "/m/a.mod"}));
    // The list window stays hidden until needed, and comes up maximised as it was.
    EXPECT_FALSE(win(list_frame()).visible);
    frame_bring_to_front(list_frame());
    EXPECT_TRUE(frame_is_maximized(list_frame()));
}

TEST_F(ShellTest, DamagedSettingsAreIgnored) {
    MemorySettings& store = hb->memory_settings();
    const std::string positions = settings_key(WINDOW_POSITIONS_KEY);
    const std::string prefs = settings_key(PREFERENCES_KEY);

    WindowPlacement bad_state = placement(10, 10, 800, 600);
    bad_state.show_cmd = 9;
    WindowPlacement tiny = placement(10, 10, 12, 12);
    WindowPlacement far = placement(10, 10, 800, 600);
    far.right = 2000000;
    std::vector<uint8_t> short_bytes = placement(10, 10, 800, 600).to_bytes();
    short_bytes.pop_back();
    std::vector<uint8_t> wrong_length = placement(10, 10, 800, 600).to_bytes();
    wrong_length[0] = 40;

    for (const std::vector<uint8_t>& bytes : {short_bytes, wrong_length, bad_state.to_bytes(), tiny.to_bytes(),
                                              far.to_bytes(), std::vector<uint8_t>{}}) {
        store.set_binary(positions, MAIN_WINDOW_PLACEMENT, bytes);
        load_app_settings(store);
        EXPECT_FALSE(saved_placement(MAIN_WINDOW_PLACEMENT));
    }
    // A value of the wrong kind is not a placement either.
    store.set_string(positions, MAIN_WINDOW_PLACEMENT, "maximized");
    store.set_int(prefs, "Show toolbar", 5);
    store.set_string(prefs, "Large toolbar buttons", "yes");
    store.set_int(prefs, "Text font height", 5000);
    store.set_string(prefs, "Text font", std::string(300, 'x'));
    store.set_string(settings_key(RECENT_FILES_KEY), "File1", "");
    store.set_string(settings_key(RECENT_FILES_KEY), "File2", "/m/ok.mod");
    store.set_string(settings_key(RECENT_FILES_KEY), "File3", "/m/ok.mod");
    load_app_settings(store);
    EXPECT_FALSE(saved_placement(MAIN_WINDOW_PLACEMENT));
    const Preferences defaults;
    EXPECT_EQ(preferences().show_toolbar, defaults.show_toolbar);
    EXPECT_EQ(preferences().large_buttons, defaults.large_buttons);
    EXPECT_EQ(text_font(), defaults.text_font);
    EXPECT_EQ(app_settings().recent_models, std::vector<std::string>{"/m/ok.mod"});

    // The program starts with the default placement: centred, inside the work area.
    store.set_binary(positions, MAIN_WINDOW_PLACEMENT, far.to_bytes());
    app_startup();
    const WindowPlacement& p = win(main_frame()).placement;
    const Rect work = backend().work_area();
    EXPECT_EQ(p, clamp_placement(default_placement(work), work));
    EXPECT_TRUE(win(main_frame()).visible);

    // A sound placement that lies off screen is moved into the work area, size kept.
    app_shutdown();
    store.set_binary(positions, MAIN_WINDOW_PLACEMENT, placement(5000, 3000, 5800, 3600).to_bytes());
    app_startup();
    const WindowPlacement& moved = win(main_frame()).placement;
    EXPECT_EQ(moved.right, work.right);
    EXPECT_EQ(moved.bottom, work.bottom);
    EXPECT_EQ(moved.right - moved.left, 800);
}

TEST_F(ShellTest, RecentModelOpensOrIsDroppedWhenMissing) {
    const fs::path model = folder / "pump.mod";
    std::ofstream(model) << "x";
    std::vector<std::string> opened;
    register_opener("mod", [&](const std::string& p) { opened.push_back(p); });
    app_startup();
    add_recent_model((folder / "gone.mod").string());
    add_recent_model(model.string());

    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_RECENT_FIRST));
    EXPECT_EQ(opened, std::vector<std::string>{model.string()});

    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_RECENT_FIRST + 1));
    EXPECT_EQ(script().last_message(), "File not found:\n" + (folder / "gone.mod").string());
    EXPECT_EQ(app_settings().recent_models, std::vector<std::string>{model.string()});
    EXPECT_EQ(opened.size(), 1u);
}

using HelpWindowTest = ShellTest;

TEST_F(HelpWindowTest, ContentsAndContextsOpenInTheHelpWindowOrTheGuideIsSaidToBeMissing) {
    app_startup();
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_HELP));
    const std::string guide = (folder / "help" / "index.html").string();
    EXPECT_EQ(script().last_message(), "Help file not found:\n" + guide);
    EXPECT_TRUE(script().help_requests().empty());

    std::filesystem::create_directories(folder / "help");
    std::ofstream(guide) << "<html></html>";
    help_init(folder.string());
    // Help > Contents (F1 of the main window): the guide at its top.
    EXPECT_TRUE(script().key(main_frame().window, KEY_F1));
    ASSERT_EQ(script().help_requests().size(), 1u);
    EXPECT_EQ(script().help_requests()[0].file, guide);
    EXPECT_EQ(script().help_requests()[0].anchor, "");
    // A context: its anchor, in the program's own window (no browser).
    help(3120);
    ASSERT_EQ(script().help_requests().size(), 2u);
    EXPECT_EQ(script().help_requests()[1].anchor, "context-3120");
    EXPECT_TRUE(script().opened_documents().empty());

    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_ABOUT));
    EXPECT_EQ(script().runs("ABOUT_DIALOG"), 1);
}

TEST_F(ShellTest, TutorialOpensItsFileOrSaysWhereItBelongs) {
    app_startup();
    std::string shown;
    script().once("TUTORIAL_DIALOG", [&](HeadlessDialog& d) {
        shown = d.text(TUTORIAL_TEXT);
        d.press(IDOK);
    });
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_TUTORIAL));
    EXPECT_EQ(script().runs("TUTORIAL_DIALOG"), 1);
    EXPECT_EQ(shown, "The tutorial Tutorial_1.pdf is not installed.\nIt belongs in the program folder:\n" +
                         folder.string());
    EXPECT_TRUE(script().opened_documents().empty());

    std::ofstream(folder / TUTORIAL_FILE_NAME) << "%PDF-1.4";
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_TUTORIAL));
    ASSERT_EQ(script().opened_documents().size(), 1u);
    EXPECT_EQ(script().opened_documents()[0], (folder / TUTORIAL_FILE_NAME).string());
    EXPECT_EQ(script().runs("TUTORIAL_DIALOG"), 1);
}

using HelpPage = ShellTest;

// Without the tutorial's file, Help > Tutorial opens the guide at its own
// walk-through; the note of TUTORIAL_DIALOG is for a guide without one.
TEST_F(HelpPage, TutorialOpensTheGuidesWalkThroughWhereNoFileIsInstalled) {
    app_startup();
    std::filesystem::create_directories(folder / "help");
    const std::string guide = (folder / "help" / "index.html").string();
    std::ofstream(guide) << "<html><a name=\"tutorial\"></a><h2>Tutorial</h2></html>";
    help_init(folder.string());
    EXPECT_TRUE(script().menu_command(main_frame().window, CMD_TUTORIAL));
    ASSERT_EQ(script().help_requests().size(), 1u);
    EXPECT_EQ(script().help_requests()[0].file, guide);
    EXPECT_EQ(script().help_requests()[0].anchor, TUTORIAL_ANCHOR);
    EXPECT_EQ(script().runs("TUTORIAL_DIALOG"), 0);

    // A page that names no anchor of the guide falls back to the context
    // given, or to the contents.
    help_page("NO_SUCH_DIALOG", 0, 7);
    ASSERT_EQ(script().help_requests().size(), 2u);
    EXPECT_EQ(script().help_requests()[1].anchor, "context-7");
    help_page("NO_SUCH_DIALOG");
    ASSERT_EQ(script().help_requests().size(), 3u);
    EXPECT_EQ(script().help_requests()[2].anchor, "");
    help_page("NO_SUCH_DIALOG", 0, "results");
    ASSERT_EQ(script().help_requests().size(), 4u);
    EXPECT_EQ(script().help_requests()[3].anchor, "results");
}

// The labels of a template's fields, in order, each with its quantity.
std::vector<std::pair<std::string, int>> labels_of(const DialogTemplate& t)
{
    std::vector<std::pair<std::string, int>> out;
    for (const DialogField& f : dialog_fields(t))
        out.emplace_back(f.label, f.quantity);
    return out;
}

// The guide lists a dialog's fields by the texts the user reads beside them:
// the text right before a field, with its row's lead ("SIFs:"); a row's text
// with the text over the column; a unit label shared by the fields before it
// in its row, but never by a node number; a label a group has twice
// numbered; OK and Cancel left out.
TEST_F(HelpPage, FieldsAreLabelledAsTheDialogShowsThem)
{
    const DialogTemplate t{"T_DIALOG", "T", {
        control(0, ControlKind::Static, "&SIFs:  In Plane", 0, 0), control(11, ControlKind::Edit, "", 0, 1),
        control(0, ControlKind::Static, "Out Plane", 0, 2), control(12, ControlKind::Edit, "", 0, 3),
        control(0, ControlKind::Static, "Sustained SCF", 1, 1), control(0, ControlKind::Static, "Cyclic SCF", 1, 2),
        control(0, ControlKind::Static, "Bending", 2, 0), control(21, ControlKind::Edit, "", 2, 1),
        control(22, ControlKind::Edit, "", 2, 2),
        control(31, ControlKind::Edit, "OD1", 3, 0), control(32, ControlKind::Edit, "Thk1", 3, 1),
        unit_control(33, 3, 2, DIMENSION),
        control(0, ControlKind::Group, "Intermediate Nodes", 4, 0, 3, CF_NONE, 0, 2),
        control(41, ControlKind::Edit, "Node", 4, 0), control(42, ControlKind::Edit, "at Angle", 4, 1),
        unit_control(43, 4, 2, ANGLE),
        control(51, ControlKind::Edit, "Node", 5, 0), control(52, ControlKind::Edit, "at Angle", 5, 1),
        unit_control(53, 5, 2, ANGLE),
        control(IDOK, ControlKind::Button, "OK", 6, 0), control(IDCANCEL, ControlKind::Button, "Cancel", 6, 1)}};
    const std::vector<std::pair<std::string, int>> expected = {
        {"SIFs: In Plane", 0},       {"SIFs: Out Plane", 0}, {"Bending, Sustained SCF", 0},
        {"Bending, Cyclic SCF", 0},  {"OD1", DIMENSION},     {"Thk1", DIMENSION},
        {"Node", 0},                 {"at Angle", ANGLE},    {"Node 2", 0},
        {"at Angle 2", ANGLE}};
    EXPECT_EQ(labels_of(t), expected);
    const std::vector<DialogField> fields = dialog_fields(t);
    ASSERT_EQ(fields.size(), expected.size());
    EXPECT_EQ(fields[8].group, "Intermediate Nodes");
    EXPECT_EQ(fields[4].group, "");
}

}  // namespace
