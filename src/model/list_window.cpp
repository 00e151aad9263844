// The list window, its data lists, modes and command handler.
#include "model/list_window.h"

#include "framework/app_state.h"
#include "framework/command_registry.h"
#include "framework/commands.h"
#include "framework/dialog_helper.h"
#include "framework/errors.h"
#include "framework/frame.h"
#include "framework/messages.h"
#include "framework/shell.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "model/layout_window.h"
#include "model/model.h"
#include "resources/dialogs_layout.h"
#include "resources/menus.h"

#include <algorithm>

namespace {

// The names of the kinds' lists, by RowListId.
const char* const KIND_LIST_NAMES[NUM_ROW_LISTS] = {
    "Bends",          "Miters",          "Jacketed pipes",     "Valves",          "Reducers",
    "Bellows",        "Slip joints",     "Hinge joints",       "Ball joints",     "Rigid elements",
    "Elastic elements", "Cut pipes",     "Beams",              "Tie rods",        "Hydrotest loads",
    "Anchors",        "Restraints",      "Skewed restraints",  "Hangers",         "Guides",
    "Limit stops",    "Nozzles",         "Snubbers",           "Jacket connections", "Flanges",
    "Branch SIFs",    "User SIFs",       "Welds",              "Threaded joints", "Forces",
    "Concentrated masses", "Time-varying loads", "Harmonic loads", "Force spectrum loads", "Generic supports",
};

bool is_data_list(int list_id) { return list_id >= ANCHOR_ROWS; }

struct ListWindowState {
    std::vector<DataList> lists;
    TableWindow* last_table = nullptr;
    std::function<void()> last_reopen;
    ListMode mode;
    bool local_axes = false;
    ListWindowHooks hooks;
};

ListWindowState& state() {
    static ListWindowState s;
    return s;
}

WindowId list_owner() { return list_frame().window ? list_frame().window : command_owner(); }

// The rows of one kind: node, type and description; the row's dialog opens
// on Edit, and Delete removes a data item from its row.
class KindRowsTable : public TableWindow {
public:
    int list_id = 0;

    KindRowsTable() : TableWindow(&list_frame(), 3, 1) {}

    int layout_row(int row) const {
        return row >= 1 && row < static_cast<int>(row_list.size()) ? row_list[static_cast<std::size_t>(row)] : 0;
    }
    bool valid(int row) const { return model().rows.valid(layout_row(row)); }

    void load() {
        const RowList& list = model().list(list_id);
        row_list.assign(1, 0);
        for (int i = 1; i <= list.count && i <= list.rows.size(); ++i) row_list.push_back(list.rows[i]);
        title = KIND_LIST_NAMES[list_id];
        table_set_rows(*this, title, static_cast<int>(row_list.size()) - 1, 0);
        // The current layout row stays current when it is listed.
        auto listed = std::find(row_list.begin() + 1, row_list.end(), model().current_row);
        if (model().current_row != 0 && listed != row_list.end())
            table_set_row(*this, static_cast<int>(listed - row_list.begin()));
        if (frame && table_is_shown(*this)) frame_set_title(*frame, c_format("%s  (%d) ", title.c_str(), record_count()));
    }

