// Tables: the grid windows of every input and result list.
//
// A table is two classes in one object. `TablePrint` is the printable table:
// columns 1..n with header texts on up to three header lines, group headings
// over column ranges, the cell texts of each row (one or two text lines a
// row), and how it measures and draws its columns on screen or paper.
// `TableWindow` adds what the window needs: title, row count and row list,
// the current cell, the cell editor, typed cells and what follows them,
// Insert and Delete, the edit-row command, copy and paste, the context menu,
// keys, find node and the window's notifications. Each input and result
// table derives from `TableWindow` and overrides the operations it needs.
//
// `TableView` is the window that shows one table at a time: a client window
// of a frame (or a control of a dialog, or a pane of another window) that
// paints the header lines, a row-number column, the visible rows, grid rules,
// the current cell and the in-cell editor, its own scroll bars, and takes
// keys, mouse and wheel.
//
// Rows and columns count from 1. The current row is `current_row`; the rows
// shown start after `top_row` (0 shows row 1 first).
//
//   struct Sections : TableWindow {
//       Sections() : TableWindow(&list_frame(), 12, 2, {5, 0, 0, 0, 0, 8, 8, 8, 8, 8, 8, 0}) {}
//       std::string header_text(int c, int line) override;
//       std::string cell_text(int row, int c, int line) override;
//       void store_cell(int row, int c, const std::string& text) override;  // throws CI, MsgCmd...
//   };
//   Sections table;
//   TableView view;
//   view.create(list_frame());
//   table_attach(view, &table);
//   table_set_input_rows(table, "Pipe Sections", numsections);
//
// Commands that a table takes (113 edit row, 126 delete, 128 insert, 363
// copy, 364 paste) reach it through `table_command`; the table sends the
// commands it raises itself (a double click, a popup choice, a MsgCmd) to its
// owning frame with `table_send_command`, whose handler routes them back.
#pragma once

#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "platform/backend.h"
#include "platform/surface.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TablePrint;
class TableWindow;
class TableView;

inline constexpr int MAX_HEADER_LINES = 3;
inline constexpr int MAX_TEXT_LINES = 2;
// Page Up and Page Down move by this many rows while no window shows the table.
inline constexpr int TABLE_DEFAULT_PAGE_ROWS = 20;

// A heading over a range of columns, on one header line, with a rule under it.
struct TableGroup {
    int first_column = 1;
    int last_column = 1;
    std::string text;
    int line = 0;
};

// Where a table is being drawn: the window or a printed page. The column
// edges are device x positions; `shown` is 0 for a column that is not drawn
// (hidden, scrolled away, or in another band of a printout).
struct TableCanvas {
    Surface* dc = nullptr;
    bool printing = false;
    int line_height = 16;       // one text line of the header and of a row
    int padding = 3;            // blank space at each side of a cell's text
    int text_offset = 2;        // from the top of a text line to the top of its text
    int header_top = 0;         // top of header line 0
    int header_lines = 1;
    int top = 0;                // vertical extent being drawn: the header block or rows
    int bottom = 0;
    bool in_header = false;     // drawing the header block (rules start at header_top)
    std::vector<int> left;      // 1-based left edge of each column
    std::vector<int> right;     // 1-based right edge
    std::vector<char> shown;    // 1-based

    bool drawn(int column) const {
        return column >= 1 && column < static_cast<int>(shown.size()) && shown[static_cast<size_t>(column)];
    }
    int header_line_y(int line) const { return header_top + line * line_height; }
    // The left edge of the first drawn column in a..b and the right edge of the
    // last; false when none of them is drawn.
    bool span(int first, int last, int& x1, int& x2) const;
};

// ---------------------------------------------------------------------------
// The printable table

class TablePrint {
public:
    // `columns` 1..n; `header_lines` 1 to 3; `text_lines` 1 or 2 per row.
    TablePrint(int columns, int header_lines, int text_lines = 1);
    virtual ~TablePrint() = default;
    TablePrint(const TablePrint&) = delete;
    TablePrint& operator=(const TablePrint&) = delete;

    int columns() const { return columns_; }

