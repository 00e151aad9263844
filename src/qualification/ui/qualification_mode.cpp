#include "qualification/ui/qualification_mode.h"

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
#include "framework/ui/table.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/units_dialog.h"

#include <array>
#include <filesystem>
#include <map>
#include <optional>

namespace {

constexpr std::size_t KINDS = 3;
std::size_t slot(QualificationKind kind) { return static_cast<std::size_t>(kind); }

struct QualificationModeState {
    std::array<std::optional<QualificationWindow>, KINDS> windows;
    std::array<std::string, KINDS> paths;
    std::array<std::string, KINDS> directories;
    bool active = false;
    QualificationKind kind = QualificationKind::Flange;
    // What the list window had before the mode took it over.
    ListFrameLoan list_loan;
    // The user's unit choices, back on leaving.
    UnitChoices user_units{};
};
QualificationModeState& state() { return session_part<QualificationModeState>(); }

const QualificationWindow& current() { return qualification_window(state().kind); }

std::string file_name(const std::string& path)
{
    return path.empty() ? std::string("Untitled") : std::filesystem::path(path).filename().string();
}

WindowId owner_window() { return list_frame().window ? list_frame().window : command_owner(); }

// The path of the kind, its folder and, in the mode, the titles and the
// report's file name.
void set_path(QualificationKind kind, const std::string& path)
{
    QualificationModeState& s = state();
    s.paths[slot(kind)] = path;
    if (!path.empty())
        s.directories[slot(kind)] = folder_of(path);
    if (!s.active || s.kind != kind)
        return;
    if (path.empty())
        clear_report_file_path();
    else
        set_report_file_path(path);
    set_title_file_text(title_file_for_path(path));
    ListMode mode = list_mode();
    mode.name = file_name(path);
    enter_list_mode(std::move(mode));
}

void mode_command(int id)
{
    const QualificationWindow& w = current();
    const WindowId owner = owner_window();
    switch (id) {
    case CMD_NEW: new_file_command(owner, true); return;
    case CMD_OPEN: open_command(owner, true); return;
    case CMD_CLOSE:
        close_model();
        present_layout_window();
        return;
    case CMD_SAVE: save_qualification(owner); return;
    case CMD_SAVE_AS: save_qualification_as(owner); return;
    case CMD_PRINT: print_qualification(owner); return;
    case CMD_UNITS:
        units_dialog(owner);
        w.refresh();
        return;
    case CMD_EXIT: list_window_close(); return;
    default:
        if (id == w.analyze_command)
            analyze_qualification(owner);
        else if (id == w.edit_command)
            w.edit(owner);
        return;
    }
}

// Makes the kind's mode the list window's: `load` runs after the user's
// unit choices were remembered (a file's data and units).
void enter(QualificationKind kind, const std::function<void()>& load)
{
    QualificationModeState& s = state();
    KV_ASSERT(!s.active);
    const QualificationWindow& w = qualification_window(kind);
    s.user_units = unit_choice();
    if (load)
        load();
    s.active = true;
    s.kind = kind;

    Frame& list = list_frame();
    s.list_loan = lend_list_frame(w.menu, w.accelerators, saved_placement(w.placement_name));

    ListMode mode;
    mode.kind = ListMode::Qualification;
    mode.name = file_name(s.paths[slot(kind)]);
    mode.ask_save = [](WindowId owner) { return query_save_qualification(owner) != IDCANCEL; };
    mode.command = mode_command;
    mode.leave = leave_qualification_mode;
    mode.analyze_command = w.analyze_command;
    mode.bars = &toolbar_resource("QUALIFICATION_TOOLBAR");
    mode.commands = {w.edit_command, CMD_EXIT};
    enter_list_mode(std::move(mode));

    frame_set_title(list, w.title);
    set_path(kind, s.paths[slot(kind)]);
    TableWindow& table = w.table();
    table_reset(table);
    table.editing_allowed = false;
    w.refresh();
    if (list.window) {
        show_in_list_window(table);
        if (batch_mode())
            frame_make_current(list);
    }
}

}  // namespace

