#include "materials/ui/library_mode.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <filesystem>
#include <map>
#include <optional>

namespace {

struct LibraryModeState {
    bool active = false;
    LibraryWindow window;
    // What the list window had before the library took it over.
    ListFrameLoan list_loan;
    // The user's choices, back on leaving.
    UnitChoices user_units{};
    int32_t user_code = 0;
    // Placements of the kinds not kept in the settings.
    std::map<LibraryKind, WindowPlacement> placements;
};
LibraryModeState& state() { return session_part<LibraryModeState>(); }

std::optional<WindowPlacement> library_placement(const LibraryWindow& w)
{
    if (!w.placement_name.empty())
        return saved_placement(w.placement_name);
    const auto it = state().placements.find(w.kind);
    return it == state().placements.end() ? std::nullopt : std::optional<WindowPlacement>(it->second);
}

std::string file_name(const std::string& path)
{
    return path.empty() ? std::string("Untitled") : std::filesystem::path(path).filename().string();
}

// The commands every library window serves the same way.
void library_command(int id)
{
    const LibraryWindow& w = state().window;
    const WindowId owner = list_frame().window ? list_frame().window : command_owner();
    switch (id) {
    case CMD_NEW: new_file_command(owner, true); return;
    case CMD_OPEN: open_command(owner, true); return;
    case CMD_CLOSE:
        close_model();
        present_layout_window();
        return;
    case CMD_SAVE: w.save(owner); return;
    case CMD_SAVE_AS: w.save_as(owner); return;
    case CMD_EXIT: list_window_close(); return;
    default:
        if (w.command)
            w.command(id);
        return;
    }
}

}  // namespace

void enter_library_mode(const LibraryWindow& window, const std::function<void()>& load)
{
    LibraryModeState& s = state();
    KV_ASSERT(!s.active);
    s.user_units = unit_choice();
    s.user_code = piping_code();
    if (load)
        load();
    s.window = window;
    s.active = true;

    Frame& list = list_frame();
    s.list_loan = lend_list_frame(window.menu, window.accelerators, library_placement(window));

    ListMode mode;
    mode.kind = ListMode::Library;
    mode.name = file_name(window.path());
    mode.ask_save = window.ask_save;
    mode.command = library_command;
    mode.leave = leave_library_mode;
    mode.bars = &toolbar_resource("LIBRARY_TOOLBAR");
    mode.commands = window.commands;
    for (int id : {CMD_NEW, CMD_OPEN, CMD_CLOSE, CMD_SAVE, CMD_SAVE_AS, CMD_EXIT})
        mode.commands.insert(id);
    enter_list_mode(std::move(mode));
    if (list.window)
        for (int id : window.buttons)
            frame_show_button(list, id);

    window.set_mode_flag(true);
    library_path_changed(window.kind, window.path());
    model_modified() = false;
    if (list.window && !batch_mode())
        frame_bring_to_front(list);
    else
        frame_make_current(list);
    window.open_table();
}

void leave_library_mode()
{
    LibraryModeState& s = state();
    if (!s.active)
        return;
    const LibraryWindow w = s.window;
    w.path().clear();
    clear_report_file_path();

    Frame& list = list_frame();
    if (list.window) {
        const WindowPlacement p = backend().placement(list.window);
        if (w.placement_name.empty())
            s.placements[w.kind] = p;
        else
            store_placement(w.placement_name, p);
    }
    return_list_frame(s.list_loan);
    if (list.window)
        for (int id : w.buttons)
            frame_hide_button(list, id);

    s.active = false;
    s.window = LibraryWindow{};
    leave_list_mode();
    w.set_mode_flag(false);
    frame_make_current(main_frame());
    model_modified() = false;
    w.empty_records();
    unit_choice() = s.user_units;
    piping_code() = s.user_code;
    set_title_file_text(title_file_for_path(model_file_path()));
    notify_document_changed();
}

bool library_mode_active() { return state().active; }

bool library_mode_is(LibraryKind kind) { return state().active && state().window.kind == kind; }

void library_path_changed(LibraryKind kind, const std::string& path)
{
    if (!library_mode_is(kind))
        return;
    set_report_file_path(path);
    set_title_file_text(title_file_for_path(path));
}

// ---- File operations ----------------------------------------------------------------

