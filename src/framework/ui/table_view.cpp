// The table window: geometry, painting, scroll bars, mouse and keys.
//
// The window is a header block (one text line per header line) over the
// rows, with a grey row-number column at the left. It draws its own scroll
// bars: a vertical one at the right when the rows do not fit and a
// horizontal one at the bottom when the columns do not. A bar is a grey
// track with a darker thumb; a click into the track above or below the thumb
// scrolls a page, dragging the thumb scrolls with it, and the wheel scrolls
// three rows a notch (columns with Shift). Scrolling never moves the current
// cell. Dragging a rule of the header sets the width of the column at its
// left; the width is kept when the table is measured again.
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/messages.h"
#include "framework/ui/shown_text_document.h"
#include "framework/ui/table.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr Color WHITE = rgb(255, 255, 255);
constexpr Color BLACK = rgb(0, 0, 0);
constexpr Color HEADER_BACK = rgb(240, 240, 240);
constexpr Color ROWNUM_CURRENT = rgb(212, 212, 212);
constexpr Color ROW_RULE = rgb(224, 224, 224);
constexpr Color CURRENT_FOCUSED = rgb(0, 120, 215);
constexpr Color CURRENT_UNFOCUSED = rgb(204, 228, 247);
constexpr Color SELECTION = rgb(153, 201, 239);
constexpr Color TRACK = rgb(238, 238, 238);
constexpr Color THUMB = rgb(176, 176, 176);

// Metrics used before a window has measured its font.
constexpr int DEFAULT_LINE_HEIGHT = 20;
constexpr int DEFAULT_CHAR_WIDTH = 8;
constexpr int DEFAULT_PADDING = 4;
// How near a header rule the mouse must be to drag it.
constexpr int RULE_GRIP = 3;

// The table's widths on the window, with the widths the user dragged kept
// (a column the table hides stays hidden).
void measure_columns(TableWindow& t, Surface& s) {
    ShownTextSurface shown(s);
    t.measure_window(shown);
    for (const auto& [column, width] : t.user_widths)
        if (column >= 1 && column <= t.columns() && t.widths[static_cast<size_t>(column)] > 0)
            t.widths[static_cast<size_t>(column)] = width;
    t.measure_needed = false;
}

int digits(int n) {
    int d = 1;
    for (n = std::abs(n); n >= 10; n /= 10) ++d;
    return d;
}

bool inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

}  // namespace

// ===========================================================================
// Life

namespace {

// The view with the keyboard focus, by its token: a view that goes clears
// its token, so that it is never reached after.
struct KeyboardFocus {
    std::shared_ptr<TableView*> view;
};

KeyboardFocus& keyboard() { return session_part<KeyboardFocus>(); }

}  // namespace

TableView* TableView::keyboard_focus() {
    const std::shared_ptr<TableView*>& view = keyboard().view;
    return view ? *view : nullptr;
}

TableView::~TableView() {
    *token_ = nullptr;
    if (table_) table_->view = nullptr;
    table_ = nullptr;
    destroy();
}

WindowId TableView::create(Frame& frame) {
    WindowId w = create(frame.window);
    frame.client = w;
    return w;
}

WindowId TableView::create(WindowId parent) {
    destroy();
    if (!backend_installed()) return 0;
    backend_ = &backend();
    window_ = backend().create_client(parent, this);
    Rect r = backend().client_rect(window_);
    width_ = r.width();
    height_ = r.height();
    measure_font();
    invalidate();
    return window_;
}

WindowId TableView::create_in_dialog(Dialog& dialog, int control_id) {
    destroy();
    if (!backend_installed()) return 0;
    backend_ = &backend();
    window_ = dialog.embed_client(control_id, this);
    if (window_ == 0) return 0;
    in_dialog_ = true;
    Rect r = backend().client_rect(window_);
    width_ = r.width();
    height_ = r.height();
    measure_font();
    return window_;
}

WindowId TableView::create_in_host(WindowId host, Point origin) {
    destroy();
    if (!backend_installed() || host == 0) return 0;
    backend_ = &backend();
    window_ = host;
    owns_window_ = false;
    origin_ = origin;
    measure_font();
    invalidate();
    return window_;
}

void TableView::set_origin(Point origin) {
    origin_ = origin;
    invalidate();
}

void TableView::destroy() {
    // Only a window of the backend that made it: ids are not shared between backends.
    if (window_ && owns_window_ && backend_installed() && &backend() == backend_) backend().destroy_window(window_);
    window_ = 0;
    owns_window_ = true;
    in_dialog_ = false;
    origin_ = Point{};
    backend_ = nullptr;
    drag_ = Drag::None;
    focused_ = false;
}

void TableView::set_shown(bool shown) {
    shown_ = shown;
    invalidate();
}