void register_qualification_window(const QualificationWindow& window)
{
    state().windows[slot(window.kind)] = window;
    const QualificationKind kind = window.kind;
    register_opener(window.extension, [kind](const std::string& path) { open_qualification_file(kind, path); });
    static const std::map<QualificationKind, NewDocumentKind> NEW_KINDS = {
        {QualificationKind::Flange, NEW_KIND_FLANGE},
        {QualificationKind::Lug, NEW_KIND_LUG},
        {QualificationKind::Nozzle, NEW_KIND_NOZZLE},
    };
    model_file_hooks().new_document[NEW_KINDS.at(kind)] = [kind](WindowId) { new_qualification(kind); };
}

const QualificationWindow& qualification_window(QualificationKind kind)
{
    const std::optional<QualificationWindow>& w = state().windows[slot(kind)];
    KV_ASSERT(w.has_value());
    return *w;
}

const std::string& qualification_file_path(QualificationKind kind) { return state().paths[slot(kind)]; }

bool qualification_mode_active() { return state().active; }

bool qualification_mode_is(QualificationKind kind) { return state().active && state().kind == kind; }

void new_qualification(QualificationKind kind)
{
    close_model();
    state().paths[slot(kind)].clear();
    set_title_file_text("Untitled");
    enter(kind, [kind] { qualification_window(kind).defaults(); });
    // The defaults are nothing the user would lose: only a change asks to be saved.
    model_modified() = false;
}