    int header_lines = 1;
    int text_lines = 1;
    // Column widths in device units of the device measured last (1-based,
    // slot 0 unused); a width of 0 hides the column.
    std::vector<int> widths;
    // Text alignment of each column's cells (1-based; left by default).
    std::vector<TextAlign> alignments;
    // Group headings drawn by the default draw_group_headings.
    std::vector<TableGroup> groups;

    // What a printout holds: the number of rows and the offset of its first
    // row (row r of the printout is row r + print_first_row of the table).
    int print_rows = 0;
    int print_first_row = 0;
    // Rows after the listed items that the count in a printed title leaves
    // out (a closing Total row).
    int summary_rows = 0;
    // The columns that showed nothing when measured last (1-based, set by
    // table_measure): no text on a header line, no group heading over them
    // and no text in a cell of the rows measured. A printout leaves them out.
    std::vector<char> blank_columns;

    // --- operations a table supplies ---------------------------------------
    // Header text of a column on header line 0, 1 or 2.
    virtual std::string header_text(int column, int line);
    // A column's heading in words, as the guide names it: its header lines
    // joined by a blank. A table whose heading breaks a word over its lines
    // gives the word whole.
    virtual std::string heading_words(int column);
    // Cell text of a row and column on text line 0 or 1.
    virtual std::string cell_text(int row, int column, int line);
    // Called before the cells of a row are asked for.
    virtual void prepare_row(int /*row*/) {}
    // Whether a row is printed (asked through `row_test`).
    virtual bool row_present(int /*row*/) { return true; }
    // Column widths on the printer: by default the widest of header and cells.
    virtual void measure_print(Surface& dc);
    // The left rule of column i (and, for the column after the last, the
    // right edge): default tpaint_column_rule or tprint_column_rule.
    virtual void draw_column_rule(TableCanvas& c, int column);
    // Group headings: by default those of `groups`.
    virtual void draw_group_headings(TableCanvas& c);
    // The table's entry of the printed table of contents (add_contents_entry).
    virtual void contents_entry() {}
    // Lines printed under the rows on paper, while the table stands open: a
    // page they go on to begins with its title and column header.
    virtual std::vector<std::string> notes_under_rows() { return {}; }
    // A note printed on paper under its row, across the table (indented
    // under the row's texts, broken at its blanks), with the row on its page:
    // a text that would widen a column (why a value is missing). None by
    // default.
    virtual std::string row_note(int /*row*/) { return {}; }
    // The font of a row, when it is not the table font.
    virtual std::optional<FontSpec> row_font(int /*row*/) { return std::nullopt; }
    // The pen of the rule under a row when it is not the grid's (a rule that
    // sets the rows below apart), on screen and on paper.
    virtual std::optional<Pen> row_rule_pen(int /*row*/) { return std::nullopt; }
    // Draws what a row shows beyond its cell texts (a report window draws
    // fields at positions of its own): x is the left edge of column 1's text,
    // y the top of the row's text; the row's area is clipped.
    virtual void paint_row(Surface& /*dc*/, int /*row*/, int /*x*/, int /*y*/) {}
    // The texts paint_row draws in a row, left to right, each a cell of
    // what the screen shows (table_screen_csv); empty where it draws none
    // (an empty text keeps a cell free, so that a heading stands over its
    // column). Default none.
    virtual std::vector<std::string> painted_cells(int /*row*/) { return {}; }

    // The row test of a printout: false when it holds no rows, else
    // row_present of row r offset by print_first_row.
    bool row_test(int r);

    // Per-cell state set from inside cell_text or prepare_row while a row is
    // drawn (table_set_text_color, tprint_highlight_cell).
    struct CellMarks {
        std::optional<Color> text_color;
        std::optional<Color> background;                // on screen only
        std::vector<std::pair<int, int>> highlighted;   // {column, line}
    } marks;

private:
    int columns_;
};

// ---------------------------------------------------------------------------
// The window class

class TableWindow : public TablePrint {
public:
    // The owning frame (or none), the number of columns, header lines, the
    // character limit of each column's cells (1-based; 0 or missing: no
    // typing in that column), and text lines per row.
    TableWindow(Frame* frame, int columns, int header_lines, std::vector<int> char_limits = {},
                int text_lines = 1);
    ~TableWindow() override;

