// Tables: the print and window classes, rows and position, the cell editor,
// keys, typed cells and what follows them, and the table's commands.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/find_node.h"
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "framework/ui/table.h"
#include "framework/ui/unit_audit.h"

#include <algorithm>

// ===========================================================================
// TablePrint

TablePrint::TablePrint(int columns, int header_lines_, int text_lines_)
    : header_lines(std::clamp(header_lines_, 1, MAX_HEADER_LINES)),
      text_lines(std::clamp(text_lines_, 1, MAX_TEXT_LINES)),
      widths(static_cast<size_t>(std::max(columns, 0)) + 1, 0),
      alignments(static_cast<size_t>(std::max(columns, 0)) + 1, TextAlign::Left),
      columns_(std::max(columns, 0)) {}

std::string TablePrint::header_text(int, int) { return {}; }

std::string TablePrint::heading_words(int column) {
    std::string words;
    for (int line = 0; line < header_lines; ++line)
        if (const std::string h = header_text(column, line); !h.empty()) words += (words.empty() ? "" : " ") + h;
    return words;
}
std::string TablePrint::cell_text(int, int, int) { return {}; }

void TablePrint::measure_print(Surface& dc) {
    table_measure(*this, dc, print_first_row + 1, print_first_row + print_rows, true);
}

void TablePrint::draw_column_rule(TableCanvas& c, int column) {
    // In the header a rule between two columns of a group starts under the
    // group's heading, which stands over both.
    int top = c.top;
    if (c.in_header)
        for (const TableGroup& g : groups)
            if (column > g.first_column && column <= g.last_column) top = std::max(top, c.header_line_y(g.line + 1));
    if (top != c.top && c.drawn(column)) {
        const int x = c.left[static_cast<size_t>(column)];
        c.printing ? tprint_vline(c, x, top, c.bottom) : tpaint_vline(c, x, top, c.bottom);
        return;
    }
    if (c.printing)
        tprint_column_rule(c, column);
    else
        tpaint_column_rule(c, column);
}

void TablePrint::draw_group_headings(TableCanvas& c) {
    for (const TableGroup& g : groups) {
        if (c.printing)
            tprint_column_heading(c, g.text, g.first_column, g.last_column, g.line);
        else
            tpaint_column_heading(c, g.text, g.first_column, g.last_column, g.line);
    }
}

bool TablePrint::row_test(int r) {
    if (print_rows <= 0) return false;
    return row_present(r + print_first_row);
}

// ===========================================================================
// TableWindow

TableWindow::TableWindow(Frame* owner, int columns, int header_lines_, std::vector<int> limits, int text_lines_)
    : TablePrint(columns, header_lines_, text_lines_), frame(owner) {
    // Given for columns 1..n in order; kept 1-based.
    char_limits.assign(static_cast<size_t>(this->columns()) + 1, 0);
    for (size_t i = 0; i < limits.size() && i + 1 < char_limits.size(); ++i) char_limits[i + 1] = std::max(0, limits[i]);
}

TableWindow::~TableWindow() {
    // Only the view's pointer is cleared: the derived part is gone, so the
    // table can no longer be asked to leave.
    table_detach(*this);
}

int TableWindow::char_limit(int column) const {
    if (column < 1 || column >= static_cast<int>(char_limits.size())) return 0;
    return char_limits[static_cast<size_t>(column)];
}

bool TableWindow::on_key(int key, unsigned mods) { return table_on_key(*this, key, mods); }

void TableWindow::measure_window(Surface& dc) { table_measure(*this, dc, 1, row_count); }

std::vector<int> TableWindow::row_nodes(int row) { return {row_node(row)}; }

void TableWindow::on_load_case_changed() {
    table_refresh(*this, title, row_count, false);
    table_set_focus(*this);
}