void TableView::set_size(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (table_) table_keep_visible(*table_);
    invalidate();
}

void TableView::measure_font(Surface& s) {
    s.set_font(text_font());
    TextMetrics m = s.text_metrics();
    const int text_height = std::max(1, m.height);
    line_height_ = text_height + 4;
    char_width_ = std::max(1, s.text_width("0"));
    padding_ = table_cell_padding(s);
    bar_ = std::max(12, text_height);
}

void TableView::measure_font() {
    if (!backend_installed()) return;
    std::unique_ptr<Surface> s = backend().screen_surface();
    if (s) measure_font(*s);
}

void TableView::invalidate() {
    if (!window_ || !backend_installed() || &backend() != backend_) return;
    if (owns_window_) {
        backend().invalidate(window_);
    } else {
        const Rect r{origin_.x, origin_.y, origin_.x + width_, origin_.y + height_};
        backend().invalidate(window_, &r);
    }
}

void TableView::invalidate_rows(int first, int last) {
    if (!table_ || !window_) return;
    const int y1 = table_row_y(*table_, first);
    const int y2 = table_row_y(*table_, last) + row_height();
    if (y2 < header_height() || y1 > height_) return;
    Rect r{origin_.x, origin_.y + std::max(0, y1), origin_.x + width_, origin_.y + std::min(height_, y2)};
    if (backend_installed() && &backend() == backend_) backend().invalidate(window_, &r);
}

// ===========================================================================
// Geometry

int TableView::row_height() const { return (table_ ? table_->text_lines : 1) * line_height_; }

int TableView::header_height() const { return (table_ ? table_->header_lines : 1) * line_height_ + 2; }

int TableView::rownum_width() const { return rownum_width_for(table_ ? table_->row_count : 0); }

int TableView::rownum_width_for(int rows) const { return digits(std::max(rows, 99)) * char_width_ + 2 * padding_; }

Rect TableView::preferred_size(int rows) const {
    if (table_) table_ensure_measured(*table_);
    const int width = rownum_width() + total_width() + bar_ + 2;
    const int height = header_height() + std::max(1, rows) * row_height() + 2;
    return Rect{0, 0, width, height};
}

int TableView::total_width() const {
    int w = 0;
    if (table_)
        for (int c = 1; c <= table_->columns(); ++c) w += std::max(0, table_->widths[static_cast<size_t>(c)]);
    return w;
}

TableView::Layout TableView::layout() const {
    Layout l;
    const int rn = rownum_width();
    const int hh = header_height();
    const int rows = table_ ? table_->row_count : 0;
    int avail_w = std::max(0, width_ - rn);
    int avail_h = std::max(0, height_ - hh);
    // Each bar takes room from the other direction, so decide twice.
    for (int pass = 0; pass < 2; ++pass) {
        l.has_hbar = total_width() > avail_w;
        l.has_vbar = static_cast<long long>(rows) * row_height() > avail_h;
        avail_w = std::max(0, width_ - rn - (l.has_vbar ? bar_ : 0));
        avail_h = std::max(0, height_ - hh - (l.has_hbar ? bar_ : 0));
    }
    l.header = Rect{rn, 0, rn + avail_w, hh};
    l.rownum = Rect{0, hh, rn, hh + avail_h};
    l.body = Rect{rn, hh, rn + avail_w, hh + avail_h};
    l.vbar = l.has_vbar ? Rect{rn + avail_w, hh, width_, hh + avail_h} : Rect{};
    l.hbar = l.has_hbar ? Rect{rn, hh + avail_h, rn + avail_w, height_} : Rect{};
    return l;
}

void TableView::clamp_scroll() {
    if (!table_) return;
    // Scrolling stays inside what there is to show.
    table_->top_row = std::clamp(table_->top_row, 0, std::max(0, table_->row_count - visible_rows()));
    table_->h_scroll = std::clamp(table_->h_scroll, 0, std::max(0, total_width() - layout().body.width()));
}

int TableView::visible_rows() const { return std::max(1, layout().body.height() / std::max(1, row_height())); }

std::vector<int> TableView::column_edges(const Layout& l) const {
    const int n = table_ ? table_->columns() : 0;
    std::vector<int> edges(static_cast<size_t>(n) + 2, 0);
    int x = l.body.left - (table_ ? table_->h_scroll : 0);
    for (int c = 1; c <= n; ++c) {
        edges[static_cast<size_t>(c)] = x;
        x += std::max(0, table_->widths[static_cast<size_t>(c)]);
    }
    edges[static_cast<size_t>(n) + 1] = x;
    return edges;
}

