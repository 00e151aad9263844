// Measuring and drawing the parts of a table, on the window and on paper.
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"

#include <algorithm>
#include <array>

namespace {

constexpr Color SCREEN_RULE = rgb(192, 192, 192);
constexpr Color INK = rgb(0, 0, 0);

Pen screen_pen() { return Pen{SCREEN_RULE, 1, PenStyle::Solid}; }
Pen print_pen(const Surface& s) { return Pen{INK, std::max(1, s.dpi_x() / 150), PenStyle::Solid}; }

void vline(TableCanvas& c, const Pen& pen, int x, int y1, int y2) {
    if (!c.dc) return;
    c.dc->set_pen(pen);
    c.dc->line(x, y1, x, y2);
}

// A rule across the drawn columns.
void hrule(TableCanvas& c, const Pen& pen, int y) {
    if (!c.dc) return;
    const int n = static_cast<int>(c.shown.size()) - 2;
    int x1 = 0, x2 = 0;
    if (!c.span(1, std::max(1, n), x1, x2)) return;
    c.dc->set_pen(pen);
    c.dc->line(x1, y, x2, y);
}

// The left rule of a column (column n + 1: the right end of the last one).
void column_rule(TableCanvas& c, const Pen& pen, int column) {
    if (!c.drawn(column)) return;
    vline(c, pen, c.left[static_cast<size_t>(column)], c.top, c.bottom);
}

// A heading over columns first..last, when any of them is drawn: centred
// over all of them that have a width, those scrolled out of the window
// too (the window clips it there), so that it stands over its whole group
// and never runs into the heading beside it.
void heading(TableCanvas& c, const Pen& pen, const std::string& text, int first, int last, int line) {
    if (!c.dc) return;
    int x1 = 0, x2 = 0;
    if (!c.span(first, last, x1, x2)) return;
    bool any = false;
    for (int col = std::max(1, first); col <= last && col < static_cast<int>(c.shown.size()) - 1; ++col) {
        const size_t k = static_cast<size_t>(col);
        if (c.right[k] <= c.left[k]) continue;
        if (!any) x1 = c.left[k];
        x2 = c.right[k];
        any = true;
    }
    const int y = c.header_line_y(line);
    if (!text.empty()) text_out_centred(*c.dc, (x1 + x2) / 2, y + c.text_offset, text);
    c.dc->set_pen(pen);
    c.dc->line(x1, y + c.line_height - 1, x2, y + c.line_height - 1);
}

}  // namespace

bool TableCanvas::span(int first, int last, int& x1, int& x2) const {
    bool any = false;
    for (int col = std::max(1, first); col <= last && col < static_cast<int>(shown.size()) - 1; ++col) {
        if (!drawn(col)) continue;
        const size_t k = static_cast<size_t>(col);
        if (!any) x1 = left[k];
        x2 = right[k];
        any = true;
    }
    return any;
}

// ---------------------------------------------------------------------------
// Text

int table_cell_padding(Surface& dc) { return std::max(2, dc.text_width("0") / 2 + 1); }

int dc_text_width(Surface& dc, const std::string& text) { return text.empty() ? 0 : dc.text_width(text); }

int text_width(const FontSpec& font, const std::string& text) {
    if (text.empty() || !backend_installed()) return 0;
    std::unique_ptr<Surface> s = backend().screen_surface();
    if (!s) return 0;
    s->set_font(font);
    return s->text_width(text);
}

void text_out(Surface& dc, int x, int y, const std::string& text) { dc.text(x, y, text, TextAlign::Left); }
void text_out_right(Surface& dc, int x, int y, const std::string& text) { dc.text(x, y, text, TextAlign::Right); }
void text_out_centred(Surface& dc, int x, int y, const std::string& text) { dc.text(x, y, text, TextAlign::Center); }

void equalize_widths(std::vector<int>& widths, int a, int b) {
    const int n = static_cast<int>(widths.size());
    a = std::max(a, 0);
    b = std::min(b, n - 1);
    if (a > b) return;
    const int widest = *std::max_element(widths.begin() + a, widths.begin() + b + 1);
    std::fill(widths.begin() + a, widths.begin() + b + 1, widest);
}

void equalize_two_widths(std::vector<int>& widths, int a, int b) {
    const int n = static_cast<int>(widths.size());
    if (a < 0 || b < 0 || a >= n || b >= n) return;
    const int widest = std::max(widths[static_cast<size_t>(a)], widths[static_cast<size_t>(b)]);
    widths[static_cast<size_t>(a)] = widths[static_cast<size_t>(b)] = widest;
}

// ---------------------------------------------------------------------------
// Measuring

CellWidths::CellWidths(Surface& dc) : dc_(dc) { advance_.fill(-1); }

int CellWidths::operator()(std::string_view text) {
    int w = 0;
    for (unsigned char ch : text) {
        if (ch < 0x20 || ch >= 0x7F) return dc_text_width(dc_, std::string(text));
        int& a = advance_[static_cast<size_t>(ch)];
        if (a < 0) a = dc_.text_width(std::string(1, static_cast<char>(ch)));
        w += a;
    }
    return w;
}