void TableWindow::context_menu(Point) {
    const bool locked = input_locked() || view_only;
    MenuItem popup{"", 0, {}};
    popup.items.push_back(MenuItem{"&Copy", CMD_COPY});
    popup.items.push_back(MenuItem{"&Paste", CMD_PASTE, {}, locked});
    popup.items.push_back(MenuItem{});
    MenuItem insert_delete = table_popup_insert_delete(*this);
    for (MenuItem& item : insert_delete.items) popup.items.push_back(std::move(item));
    table_popup_menu(*this, popup);
}

bool TableWindow::cell_editable(int, int column) { return char_limit(column) > 0; }

void TableWindow::leave_row(int row) {
    if (row < row_count) table_goto_row(*this, row + 1, table_first_column(*this));
}

std::string TableWindow::copy_row(int row) {
    prepare_row(row);
    std::string text;
    for (int line = 0; line < text_lines; ++line) {
        if (line > 0) text += '\n';
        for (int c = 1; c <= columns(); ++c) {
            if (c > 1) text += '\t';
            text += cell_text(row, c, line);
        }
    }
    marks = {};
    return text;
}

bool TableWindow::on_command(int id) { return table_command(*this, id); }

void TableWindow::print() {
    const ReportState& s = report_state();
    if (s.printing_pages)
        table_print(*this, title, record_count());
    else if (s.text_report && s.csv_mode)
        print_csv();
    else if (s.text_report)
        print_text();
}

void TableWindow::print_text() { table_print_text(*this, title, record_count()); }
bool TableWindow::export_csv(WindowId owner) { return table_export_csv(*this, owner); }
void TableWindow::on_help(WindowId owner) {
    // A table without a page of its own (a result, the layout): the guide's
    // topic of its window.
    const char* topic = frame == &results_frame() ? "results"
                        : frame == &main_frame()  ? "window-layout"
                        : frame == &list_frame()  ? "window-list"
                                                  : "";
    help_page(title, owner, std::string(topic));
}
void TableWindow::print_csv() { table_print_csv(*this, title, record_count()); }

// ===========================================================================
// Helpers