TableView::Hit TableView::hit_test(int x, int y) const {
    Hit h;
    if (!table_ || !shown_) return h;
    const Layout l = layout();
    if (l.has_vbar && inside(l.vbar, x, y)) return Hit{Hit::VBar, 0, 0, 0};
    if (l.has_hbar && inside(l.hbar, x, y)) return Hit{Hit::HBar, 0, 0, 0};
    const std::vector<int> edges = column_edges(l);
    const int n = table_->columns();
    auto column_at = [&](int px) {
        for (int c = 1; c <= n; ++c)
            if (table_->widths[static_cast<size_t>(c)] > 0 && px >= edges[static_cast<size_t>(c)] &&
                px < edges[static_cast<size_t>(c) + 1])
                return c;
        return 0;
    };
    if (y < l.header.bottom) {
        if (x < l.header.left || x >= l.header.right) return h;
        // The rule at the right edge of a column, the last one found winning
        // so that a column narrowed to nothing can be widened again.
        int rule = 0;
        for (int c = 1; c <= n; ++c)
            if (table_->widths[static_cast<size_t>(c)] > 0 && std::abs(x - edges[static_cast<size_t>(c) + 1]) <= RULE_GRIP)
                rule = c;
        if (rule) return Hit{Hit::HeaderRule, 0, rule, 0};
        return Hit{Hit::Header, 0, column_at(x), 0};
    }
    if (y >= l.body.bottom) return h;
    const int offset = y - l.body.top;
    const int row = table_->top_row + 1 + offset / std::max(1, row_height());
    if (row < 1 || row > table_->row_count) return h;
    const int line = std::min(table_->text_lines - 1, (offset % std::max(1, row_height())) / std::max(1, line_height_));
    if (x < l.rownum.right) return Hit{Hit::RowNumber, row, 0, line};
    if (x >= l.body.right) return h;
    const int c = column_at(x);
    if (c == 0) return Hit{Hit::RowNumber, row, 0, line};
    return Hit{Hit::Cell, row, c, line};
}

void TableView::thumb(bool vertical, const Layout& l, int& start, int& length) const {
    const Rect& bar = vertical ? l.vbar : l.hbar;
    const int track = vertical ? bar.height() : bar.width();
    const int track_start = vertical ? bar.top : bar.left;
    long long total = 1, page = 1, pos = 0;
    if (table_) {
        total = vertical ? table_->row_count : total_width();
        page = vertical ? visible_rows() : l.body.width();
        pos = vertical ? table_->top_row : table_->h_scroll;
    }
    total = std::max<long long>(total, 1);
    length = static_cast<int>(std::clamp<long long>(track * page / total, std::min(bar_, track), track));
    const long long range = std::max<long long>(1, total - page);
    start = track_start + static_cast<int>((track - length) * std::clamp<long long>(pos, 0, range) / range);
}

void TableView::scroll_to_thumb(bool vertical, int thumb_start) {
    if (!table_) return;
    const Layout l = layout();
    int start = 0, length = 0;
    thumb(vertical, l, start, length);
    const Rect& bar = vertical ? l.vbar : l.hbar;
    const int track = (vertical ? bar.height() : bar.width()) - length;
    const int offset = thumb_start - (vertical ? bar.top : bar.left);
    if (vertical) {
        const long long range = std::max(0, table_->row_count - visible_rows());
        table_->top_row = track > 0 ? static_cast<int>(std::clamp<long long>(offset * range / track, 0, range)) : 0;
    } else {
        const long long range = std::max(0, total_width() - l.body.width());
        table_->h_scroll = track > 0 ? static_cast<int>(std::clamp<long long>(offset * range / track, 0, range)) : 0;
    }
    invalidate();
}

// ===========================================================================
// Painting

void TableView::paint(Surface& window) {
    // The cells show the user's texts as shown_controls writes them, so that
    // no control or bidirectional character reaches the screen; the cell
    // being edited shows what it holds.
    ShownTextSurface s(window);
    measure_font(s);
    s.fill_rect(Rect{0, 0, width_, height_}, WHITE);
    if (!table_ || !shown_) return;
    TableWindow& t = *table_;
    // Another text font (Options > Font): the columns are measured anew, so
    // that no number is cut off on the left.
    if (!(text_font() == measured_font_)) {
        measured_font_ = text_font();
        t.measure_needed = true;
    }
    if (t.measure_needed) {
        measure_columns(t, s);
        s.set_font(text_font());
    }
    const Layout l = layout();
    clamp_scroll();

    TableCanvas c;
    c.dc = &s;
    c.printing = false;
    c.line_height = line_height_;
    c.padding = padding_;
    c.text_offset = std::max(0, (line_height_ - s.text_metrics().height) / 2);
    c.header_top = 0;
    c.header_lines = t.header_lines;
    const std::vector<int> edges = column_edges(l);
    const int n = t.columns();
    c.left.assign(static_cast<size_t>(n) + 2, 0);
    c.right.assign(static_cast<size_t>(n) + 2, 0);
    c.shown.assign(static_cast<size_t>(n) + 2, 0);
    for (int i = 1; i <= n + 1; ++i) {
        const size_t k = static_cast<size_t>(i);
        c.left[k] = edges[k];
        c.right[k] = i <= n ? edges[k + 1] : edges[k];
        c.shown[k] = i <= n ? (t.widths[k] > 0 && c.right[k] > l.body.left && c.left[k] < l.body.right)
                            : (edges[k] >= l.body.left && edges[k] <= l.body.right);
    }

    paint_header(s, c, l);
    paint_rows(s, c, l);
    paint_editor(window, c, l);
    paint_scroll_bars(s, l);
}