bool save_library(const LibraryFile& file, WindowId owner)
{
    try {
        file.write(file.path());
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return false;
    }
    model_modified() = false;
    info_dialog(owner, std::string(library_file_kind(file.kind).title) + " saved");
    return true;
}

bool save_library_as(const LibraryFile& file, WindowId owner)
{
    const LibraryFileKind& kind = library_file_kind(file.kind);
    const std::string ext = kind.extension;
    FileDialogRequest r;
    r.title = std::string("Save ") + kind.title + " As";
    r.filters = {{std::string(kind.title) + " files (*." + ext + ")", "*." + ext}};
    if (file.kind == LibraryKind::Beam)
        r.filters = {{"Beam Section Library files (*.bli)", "*.bli"}};
    r.default_extension = ext;
    const std::string& path = file.path();
    r.initial_path = path.empty() ? file.directory() : path;
    r.must_exist = false;
    r.confirm_overwrite = true;
    if (!save_file_dialog_path(owner, r))
        return false;
    const std::string chosen = ofn_file_path();
    const std::string before = file.path();
    file.set_path(chosen);
    if (!save_library(file, owner)) {
        // The library keeps the name it had until it has been written.
        file.set_path(before);
        return false;
    }
    if (library_mode_is(file.kind)) {
        ListMode mode = list_mode();
        mode.name = file_name(chosen);
        enter_list_mode(std::move(mode));
    }
    return true;
}

bool save_library_command(const LibraryFile& file, WindowId owner)
{
    return file.path().empty() ? save_library_as(file, owner) : save_library(file, owner);
}

bool ask_save_library(const LibraryFile& file, WindowId owner)
{
    const int answer = ask_save_changes(owner, file_name(file.path()));
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES)
        return save_library_command(file, owner) && !model_modified();
    return true;
}

std::string library_dialog_start(const std::string& path, const std::string& directory)
{
    if (!path.empty())
        return path;
    if (!directory.empty())
        return directory;
    // The closing slash makes the file dialog take it as a folder.
    const std::string program = shell_program_folder();
    return program.empty() ? std::string() : program + "/";
}

std::string choose_library_file(const LibraryFile& file, WindowId owner, const std::vector<FileFilter>& filters)
{
    const LibraryFileKind& kind = library_file_kind(file.kind);
    FileDialogRequest r;
    r.title = std::string("Open ") + kind.title;
    r.filters = filters;
    if (r.filters.empty()) {
        const std::string ext = kind.extension;
        r.filters = {{std::string(kind.title) + " files (*." + ext + ")", "*." + ext}};
    }
    r.default_extension = kind.extension;
    r.initial_path = library_dialog_start(file.path(), file.directory());
    r.must_exist = true;
    if (!open_file_dialog_path(owner, r))
        return {};
    return ofn_file_path();
}

bool check_library_extension(const LibraryFile& file, WindowId owner, const std::string& path)
{
    const LibraryFileKind& kind = library_file_kind(file.kind);
    if (file_extension(path) == kind.extension)
        return true;
    message_error(owner, std::string("File extension must be : ") + kind.extension);
    return false;
}

void close_model_for_library() { close_model(); }

// ---- Resources ----------------------------------------------------------------------