    Frame* frame = nullptr;
    // The owning frame's window (0 without one): the owner of the dialogs and
    // messages the table opens.
    WindowId frame_window() const { return frame ? frame->window : 0; }
    std::string title;
    // The caption its window takes while the table is shown ("%s  (%d) ").
    std::string frame_caption;

    // Rows: `row_count` rows are shown, the empty input row included when
    // `input_row` is set. `row_list` maps rows to what they show (records or
    // layout rows, 1-based, slot 0 unused) for tables that list a selection.
    int row_count = 0;
    bool input_row = false;
    // A cell of the input row was typed or pasted into and stored, and the
    // row has not been entered since (the row count has not grown).
    bool input_typed = false;
    std::vector<int> row_list;
    int record_count() const { return input_row ? row_count - 1 : row_count; }

    // Position.
    int current_row = 1;
    int current_column = 1;
    int top_row = 0;       // rows shown start after this one
    int h_scroll = 0;      // device units the columns are scrolled to the left

    // Editing: typing is allowed when editing_allowed is set, input is not
    // locked, the table is not view-only and the cell is editable.
    bool editing_allowed = true;
    bool view_only = false;
    bool delete_enabled = true;
    std::vector<int> char_limits;   // 1-based
    int char_limit(int column) const;

    // The cell editor. Positions are byte offsets into the UTF-8 text.
    struct CellEdit {
        bool active = false;
        int row = 0;
        int column = 0;
        std::string text;
        std::string original;      // the cell's text when the edit started
        size_t caret = 0;
        size_t anchor = 0;         // the other end of the selection
    } edit;

    // Widths set by dragging a header rule: column -> width, kept over re-measuring.
    std::vector<std::pair<int, int>> user_widths;
    bool measure_needed = true;
    TableView* view = nullptr;     // the window showing the table, if any

    // --- window operations a table overrides -------------------------------
    // The table becomes the one a view shows, or stops being it (menu items
    // are added and removed here).
    virtual void on_enter() {}
    virtual void on_leave() {}
    // A key the accelerators did not take; default table_on_key.
    virtual bool on_key(int key, unsigned mods);
    virtual void on_row_changed(int /*row*/) {}
    // Column widths on the window: default the widest of header and cells.
    virtual void measure_window(Surface& dc);
    // The node of a row for find node, 0 for none.
    virtual int row_node(int /*row*/) { return 0; }
    // Every node a row names, one for each of its node columns (the From
    // and To of an element, the Maximum and Minimum of an extreme, a
    // support's connected node); find node matches any. Default: row_node.
    virtual std::vector<int> row_nodes(int row);
    // The results load case changed: default refresh and focus.
    virtual void on_load_case_changed();
    // Right button at a point of the view (client coordinates).
    virtual void context_menu(Point at);
    // Typing into cells.
    virtual bool cell_editable(int row, int column);
    // Why a shown cell that takes no typing refuses it, said the first time
    // a key is typed there; empty: a beep says it.
    virtual std::string typing_refused(int /*row*/, int /*column*/) { return {}; }
    std::pair<int, int> refusal_said{};   // the cell whose refusal was said last
    // The typing filter: may change a typed character (one UTF-8
    // character), as a name column upper-cases its letters. It drops none:
    // a text that the column cannot read is refused when the cell is stored,
    // with its parser's message, so that a cell never holds other than what
    // was typed.
    virtual void filter_char(int /*column*/, std::string& /*ch*/) {}
    // Stores a typed cell; `item_text()` holds the text without outer blanks.
    // Throws CI, MsgCmd, MsgColCmd or MessageText on a bad value.
    virtual void store_cell(int /*row*/, int /*column*/, const std::string& /*text*/) {}
    // Enter leaves the row: default, the next row. May throw like store_cell.
    virtual void leave_row(int row);
    // The caret is about to leave a row for another by a key, a click or
    // Find (Enter goes through leave_row): the row's checks and completion
    // (defaults, the input row becoming a record). Throws like store_cell;
    // the caret then stays in the row.
    virtual void before_leave_row(int /*row*/) {}
    virtual bool can_insert(int /*row*/) { return false; }
    virtual bool can_delete(int /*row*/) { return false; }
    virtual void insert_row(int /*row*/) {}
    virtual void delete_row(int /*row*/) {}
    // Opens the row's dialog (command 113); false when the table has none.
    virtual bool edit_row(int /*row*/) { return false; }
    // The clipboard text of a row: tab-separated cells, one line per text line.
    virtual std::string copy_row(int row);
    // Pastes the clipboard's cells into a row; false when the table does not paste.
    virtual bool paste_row(int /*row*/, const std::vector<std::string>& /*cells*/) { return false; }
    // A command sent to a table that has no owning frame: default table_command.
    virtual bool on_command(int id);
    // Whether on_command serves a command of the owning frame beyond the
    // table commands (a library pick, say): while it answers false the
    // frame greys the command. Default none.
    virtual bool serves_command(int /*id*/) { return false; }
    // The print operation (a ReportJob writer): graphic pages through
    // table_print, text and CSV reports through print_text and print_csv.
    virtual void print();
    virtual void print_text();
    virtual void print_csv();
    // The Export command: by default the CSV form of the print operation
    // (table_export_csv); a table with an export file of its own writes that.
    // False when cancelled or not written.
    virtual bool export_csv(WindowId owner);
    // F1 in the table: the guide at the table's page (by its title), or at
    // its contents when the guide has no page of that title.
    virtual void on_help(WindowId owner);
};