void TableView::paint_header(Surface& s, TableCanvas& c, const Layout& l) {
    TableWindow& t = *table_;
    s.fill_rect(Rect{0, 0, l.header.right, l.header.bottom}, HEADER_BACK);
    s.set_clip(l.header);
    s.set_text_color(BLACK);
    for (int col = 1; col <= t.columns(); ++col) {
        if (!c.drawn(col)) continue;
        const size_t k = static_cast<size_t>(col);
        for (int line = 0; line < t.header_lines; ++line) {
            const std::string text = t.header_text(col, line);
            if (!text.empty()) text_out_centred(s, (c.left[k] + c.right[k]) / 2, c.header_line_y(line) + c.text_offset, text);
        }
    }
    c.in_header = true;
    c.top = 0;
    c.bottom = l.header.bottom;
    t.draw_group_headings(c);
    for (int col = 1; col <= t.columns() + 1; ++col)
        if (c.drawn(col)) t.draw_column_rule(c, col);
    tpaint_header_rule(c, l.header.bottom - 1);
    s.clear_clip();
    // The corner above the row numbers.
    Pen grid{rgb(192, 192, 192), 1, PenStyle::Solid};
    s.set_pen(grid);
    s.line(l.rownum.right - 1, 0, l.rownum.right - 1, l.header.bottom);
    s.line(0, l.header.bottom - 1, l.rownum.right, l.header.bottom - 1);
}