void table_measure(TablePrint& t, Surface& dc, int first_row, int last_row, bool present_only) {
    const int n = t.columns();
    const int pad = table_cell_padding(dc);
    const int minimum = dc_text_width(dc, "00");
    CellWidths width_of(dc);
    std::vector<int> widest(static_cast<size_t>(n) + 1, 0);
    std::vector<std::string> widest_cell(static_cast<size_t>(n) + 1);
    std::vector<int> widest_sum(static_cast<size_t>(n) + 1, -1);
    for (int c = 1; c <= n; ++c)
        for (int line = 0; line < t.header_lines; ++line)
            widest[static_cast<size_t>(c)] = std::max(widest[static_cast<size_t>(c)], dc_text_width(dc, t.header_text(c, line)));
    for (int row = std::max(1, first_row); row <= last_row; ++row) {
        if (present_only && !t.row_present(row)) continue;
        t.prepare_row(row);
        for (int c = 1; c <= n; ++c)
            for (int line = 0; line < t.text_lines; ++line) {
                std::string text = t.cell_text(row, c, line);
                const int w = width_of(text);
                if (w > widest_sum[static_cast<size_t>(c)]) {
                    widest_sum[static_cast<size_t>(c)] = w;
                    widest_cell[static_cast<size_t>(c)] = std::move(text);
                }
            }
    }
    t.marks = {};
    t.blank_columns.assign(static_cast<size_t>(n) + 1, 0);
    for (int c = 1; c <= n; ++c) {
        const size_t k = static_cast<size_t>(c);
        const int cells = std::max(widest_sum[k], dc_text_width(dc, widest_cell[k]));
        t.widths[k] = std::max({widest[k], cells, minimum}) + 2 * pad;
        t.blank_columns[k] = widest[k] == 0 && cells <= 0 &&
                             std::none_of(t.groups.begin(), t.groups.end(), [c](const TableGroup& g) {
                                 return !g.text.empty() && c >= g.first_column && c <= g.last_column;
                             });
    }
    // A group heading wider than its columns widens them evenly, so that it
    // never runs into the headings beside it.
    for (const TableGroup& g : t.groups) {
        const int first = std::max(1, g.first_column), last = std::min(n, g.last_column);
        if (first > last) continue;
        int span = 0;
        for (int c = first; c <= last; ++c) span += t.widths[static_cast<size_t>(c)];
        const int missing = dc_text_width(dc, g.text) + 2 * pad - span;
        if (missing <= 0) continue;
        const int count = last - first + 1;
        for (int c = first; c <= last; ++c)
            t.widths[static_cast<size_t>(c)] += missing / count + (c - first < missing % count ? 1 : 0);
    }
}

int print_header_height(int lines) {
    const int lh = gdi_line_height();
    return std::clamp(lines, 1, MAX_HEADER_LINES) * lh + lh / 4;
}

int table_rownum_width(Surface& dc, int rows) {
    std::string digits = std::to_string(std::max(rows, 99));
    return dc_text_width(dc, digits) + 2 * table_cell_padding(dc);
}

// ---------------------------------------------------------------------------
// Rules and headings

void tpaint_vline(TableCanvas& c, int x, int y1, int y2) { vline(c, screen_pen(), x, y1, y2); }
void tprint_vline(TableCanvas& c, int x, int y1, int y2) {
    if (c.dc) vline(c, print_pen(*c.dc), x, y1, y2);
}

void tpaint_header_rule(TableCanvas& c, int y) { hrule(c, screen_pen(), y); }
void tprint_header_rule(TableCanvas& c, int y) {
    if (c.dc) hrule(c, print_pen(*c.dc), y);
}

void tpaint_column_rule(TableCanvas& c, int column) { column_rule(c, screen_pen(), column); }
void tprint_column_rule(TableCanvas& c, int column) {
    if (c.dc) column_rule(c, print_pen(*c.dc), column);
}

void tpaint_column_heading(TableCanvas& c, const std::string& text, int first, int last, int line) {
    heading(c, screen_pen(), text, first, last, line);
}
void tprint_column_heading(TableCanvas& c, const std::string& text, int first, int last, int line) {
    if (c.dc) heading(c, print_pen(*c.dc), text, first, last, line);
}

void table_draw_cell(TableCanvas& c, const TablePrint& t, int column, int y, const std::string& text) {
    if (!c.dc || !c.drawn(column) || text.empty()) return;
    const size_t k = static_cast<size_t>(column);
    const TextAlign align = k < t.alignments.size() ? t.alignments[k] : TextAlign::Left;
    switch (align) {
    case TextAlign::Left: text_out(*c.dc, c.left[k] + c.padding, y, text); break;
    case TextAlign::Right: text_out_right(*c.dc, c.right[k] - c.padding, y, text); break;
    case TextAlign::Center: text_out_centred(*c.dc, (c.left[k] + c.right[k]) / 2, y, text); break;
    }
}

void table_set_text_color(TablePrint& t, Color color) { t.marks.text_color = color; }
void table_set_cell_background(TablePrint& t, Color color) { t.marks.background = color; }

void tprint_highlight_cell(TablePrint& t, int, int column, int line) { t.marks.highlighted.emplace_back(column, line); }