    std::string header_text(int column, int line) override {
        static const char* const names[] = {"", "Node", "Type", "Description"};
        return line == 0 && column >= 1 && column <= 3 ? names[column] : "";
    }
    std::string cell_text(int row, int column, int line) override {
        if (line != 0 || !valid(row)) return {};
        const LayoutRow& r = model().rows[layout_row(row)];
        const bool data = is_data_list(list_id);
        switch (column) {
        case 1: return node_text(r.node);
        case 2: return data ? data_item_kind_name(r.dtype, r.data_subtype()) : element_type_name(r.etype);
        case 3:
            if (data) return r.data ? r.data->description() : std::string();
            return r.element ? r.element->description() : std::string();
        default: return {};
        }
    }
    int row_node(int row) override { return valid(row) ? model().rows[layout_row(row)].node : 0; }
    void on_row_changed(int row) override {
        if (valid(row)) select_layout_row(layout_row(row));
    }
    bool edit_row(int row) override {
        if (!valid(row)) return false;
        const int index = layout_row(row);
        const LayoutRow& r = model().rows[index];
        const LayoutHooks& h = layout_hooks();
        const std::function<bool(int)>& dialog = is_data_list(list_id)
                                                     ? h.data_dialog[static_cast<std::size_t>(r.dtype)]
                                                     : h.element_dialog[static_cast<std::size_t>(r.etype)];
        if (!dialog) return false;
        select_layout_row(index);
        if (dialog(index)) {
            model_changed();
            reload_layout_table();
            load();
        }
        return true;
    }
    bool can_delete(int row) override { return is_data_list(list_id) && valid(row); }
    void delete_row(int row) override {
        push_undo_snapshot(list_owner());
        LayoutRow::remove_data_item(layout_row(row));
        model_changed();
        reload_layout_table();
        load();
        focus_layout_table();
    }
    void context_menu(Point) override {
        std::string name;
        if (valid(current_row)) {
            const LayoutRow& r = model().rows[layout_row(current_row)];
            name = is_data_list(list_id) ? data_type_name(r.dtype) : element_type_name(r.etype);
        }
        table_popup_menu(*this, is_data_list(list_id) ? table_popup_show_edit_delete(*this, name)
                                                      : table_popup_show_edit(*this, name));
    }
};

KindRowsTable& kind_table() {
    static KindRowsTable table;
    return table;
}

void add_kind_lists() {
    for (int id = 0; id < NUM_ROW_LISTS; ++id) {
        DataList list;
        list.name = KIND_LIST_NAMES[id];
        list.count = [id] { return model().list(id).count; };
        list.open = [id] { show_kind_rows(id); };
        state().lists.push_back(std::move(list));
    }
}

// The mode's save question, asked when the data set has changes.
bool mode_save_question(WindowId owner) {
    const ListMode& mode = state().mode;
    if (!model_modified) return true;
    if (mode.ask_save) return mode.ask_save(owner);
    const int answer = ask_save_changes(owner, mode.name.empty() ? "Untitled" : mode.name);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES && mode.command) {
        mode.command(CMD_SAVE);
        return !model_modified;
    }
    return true;
}

void route_to_mode(int id) {
    if (const auto& command = state().mode.command) command(id);
}

// A table command for the table the list window shows (or opened last).
bool table_of_list(int id) {
    TableWindow* t = list_window_table();
    if (!t) t = state().last_table;
    if (!t) {
        beep();
        return true;
    }
    table_command(*t, id);
    return true;
}

void toggle_local_axes() {
    if (const auto& erase = model_hooks().erase_highlight) erase();
    state().local_axes = !state().local_axes;
    if (const auto& refresh = state().hooks.refresh_highlight) refresh();
}

// Keeps the Export item beside Print in the list frame's File menu.
void add_export_item(Frame& frame) {
    if (!frame.menu.contains(CMD_EXPORT) && frame.menu.contains(CMD_PRINT)) {
        frame.menu.insert_before(CMD_PRINT, MenuItem{"&Export...", CMD_EXPORT});
        frame_refresh_command_states(frame);
        frame_update_menu(frame);
    }
}

struct DataListChooser : DialogProc {
    std::vector<const DataList*> offered;
    int chosen = -1;
    void init(Dialog&) override {
        for (const DataList* list : offered) dialog_listbox_add(LAYOUT_CHOICE_LIST, data_list_entry(*list));
        dialog_listbox_select(LAYOUT_CHOICE_LIST, 0);
        dialog_set_focus(LAYOUT_CHOICE_LIST);
    }
    void command(Dialog& d, int id, int code) override {
        if (id == LAYOUT_CHOICE_LIST && code == NOTIFY_DBLCLK && ok(d)) d.end(IDOK);
    }
    bool ok(Dialog&) override {
        chosen = dialog_listbox_selection(LAYOUT_CHOICE_LIST);
        if (chosen < 0 || chosen >= static_cast<int>(offered.size()))
            dialog_throw(LAYOUT_CHOICE_LIST, "Select a list");
        return true;
    }
};

}  // namespace

// ===========================================================================
// Data lists

void register_data_list(DataList list) {
    std::vector<DataList>& lists = state().lists;
    auto it = std::find_if(lists.begin(), lists.end(), [&](const DataList& l) { return l.name == list.name; });
    if (it != lists.end())
        *it = std::move(list);
    else
        lists.push_back(std::move(list));
}

void unregister_data_list(const std::string& name) {
    std::vector<DataList>& lists = state().lists;
    lists.erase(std::remove_if(lists.begin(), lists.end(), [&](const DataList& l) { return l.name == name; }),
                lists.end());
}

