#include "framework/ui/shell.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/fault_guard.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/table.h"
#include "platform/file_replace.h"
#include "platform/threads.h"

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <system_error>
#include <unistd.h>

namespace {

const char* const ACCELERATOR_TABLES[] = {"MAIN_ACCEL", "LAYOUT_ACCEL", "LIST_ACCEL", "GRAPHICS_ACCEL",
                                          "RESULTS_ACCEL"};

struct ShellState {
    bool started = false;
    bool first_run = false;
    std::string program_folder;        // override; empty: the program's own
    std::map<std::string, FileOpener> openers;
    BatchStarter batch_starter;
    std::function<void()> first_run_action;
    std::function<bool()> pending_edits_committer;
};

ShellState& shell() {
    return session_part<ShellState>();
}

void show_error(WindowId owner, const std::string& text) {
    if (text.empty()) return;
    message_error(owner, text);
}

// The frames in the order they are shut down.
std::array<Frame*, 4> shutdown_order() { return {&graphics_frame(), &results_frame(), &list_frame(), &main_frame()}; }

// ---------------------------------------------------------------------------
// Commands the shell serves itself

void update_preference_checks() {
    Frame& m = main_frame();
    const Preferences& prefs = preferences();
    m.menu.check(CMD_SHOW_TOOLBAR, prefs.show_toolbar);
    m.menu.check(CMD_LARGE_BUTTONS, prefs.large_buttons);
    m.menu.check(CMD_DISABLE_GRAPHIC_EDITING, prefs.disable_graphic_editing);
    frame_update_menu(m);
}

void apply_toolbar_preferences() {
    for (Frame* f : shutdown_order()) frame_set_bar_a(*f);
    update_preference_checks();
}

void register_shell_commands() {
    register_command(CMD_EXIT, [](int) { request_exit(0); });
    register_command(CMD_ABOUT, [](int) { about_dialog(command_owner()); });
    // F1 in a table opens the table's page; from anywhere else, and from the
    // menu (which takes the keyboard from the table), the contents.
    register_command(CMD_HELP, [](int) {
        const TableView* view = TableView::keyboard_focus();
        if (view && view->table())
            view->table()->on_help(command_owner());
        else
            help(0, command_owner());
    });
    register_command(CMD_TUTORIAL, [](int) { open_tutorial(shell_program_folder(), command_owner()); });
    register_command(CMD_FONT, [](int) {
        if (!choose_text_font(command_owner())) return;
        for (Frame* f : shutdown_order())
            if (f->client) backend().invalidate(f->client);
    });
    register_command(CMD_SHOW_TOOLBAR, [](int) {
        app_settings().preferences.show_toolbar = !preferences().show_toolbar;
        apply_toolbar_preferences();
    });
    register_command(CMD_LARGE_BUTTONS, [](int) {
        app_settings().preferences.large_buttons = !preferences().large_buttons;
        apply_toolbar_preferences();
    });
    register_command(CMD_DISABLE_GRAPHIC_EDITING, [](int) {
        app_settings().preferences.disable_graphic_editing = !preferences().disable_graphic_editing;
        update_preference_checks();
    });
    register_commands(CMD_RECENT_FIRST, CMD_RECENT_LAST, [](int id) { open_recent_model(command_owner(), id); });
}

// ---------------------------------------------------------------------------
// Windows

// The window's kept placement; without one, the main window stands in the
// middle of the work area and each other window cascades from the one made
// before it (`before`), so that no new window hides another whole.
WindowPlacement placement_or_cascade(const char* name, const WindowPlacement* before) {
    std::optional<WindowPlacement> p = saved_placement(name);
    const Rect work = backend().work_area();
    WindowPlacement wp = p ? *p : before ? cascade_placement(*before, work) : default_placement(work);
    if (wp.show_cmd == WindowPlacement::SHOW_HIDE) wp.show_cmd = WindowPlacement::SHOW_NORMAL;
    return wp;
}

// Makes a hidden frame with its placement; returns the placement, which the
// next window cascades from.
WindowPlacement create_hidden_frame(Frame& frame, const char* class_name, const char* menu, const char* accel,
                                    const char* bars, const char* placement, const char* title, Frame* previous,
                                    const WindowPlacement& before) {
    frame_create(frame, class_name, PRODUCT_NAME, nullptr, menu, nullptr, accel);
    frame.placement_name = placement;
    frame.previous_frame = previous;
    frame_set_bars(frame, toolbar_resource(bars));
    frame_set_title(frame, title);
    const WindowPlacement p = placement_or_cascade(placement, &before);
    frame_set_placement_hidden(frame, p);
    return p;
}

void create_windows() {
    Frame& m = main_frame();
    frame_create(m, PRODUCT_NAME, PRODUCT_NAME, nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
    m.placement_name = MAIN_WINDOW_PLACEMENT;
    m.close_handler = [] {
        request_exit(0);
        return false;   // the windows stay until shutdown has saved their placements
    };
    frame_set_bars(m, toolbar_resource("LAYOUT_TOOLBAR"));
    frame_set_status(m, "");
    update_preference_checks();

    const WindowPlacement main_placement = placement_or_cascade(MAIN_WINDOW_PLACEMENT, nullptr);
    WindowPlacement before = create_hidden_frame(list_frame(), "KorvaneList", "LIST_MENU", "LIST_ACCEL",
                                                 "LIST_TOOLBAR", LIST_WINDOW_PLACEMENT, "List", &m, main_placement);
    before = create_hidden_frame(results_frame(), "KorvaneResults", "RESULTS_MENU", "RESULTS_ACCEL",
                                 "RESULTS_TOOLBAR", RESULTS_WINDOW_PLACEMENT, "Results", &list_frame(), before);
    create_hidden_frame(graphics_frame(), "KorvaneGraphics", "GRAPHICS_MENU", "GRAPHICS_ACCEL", "GRAPHICS_TOOLBAR",
                        GRAPHICS_WINDOW_PLACEMENT, "Graphics", &m, before);
    // The graphics window's Close hides it; it never ends the program.
    frame_register_command(graphics_frame(), CMD_EXIT, [](int) {
        frame_hide(graphics_frame());
        frame_go_back(graphics_frame());
    });

    if (batch_mode()) frame_set_placement_hidden(m, main_placement);
    else frame_set_placement(m, main_placement);
    set_title_file_text(title_file_for_path(model_file_path()));
    show_main_window();
}

// The first run creates the marker file and then does the first-run action.
void first_run_check() {
    std::error_code ec;
    const std::filesystem::path marker = std::filesystem::path(shell_program_folder()) / MARKER_FILE_NAME;
    shell().first_run = false;
    if (std::filesystem::exists(marker, ec) || ec) return;
    // A read-only program folder makes every start a first run, and that is harmless.
    ReplacementFile created;
    const int fd = created.create(marker.string());
    if (fd < 0) return;
    const bool closed = ::close(fd) == 0;
    if (!closed || !created.put_in_place()) return;
    shell().first_run = true;
    if (shell().first_run_action) shell().first_run_action();
}

void offer_to_save() {
    if (!model_modified() || batch_mode() || !command_available(CMD_SAVE) || !main_frame().window) return;
    if (ask_save_changes(main_frame().window, model_base_name(model_file_path())) != IDYES) return;
    try {
        run_command(CMD_SAVE);
    } catch (const MessageText& m) {
        show_error(main_frame().window, m.text);
    }
}

int fatal(const std::string& text) {
    message_error_foreground(text);
    offer_to_save();
    return 1;
}

}  // namespace

// ---------------------------------------------------------------------------

CommandLine parse_command_line(int argc, const char* const* argv) {
    CommandLine cl;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        if (!argv[i]) continue;
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--gui") {
            cl.gui = true;
        } else if (options && arg == "--headless") {
            cl.headless = true;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            // An option of the window system (left over by it) or of a later version.
        } else if (cl.path.empty()) {
            cl.path = arg;
        }
    }
    return cl;
}