void TableView::paint_rows(Surface& s, TableCanvas& c, const Layout& l) {
    TableWindow& t = *table_;
    const int rh = row_height();
    const int first = t.top_row + 1;
    const int last = std::min(t.row_count, t.top_row + (l.body.height() + rh - 1) / std::max(1, rh));
    const FontSpec font = text_font();

    // Row numbers.
    s.fill_rect(l.rownum, HEADER_BACK);
    s.set_clip(l.rownum);
    s.set_text_color(BLACK);
    for (int row = first; row <= last; ++row) {
        const int y = l.body.top + (row - first) * rh;
        if (row == t.current_row) s.fill_rect(Rect{0, y, l.rownum.right - 1, y + rh - 1}, ROWNUM_CURRENT);
        text_out_right(s, l.rownum.right - padding_, y + c.text_offset, c_format("%d", row));
    }
    s.clear_clip();

    // The texts of the visible rows, gathered first so that each column is
    // drawn under one clip.
    struct Cell {
        std::string text;
        std::optional<Color> color;
        std::optional<Color> background;
    };
    std::vector<int> columns;
    for (int col = 1; col <= t.columns(); ++col)
        if (c.drawn(col)) columns.push_back(col);
    const size_t per_row = columns.size() * static_cast<size_t>(t.text_lines);
    std::vector<Cell> cells(per_row * static_cast<size_t>(std::max(0, last - first + 1)));
    std::vector<std::optional<FontSpec>> fonts(static_cast<size_t>(std::max(0, last - first + 1)));
    for (int row = first; row <= last; ++row) {
        const size_t r = static_cast<size_t>(row - first);
        t.marks = {};
        t.prepare_row(row);
        fonts[r] = t.row_font(row);
        for (size_t i = 0; i < columns.size(); ++i)
            for (int line = 0; line < t.text_lines; ++line) {
                t.marks.text_color.reset();
                t.marks.background.reset();
                Cell& cell = cells[r * per_row + i * static_cast<size_t>(t.text_lines) + static_cast<size_t>(line)];
                cell.text = t.cell_text(row, columns[i], line);
                cell.color = t.marks.text_color;
                cell.background = t.marks.background;
            }
    }
    t.marks = {};

    // The current cell.
    const bool current_shown = t.current_row >= first && t.current_row <= last && c.drawn(t.current_column);
    Rect current{};
    if (current_shown) {
        const size_t k = static_cast<size_t>(t.current_column);
        const int y = l.body.top + (t.current_row - first) * rh;
        current = intersect(Rect{c.left[k], y, c.right[k] - 1, y + rh - 1}, l.body);
        s.fill_rect(current, focused_ ? CURRENT_FOCUSED : CURRENT_UNFOCUSED);
    }

    for (size_t i = 0; i < columns.size(); ++i) {
        const int col = columns[i];
        const size_t k = static_cast<size_t>(col);
        s.set_clip(intersect(Rect{c.left[k], l.body.top, c.right[k], l.body.bottom}, l.body));
        std::optional<FontSpec> selected;
        for (int row = first; row <= last; ++row) {
            const size_t r = static_cast<size_t>(row - first);
            if (fonts[r] != selected) {
                s.set_font(fonts[r] ? *fonts[r] : font);
                selected = fonts[r];
            }
            const bool highlighted = current_shown && row == t.current_row && col == t.current_column && focused_;
            const int y = l.body.top + (row - first) * rh;
            for (int line = 0; line < t.text_lines; ++line) {
                const Cell& cell = cells[r * per_row + i * static_cast<size_t>(t.text_lines) + static_cast<size_t>(line)];
                if (cell.background && !(current_shown && row == t.current_row && col == t.current_column)) {
                    const int top = y + line * line_height_;
                    s.fill_rect(Rect{c.left[k], top, c.right[k] - 1, top + (t.text_lines == 1 ? rh : line_height_) - 1},
                                *cell.background);
                }
                if (cell.text.empty()) continue;
                s.set_text_color(highlighted ? WHITE : cell.color.value_or(BLACK));
                table_draw_cell(c, t, col, y + line * line_height_ + c.text_offset, cell.text);
            }
        }
        if (selected) s.set_font(font);
    }

    // What rows draw beyond their cells.
    if (c.drawn(1)) {
        s.set_clip(l.body);
        s.set_text_color(BLACK);
        for (int row = first; row <= last; ++row) {
            const size_t r = static_cast<size_t>(row - first);
            s.set_font(fonts[r] ? *fonts[r] : font);
            t.paint_row(s, row, c.left[1] + c.padding, l.body.top + (row - first) * rh + c.text_offset);
        }
        s.set_font(font);
    }

    // Grid: a rule under each row and the column rules down to the last row.
    s.set_clip(l.body);
    const int x_end = std::min(l.body.right, c.left[static_cast<size_t>(t.columns()) + 1]);
    s.set_pen(Pen{ROW_RULE, 1, PenStyle::Solid});
    for (int row = first; row <= last; ++row) {
        const int y = l.body.top + (row - first + 1) * rh - 1;
        if (const std::optional<Pen> pen = t.row_rule_pen(row)) {
            s.set_pen(*pen);
            s.line(l.body.left, y, x_end, y);
            s.set_pen(Pen{ROW_RULE, 1, PenStyle::Solid});
            continue;
        }
        s.line(l.body.left, y, x_end, y);
    }
    c.in_header = false;
    c.top = l.body.top;
    c.bottom = std::min(l.body.bottom, l.body.top + (last - first + 1) * rh);
    if (last >= first)
        for (int col = 1; col <= t.columns() + 1; ++col)
            if (c.drawn(col)) t.draw_column_rule(c, col);
    s.clear_clip();
}

void TableView::paint_editor(Surface& s, const TableCanvas& c, const Layout& l) {
    TableWindow& t = *table_;
    const TableWindow::CellEdit& e = t.edit;
    if (!e.active || e.row <= t.top_row || !c.drawn(e.column)) return;
    const int y = l.body.top + (e.row - t.top_row - 1) * row_height();
    if (y >= l.body.bottom) return;
    const size_t k = static_cast<size_t>(e.column);
    const Rect cell{c.left[k], y, c.right[k], y + line_height_};
    s.set_clip(intersect(cell, l.body));
    s.fill_rect(cell, WHITE);
    s.set_pen(Pen{BLACK, 1, PenStyle::Solid});
    s.set_brush(Brush{WHITE, true});
    s.rectangle(Rect{cell.left, cell.top, cell.right - 1, cell.bottom - 1});
    // The text scrolls inside the cell to keep the caret in sight.
    const int room = std::max(1, cell.width() - 2 * padding_);
    const int caret_x = dc_text_width(s, e.text.substr(0, e.caret));
    const int shift = std::max(0, caret_x - room);
    const int x0 = cell.left + padding_ - shift;
    const size_t a = std::min(e.anchor, e.caret), b = std::max(e.anchor, e.caret);
    if (a != b) {
        const int sx1 = x0 + dc_text_width(s, e.text.substr(0, a));
        const int sx2 = x0 + dc_text_width(s, e.text.substr(0, b));
        s.fill_rect(Rect{sx1, y + 2, sx2, y + line_height_ - 2}, SELECTION);
    }
    s.set_text_color(BLACK);
    text_out(s, x0, y + c.text_offset, e.text);
    s.line(x0 + caret_x, y + 2, x0 + caret_x, y + line_height_ - 3);
    s.clear_clip();
}