void reset_data_lists() {
    state().lists.clear();
    add_kind_lists();
}

const std::vector<DataList>& data_lists() {
    if (state().lists.empty()) add_kind_lists();
    return state().lists;
}

std::vector<const DataList*> offered_data_lists() {
    std::vector<const DataList*> offered;
    for (const DataList& list : data_lists()) {
        const int count = list.count ? list.count() : 0;
        if (list.open && (count > 0 || list.input)) offered.push_back(&list);
    }
    return offered;
}

std::string data_list_entry(const DataList& list) {
    return c_format("%s (%d)", list.name.c_str(), list.count ? list.count() : 0);
}

bool data_list_command(WindowId owner) {
    if (model_rebuild_needed()) make_model();
    DataListChooser proc;
    proc.offered = offered_data_lists();
    if (proc.offered.empty()) {
        message_info(owner, "There are no data lists to show");
        return false;
    }
    if (run_dialog(DATA_LISTS_DIALOG, proc, owner) != IDOK || proc.chosen < 0) return false;
    // Copied: opening a list may register lists of its own.
    const std::function<void()> open = proc.offered[static_cast<std::size_t>(proc.chosen)]->open;
    open();
    return true;
}

void show_kind_rows(int list_id) {
    if (list_id < 0 || list_id >= NUM_ROW_LISTS) return;
    KindRowsTable& t = kind_table();
    if (model_rebuild_needed()) make_model();
    t.list_id = list_id;
    t.current_row = 1;
    t.top_row = 0;
    show_in_list_window(t);
    t.load();
    set_last_table_opener(t, [] { kind_table().load(); });
}

// ===========================================================================
// The window

TableView& list_view() {
    static TableView view;
    return view;
}

void create_list_window() {
    Frame& frame = list_frame();
    if (!frame.window) throw MessageText("Unable to create window KorvaneList");
    list_view().create(frame);
    add_export_item(frame);
}

void destroy_list_window() {
    table_attach(list_view(), nullptr);
    list_view().destroy();
}

void show_in_list_window(TableWindow& table) {
    TableView& view = list_view();
    if (view.table() != &table) table_attach(view, &table);
    Frame& frame = list_frame();
    if (frame.window && !batch_mode) frame_activate(frame, nullptr);
    table_set_focus(table);
}

TableWindow* list_window_table() { return list_view().table(); }

void close_list_window() {
    table_attach(list_view(), nullptr);
    frame_hide(list_frame());
}

void set_last_table_opener(TableWindow& table, std::function<void()> reopen) {
    state().last_table = &table;
    state().last_reopen = std::move(reopen);
}

void clear_last_table_opener() {
    state().last_table = nullptr;
    state().last_reopen = nullptr;
}

TableWindow* last_opened_table() { return state().last_table; }

void refresh_list_window() {
    TableWindow* t = state().last_table;
    if (t && list_view().table() == t && state().last_reopen) {
        const std::function<void()> reopen = state().last_reopen;
        reopen();
    }
}

// ===========================================================================
// Modes

void enter_list_mode(ListMode mode) {
    state().mode = std::move(mode);
    if (state().mode.bars && list_frame().window) frame_set_bars(list_frame(), *state().mode.bars);
}

void leave_list_mode() {
    const bool had_bars = state().mode.bars != nullptr;
    state().mode = ListMode{};
    if (had_bars && list_frame().window) frame_set_bars(list_frame(), toolbar_resource("LIST_TOOLBAR"));
}

const ListMode& list_mode() { return state().mode; }
bool in_library_mode() { return state().mode.kind == ListMode::Library; }
bool in_qualification_mode() { return state().mode.kind == ListMode::Qualification; }

bool local_axes_display() { return state().local_axes; }
void set_local_axes_display(bool on) { state().local_axes = on; }
ListWindowHooks& list_window_hooks() { return state().hooks; }

// ===========================================================================
// Commands