bool is_batch_path(const std::string& path) { return file_extension(path) == "mbf"; }

int app_main(int argc, char** argv, std::unique_ptr<Backend> b) {
    install_out_of_memory_handler();
    install_fault_handlers();
    install_assert_display();
    if (b) install_backend(std::move(b));
    if (!backend_installed()) {
        std::fputs("Korvane: no window system backend\n", stderr);
        return 1;
    }
    // After the backend: the window system sets the locale from the environment first.
    set_numeric_c_locale();
    mark_main_thread();

    const CommandLine cl = parse_command_line(argc, argv);
    if (!backend().has_windows() && cl.path.empty()) {
        std::fprintf(stderr, "%s\n", NO_DISPLAY_TEXT);
        return EXIT_NO_DISPLAY;
    }
    set_error_messages_to_stderr(!backend().has_windows());

    int exit_code = 0;
    try {
        if (is_batch_path(cl.path)) batch_mode() = true;   // no windows are shown in batch mode
        app_startup();
        // Without windows a file that could not be opened leaves nothing to do.
        if (open_command_line_file(cl.path) || backend().has_windows()) exit_code = app_run();
        else exit_code = 1;
    } catch (const MessageText& m) {
        exit_code = fatal(m.text);
    } catch (const std::exception& e) {
        exit_code = fatal(std::string("Internal error: ") + e.what());
    }
    app_shutdown();
    set_error_messages_to_stderr(false);
    return exit_code;
}

namespace {
// What app_startup runs: the subsystems' installers, then the windows'.
struct Installers {
    std::vector<std::function<void()>> subsystems;
    std::vector<std::function<void()>> windows;
};
std::vector<std::function<void()>>& subsystem_installers() { return session_part<Installers>().subsystems; }
std::vector<std::function<void()>>& window_installers() { return session_part<Installers>().windows; }
}  // namespace