// A read-only table of a choosing dialog: Enter or a double-click on a row
// calls `chosen`, which ends the dialog with the current row.
class ChoiceTable : public TableWindow {
public:
    using TableWindow::TableWindow;
    std::function<void()> chosen;

    bool cell_editable(int, int) override { return false; }
    void leave_row(int) override
    {
        if (chosen)
            chosen();
    }
    bool edit_row(int) override
    {
        if (chosen)
            chosen();
        return true;
    }
};

// ---------------------------------------------------------------------------
// The window

class TableView : public ClientEvents {
public:
    TableView() = default;
    ~TableView() override;
    TableView(const TableView&) = delete;
    TableView& operator=(const TableView&) = delete;

    // Makes the client window of a frame (replacing the one it had), of any
    // window that takes a client, or inside a dialog's Table control.
    WindowId create(Frame& frame);
    WindowId create(WindowId parent);
    WindowId create_in_dialog(Dialog& dialog, int control_id);
    // Makes the view a pane of another client window (`host`), whose handler
    // forwards paint and input in the pane's own coordinates; the view's
    // repaints go to the host's area at `origin`. The host is not the view's
    // to destroy.
    WindowId create_in_host(WindowId host, Point origin);
    void set_origin(Point origin);
    Point origin() const { return origin_; }
    void destroy();

    WindowId window() const { return window_; }
    TableWindow* table() const { return table_; }
    bool shown() const { return shown_; }
    void set_shown(bool shown);
    bool focused() const { return focused_; }
    // The table view that has the keyboard focus now, or null.
    static TableView* keyboard_focus();

    // Geometry (device units of the window).
    int width() const { return width_; }
    int height() const { return height_; }
    void set_size(int width, int height);
    int line_height() const { return line_height_; }
    int row_height() const;
    int header_height() const;
    int rownum_width() const;
    int rownum_width_for(int rows) const;
    int scroll_bar_size() const { return bar_; }
    // The size that shows every column and `rows` rows without a horizontal
    // scroll bar (with room for the vertical one).
    Rect preferred_size(int rows) const;   // at (0, 0)
    // Whole rows that fit in the body.
    int visible_rows() const;
    struct Layout {
        Rect header, rownum, body, vbar, hbar;
        bool has_vbar = false, has_hbar = false;
    };
    Layout layout() const;

    // What is at a point.
    struct Hit {
        enum Kind { Nothing, Header, HeaderRule, RowNumber, Cell, VBar, HBar } kind = Nothing;
        int row = 0;
        int column = 0;
        int line = 0;
    };
    Hit hit_test(int x, int y) const;

    void invalidate();
    void invalidate_rows(int first, int last);
    // Paints the table on any surface of the view's size (the benchmark and
    // the image of a view use it).
    void paint(Surface& s);
    // Where the mouse was last, in client coordinates.
    Point last_mouse() const { return mouse_; }