bool ListCommand(int id) {
    const ListMode& mode = state().mode;
    const WindowId owner = list_owner();

    if (mode.kind == ListMode::Qualification) {
        switch (id) {
        case CMD_NEW:
        case CMD_OPEN:
            if (mode_save_question(owner)) route_to_mode(id);
            return true;
        case CMD_CLOSE:
        case CMD_PRINT:
        case CMD_UNITS: route_to_mode(id); return true;
        case CMD_SAVE:
        case CMD_SAVE_AS: return true;   // a qualification data set is saved by its own window
        default:
            if (mode.analyze_command != 0 && id == mode.analyze_command) {
                route_to_mode(id);
                return true;
            }
            break;
        }
    } else if (mode.kind == ListMode::Library) {
        switch (id) {
        case CMD_NEW:
        case CMD_OPEN:
        case CMD_CLOSE:
            if (mode_save_question(owner)) route_to_mode(id);
            return true;
        case CMD_SAVE:
        case CMD_SAVE_AS: route_to_mode(id); return true;
        default: break;
        }
    }

    switch (id) {
    case CMD_PRINT: {
        // Without a print command of the program's own, the shown table prints.
        TableWindow* t = list_window_table();
        if (command_available(CMD_PRINT) || !t) return false;
        table_print_sheet(*t, owner);
        return true;
    }
    case CMD_EDIT_ROW:
    case CMD_DELETE:
    case CMD_INSERT: return table_of_list(id);
    case CMD_COPY:
    case CMD_PASTE:
        if (in_results) return true;   // the results are not edited
        return table_of_list(id);
    case CMD_EXPORT: {
        TableWindow* t = state().last_table;
        if (!t) {
            beep();
            return true;
        }
        if (state().last_reopen) {
            const std::function<void()> reopen = state().last_reopen;
            reopen();
        }
        table_export_csv(*t, owner);
        return true;
    }
    case CMD_LIST: data_list_command(owner); return true;
    case CMD_LOCAL_AXES: toggle_local_axes(); return true;
    case CMD_FIND_NODE: {
        TableWindow* t = list_window_table();
        if (!t) {
            beep();
            return true;
        }
        table_find_node_command(*t, [](const std::string& text, int& node) {
            return parse_node_text_code(text, node) == 0;
        });
        return true;
    }
    case CMD_GO_BACK:
        show_main_window();
        focus_layout_table();
        return true;
    case CMD_LIBRARY:
    case CMD_AISC_LIBRARY: {
        // The beam-sections table serves its library picks itself.
        TableWindow* t = list_window_table();
        return t && t->on_command(id);
    }
    default: return false;
    }
}

const std::set<int>& list_command_ids() {
    static const std::set<int> ids = {
        CMD_NEW,       CMD_OPEN,   CMD_CLOSE,  CMD_SAVE,         CMD_SAVE_AS,        CMD_PRINT,
        CMD_UNITS,     CMD_EDIT_ROW, CMD_DELETE, CMD_INSERT,     CMD_COPY,           CMD_PASTE,
        CMD_EXPORT,    CMD_LIST,   CMD_LOCAL_AXES, CMD_FIND_NODE, CMD_GO_BACK,       CMD_FLANGE_ANALYZE,
        CMD_NOZZLE_ANALYZE, CMD_LUG_ANALYZE, CMD_LIBRARY, CMD_AISC_LIBRARY,
    };
    return ids;
}

bool list_window_close() {
    Frame& frame = list_frame();
    if (state().mode.kind != ListMode::Model) {
        if (!mode_save_question(frame.window)) return false;
        const std::function<void()> leave = state().mode.leave;
        if (leave) leave();
        if (state().mode.kind != ListMode::Model) leave_list_mode();
        Frame& main = main_frame();
        if (main.close_handler) {
            const std::function<bool()> close = main.close_handler;
            close();
        }
        return false;
    }
    frame_hide(frame);
    show_main_window();
    return false;
}

void install_list_window_commands() {
    Frame& frame = list_frame();
    for (int id : list_command_ids()) {
        frame_register_command(frame, id, [](int command) {
            if (!ListCommand(command) && !run_command(command)) beep();
        });
    }
    frame.close_handler = list_window_close;
    register_command(CMD_LIST, [](int) { data_list_command(command_owner()); });
    register_command(CMD_LOCAL_AXES, [](int) { toggle_local_axes(); });
    if (frame.window) add_export_item(frame);
}

void reset_list_window() {
    if (list_view().table()) table_attach(list_view(), nullptr);
    ListWindowState& s = state();
    s.lists.clear();
    add_kind_lists();
    s.last_table = nullptr;
    s.last_reopen = nullptr;
    s.mode = ListMode{};
    s.local_axes = false;
    s.hooks = ListWindowHooks{};
}
