// The list window, its data lists, modes and command handler.
#include "model/ui/list_window.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/layout_window.h"

#include <algorithm>

namespace {

// The names of the kinds' lists, by RowListId.
const char* const KIND_LIST_NAMES[NUM_ROW_LISTS] = {
    "Bends",          "Miter bends",     "Jacketed pipes",     "Valves",          "Reducers",
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
    return session_part<ListWindowState>();
}

WindowId list_owner() { return list_frame().window ? list_frame().window : command_owner(); }

// The rows of one kind: node, type and description; the row's dialog opens
// on Edit, and Delete removes a data item from its row.
class KindRowsTable : public LayoutRowsTable {
public:
    int list_id = 0;

    KindRowsTable() : LayoutRowsTable(&list_frame(), 3, 1) {}

    bool valid(int row) const { return model().rows.valid(layout_row(row)); }

    void load() {
        title = KIND_LIST_NAMES[list_id];
        list_rows(list_id, title, true);
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
    return session_part<KindRowsTable>();
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
    if (!model_modified()) return true;
    if (mode.ask_save) return mode.ask_save(owner);
    const int answer = ask_save_changes(owner, mode.name.empty() ? "Untitled" : mode.name);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES && mode.command) {
        mode.command(CMD_SAVE);
        return !model_modified();
    }
    return true;
}

void route_to_mode(int id) {
    if (const auto& command = state().mode.command) command(id);
}

// A table command for the table the list window shows (or opened last).
bool table_of_list(int id) {
    TableWindow* t = list_lower_pane_active() ? list_lower_table() : list_window_table();
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

// When a list command can be served now (empty: whenever the list window is
// there); the registry serves what the list window does not.
std::function<bool()> list_command_test(int id) {
    switch (id) {
    case CMD_LIBRARY:
    case CMD_AISC_LIBRARY:
        return [id] {
            TableWindow* t = list_window_table();
            return (t && t->serves_command(id)) || command_available(id);
        };
    case CMD_FLANGE_ANALYZE:
    case CMD_NOZZLE_ANALYZE:
    case CMD_LUG_ANALYZE: return [id] { return state().mode.analyze_command == id || command_available(id); };
    case CMD_EXPORT: return [] { return state().last_table != nullptr; };
    case CMD_FIND_NODE: return [] { return list_window_table() != nullptr; };
    case CMD_PRINT:
        return [] {
            return state().mode.kind == ListMode::Qualification || command_available(CMD_PRINT) ||
                   list_window_table() != nullptr;
        };
    default: return {};
    }
}

// The list frame's items and buttons after what they depend on changed.
void update_list_commands() {
    if (list_frame().window) frame_update_menu(list_frame());
}

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

namespace {

constexpr int SPLIT_BAR = 5;                 // height of the bar between the panes
constexpr double DEFAULT_LOWER_SHARE = 0.4;
constexpr double MIN_LOWER_SHARE = 0.1;
constexpr double MAX_LOWER_SHARE = 0.9;
constexpr Color SPLIT_BAR_COLOR = rgb(212, 212, 212);

// Draws on one pane of a larger surface: coordinates move by the pane's top
// left, and drawing stays inside the pane.
class PaneSurface final : public Surface {
public:
    PaneSurface(Surface& base, const Rect& pane) : base_(base), pane_(pane) { base_.set_clip(pane_); }
    ~PaneSurface() override { base_.clear_clip(); }
    PaneSurface(const PaneSurface&) = delete;
    PaneSurface& operator=(const PaneSurface&) = delete;

    void set_pen(const Pen& pen) override { base_.set_pen(pen); }
    void set_brush(const Brush& brush) override { base_.set_brush(brush); }
    void set_font(const FontSpec& font) override { base_.set_font(font); }
    void set_text_color(Color c) override { base_.set_text_color(c); }
    void set_background(Color c, bool opaque) override { base_.set_background(c, opaque); }
    TextMetrics text_metrics() override { return base_.text_metrics(); }
    int text_width(const std::string& text) override { return base_.text_width(text); }
    void move_to(int x, int y) override { base_.move_to(x + pane_.left, y + pane_.top); }
    void line_to(int x, int y) override { base_.line_to(x + pane_.left, y + pane_.top); }
    void line(int x1, int y1, int x2, int y2) override {
        base_.line(x1 + pane_.left, y1 + pane_.top, x2 + pane_.left, y2 + pane_.top);
    }
    void polyline(const std::vector<Point>& points) override { base_.polyline(moved(points)); }
    void polygon(const std::vector<Point>& points) override { base_.polygon(moved(points)); }
    void rectangle(const Rect& r) override { base_.rectangle(moved(r)); }
    void fill_rect(const Rect& r, Color c) override { base_.fill_rect(moved(r), c); }
    void ellipse(const Rect& r) override { base_.ellipse(moved(r)); }
    void arc(const Rect& r, double start_deg, double sweep_deg) override { base_.arc(moved(r), start_deg, sweep_deg); }
    void bezier(const std::vector<Point>& points) override { base_.bezier(moved(points)); }
    void set_pixel(int x, int y, Color c) override { base_.set_pixel(x + pane_.left, y + pane_.top, c); }
    void text(int x, int y, const std::string& text, TextAlign align) override {
        base_.text(x + pane_.left, y + pane_.top, text, align);
    }
    void set_clip(const Rect& r) override {
        const Rect m = moved(r);
        Rect c{std::max(m.left, pane_.left), std::max(m.top, pane_.top), std::min(m.right, pane_.right),
               std::min(m.bottom, pane_.bottom)};
        c.right = std::max(c.right, c.left);
        c.bottom = std::max(c.bottom, c.top);
        base_.set_clip(c);
    }
    void clear_clip() override { base_.set_clip(pane_); }
    int width() const override { return pane_.width(); }
    int height() const override { return pane_.height(); }
    int dpi_x() const override { return base_.dpi_x(); }
    int dpi_y() const override { return base_.dpi_y(); }

private:
    Rect moved(const Rect& r) const {
        return Rect{r.left + pane_.left, r.top + pane_.top, r.right + pane_.left, r.bottom + pane_.top};
    }
    std::vector<Point> moved(const std::vector<Point>& points) const {
        std::vector<Point> out = points;
        for (Point& p : out) {
            p.x += pane_.left;
            p.y += pane_.top;
        }
        return out;
    }
    Surface& base_;
    Rect pane_;
};

// The list window's client: the shown table in the upper pane and, while a
// table lends one, a second table in the lower pane. Without a lower pane
// the upper pane is the whole client.
class ListPanes final : public ClientEvents {
public:
    TableView upper, lower;
    std::function<void()> write_back;   // the lower table's, into the data
    bool lower_active = false;
    double share = DEFAULT_LOWER_SHARE;
    WindowId window = 0;
    Backend* window_backend = nullptr;
    int width = 0, height = 0;
    bool focused = false;

    ListPanes() = default;
    ListPanes(const ListPanes&) = delete;
    ListPanes& operator=(const ListPanes&) = delete;
    ~ListPanes() override { destroy(); }

    bool split() const { return lower.table() != nullptr; }

    void create(Frame& frame) {
        destroy();
        window_backend = &backend();
        window = backend().create_client(frame.window, this);
        frame.client = window;
        const Rect r = backend().client_rect(window);
        width = r.width();
        height = r.height();
        upper.create_in_host(window, Point{});
        lower.create_in_host(window, Point{});
        arrange();
    }

    void destroy() {
        upper.destroy();
        lower.destroy();
        // Only a window of the backend that made it: ids are not shared between backends.
        if (window && backend_installed() && &backend() == window_backend) backend().destroy_window(window);
        window = 0;
        window_backend = nullptr;
        focused = false;
        dragging_ = false;
        mouse_pane_ = nullptr;
    }

    Rect bar() const {
        if (!split()) return Rect{};
        const int room = std::max(0, height - SPLIT_BAR);
        const int top = std::clamp(room - static_cast<int>(height * share + 0.5), 0, room);
        return Rect{0, top, width, top + SPLIT_BAR};
    }

    void arrange() {
        if (!split()) {
            upper.set_origin(Point{});
            upper.set_size(width, height);
            return;
        }
        const Rect b = bar();
        upper.set_origin(Point{});
        upper.set_size(width, b.top);
        lower.set_origin(Point{0, b.bottom});
        lower.set_size(width, height - b.bottom);
        invalidate();
    }

    void invalidate() {
        if (window && backend_installed() && &backend() == window_backend) backend().invalidate(window);
    }

    // Each pane shows the focus only while it is the active one.
    void show_focus() {
        upper.on_focus(focused && !(split() && lower_active));
        if (split()) lower.on_focus(focused && lower_active);
    }

    bool activate(bool to_lower) {
        if (!split()) {
            lower_active = false;
            return !to_lower;
        }
        if (to_lower == lower_active) return true;
        if (!to_lower) {
            if (!table_end_edit(*lower.table())) return false;
            lower_active = false;
            run_write_back();
        } else {
            // What the lower pane shows belongs to the upper one's record:
            // a record typed there and not yet stored goes in first.
            if (upper.table() && !table_store_row(*upper.table())) return false;
            lower_active = true;
        }
        show_focus();
        return true;
    }

    void run_write_back() {
        if (!write_back) return;
        const std::function<void()> left = write_back;   // it may replace the pane
        try {
            left();
        } catch (const MessageText& m) {
            if (!m.text.empty()) message_error(list_owner(), m.text);
        }
    }

    TableView& active() { return split() && lower_active ? lower : upper; }

    // The pane at a height of the client; null on the split bar.
    TableView* pane_at(int y) {
        if (!split()) return &upper;
        const Rect b = bar();
        if (y < b.top) return &upper;
        if (y >= b.bottom) return &lower;
        return nullptr;
    }

    // --- ClientEvents ---
    void on_paint(Surface& s, const Rect& dirty) override {
        if (!split()) {
            upper.on_paint(s, dirty);
            return;
        }
        const Rect b = bar();
        {
            PaneSurface pane(s, Rect{0, 0, width, b.top});
            upper.on_paint(pane, Rect{0, 0, upper.width(), upper.height()});
        }
        s.fill_rect(b, SPLIT_BAR_COLOR);
        {
            PaneSurface pane(s, Rect{0, b.bottom, width, height});
            lower.on_paint(pane, Rect{0, 0, lower.width(), lower.height()});
        }
    }
    void on_size(int w, int h) override {
        width = std::max(0, w);
        height = std::max(0, h);
        arrange();
    }
    void on_mouse_down(MouseButton b, int x, int y, unsigned mods) override {
        TableView* pane = pane_at(y);
        if (!pane) {
            if (b != MouseButton::Left) return;
            dragging_ = true;
            drag_offset_ = y - bar().top;
            if (window) backend().set_mouse_capture(window, true);
            return;
        }
        // A click into the other pane moves the caret there, unless the
        // value typed into the lower pane is refused.
        if (split() && !activate(pane == &lower)) return;
        mouse_pane_ = pane;
        pane->on_mouse_down(b, x - pane->origin().x, y - pane->origin().y, mods);
    }
    void on_mouse_up(MouseButton b, int x, int y, unsigned mods) override {
        if (dragging_) {
            dragging_ = false;
            if (window) backend().set_mouse_capture(window, false);
            return;
        }
        TableView* pane = mouse_pane_ ? mouse_pane_ : pane_at(y);
        mouse_pane_ = nullptr;
        if (pane) pane->on_mouse_up(b, x - pane->origin().x, y - pane->origin().y, mods);
    }
    void on_mouse_move(int x, int y, unsigned mods) override {
        if (dragging_) {
            const int top = y - drag_offset_;
            if (height > 0) set_share(static_cast<double>(height - SPLIT_BAR - top) / height);
            return;
        }
        TableView* pane = mouse_pane_ ? mouse_pane_ : pane_at(y);
        if (pane) pane->on_mouse_move(x - pane->origin().x, y - pane->origin().y, mods);
    }
    void on_double_click(MouseButton b, int x, int y, unsigned mods) override {
        TableView* pane = pane_at(y);
        if (!pane || (split() && !activate(pane == &lower))) return;
        pane->on_double_click(b, x - pane->origin().x, y - pane->origin().y, mods);
    }
    void on_wheel(int delta, int x, int y, unsigned mods) override {
        if (TableView* pane = pane_at(y)) pane->on_wheel(delta, x - pane->origin().x, y - pane->origin().y, mods);
    }
    bool on_key(int key, unsigned mods) override {
        if (key == KEY_F6 && mods == MOD_NONE && split()) {
            activate(!lower_active);
            return true;
        }
        return active().on_key(key, mods);
    }
    void on_char(const std::string& utf8) override { active().on_char(utf8); }
    bool takes_key(int key, unsigned mods) override { return active().takes_key(key, mods); }
    void on_focus(bool gained) override {
        focused = gained;
        show_focus();
    }

    void set_share(double s) {
        share = std::clamp(s, MIN_LOWER_SHARE, MAX_LOWER_SHARE);
        arrange();
    }

private:
    bool dragging_ = false;
    int drag_offset_ = 0;
    TableView* mouse_pane_ = nullptr;   // the pane a button went down in, until it goes up
};

ListPanes& panes() {
    return session_part<ListPanes>();
}

// The tables that open while ListTablesUnshown lasts: laid out in a view
// without a window.
struct UnshownTables {
    int depth = 0;
    TableView view;
};

UnshownTables& unshown() {
    return session_part<UnshownTables>();
}

}  // namespace

TableView& list_view() { return panes().upper; }

void create_list_window() {
    Frame& frame = list_frame();
    if (!frame.window) throw MessageText("Unable to create window KorvaneList");
    panes().create(frame);
    add_export_item(frame);
}

void destroy_list_window() {
    table_attach(list_view(), nullptr);
    remove_list_lower_pane();
    panes().destroy();
}

void show_in_list_window(TableWindow& table) {
    if (unshown().depth > 0) {
        if (unshown().view.table() != &table) table_attach(unshown().view, &table);
        return;
    }
    TableView& view = list_view();
    if (view.table() != &table) table_attach(view, &table);
    activate_list_pane(false);
    update_list_commands();
    Frame& frame = list_frame();
    // A table loaded before it was shown gives its caption now.
    if (!table.frame_caption.empty()) frame_set_title(frame, table.frame_caption);
    if (frame.window && !batch_mode()) frame_activate(frame, nullptr);
    table_set_focus(table);
}

TableWindow* list_window_table() {
    return unshown().depth > 0 ? unshown().view.table() : list_view().table();
}

ListTablesUnshown::ListTablesUnshown()
    : shown_(list_view().table()), last_table_(state().last_table), last_reopen_(state().last_reopen) {
    if (shown_) {
        row_ = shown_->current_row;
        column_ = shown_->current_column;
        top_row_ = shown_->top_row;
        h_scroll_ = shown_->h_scroll;
    }
    ++unshown().depth;
}

ListTablesUnshown::~ListTablesUnshown() {
    UnshownTables& u = unshown();
    if (--u.depth > 0) return;
    const bool opened = u.view.table() != nullptr;
    table_attach(u.view, nullptr);
    // A table that left the list window to be laid out comes back; one that
    // stayed enters again, so that the window's menu is its own.
    if (opened) {
        table_attach(list_view(), nullptr);
        table_attach(list_view(), shown_);
    }
    // Its opener and its coming back moved the caret to the first column
    // that takes typing; it goes back to the cell it stood in.
    if (shown_) {
        shown_->current_row = std::clamp(row_, 1, std::max(1, shown_->row_count));
        shown_->current_column = std::clamp(column_, 1, std::max(1, shown_->columns()));
        shown_->top_row = top_row_;
        shown_->h_scroll = h_scroll_;
        table_keep_visible(*shown_);
        table_invalidate_rows(*shown_);
    }
    state().last_table = last_table_;
    state().last_reopen = last_reopen_;
    update_list_commands();
}

void show_list_lower_pane(TableWindow& table, std::function<void()> write_back) {
    ListPanes& p = panes();
    if (p.lower.table() != &table) {
        remove_list_lower_pane();
        table_attach(p.lower, &table);
    }
    p.write_back = std::move(write_back);
    p.lower_active = false;
    p.arrange();
    p.show_focus();
}

void remove_list_lower_pane() {
    ListPanes& p = panes();
    if (!p.lower.table()) return;
    // An open edit is stored (or its refusal shown) before the table goes.
    table_attach(p.lower, nullptr);
    p.lower_active = false;
    p.arrange();
    p.show_focus();
    p.run_write_back();
    p.write_back = nullptr;
}

TableWindow* list_lower_table() { return panes().lower.table(); }
TableView& list_lower_view() { return panes().lower; }
bool list_lower_pane_active() { return panes().split() && panes().lower_active; }
bool activate_list_pane(bool lower) { return panes().activate(lower); }
double list_lower_share() { return panes().share; }
void set_list_lower_share(double share) { panes().set_share(share); }
Rect list_split_bar() { return panes().bar(); }

bool commit_list_window_edits() {
    ListPanes& p = panes();
    if (TableWindow* lower = p.lower.table()) {
        if (!table_end_edit(*lower)) return false;
        p.run_write_back();
    }
    TableWindow* shown = list_window_table();
    return !shown || table_enter_typed_input(*shown);
}

void close_list_window() {
    table_attach(list_view(), nullptr);
    update_list_commands();
    frame_hide(list_frame());
}

void set_last_table_opener(TableWindow& table, std::function<void()> reopen) {
    // Whatever opened the table chose its row; the caret starts in that
    // row's first column that takes typing, not in the column it was left in.
    table_goto_row(table, table.current_row, table_first_column(table), false);
    state().last_table = &table;
    state().last_reopen = std::move(reopen);
    update_list_commands();
}

void clear_last_table_opener() {
    state().last_table = nullptr;
    state().last_reopen = nullptr;
    update_list_commands();
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

namespace {

// Gives the list frame handlers of the mode's commands that it does not
// serve always, or takes them away again.
void register_mode_commands(const std::set<int>& commands, bool on) {
    Frame& frame = list_frame();
    for (int id : commands) {
        if (list_command_ids().count(id)) continue;
        if (on)
            frame_register_command(frame, id, [](int command) { route_to_mode(command); });
        else
            frame_register_command(frame, id, {});
    }
}

}  // namespace

void enter_list_mode(ListMode mode) {
    register_mode_commands(state().mode.commands, false);
    state().mode = std::move(mode);
    register_mode_commands(state().mode.commands, true);
    if (state().mode.bars && list_frame().window) frame_set_bars(list_frame(), *state().mode.bars);
    update_list_commands();
}

ListFrameLoan lend_list_frame(const std::string& menu, const std::string& accelerators,
                              const std::optional<WindowPlacement>& placement) {
    Frame& list = list_frame();
    if (main_frame().window) frame_hide(main_frame());
    ListFrameLoan loan;
    if (list.window) loan.placement = backend().placement(list.window);
    loan.menu = list.menu;
    loan.accelerators = list.accel;
    loan.title = list.title_text;
    if (list.window && placement) frame_set_placement_hidden(list, *placement);
    frame_set_menu(list, menu);
    list.accel = &accelerator_resource(accelerators);
    return loan;
}

void return_list_frame(const ListFrameLoan& loan) {
    Frame& list = list_frame();
    close_list_window();
    if (list.window && loan.placement) frame_set_placement_hidden(list, *loan.placement);
    list.accel = loan.accelerators;
    frame_set_menu(list, loan.menu);
    frame_set_title(list, loan.title);
}

void leave_list_mode() {
    const bool had_bars = state().mode.bars != nullptr;
    register_mode_commands(state().mode.commands, false);
    state().mode = ListMode{};
    if (had_bars && list_frame().window) frame_set_bars(list_frame(), toolbar_resource("LIST_TOOLBAR"));
    update_list_commands();
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
        case CMD_CLOSE:
            if (mode_save_question(owner)) route_to_mode(id);
            return true;
        case CMD_PRINT:
        case CMD_UNITS: route_to_mode(id); return true;
        case CMD_SAVE:
        case CMD_SAVE_AS: route_to_mode(id); return true;
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
        case CMD_PRINT:
            // A library prints the table it shows.
            if (TableWindow* t = list_window_table()) table_print_sheet(*t, owner);
            return true;
        default:
            if (mode.commands.count(id)) {
                route_to_mode(id);
                return true;
            }
            break;
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
        if (in_results()) return true;   // the results are not edited
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
        t->export_csv(owner);
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
    case CMD_GO_BACK_BUTTON:   // the tool button of the same command
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
        CMD_EXPORT,    CMD_LIST,   CMD_LOCAL_AXES, CMD_FIND_NODE, CMD_GO_BACK, CMD_GO_BACK_BUTTON,       CMD_FLANGE_ANALYZE,
        CMD_NOZZLE_ANALYZE, CMD_LUG_ANALYZE, CMD_LIBRARY, CMD_AISC_LIBRARY,
    };
    return ids;
}

bool list_window_close() {
    Frame& frame = list_frame();
    if (state().mode.kind != ListMode::Model) {
        if (!commit_pending_edits() || !mode_save_question(frame.window)) return false;
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
    // What was typed and not stored goes in first; a refusal keeps the window.
    if (!commit_list_window_edits()) return false;
    frame_hide(frame);
    show_main_window();
    return false;
}

void install_list_window_commands() {
    Frame& frame = list_frame();
    for (int id : list_command_ids()) {
        frame_register_command(
            frame, id,
            [](int command) {
                if (!ListCommand(command) && !run_command(command)) beep();
            },
            list_command_test(id));
    }
    frame.close_handler = list_window_close;
    register_command(CMD_LIST, [](int) { data_list_command(command_owner()); });
    register_command(CMD_LOCAL_AXES, [](int) { toggle_local_axes(); });
    if (frame.window) add_export_item(frame);
}

int LayoutRowsTable::layout_row(int row) const {
    return row >= 1 && row < static_cast<int>(row_list.size()) ? row_list[static_cast<std::size_t>(row)] : 0;
}

void LayoutRowsTable::list_rows(int list_id, const std::string& title_text, bool to_current) {
    const RowList& list = model().list(list_id);
    row_list.assign(1, 0);
    for (int i = 1; i <= list.count && i <= list.rows.size(); ++i) row_list.push_back(list.rows[i]);
    table_set_rows(*this, title_text, static_cast<int>(row_list.size()) - 1, 0);
    if (to_current) {
        const auto listed = std::find(row_list.begin() + 1, row_list.end(), model().current_row);
        if (model().current_row != 0 && listed != row_list.end())
            table_set_row(*this, static_cast<int>(listed - row_list.begin()));
    }
    frame_caption = c_format("%s  (%d) ", title_text.c_str(), record_count());
    if (frame && table_is_shown(*this)) frame_set_title(*frame, frame_caption);
}