void open_qualification_file(QualificationKind kind, const std::string& path)
{
    const WindowId owner = command_owner();
    if (!open_discard_confirmed()) {
        const bool go_on = in_qualification_mode() ? query_save_qualification(owner) != IDCANCEL
                                                   : confirm_discard_model(owner);
        if (!go_on)
            return;
    }
    QualificationRead read;
    try {
        read = qualification_window(kind).read(path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return;
    }
    close_model();
    enter(kind, [&] {
        read.commit();
        unit_choice() = read.units;
        state().paths[slot(kind)] = path;
    });
    model_modified() = false;
}

void leave_qualification_mode()
{
    QualificationModeState& s = state();
    if (!s.active)
        return;
    const QualificationWindow& w = current();
    s.paths[slot(s.kind)].clear();
    clear_report_file_path();

    Frame& list = list_frame();
    if (list.window)
        store_placement(w.placement_name, backend().placement(list.window));
    return_list_frame(s.list_loan);

    s.active = false;
    leave_list_mode();
    frame_make_current(main_frame());
    model_modified() = false;
    unit_choice() = s.user_units;
    set_title_file_text(title_file_for_path(model_file_path()));
    notify_document_changed();
}

int query_save_qualification(WindowId owner)
{
    const int answer = ask_save_changes(owner, file_name(state().paths[slot(state().kind)]));
    if (answer != IDYES)
        return answer;
    return save_qualification(owner) ? IDYES : IDCANCEL;
}

bool save_qualification(WindowId owner)
{
    QualificationModeState& s = state();
    const std::string& path = s.paths[slot(s.kind)];
    if (path.empty())
        return save_qualification_as(owner);
    try {
        current().write(path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return false;
    }
    model_modified() = false;
    info_dialog(owner, current().saved_text);
    return true;
}

bool save_qualification_as(WindowId owner)
{
    QualificationModeState& s = state();
    const QualificationWindow& w = current();
    FileDialogRequest r;
    r.title = w.save_as_title;
    r.filters = {{w.filter, "*." + w.extension}};
    r.default_extension = w.extension;
    const std::string& path = s.paths[slot(s.kind)];
    r.initial_path = path.empty() ? s.directories[slot(s.kind)] : path;
    r.must_exist = false;
    r.confirm_overwrite = true;
    if (!save_file_dialog_path(owner, r))
        return false;
    const std::string chosen = ofn_file_path();
    try {
        w.write(chosen);
    } catch (const MessageText& m) {
        // The data set keeps the name it had until it has been written.
        message_error(owner, m.text);
        return false;
    }
    set_path(s.kind, chosen);
    model_modified() = false;
    info_dialog(owner, w.saved_text);
    return true;
}

void analyze_qualification(WindowId owner)
{
    if (model_modified() && query_save_qualification(owner) != IDYES)
        return;
    current().analyze();
    current().refresh();
}

void print_qualification(WindowId owner)
{
    const QualificationWindow& w = current();
    print_sheet(owner, ReportJob{w.title, w.write_report, false});
}

// ---- Resources ----------------------------------------------------------------------

namespace {

using menu::item;
using menu::SEPARATOR;
using menu::popup;

MenuTemplate qualification_menu(const std::string& name, int edit, int analyze)
{
    return {name,
            {popup("&File", {item("&New...\tCtrl+N", CMD_NEW), item("&Open...\tCtrl+O", CMD_OPEN),
                             item("&Close", CMD_CLOSE), SEPARATOR, item("&Save\tCtrl+S", CMD_SAVE),
                             item("Save &As...", CMD_SAVE_AS), SEPARATOR, item("&Print...\tCtrl+P", CMD_PRINT),
                             SEPARATOR, item("E&xit\tAlt+F4", CMD_EXIT)}),
             popup("&Edit", {item("&Edit\tCtrl+E", edit)}),
             popup("&Analyze", {item("Analy&ze", analyze)}),
             popup("&Options", {item("&Units...\tCtrl+U", CMD_UNITS), SEPARATOR, item("&Font...", CMD_FONT)}),
             popup("&Help", {item("&Help", CMD_HELP), SEPARATOR, item("&About...", CMD_ABOUT)})}};
}

AcceleratorTable qualification_keys(const std::string& name, int edit)
{
    return {name,
            {{'N', MOD_CONTROL, CMD_NEW},
             {'O', MOD_CONTROL, CMD_OPEN},
             {'S', MOD_CONTROL, CMD_SAVE},
             {'P', MOD_CONTROL, CMD_PRINT},
             {'E', MOD_CONTROL, edit},
             {'U', MOD_CONTROL, CMD_UNITS},
             {'I', MOD_CONTROL, CMD_INSERT},
             {KEY_INSERT, MOD_CONTROL, CMD_INSERT},
             {'X', MOD_CONTROL, CMD_DELETE},
             {KEY_F1, MOD_NONE, CMD_HELP}}};
}

}  // namespace

void install_qualification_resources()
{
    add_menu_resource(qualification_menu("FLANGE_ANALYSIS", CMD_FLANGE_EDIT, CMD_FLANGE_ANALYZE));
    add_menu_resource(qualification_menu("LUG_EVALUATION", CMD_LUG_EDIT, CMD_LUG_ANALYZE));
    add_menu_resource(qualification_menu("NOZZLE_QUALIFICATION", CMD_NOZZLE_EDIT, CMD_NOZZLE_ANALYZE));
    add_accelerator_resource(qualification_keys("FLANGE_ACCEL", CMD_FLANGE_EDIT));
    // Ctrl+E edits the lug's input (the Edit item's own command).
    add_accelerator_resource(qualification_keys("LUG_ACCEL", CMD_LUG_EDIT));
    add_accelerator_resource(qualification_keys("NOZZLE_ACCEL", CMD_NOZZLE_EDIT));

    ToolBarPair bars;
    bars.name = "QUALIFICATION_TOOLBAR";
    const std::vector<ToolButton> buttons = {
        {CMD_NEW, "new", "New"},     {CMD_OPEN, "open", "Open"}, {CMD_SAVE, "save", "Save"},
        {CMD_PRINT, "print", "Print"}, ToolButton{},             {CMD_HELP, "help", "Help"},
    };
    bars.large = ToolBar{bars.name, true, buttons};
    bars.small = ToolBar{bars.name, false, buttons};
    add_toolbar_resource(bars);
}