void TableView::paint_scroll_bars(Surface& s, const Layout& l) {
    for (bool vertical : {true, false}) {
        if (vertical ? !l.has_vbar : !l.has_hbar) continue;
        const Rect& bar = vertical ? l.vbar : l.hbar;
        s.fill_rect(bar, TRACK);
        int start = 0, length = 0;
        thumb(vertical, l, start, length);
        Rect r = vertical ? Rect{bar.left + 2, start, bar.right - 2, start + length}
                          : Rect{start, bar.top + 2, start + length, bar.bottom - 2};
        s.fill_rect(r, THUMB);
    }
    if (l.has_vbar && l.has_hbar) s.fill_rect(Rect{l.vbar.left, l.hbar.top, width_, height_}, HEADER_BACK);
}

// ===========================================================================
// Events

namespace {

// Whatever a table operation throws is shown; nothing leaves a window event.
template <class F>
void guarded(TableWindow* t, WindowId window, F&& action) {
    const WindowId owner = t && t->frame && t->frame->window ? t->frame->window : window;
    try {
        action();
    } catch (const MessageText& m) {
        message_error(owner, m.text);
    } catch (const CI& c) {
        message_error(owner, c.message);
    } catch (const MsgCmd& m) {
        message_error(owner, m.message);
    } catch (const MsgColCmd& m) {
        message_error(owner, m.message);
    }
}

}  // namespace

void TableView::on_paint(Surface& s, const Rect&) {
    guarded(table_, window_, [&] { paint(s); });
}

void TableView::on_size(int width, int height) { set_size(width, height); }