    // --- ClientEvents ---
    void on_paint(Surface& s, const Rect& dirty) override;
    void on_size(int width, int height) override;
    void on_mouse_down(MouseButton b, int x, int y, unsigned mods) override;
    void on_mouse_up(MouseButton b, int x, int y, unsigned mods) override;
    void on_mouse_move(int x, int y, unsigned mods) override;
    void on_double_click(MouseButton b, int x, int y, unsigned mods) override;
    void on_wheel(int delta, int x, int y, unsigned mods) override;
    bool on_key(int key, unsigned mods) override;
    bool takes_key(int key, unsigned mods) override;
    void on_char(const std::string& utf8) override;
    void on_focus(bool gained) override;

private:
    friend void table_attach(TableView& view, TableWindow* table);
    friend void table_detach(TableWindow& t);
    void measure_font(Surface& s);
    void measure_font();
    // The thumb of a scroll bar: its start and length along the track.
    void thumb(bool vertical, const Layout& l, int& start, int& length) const;
    void scroll_to_thumb(bool vertical, int thumb_start);
    void clamp_scroll();
    int total_width() const;
    // Left edges of the columns in the window (1-based; n + 1 is the right end).
    std::vector<int> column_edges(const Layout& l) const;
    void caret_from_x(int x);
    void left_down(int x, int y, unsigned mods);
    void right_down(int x, int y);
    void paint_header(Surface& s, TableCanvas& c, const Layout& l);
    void paint_rows(Surface& s, TableCanvas& c, const Layout& l);
    void paint_editor(Surface& s, const TableCanvas& c, const Layout& l);
    void paint_scroll_bars(Surface& s, const Layout& l);
    Backend* backend_ = nullptr;   // the backend that made the window

    TableWindow* table_ = nullptr;
    std::shared_ptr<TableView*> token_ = std::make_shared<TableView*>(this);
    WindowId window_ = 0;
    bool owns_window_ = true;      // false for a pane of a host window
    bool in_dialog_ = false;       // the Table control of a dialog
    Point origin_{};               // a pane's top left in its host
    bool shown_ = true;
    bool focused_ = false;
    int width_ = 0, height_ = 0;
    int line_height_ = 20;
    int char_width_ = 8;
    int padding_ = 4;
    int bar_ = 14;
    FontSpec measured_font_{};   // the text font the columns were last measured in
    Point mouse_{};
    enum class Drag { None, Column, VThumb, HThumb } drag_ = Drag::None;
    int drag_column_ = 0;
    int drag_offset_ = 0;
};

// ---------------------------------------------------------------------------
// Showing and positioning