void register_subsystem(std::function<void()> install) { subsystem_installers().push_back(std::move(install)); }
void register_window_installer(std::function<void()> install) { window_installers().push_back(std::move(install)); }

void app_startup() {
    if (shell().started) app_shutdown();
    help_init(shell_program_folder());
    read_env_switches();
    for (const char* name : ACCELERATOR_TABLES) accelerator_resource(name);
    load_app_settings(backend().settings());
    register_shell_commands();
    for (const std::function<void()>& install : subsystem_installers()) install();
    shell().started = true;   // from here on shutdown has windows to save and release
    create_windows();
    for (const std::function<void()>& install : window_installers()) install();
    first_run_check();
}

bool open_command_line_file(const std::string& path) {
    if (path.empty()) return true;
    if (is_batch_path(path)) {
        batch_mode() = true;
        if (!shell().batch_starter) throw MessageText("Batch import is not available in this version");
        shell().batch_starter(path);
        return true;
    }
    // A path relative to the folder the program was started in is kept whole,
    // so that the recent-models list can find it from anywhere.
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(path, ec);
    const int refusals = error_messages_shown();
    try {
        open_by_extension(ec ? path : whole.lexically_normal().string());
    } catch (const MessageText& m) {
        show_error(main_frame().window, m.text);
        return false;
    }
    // An opener that showed its own refusal opened nothing either.
    return error_messages_shown() == refusals;
}

int app_run() { return backend().run_loop(); }

void app_shutdown() {
    if (!shell().started) return;
    shell().started = false;
    for (Frame* f : shutdown_order()) frame_save_placement(*f);
    save_app_settings(backend().settings());
    if (!backend().settings().flush()) {
        const std::string text = with_reason("Korvane: the settings could not be written", backend().settings().flush_failure());
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    for (Frame* f : shutdown_order()) frame_destroy(*f);
    clear_command_registry();
}

bool app_started() { return shell().started; }

bool app_first_run() { return shell().first_run; }

void set_pending_edits_committer(std::function<bool()> committer) {
    shell().pending_edits_committer = std::move(committer);
}

bool commit_pending_edits() {
    const std::function<bool()> commit = shell().pending_edits_committer;
    return !commit || commit();
}

bool request_exit(int exit_code) {
    if (!batch_mode() && !commit_pending_edits()) return false;
    if (model_modified() && !batch_mode()) {
        const WindowId owner = main_frame().window;
        const int answer = ask_save_changes(owner, model_base_name(model_file_path()));
        if (answer == IDCANCEL) return false;
        if (answer == IDYES) {
            try {
                if (!run_command(CMD_SAVE)) return false;
            } catch (const MessageText& m) {
                show_error(owner, m.text);
                return false;
            }
            if (model_modified()) return false;   // the save was cancelled
        }
    }
    backend().quit(exit_code);
    return true;
}

void register_opener(const std::string& extension, FileOpener opener) {
    const std::string ext = lower_case(extension);
    if (opener) shell().openers[ext] = std::move(opener);
    else shell().openers.erase(ext);
}

void open_by_extension(const std::string& path) {
    const std::string ext = file_extension(path);
    auto it = shell().openers.find(ext);
    if (ext.empty() || it == shell().openers.end()) {
        // The kinds of file the program knows, whose reader this build does not have.
        static const char* const known[] = {"mod", "res", "mat", "mdb", "spe", "val", "bli", "flg", "noz", "lug"};
        for (const char* k : known)
            if (ext == k)
                throw MessageText(c_format("Files of type .%s cannot be opened in this version:\n%s", k,
                                           path.c_str()));
        throw MessageText("Invalid file extension");
    }
    FileOpener opener = it->second;
    opener(path);
}

void open_recent_model(WindowId owner, int command) {
    std::vector<std::string>& list = app_settings().recent_models;
    const int index = command - CMD_RECENT_FIRST;
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    const std::string path = list[static_cast<size_t>(index)];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        remove_recent_model(path);
        show_error(owner, (std::filesystem::is_directory(path, ec) ? "Is a folder, not a file:\n" : "File not found:\n") + path);
        return;
    }
    open_by_extension(path);
}

void register_batch_starter(BatchStarter starter) { shell().batch_starter = std::move(starter); }

void set_first_run_action(std::function<void()> action) { shell().first_run_action = std::move(action); }

void set_program_folder(const std::string& folder) { shell().program_folder = folder; }

std::string shell_program_folder() {
    return shell().program_folder.empty() ? program_folder() : shell().program_folder;
}

WindowId command_owner() {
    Frame* f = current_accelerator_frame();
    if (f && f->window) return f->window;
    return main_frame().window;
}