void TableView::caret_from_x(int x) {
    if (!table_ || !table_->edit.active || !backend_installed()) return;
    TableWindow::CellEdit& e = table_->edit;
    std::unique_ptr<Surface> s = backend().screen_surface();
    s->set_font(text_font());
    const Layout l = layout();
    const std::vector<int> edges = column_edges(l);
    const int room = std::max(1, edges[static_cast<size_t>(e.column) + 1] - edges[static_cast<size_t>(e.column)] - 2 * padding_);
    const int shift = std::max(0, dc_text_width(*s, e.text.substr(0, e.caret)) - room);
    const int target = x - (edges[static_cast<size_t>(e.column)] + padding_ - shift);
    // The character boundary nearest the point.
    size_t best = 0;
    int best_distance = std::abs(target);
    for (size_t i = 1; i <= e.text.size(); ++i) {
        if (i < e.text.size() && (static_cast<unsigned char>(e.text[i]) & 0xC0) == 0x80) continue;
        const int d = std::abs(dc_text_width(*s, e.text.substr(0, i)) - target);
        if (d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    e.caret = e.anchor = best;
    invalidate();
}

void TableView::left_down(int x, int y, unsigned) {
    TableWindow& t = *table_;
    const Hit h = hit_test(x, y);
    switch (h.kind) {
    case Hit::VBar:
    case Hit::HBar: {
        const bool vertical = h.kind == Hit::VBar;
        const Layout l = layout();
        int start = 0, length = 0;
        thumb(vertical, l, start, length);
        const int p = vertical ? y : x;
        if (p >= start && p < start + length) {
            drag_ = vertical ? Drag::VThumb : Drag::HThumb;
            drag_offset_ = p - start;
            if (window_) backend().set_mouse_capture(window_, true);
        } else if (vertical) {
            t.top_row += p < start ? -visible_rows() : visible_rows();
        } else {
            t.h_scroll += p < start ? -l.body.width() : l.body.width();
        }
        clamp_scroll();
        invalidate();
        break;
    }
    case Hit::HeaderRule:
        drag_ = Drag::Column;
        drag_column_ = h.column;
        if (window_) backend().set_mouse_capture(window_, true);
        break;
    case Hit::Cell: {
        if (t.edit.active && t.edit.row == h.row && t.edit.column == h.column) {
            caret_from_x(x);
            break;
        }
        const bool was_current = t.current_row == h.row && t.current_column == h.column;
        if (!table_move_to(t, h.row, h.column)) break;
        // A click into the current cell opens it with its whole text
        // selected, so that the first key typed replaces it, as in a
        // spreadsheet; a further click (or F2) puts the caret into the text
        // to edit it in place.
        if (was_current && t.current_row == h.row && t.current_column == h.column && table_begin_edit(t, false)) {
            t.edit.anchor = 0;
            t.edit.caret = t.edit.text.size();
            invalidate();
        }
        break;
    }
    case Hit::RowNumber: table_move_to(t, h.row); break;
    default: break;
    }
}

void TableView::right_down(int x, int y) {
    TableWindow& t = *table_;
    const Hit h = hit_test(x, y);
    if (h.kind != Hit::Cell && h.kind != Hit::RowNumber) return;
    if (!table_move_to(t, h.row, h.column)) return;
    t.context_menu(Point{x, y});
}

void TableView::on_mouse_down(MouseButton b, int x, int y, unsigned mods) {
    mouse_ = Point{x, y};
    if (!table_ || !shown_) return;
    if (window_) backend().set_focus(window_);
    guarded(table_, window_, [&] {
        if (b == MouseButton::Left) left_down(x, y, mods);
        else if (b == MouseButton::Right) right_down(x, y);
    });
}

void TableView::on_mouse_up(MouseButton, int x, int y, unsigned) {
    mouse_ = Point{x, y};
    if (drag_ == Drag::None) return;
    drag_ = Drag::None;
    if (window_) backend().set_mouse_capture(window_, false);
}

void TableView::on_mouse_move(int x, int y, unsigned) {
    mouse_ = Point{x, y};
    if (!table_ || drag_ == Drag::None) return;
    TableWindow& t = *table_;
    switch (drag_) {
    case Drag::Column: {
        const std::vector<int> edges = column_edges(layout());
        const int c = drag_column_;
        if (c < 1 || c > t.columns()) break;
        const int width = std::max(2 * padding_, x - edges[static_cast<size_t>(c)]);
        t.widths[static_cast<size_t>(c)] = width;
        auto it = std::find_if(t.user_widths.begin(), t.user_widths.end(), [c](const auto& p) { return p.first == c; });
        if (it != t.user_widths.end())
            it->second = width;
        else
            t.user_widths.emplace_back(c, width);
        invalidate();
        break;
    }
    case Drag::VThumb: scroll_to_thumb(true, y - drag_offset_); break;
    case Drag::HThumb: scroll_to_thumb(false, x - drag_offset_); break;
    case Drag::None: break;
    }
}

void TableView::on_double_click(MouseButton b, int x, int y, unsigned) {
    mouse_ = Point{x, y};
    if (!table_ || !shown_ || b != MouseButton::Left) return;
    const Hit h = hit_test(x, y);
    if (h.kind != Hit::Cell && h.kind != Hit::RowNumber) return;
    guarded(table_, window_, [&] {
        TableWindow& t = *table_;
        if (!table_move_to(t, h.row, h.column)) return;
        if (t.current_row == h.row) table_send_command(t, CMD_EDIT_ROW);
    });
}

void TableView::on_wheel(int delta, int x, int y, unsigned mods) {
    mouse_ = Point{x, y};
    if (!table_ || !shown_ || delta == 0) return;
    // Three rows a notch of 120.
    int steps = delta / 40;
    if (steps == 0) steps = delta > 0 ? 1 : -1;
    if (mods & MOD_SHIFT)
        table_->h_scroll -= steps * 2 * char_width_;
    else
        table_->top_row -= steps;
    clamp_scroll();
    invalidate();
}

bool TableView::on_key(int key, unsigned mods) {
    if (!table_ || !shown_) return false;
    bool used = false;
    // F1 that no window's keys took: the table's help; in a dialog the
    // dialog's, which the key goes on to.
    if (key == KEY_F1 && mods == MOD_NONE) {
        if (in_dialog_) return false;
        guarded(table_, window_, [&] { table_->on_help(window_); });
        return true;
    }
    // In a dialog, where Tab goes from cell to cell, Ctrl+Tab and
    // Ctrl+Shift+Tab leave the table for the dialog's other items and
    // Ctrl+Enter is the dialog's OK; the open cell is stored first, and a
    // value it refuses keeps the keys in the table.
    if (in_dialog_ && (mods & ~MOD_SHIFT) == MOD_CONTROL && (key == KEY_TAB || key == KEY_RETURN)) {
        bool stored = false;
        guarded(table_, window_, [&] { stored = table_end_edit(*table_); });
        return !stored;
    }
    guarded(table_, window_, [&] { used = table_->on_key(key, mods); });
    return used;
}

bool TableView::takes_key(int key, unsigned mods) { return table_ && shown_ && table_takes_key(*table_, key, mods); }

void TableView::on_char(const std::string& utf8) {
    if (!table_ || !shown_) return;
    guarded(table_, window_, [&] { table_on_char(*table_, utf8); });
}

void TableView::on_focus(bool gained) {
    focused_ = gained;
    if (gained)
        keyboard().view = token_;
    else if (keyboard().view == token_)
        keyboard().view.reset();
    invalidate();
}

// ===========================================================================
// Attaching and the geometry helpers

void table_attach(TableView& view, TableWindow* table) {
    if (view.table_ == table) {
        if (table) table->view = &view;
        view.invalidate();
        return;
    }
    if (TableWindow* old = view.table_) {
        // What was typed is stored (or refused with its message) before the table goes.
        table_end_edit(*old);
        table_cancel_edit(*old);
        old->view = nullptr;
        view.table_ = nullptr;
        old->on_leave();
    }
    if (table) {
        if (table->view) table_attach(*table->view, nullptr);
        view.table_ = table;
        table->view = &view;
        table->measure_needed = true;
        // A table that comes into a window starts on the first column that
        // takes typing, not on the one it was left at.
        table->current_column = table_first_column(*table);
        table->on_enter();
        table_keep_visible(*table);
    }
    view.drag_ = TableView::Drag::None;
    view.invalidate();
}

void table_detach(TableWindow& t) {
    TableView* v = t.view;
    if (!v) return;
    t.view = nullptr;
    if (v->table_ == &t) {
        v->table_ = nullptr;
        v->drag_ = TableView::Drag::None;
    }
    v->invalidate();
}

void table_keep_visible(TableWindow& t) {
    if (t.row_count <= 0) {
        t.top_row = 0;
        return;
    }
    const int vis = table_page_rows(t);
    t.current_row = std::clamp(t.current_row, 1, t.row_count);
    if (t.current_row <= t.top_row)
        t.top_row = t.current_row - 1;
    else if (t.current_row > t.top_row + vis)
        t.top_row = t.current_row - vis;
    t.top_row = std::clamp(t.top_row, 0, std::max(0, t.row_count - vis));
    if (!t.view || !t.view->window() || t.measure_needed) return;
    const TableView::Layout l = t.view->layout();
    const int avail = l.body.width();
    int left = 0, total = 0;
    for (int c = 1; c <= t.columns(); ++c) {
        if (c < t.current_column) left += std::max(0, t.widths[static_cast<size_t>(c)]);
        total += std::max(0, t.widths[static_cast<size_t>(c)]);
    }
    const int c = std::clamp(t.current_column, 1, std::max(1, t.columns()));
    const int right = left + (t.columns() > 0 ? std::max(0, t.widths[static_cast<size_t>(c)]) : 0);
    if (left < t.h_scroll)
        t.h_scroll = left;
    else if (right > t.h_scroll + avail)
        t.h_scroll = std::min(left, right - avail);
    t.h_scroll = std::clamp(t.h_scroll, 0, std::max(0, total - avail));
}

void table_ensure_measured(TableWindow& t) {
    if (!t.measure_needed || !backend_installed()) return;
    std::unique_ptr<Surface> s = backend().screen_surface();
    if (!s) return;
    s->set_font(text_font());
    measure_columns(t, *s);
}

std::vector<bool> table_columns_shown(TableWindow& t) {
    t.measure_needed = true;
    table_ensure_measured(t);
    std::vector<bool> shown(static_cast<size_t>(t.columns()) + 1, false);
    for (size_t c = 1; c < shown.size(); ++c) shown[c] = c < t.widths.size() && t.widths[c] > 0;
    return shown;
}

namespace {
// The height of a table line: the view's, or the one a view would have on
// the scripted backend's metrics.
int line_height_of(const TableWindow& t) { return t.view ? t.view->line_height() : DEFAULT_LINE_HEIGHT; }
}  // namespace

int table_header_height(const TableWindow& t, int lines) {
    return std::clamp(lines, 1, MAX_HEADER_LINES) * line_height_of(t) + 2;
}

int table_width_for_rows(TableWindow& t, int rows) {
    table_ensure_measured(t);
    int w = 0;
    for (int c = 1; c <= t.columns(); ++c) w += std::max(0, t.widths[static_cast<size_t>(c)]);
    const int rownum = t.view ? t.view->rownum_width_for(rows)
                              : digits(std::max(rows, 99)) * DEFAULT_CHAR_WIDTH + 2 * DEFAULT_PADDING;
    return rownum + w;
}

int table_height_for_rows(TableWindow& t, int rows) {
    const int line = line_height_of(t);
    return t.header_lines * line + 2 + std::max(0, rows) * t.text_lines * line;
}

int table_row_y(const TableWindow& t, int row) {
    const int line = line_height_of(t);
    return t.header_lines * line + 2 + (row - 1 - t.top_row) * t.text_lines * line;
}

std::unique_ptr<TableView> table_create_in_dialog(Dialog& dialog, int control_id, TableWindow& t, int visible_rows) {
    auto view = std::make_unique<TableView>();
    view->create_in_dialog(dialog, control_id);
    table_attach(*view, &t);
    if (visible_rows > 0) {
        const Rect size = view->preferred_size(visible_rows);
        dialog.set_item_min_size(control_id, size.width(), size.height());
    }
    // Keys go into the table from the start, at its first cell; a dialog
    // whose first field stands before the table focuses that one after.
    t.current_row = 1;
    t.top_row = 0;
    t.current_column = table_first_column(t);
    dialog.focus(control_id, false);
    return view;
}