// Shows a table in a view (null: none); the old table leaves (an edit open
// in it is stored first, or dropped after its refusal was shown) and the new
// one enters.
void table_attach(TableView& view, TableWindow* table);
// Stops showing a table without telling it (a table that is being destroyed).
void table_detach(TableWindow& t);
// Editing allowed, the first editable column and row 1 current, first row
// at the top, no horizontal scroll, no edit open.
void table_reset(TableWindow& t);
// Row count (the current row is clamped); remeasured and repainted.
void table_set_row_count(TableWindow& t, int rows);
// Makes a row current without scrolling or notifying.
void table_set_row(TableWindow& t, int row);
// Title, row count and, when not 0, a row to make current and visible.
void table_set_rows(TableWindow& t, const std::string& title, int rows, int select_row);
// An input table: the title, `count` records and the empty input row unless
// input is locked; the current row is clamped; the owning frame's caption
// becomes "%s  (%d) " while the table is shown.
void table_set_input_rows(TableWindow& t, const std::string& title, int count);
// Title, row count, current row and the first row shown.
void table_show_at(TableWindow& t, const std::string& title, int rows, int current_row, int first_row);
// Title and row count; with `select` row 1 becomes current, otherwise the
// current row is kept (clamped).
void table_refresh(TableWindow& t, const std::string& title, int rows, bool select);
// Makes a row current and visible (column 0 keeps the column); `notify`
// tells the table that its current row changed.
void table_goto_row(TableWindow& t, int row, int column = 0, bool notify = true);
// Moves the caret where the user asked (a key, a click, Find): an open edit
// is stored, and a row that is left passes its before_leave_row checks
// first. A row past the last one is the last row once the checks have run
// (they may have made a record of the input row). False when refused; the
// refusal has been shown and the caret is where it put it.
bool table_move_to(TableWindow& t, int row, int column = 0);
// Stores an open edit and passes the current row's before_leave_row checks
// as leaving it would, the caret staying (an input row typed into becomes a
// record). False when refused; the refusal has been shown.
bool table_store_row(TableWindow& t);
// Whether the input row holds what was typed into it and not entered: a
// cell of it was typed or pasted into, and it still shows a text.
bool table_input_row_typed(TableWindow& t);
// What a window that closes, or the program, or a save takes of a table:
// an open edit is stored, and an input row that holds what was typed into
// it is entered as Enter enters it (the caret goes there first). False
// when refused: the refusal has been shown with the caret in the column it
// names, and nothing should close.
bool table_enter_typed_input(TableWindow& t);
void table_goto_last_row(TableWindow& t);
// Scrolls so that the current cell is visible.
void table_keep_visible(TableWindow& t);
// The first editable column (1 when none is).
int table_first_column(TableWindow& t);
// Repaints rows first..last (0, 0: all).
void table_invalidate_rows(TableWindow& t, int first = 0, int last = 0);
// Commits an open edit; false when the typed value was refused (the caret
// is then where the refusal put it and the message has been shown).
bool table_end_edit(TableWindow& t);
// Drops an open edit.
void table_cancel_edit(TableWindow& t);
// Commits and leaves the row as Enter does; false when refused.
bool table_leave(TableWindow& t);
// Starts an edit of the current cell; false when it cannot be edited.
// With `replace` the text starts empty, otherwise it is the cell's text.
bool table_begin_edit(TableWindow& t, bool replace = false);
void table_set_focus(TableWindow& t);
// Measures the columns again, repaints and gives the table the focus (after
// a dialog changed what it shows).
void table_window_refocus(TableWindow& t);
// The client size the view needs to show every column and `rows` rows
// without scroll bars.
int table_width_for_rows(TableWindow& t, int rows);
int table_height_for_rows(TableWindow& t, int rows);
// The top of a row in the view (it may be outside the window).
int table_row_y(const TableWindow& t, int row);
// Measures now when measuring is due (on the view's font, or the screen's).
void table_ensure_measured(TableWindow& t);
// Measures the table again and says which of its columns it shows under
// the options in force (1-based, slot 0 unused): a table hides a column that
// they leave out by giving it no width.
std::vector<bool> table_columns_shown(TableWindow& t);
// Rows that Page Up and Page Down move by.
int table_page_rows(const TableWindow& t);
// Whether a table is shown in a view that is shown.
bool table_is_shown(const TableWindow& t);
// A view inside a dialog's Table control, showing the table, which takes
// the keys from the start with its first cell current (a dialog that wants
// another item first focuses it after). With `visible_rows`, the table place
// is made large enough for every column and that many rows.
std::unique_ptr<TableView> table_create_in_dialog(Dialog& dialog, int control_id, TableWindow& t,
                                                  int visible_rows = 0);

// ---------------------------------------------------------------------------
// Keys, typing and commands

// The default keys: Tab and Shift+Tab next and previous editable column
// (wrapping to the next and previous row), arrows, Home and End, Page Up and
// Page Down, Ctrl+Home and Ctrl+End, Enter (commit and leave the row),
// Escape (drop the edit), F2 (edit the cell), Backspace (edit from empty),
// Ctrl+C and Ctrl+V; inside an edit the arrows, Home, End, Backspace and
// Delete act on the text and Ctrl+A selects it whole. True when the key was
// used.
bool table_on_key(TableWindow& t, int key, unsigned mods);
// Whether the table takes a key before the window's accelerators: an open
// edit keeps Ctrl+A, which selects its text.
bool table_takes_key(const TableWindow& t, int key, unsigned mods);
// Typed text: starts an edit whose text replaces the cell, or goes into the
// open edit (filtered, within the column's limit; a character past the limit beeps).
void table_on_char(TableWindow& t, const std::string& utf8);
// The table's commands: 113 edit row, 126 delete, 128 insert, 363 copy,
// 364 paste. False for any other command.
bool table_command(TableWindow& t, int id);
// Sends a command raised by the table to its owning frame, or to the table
// itself when it has none.
void table_send_command(TableWindow& t, int id);
void table_insert(TableWindow& t);
void table_delete(TableWindow& t);
void table_edit_row(TableWindow& t);
void table_copy(TableWindow& t);
void table_paste(TableWindow& t);
// The typing filter of name columns: letters upper-cased.
void table_filter_name(std::string& ch);