namespace {

using menu::item;
using menu::SEPARATOR;
using menu::popup;

// File: the library's document commands, and `extra` before Print.
MenuItem file_popup(const std::vector<MenuItem>& extra)
{
    std::vector<MenuItem> items = {
        item("&New...\tCtrl+N", CMD_NEW), item("&Open...\tCtrl+O", CMD_OPEN), item("&Close", CMD_CLOSE), SEPARATOR,
        item("&Save\tCtrl+S", CMD_SAVE),  item("Save &As...", CMD_SAVE_AS),  SEPARATOR,
    };
    if (!extra.empty()) {
        items.insert(items.end(), extra.begin(), extra.end());
        items.push_back(SEPARATOR);
    }
    for (const MenuItem& i : {item("&Print...\tCtrl+P", CMD_PRINT), SEPARATOR, item("E&xit\tAlt+F4", CMD_EXIT)})
        items.push_back(i);
    return popup("&File", items);
}

MenuItem edit_popup(const std::vector<MenuItem>& extra)
{
    std::vector<MenuItem> items = {item("&Edit\tCtrl+E", CMD_EDIT_ROW), item("&Insert\tCtrl+Ins", CMD_INSERT),
                                   item("&Delete\tCtrl+X", CMD_DELETE)};
    if (!extra.empty()) {
        items.push_back(SEPARATOR);
        items.insert(items.end(), extra.begin(), extra.end());
    }
    return popup("&Edit", items);
}

MenuItem options_popup(const std::vector<MenuItem>& first)
{
    std::vector<MenuItem> items = first;
    items.push_back(item("&Units...\tCtrl+U", CMD_UNITS));
    items.push_back(SEPARATOR);
    items.push_back(item("&Font...", CMD_FONT));
    return popup("&Options", items);
}

MenuItem help_popup() { return popup("&Help", {item("&Help", CMD_HELP), SEPARATOR, item("&About...", CMD_ABOUT)}); }

AcceleratorTable library_keys(const std::string& name, bool copy_paste)
{
    AcceleratorTable t{name,
                       {{'N', MOD_CONTROL, CMD_NEW},
                        {'O', MOD_CONTROL, CMD_OPEN},
                        {'S', MOD_CONTROL, CMD_SAVE},
                        {'P', MOD_CONTROL, CMD_PRINT},
                        {'U', MOD_CONTROL, CMD_UNITS},
                        {'E', MOD_CONTROL, CMD_EDIT_ROW},
                        {KEY_INSERT, MOD_CONTROL, CMD_INSERT},
                        {'X', MOD_CONTROL, CMD_DELETE},
                        {KEY_F1, MOD_NONE, CMD_HELP}}};
    if (copy_paste) {
        t.entries.push_back({'C', MOD_CONTROL, CMD_COPY});
        t.entries.push_back({'V', MOD_CONTROL, CMD_PASTE});
    }
    return t;
}

}  // namespace

void install_library_resources()
{
    add_menu_resource({"MATLIB_MENU",
                       {file_popup({item("Im&port...", CMD_LIBRARY_IMPORT), item("&Export...", CMD_LIBRARY_EXPORT)}),
                        popup("&Edit", {item("&Edit\tCtrl+E", CMD_EDIT_ROW), item("&Insert\tCtrl+Ins", CMD_INSERT),
                                        item("&Delete\tCtrl+X", CMD_DELETE), SEPARATOR,
                                        item("Copy..\tCtrl+C", CMD_COPY), item("Paste..\tCtrl+V", CMD_PASTE)}),
                        options_popup({item("&Piping code...", CMD_PIPING_CODE)}), help_popup()}});
    add_menu_resource({"BEAMLIB_MENU", {file_popup({}), edit_popup({}), options_popup({}), help_popup()}});
    add_menu_resource({"VALVLIB_MENU",
                       {file_popup({}), edit_popup({item("&Find and Replace", CMD_FIND_REPLACE)}), options_popup({}),
                        help_popup()}});
    // The spectrum library's window: its records and table are the loads layer's.
    add_menu_resource({"SPECLIB_MENU",
                       {file_popup({}), edit_popup({}),
                        options_popup({item("&Read Spectrum...", CMD_READ_SPECTRUM),
                                       item("&Spectrum...", CMD_SPECTRUM_OPTIONS)}),
                        help_popup()}});
    add_accelerator_resource(library_keys("MATLIB_ACCEL", true));
    add_accelerator_resource(library_keys("BEAMLIB_ACCEL", false));
    add_accelerator_resource(library_keys("VALVLIB_ACCEL", false));
    add_accelerator_resource(library_keys("SPECLIB_ACCEL", false));

    ToolBarPair bars;
    bars.name = "LIBRARY_TOOLBAR";
    const std::vector<ToolButton> buttons = {
        {CMD_NEW, "new", "New"},
        {CMD_OPEN, "open", "Open"},
        {CMD_SAVE, "save", "Save"},
        {CMD_PRINT, "print", "Print"},
        ToolButton{},
        {CMD_LIBRARY, "library", "Beam Library"},
        {CMD_AISC_LIBRARY, "aisc", "AISC Beam Library"},
        ToolButton{},
        {CMD_HELP, "help", "Help"},
    };
    bars.large = ToolBar{bars.name, true, buttons};
    bars.small = ToolBar{bars.name, false, buttons};
    bars.hidden = {CMD_LIBRARY, CMD_AISC_LIBRARY};
    add_toolbar_resource(bars);
}