namespace {

// UTF-8: the start of the character before or after a byte offset.
size_t prev_char(const std::string& s, size_t pos) {
    if (pos == 0) return 0;
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
    return pos;
}

size_t next_char(const std::string& s, size_t pos) {
    if (pos >= s.size()) return s.size();
    ++pos;
    while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
    return pos;
}

int char_count(const std::string& s) {
    int n = 0;
    for (unsigned char ch : s)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

// The characters of a UTF-8 text, one string each.
std::vector<std::string> split_chars(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        size_t j = next_char(s, i);
        out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

WindowId owner_window(const TableWindow& t) {
    if (t.frame && t.frame->window) return t.frame->window;
    return t.view ? t.view->window() : 0;
}

bool input_blocked(const TableWindow& t) { return input_locked() || t.view_only || !t.editing_allowed; }

// A column that is shown: in range and not hidden by a width of 0 (before
// the first measuring every column counts as shown).
bool column_usable(const TableWindow& t, int c) {
    if (c < 1 || c > t.columns()) return false;
    return t.measure_needed || t.widths[static_cast<size_t>(c)] > 0;
}

bool editable_cell(TableWindow& t, int row, int c) {
    if (input_blocked(t) || row < 1 || row > t.row_count || !column_usable(t, c)) return false;
    return t.cell_editable(row, c);
}

bool any_editable(TableWindow& t, int row) {
    for (int c = 1; c <= t.columns(); ++c)
        if (editable_cell(t, row, c)) return true;
    return false;
}

void invalidate(TableWindow& t) { table_invalidate_rows(t); }

// Makes a cell current; tells the table when the row changed.
void set_current(TableWindow& t, int row, int column, bool notify) {
    const int old_row = t.current_row;
    t.current_row = std::clamp(row, 1, std::max(1, t.row_count));
    if (column > 0) t.current_column = std::clamp(column, 1, std::max(1, t.columns()));
    table_keep_visible(t);
    invalidate(t);
    if (notify && t.row_count > 0 && t.current_row != old_row) t.on_row_changed(t.current_row);
}

// What a typed cell, a row being left or a table operation threw.
struct Failure {
    enum Kind { None, Cell, Command, CellCommand, Message } kind = None;
    std::string message;
    int column = 0;
    int command = 0;
    explicit operator bool() const { return kind != None; }
};

template <class F>
Failure capture(F&& action) {
    try {
        action();
    } catch (const CI& e) {
        return Failure{Failure::Cell, e.message, e.column, 0};
    } catch (const MsgCmd& e) {
        return Failure{Failure::Command, e.message, 0, e.command};
    } catch (const MsgColCmd& e) {
        return Failure{Failure::CellCommand, e.message, e.column, e.command};
    } catch (const MessageText& e) {
        return Failure{Failure::Message, e.text, 0, 0};
    }
    return {};
}

// Opens the editor on the current cell with a given text, all of it selected.
void reopen_edit(TableWindow& t, const std::string& text) {
    if (!editable_cell(t, t.current_row, t.current_column)) return;
    t.prepare_row(t.current_row);
    t.edit.active = true;
    t.edit.row = t.current_row;
    t.edit.column = t.current_column;
    t.edit.original = trimmed(t.cell_text(t.current_row, t.current_column, 0));
    t.marks = {};
    t.edit.text = text;
    t.edit.anchor = 0;
    t.edit.caret = text.size();
    invalidate(t);
}

// Shows the text; a cell failure puts the caret back into its column (open
// for typing, with the typed text again when it is the column that was typed
// into); a command goes to the owning frame. `typed` is the edit that was
// committed, if any.
void report_failure(TableWindow& t, const Failure& f, const TableWindow::CellEdit* typed) {
    message_error(owner_window(t), f.message);
    const bool to_column = f.kind == Failure::Cell || f.kind == Failure::CellCommand;
    if (to_column) {
        int column = f.column >= 1 && f.column <= t.columns() ? f.column : (typed ? typed->column : t.current_column);
        if (typed && typed->row >= 1 && typed->row <= t.row_count) t.current_row = typed->row;
        t.current_column = column;
        table_keep_visible(t);
        // With a command the row's dialog takes over; otherwise the cell is
        // open for typing again, its text selected so that the next key
        // replaces it.
        if (f.kind == Failure::Cell) {
            if (typed && typed->column == column)
                reopen_edit(t, typed->text);
            else if (table_begin_edit(t, false))
                t.edit.anchor = 0;
        }
        invalidate(t);
    } else if (f.kind == Failure::Message && typed) {
        t.current_row = std::clamp(typed->row, 1, std::max(1, t.row_count));
        t.current_column = typed->column;
        reopen_edit(t, typed->text);
    }
    if (f.command != 0) table_send_command(t, f.command);
}

// Runs a table operation; a failure is reported as a typed cell's would be.
template <class F>
bool run_guarded(TableWindow& t, F&& action) {
    Failure f = capture(std::forward<F>(action));
    if (!f) return true;
    report_failure(t, f, nullptr);
    return false;
}

// The next or previous column that Tab goes to in a row: an editable one
// when the row has any, else any shown column. 0 when none.
int tab_column(TableWindow& t, int row, int from, bool forward) {
    const bool editable = any_editable(t, row);
    for (int c = forward ? from + 1 : from - 1; c >= 1 && c <= t.columns(); c += forward ? 1 : -1) {
        if (editable ? editable_cell(t, row, c) : column_usable(t, c)) return c;
    }
    return 0;
}

void tab(TableWindow& t, bool forward) {
    if (!table_end_edit(t) || t.row_count <= 0) return;
    // What was stored may hide or show columns: Tab goes to one shown.
    table_ensure_measured(t);
    int row = t.current_row;
    int c = tab_column(t, row, t.current_column, forward);
    if (c == 0) {
        // Wraps to the next or previous row; at the first or last row it stays.
        int next_row = forward ? row + 1 : row - 1;
        if (next_row < 1 || next_row > t.row_count) return;
        c = tab_column(t, next_row, forward ? 0 : t.columns() + 1, forward);
        if (c == 0) return;
        row = next_row;
    }
    table_move_to(t, row, c);
}

// The next shown column to the left or right, without wrapping; 0 when none.
int arrow_column(TableWindow& t, int from, int step) {
    table_ensure_measured(t);
    for (int c = from + step; c >= 1 && c <= t.columns(); c += step)
        if (column_usable(t, c)) return c;
    return 0;
}

void page(TableWindow& t, int direction) {
    if (!table_end_edit(t) || t.row_count <= 0) return;
    const int rows = std::max(1, table_page_rows(t) - 1);
    const int top = t.top_row;
    if (!table_move_to(t, std::clamp(t.current_row + direction * rows, 1, t.row_count), 0)) return;
    t.top_row = std::clamp(top + direction * rows, 0, std::max(0, t.row_count - 1));
    table_keep_visible(t);
}

// --- editing the text ------------------------------------------------------

bool has_selection(const TableWindow::CellEdit& e) { return e.anchor != e.caret; }

void erase_selection(TableWindow::CellEdit& e) {
    size_t a = std::min(e.anchor, e.caret), b = std::max(e.anchor, e.caret);
    e.text.erase(a, b - a);
    e.caret = e.anchor = a;
}

void move_caret(TableWindow::CellEdit& e, size_t to, bool extend) {
    e.caret = std::min(to, e.text.size());
    if (!extend) e.anchor = e.caret;
}

// Keys inside an open edit; false for keys that leave the cell.
bool edit_key(TableWindow& t, int key, unsigned mods) {
    TableWindow::CellEdit& e = t.edit;
    const bool shift = (mods & MOD_SHIFT) != 0;
    if (table_takes_key(t, key, mods)) {
        // Ctrl+A: the whole text, the caret at its end.
        e.anchor = 0;
        e.caret = e.text.size();
        invalidate(t);
        return true;
    }
    if (mods & MOD_CONTROL) return false;
    switch (key) {
    case KEY_LEFT:
        if (has_selection(e) && !shift)
            move_caret(e, std::min(e.anchor, e.caret), false);
        else
            move_caret(e, prev_char(e.text, e.caret), shift);
        break;
    case KEY_RIGHT:
        if (has_selection(e) && !shift)
            move_caret(e, std::max(e.anchor, e.caret), false);
        else
            move_caret(e, next_char(e.text, e.caret), shift);
        break;
    case KEY_HOME: move_caret(e, 0, shift); break;
    case KEY_END: move_caret(e, e.text.size(), shift); break;
    case KEY_BACK:
        if (has_selection(e)) {
            erase_selection(e);
        } else if (e.caret > 0) {
            size_t p = prev_char(e.text, e.caret);
            e.text.erase(p, e.caret - p);
            e.caret = e.anchor = p;
        }
        break;
    case KEY_DELETE:
        if (has_selection(e)) {
            erase_selection(e);
        } else if (e.caret < e.text.size()) {
            e.text.erase(e.caret, next_char(e.text, e.caret) - e.caret);
            e.anchor = e.caret;
        }
        break;
    case KEY_ESCAPE: table_cancel_edit(t); return true;
    default: return false;
    }
    invalidate(t);
    return true;
}

bool insert_char(TableWindow& t, std::string ch) {
    TableWindow::CellEdit& e = t.edit;
    t.filter_char(e.column, ch);
    if (ch.empty()) return false;
    const int limit = t.char_limit(e.column);
    const int selected = char_count(e.text.substr(std::min(e.anchor, e.caret), std::max(e.anchor, e.caret) - std::min(e.anchor, e.caret)));
    if (limit > 0 && char_count(e.text) - selected + char_count(ch) > limit) return false;
    if (has_selection(e)) erase_selection(e);
    e.text.insert(e.caret, ch);
    e.caret += ch.size();
    e.anchor = e.caret;
    invalidate(t);
    return true;
}

bool printable(const std::string& ch) {
    if (ch.empty()) return false;
    unsigned char c = static_cast<unsigned char>(ch[0]);
    return c >= 0x20 && c != 0x7F;
}

}  // namespace

// ===========================================================================
// Rows and position

void table_reset(TableWindow& t) {
    t.edit = {};
    t.input_typed = false;
    t.editing_allowed = true;
    t.current_row = 1;
    t.top_row = 0;
    t.h_scroll = 0;
    t.current_column = table_first_column(t);
    invalidate(t);
}

void table_set_row_count(TableWindow& t, int rows) {
    // More rows: the input row that was typed into became a record.
    if (rows > t.row_count) t.input_typed = false;
    t.row_count = std::max(0, rows);
    if (t.edit.active && t.edit.row > t.row_count) t.edit = {};
    t.current_row = std::clamp(t.current_row, 1, std::max(1, t.row_count));
    t.top_row = std::clamp(t.top_row, 0, std::max(0, t.row_count - 1));
    t.measure_needed = true;
    table_keep_visible(t);
    invalidate(t);
}

void table_set_row(TableWindow& t, int row) {
    t.current_row = std::clamp(row, 1, std::max(1, t.row_count));
    invalidate(t);
}

void table_set_rows(TableWindow& t, const std::string& title, int rows, int select_row) {
    t.title = title;
    t.input_row = false;
    t.input_typed = false;
    table_set_row_count(t, rows);
    if (select_row > 0) table_goto_row(t, select_row);
}

void table_set_input_rows(TableWindow& t, const std::string& title, int count) {
    count = std::max(0, count);
    t.title = title;
    t.input_row = !input_locked();
    table_set_row_count(t, count + (t.input_row ? 1 : 0));
    t.frame_caption = c_format("%s  (%d) ", title.c_str(), count);
    if (t.frame && table_is_shown(t)) frame_set_title(*t.frame, t.frame_caption);
}

void table_show_at(TableWindow& t, const std::string& title, int rows, int current_row, int first_row) {
    t.title = title;
    t.input_row = false;
    t.input_typed = false;
    t.edit = {};
    t.row_count = std::max(0, rows);
    t.measure_needed = true;
    t.current_row = std::clamp(current_row, 1, std::max(1, t.row_count));
    t.top_row = std::clamp(first_row - 1, 0, std::max(0, t.row_count - 1));
    table_keep_visible(t);
    invalidate(t);
}

void table_refresh(TableWindow& t, const std::string& title, int rows, bool select) {
    t.title = title;
    table_set_row_count(t, rows);
    if (select) {
        t.top_row = 0;
        set_current(t, 1, 0, true);
    }
}

void table_goto_row(TableWindow& t, int row, int column, bool notify) {
    if (t.row_count <= 0 || !table_end_edit(t)) return;
    set_current(t, row, column, notify);
}

void table_goto_last_row(TableWindow& t) { table_goto_row(t, t.row_count); }

namespace {

bool passes_leave_checks(TableWindow& t, int row) {
    Failure f = capture([&] { t.before_leave_row(row); });
    if (!f) return true;
    report_failure(t, f, nullptr);
    return false;
}

}  // namespace

bool table_move_to(TableWindow& t, int row, int column) {
    if (!table_end_edit(t) || t.row_count <= 0) return false;
    const int from = t.current_row;
    // Up from row 1 leaves nothing; down from the last row leaves it only
    // when its checks make a new last row (the input row becoming a record).
    if (row >= 1 && row != from && !passes_leave_checks(t, from)) return false;
    set_current(t, std::clamp(row, 1, std::max(1, t.row_count)), column, true);
    return true;
}

bool table_store_row(TableWindow& t) {
    return table_end_edit(t) && (t.row_count <= 0 || passes_leave_checks(t, t.current_row));
}

bool table_input_row_typed(TableWindow& t) {
    if (!t.input_typed || !t.input_row || t.row_count <= 0 || input_blocked(t)) return false;
    const int row = t.row_count;
    t.prepare_row(row);
    bool shows = false;
    for (int c = 1; c <= t.columns() && !shows; ++c)
        for (int line = 0; line < t.text_lines && !shows; ++line)
            shows = !trimmed(t.cell_text(row, c, line)).empty();
    t.marks = {};
    // Cleared (Delete on the input row, a dialog that took it): nothing to enter.
    if (!shows) t.input_typed = false;
    return shows;
}

bool table_enter_typed_input(TableWindow& t) {
    if (!table_end_edit(t)) return false;
    if (!table_input_row_typed(t)) return true;
    const int row = t.row_count;
    set_current(t, row, 0, true);
    return run_guarded(t, [&] { t.leave_row(row); });
}

int table_first_column(TableWindow& t) {
    const int row = std::clamp(t.current_row, 1, std::max(1, t.row_count));
    for (int c = 1; c <= t.columns(); ++c)
        if (column_usable(t, c) && t.cell_editable(row, c)) return c;
    return 1;
}

void table_invalidate_rows(TableWindow& t, int first, int last) {
    if (!t.view) return;
    if (first <= 0)
        t.view->invalidate();
    else
        t.view->invalidate_rows(first, std::max(first, last));
}

bool table_is_shown(const TableWindow& t) { return t.view && t.view->shown() && t.view->window() != 0; }

void table_set_focus(TableWindow& t) {
    if (t.view && t.view->window()) backend().set_focus(t.view->window());
}

void table_window_refocus(TableWindow& t) {
    t.measure_needed = true;
    table_keep_visible(t);
    invalidate(t);
    table_set_focus(t);
}

int table_page_rows(const TableWindow& t) {
    return t.view && t.view->window() ? std::max(1, t.view->visible_rows()) : TABLE_DEFAULT_PAGE_ROWS;
}

// ===========================================================================
// Editing

bool table_begin_edit(TableWindow& t, bool replace) {
    if (t.edit.active) return true;
    if (!editable_cell(t, t.current_row, t.current_column)) return false;
    t.prepare_row(t.current_row);
    std::string text = trimmed(t.cell_text(t.current_row, t.current_column, 0));
    t.marks = {};
    t.edit.active = true;
    t.edit.row = t.current_row;
    t.edit.column = t.current_column;
    t.edit.original = text;
    t.edit.text = replace ? std::string() : text;
    t.edit.caret = t.edit.anchor = t.edit.text.size();
    table_keep_visible(t);
    invalidate(t);
    return true;
}

void table_cancel_edit(TableWindow& t) {
    if (!t.edit.active) return;
    t.edit = {};
    invalidate(t);
}

bool table_end_edit(TableWindow& t) {
    if (!t.edit.active) return true;
    const TableWindow::CellEdit typed = t.edit;
    t.edit = {};
    invalidate(t);
    // Opening and leaving a cell without changing it stores nothing.
    if (typed.text == typed.original) return true;
    const std::string text = trimmed(typed.text);
    item_text() = text;
    push_undo_snapshot(owner_window(t));
    unit_audit_cell(&t, typed.column);
    const int rows = t.row_count;
    Failure f = capture([&] { t.store_cell(typed.row, typed.column, text); });
    unit_audit_cell(nullptr, 0);
    if (!f) {
        if (t.input_row && typed.row == rows && t.row_count == rows) t.input_typed = true;
        // The stored value may be wider than the column was.
        t.measure_needed = true;
        invalidate(t);
        return true;
    }
    report_failure(t, f, &typed);
    return false;
}

bool table_leave(TableWindow& t) {
    if (!table_end_edit(t)) return false;
    if (t.row_count <= 0) return true;
    const int row = t.current_row;
    return run_guarded(t, [&] { t.leave_row(row); });
}

// ===========================================================================
// Keys and typing

bool table_on_key(TableWindow& t, int key, unsigned mods) {
    if (mods & MOD_ALT) return false;
    const bool ctrl = (mods & MOD_CONTROL) != 0;
    const bool shift = (mods & MOD_SHIFT) != 0;
    // Letters, digits and the space bar arrive as typed text.
    if (!ctrl && ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == KEY_SPACE)) return false;
    if (t.edit.active && edit_key(t, key, mods)) return true;

    switch (key) {
    case KEY_TAB: tab(t, !shift); return true;
    case KEY_RETURN: table_leave(t); return true;
    case KEY_ESCAPE: return false;
    case KEY_F2:
        if (!table_begin_edit(t, false)) beep();
        return true;
    case KEY_BACK:
        if (!table_begin_edit(t, true)) beep();
        return true;
    case KEY_UP: table_move_to(t, t.current_row - 1, 0); return true;
    case KEY_DOWN: table_move_to(t, t.current_row + 1, 0); return true;
    case KEY_LEFT:
        if (int c = arrow_column(t, t.current_column, -1)) table_move_to(t, t.current_row, c);
        return true;
    case KEY_RIGHT:
        if (int c = arrow_column(t, t.current_column, 1)) table_move_to(t, t.current_row, c);
        return true;
    case KEY_HOME:
        if (ctrl)
            table_move_to(t, 1, 0);
        else if (int c = arrow_column(t, 0, 1))
            table_move_to(t, t.current_row, c);
        return true;
    case KEY_END:
        if (ctrl)
            table_move_to(t, t.row_count, 0);
        else if (int c = arrow_column(t, t.columns() + 1, -1))
            table_move_to(t, t.current_row, c);
        return true;
    case KEY_PRIOR: page(t, -1); return true;
    case KEY_NEXT: page(t, 1); return true;
    case 'C':
        if (!ctrl) return false;
        table_copy(t);
        return true;
    case 'V':
        if (!ctrl) return false;
        table_paste(t);
        return true;
    default: return false;
    }
}

bool table_takes_key(const TableWindow& t, int key, unsigned mods) {
    return t.edit.active && key == 'A' && mods == MOD_CONTROL;
}

void table_on_char(TableWindow& t, const std::string& utf8) {
    for (std::string ch : split_chars(utf8)) {
        if (!printable(ch)) continue;
        if (!t.edit.active) {
            // The first character replaces the cell.
            if (!editable_cell(t, t.current_row, t.current_column)) {
                const std::pair<int, int> cell{t.current_row, t.current_column};
                const std::string why = input_blocked(t) || !column_usable(t, cell.second)
                                            ? std::string()
                                            : t.typing_refused(cell.first, cell.second);
                if (why.empty() || t.refusal_said == cell) {
                    beep();
                    continue;
                }
                t.refusal_said = cell;
                message_error(owner_window(t), why);
                return;
            }
            table_begin_edit(t, true);
        }
        if (!insert_char(t, ch)) beep();
    }
}

void table_filter_name(std::string& ch) { ch = upper_case(ch); }

// ===========================================================================
// Commands

void table_send_command(TableWindow& t, int id) {
    if (t.frame && t.frame->window)
        frame_send_command(*t.frame, id);
    else
        run_guarded(t, [&] { t.on_command(id); });
}

bool table_command(TableWindow& t, int id) {
    switch (id) {
    case CMD_EDIT_ROW: table_edit_row(t); return true;
    case CMD_DELETE: table_delete(t); return true;
    case CMD_INSERT: table_insert(t); return true;
    case CMD_COPY: table_copy(t); return true;
    case CMD_PASTE: table_paste(t); return true;
    default: return false;
    }
}

void table_edit_row(TableWindow& t) {
    if (!table_end_edit(t)) return;
    if (t.current_row < 1 || t.current_row > t.row_count) {
        beep();
        return;
    }
    bool has_dialog = true;
    const int row = t.current_row;
    if (run_guarded(t, [&] { has_dialog = t.edit_row(row); }) && !has_dialog) beep();
    t.measure_needed = true;
    invalidate(t);
}

void table_insert(TableWindow& t) {
    if (!table_end_edit(t)) return;
    const int row = t.current_row;
    if (input_blocked(t) || row < 1 || row > t.row_count || !t.can_insert(row)) {
        beep();
        return;
    }
    run_guarded(t, [&] { t.insert_row(row); });
    t.measure_needed = true;
    invalidate(t);
}

void table_delete(TableWindow& t) {
    table_cancel_edit(t);
    const int row = t.current_row;
    if (input_blocked(t) || !t.delete_enabled || row < 1 || row > t.row_count || !t.can_delete(row)) {
        beep();
        return;
    }
    const bool input = t.input_row && row == t.row_count;
    if (!run_guarded(t, [&] { t.delete_row(row); })) return;
    // Delete on the input row clears it.
    if (input) t.input_typed = false;
    t.measure_needed = true;
    set_current(t, t.current_row, 0, false);
    if (t.row_count > 0) t.on_row_changed(t.current_row);
}

void table_copy(TableWindow& t) {
    if (!table_end_edit(t)) return;
    if (t.current_row < 1 || t.current_row > t.row_count) {
        beep();
        return;
    }
    backend().set_clipboard_text(t.copy_row(t.current_row));
}

void table_paste(TableWindow& t) {
    if (!table_end_edit(t)) return;
    const int row = t.current_row;
    std::string text = backend().clipboard_text();
    if (input_blocked(t) || row < 1 || row > t.row_count || text.empty()) {
        beep();
        return;
    }
    // The first line of the clipboard, its cells separated by tabs.
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::vector<std::string> cells;
    for (size_t start = 0;;) {
        size_t tab = text.find('\t', start);
        cells.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    bool pasted = true;
    push_undo_snapshot(owner_window(t));
    const int rows = t.row_count;
    if (run_guarded(t, [&] { pasted = t.paste_row(row, cells); }) && !pasted) {
        beep();
        return;
    }
    if (pasted && t.input_row && row == rows && t.row_count == rows) t.input_typed = true;
    t.measure_needed = true;
    invalidate(t);
}

// ===========================================================================
// Find node

namespace {
bool row_has_node(TableWindow& t, int row, int node) {
    const std::vector<int> nodes = t.row_nodes(row);
    return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
}
}  // namespace

bool table_window_find_node(TableWindow& t, int node) {
    if (node == 0 || t.row_count <= 0) return false;
    const int start = std::clamp(t.current_row, 1, t.row_count);
    for (int i = 1; i <= t.row_count; ++i) {
        const int row = (start - 1 + i) % t.row_count + 1;   // after the current row, wrapping to row 1
        if (!row_has_node(t, row, node)) continue;
        table_move_to(t, row);
        return t.current_row == row;
    }
    return false;
}

bool table_rows_have_nodes(TableWindow& t) {
    for (int row = 1; row <= t.row_count; ++row) {
        const std::vector<int> nodes = t.row_nodes(row);
        if (std::any_of(nodes.begin(), nodes.end(), [](int node) { return node != 0; })) return true;
    }
    return false;
}

bool table_find_node_command(TableWindow& t, const std::function<bool(const std::string&, int&)>& parse) {
    if (!table_end_edit(t)) return false;
    NodeLookup lookup = [&](const std::string& text, int& node) {
        int n = 0;
        if (!parse || !parse(text, n) || n == 0) return false;
        for (int row = 1; row <= t.row_count; ++row)
            if (row_has_node(t, row, n)) {
                node = n;
                return true;
            }
        return false;
    };
    if (!find_node_dialog(owner_window(t), lookup)) return false;
    return table_window_find_node(t, found_node());
}