// Find node: the search starts after the current row and wraps to row 1;
// the found row becomes current. False when no row has the node.
bool table_window_find_node(TableWindow& t, int node);
// Whether a row of the table has a node (row_nodes): Find Node serves it.
bool table_rows_have_nodes(TableWindow& t);
// The find-node command: FIND_NODE_DIALOG, where `parse` turns the typed
// text into a node number (false or a thrown text when it is none); a node
// that no row of the table has gives "Node  %s  not found".
bool table_find_node_command(TableWindow& t, const std::function<bool(const std::string&, int&)>& parse);

// ---------------------------------------------------------------------------
// Popup and menu helpers

// Redisplays a table through its row list (rows = the list's count plus the
// input row), keeping the layout row current when it is listed.
void refresh_table(TableWindow& t, int current_layout_row = 0);
// "&Show " or "&Edit " and the name (113), "&List" (302) and, with
// `local_axes`, the local-axes item (327).
MenuItem table_popup_show_edit(const TableWindow& t, const std::string& name, bool local_axes = false);
// The same with "&Delete " and the name (126) unless the table is view-only.
MenuItem table_popup_show_edit_delete(const TableWindow& t, const std::string& name, bool local_axes = false);
// "&Insert" (128) and "&Delete" (126), greyed by the table's state.
MenuItem table_popup_insert_delete(TableWindow& t);
// Enables or greys Insert (128) and Delete (126) in a menu, or in the owning frame's menu.
void table_update_insert_delete(TableWindow& t, Menu& menu);
void table_update_insert_delete(TableWindow& t);
// Shows a popup at the mouse and sends the chosen command; the command, 0 when none.
int table_popup_menu(TableWindow& t, const MenuItem& popup);
void table_disable_delete(TableWindow& t);
void table_enable_delete(TableWindow& t);
// "&Insert\tCtrl+Ins" (128) before "&Delete\tCtrl+X" (126) in a frame's menu, and its removal.
void table_add_insert_item(Frame& frame);
void table_remove_insert_item(Frame& frame);

// ---------------------------------------------------------------------------
// Painting, measuring and printing helpers

// Blank space at each side of a cell's text on a device.
int table_cell_padding(Surface& dc);
// Text widths for measuring many cells: the sum of the advances of their
// characters, each asked of the device once, in the font it has when
// first asked (plain ASCII; any other text is measured whole). Kerning can
// make the sum differ from the text's width by a pixel or so.
class CellWidths {
public:
    explicit CellWidths(Surface& dc);
    int operator()(std::string_view text);

private:
    Surface& dc_;
    std::array<int, 128> advance_{};
};
int dc_text_width(Surface& dc, const std::string& text);
// Width of a text in a font on the screen.
int text_width(const FontSpec& font, const std::string& text);
void text_out(Surface& dc, int x, int y, const std::string& text);
void text_out_right(Surface& dc, int x, int y, const std::string& text);
void text_out_centred(Surface& dc, int x, int y, const std::string& text);
// Entries a..b of a width array set to their maximum; entries a and b to the larger of the two.
void equalize_widths(std::vector<int>& widths, int a, int b);
void equalize_two_widths(std::vector<int>& widths, int a, int b);
// Widths of rows first..last: each column the widest of its header lines
// and cells, plus padding (columns a table hides stay as it sets them after);
// the columns that show nothing are marked in blank_columns.
// With `present_only` rows that row_present refuses are left out.
void table_measure(TablePrint& t, Surface& dc, int first_row, int last_row, bool present_only = false);
// Header heights on the window and on a printed page, for 1 to 3 lines.
int table_header_height(const TableWindow& t, int lines);
int print_header_height(int lines);
// Width of the row-number column for a row count.
int table_rownum_width(Surface& dc, int rows);
// Rules and headings: tpaint_* in the window's grey, tprint_* in black.
void tpaint_vline(TableCanvas& c, int x, int y1, int y2);
void tprint_vline(TableCanvas& c, int x, int y1, int y2);
void tpaint_header_rule(TableCanvas& c, int y);
void tprint_header_rule(TableCanvas& c, int y);
void tpaint_column_rule(TableCanvas& c, int column);
void tprint_column_rule(TableCanvas& c, int column);
// A heading centred between the left edge of column `first` and the right
// edge of column `last` on a header line, with a rule under it.
void tpaint_column_heading(TableCanvas& c, const std::string& text, int first, int last, int line);
void tprint_column_heading(TableCanvas& c, const std::string& text, int first, int last, int line);
// Draws a cell's text in its column at the top y of its text line.
void table_draw_cell(TableCanvas& c, const TablePrint& t, int column, int y, const std::string& text);
// From inside cell_text while a row is drawn: the colour of the cell's text
// on screen, and the printed cell inverted (white on black).
void table_set_text_color(TablePrint& t, Color color);
// From inside cell_text while a row is drawn on screen: the colour the
// cell is filled with behind its text (the current cell keeps its own).
void table_set_cell_background(TablePrint& t, Color color);
void tprint_highlight_cell(TablePrint& t, int row, int column, int line);

// ---------------------------------------------------------------------------
// Printing and export

// Prints a whole table on graphic pages: the title "%s (%d)" (the count
// without the summary rows) in a title bar, the header (repeated on every
// page), the rows that pass the row test and the notes under them. All of a
// row's columns stand on one page width: a text wider than its column wraps
// within it, and a table too wide for the page goes on in tiers under each
// row, each led by column 1. Nothing outside graphic printing.
void table_print(TablePrint& p, const std::string& title, int count);
// The same under a heading that the caller has just printed: no title bar
// above the header at first, and on every following page the title in a
// title bar above the repeated header.
void table_print_under(TablePrint& p, const std::string& title, int count);
// A table's part of a report: on graphic pages the table itself, in a CSV
// report `csv`. False in a text report, which the caller writes in its own
// columns.
bool table_print_pages_or_csv(TablePrint& p, const std::string& title, int count,
                              const std::function<void()>& csv);
// The generic text-report and CSV forms of a table with the same title.
void table_print_text(TablePrint& p, const std::string& title, int count);
void table_print_csv(TablePrint& p, const std::string& title, int count);
// A report job that prints the table through its print operation.
ReportJob table_report_job(TableWindow& t);
// The Print command: PRINT_DIALOG and the chosen destination.
bool table_print_sheet(TableWindow& t, WindowId owner);
// The text or CSV form as a string.
std::string table_report_text(TableWindow& t, bool csv);
// The table as the screen shows it, written as CSV cells: the caption of its
// window (the table's title without one); each header line that shows
// anything, a group heading in the cell of the first column it stands over;
// then every row's lines as the cells show them ("0" included), a row's
// later line only when it shows anything; a row that paint_row draws itself
// as its painted_cells after its cells' texts. Columns the screen hides are
// left out. Nothing outside a CSV report.
void table_screen_csv(TableWindow& t);
// The Export command: the CSV save dialog, then the file of what the
// screen shows (table_screen_csv).
bool table_export_csv(TableWindow& t, WindowId owner);

// ---------------------------------------------------------------------------
// The shared table window of the results frame

TableView& results_table_view();
// Shows a table in the results frame's table window (made when needed) and focuses it.
void table_window_show(TableWindow& t);
// Hides the table window and detaches its table.
void table_window_detach();
// The results frame's client size changed.
void table_window_resize();
// Tells a shown table that its current row changed.
void table_window_row_changed();
bool table_window_find_node(int node);
// Find Node serves the attached table: a row of it has a node
// (table_rows_have_nodes); false when the window is hidden or empty.
bool table_window_flag();
void table_window_refocus();
// Forgets the window (tests, and a results frame that was destroyed).
void table_window_reset();
