// Printing a table: on graphic pages, as a text report and as CSV, and the
// report job through which the Print and Export commands reach a table.
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <tuple>

namespace {

constexpr Color BLACK = rgb(0, 0, 0);
constexpr Color WHITE = rgb(255, 255, 255);

// A printed table's title with the number of items it lists: the rows
// without the summary rows after them.
std::string counted_title(const TablePrint& p, const std::string& title, int rows) {
    return c_format("%s (%d)", title.c_str(), std::max(0, rows - p.summary_rows));
}

// Puts the widths back however printing ends.
struct PrintScope {
    TablePrint& p;
    std::vector<int> widths;
    explicit PrintScope(TablePrint& table) : p(table), widths(table.widths) {}
    ~PrintScope() {
        p.widths = widths;
        p.marks = {};
    }
};

// The widths of a printout as the table measures them on the printer,
// without the columns that would print nothing.
void measure_printout(TablePrint& p, Surface& dc) {
    p.blank_columns.clear();
    p.measure_print(dc);
    for (size_t c = 1; c < p.blank_columns.size() && c < p.widths.size(); ++c)
        if (p.blank_columns[c]) p.widths[c] = 0;
}

// The width of the columns from `c` to the end of the group heading that
// begins there (just column c when none does): the columns a tier keeps
// together, so that a group heading stands over all its columns.
int unit_last(const TablePrint& p, int c) {
    int last = c;
    for (const TableGroup& g : p.groups)
        if (g.first_column == c && !g.text.empty()) last = std::max(last, std::min(g.last_column, p.columns()));
    return last;
}

int width_of(const TablePrint& p, int first, int last) {
    int width = 0;
    for (int k = first; k <= last; ++k) width += std::max(0, p.widths[static_cast<size_t>(k)]);
    return width;
}

// The least width of each column that a text may wrap in: its header
// lines, and the widest word of its cells (a text breaks at its blanks),
// with the padding. A column of numbers or single words keeps its width.
std::vector<int> least_widths(TablePrint& p, Surface& dc, int count) {
    const size_t n = static_cast<size_t>(p.columns());
    const int pad = table_cell_padding(dc);
    CellWidths width(dc);
    std::vector<int> least(n + 1, 0);
    for (size_t c = 1; c <= n; ++c) {
        if (p.widths[c] <= 0) continue;
        least[c] = dc_text_width(dc, "00");
        for (int line = 0; line < p.header_lines; ++line)
            least[c] = std::max(least[c], width(p.header_text(static_cast<int>(c), line)));
    }
    for (int r = 1; r <= count; ++r) {
        if (!p.row_test(r)) continue;
        const int row = r + p.print_first_row;
        p.marks = {};
        p.prepare_row(row);
        for (size_t c = 1; c <= n; ++c) {
            if (p.widths[c] <= 0) continue;
            for (int line = 0; line < p.text_lines; ++line) {
                const std::string text = p.cell_text(row, static_cast<int>(c), line);
                std::string_view rest = text;
                while (!rest.empty()) {
                    const size_t blank = rest.find(' ');
                    least[c] = std::max(least[c], width(rest.substr(0, blank)));
                    if (blank == std::string_view::npos) break;
                    rest.remove_prefix(blank + 1);
                }
            }
        }
    }
    p.marks = {};
    for (size_t c = 1; c <= n; ++c)
        if (p.widths[c] > 0) least[c] = std::min(p.widths[c], least[c] + 2 * pad);
    // A group heading keeps the room it needs over its columns: they narrow
    // no further than its own width, which it takes from them one dot at a
    // time each in turn, so that it never runs into the headings beside it.
    for (const TableGroup& g : p.groups) {
        if (g.text.empty()) continue;
        const size_t first = static_cast<size_t>(std::max(1, g.first_column));
        const size_t last = std::min(n, static_cast<size_t>(std::max(0, g.last_column)));
        int missing = dc_text_width(dc, g.text);
        for (size_t c = first; c <= last; ++c) missing -= least[c];
        for (bool widened = true; missing > 0 && widened;) {
            widened = false;
            for (size_t c = first; c <= last && missing > 0; ++c)
                if (least[c] < p.widths[c]) {
                    ++least[c];
                    --missing;
                    widened = true;
                }
        }
    }
    return least;
}

// The columns of a printed table on the page: the widths of p.widths (which
// this sets) and the tiers they lie in. All of a row's columns are printed
// on one page width: a table wider than the page first narrows the columns
// whose texts can wrap, the widest first, down to their widest word; a table
// still too wide goes on in tiers under each row, each tier led by the
// first column again, the columns of a group heading in one tier where they
// fit.
std::vector<std::vector<int>> page_tiers(TablePrint& p, Surface& dc, int room, int count) {
    std::vector<int> shown;
    for (int c = 1; c <= p.columns(); ++c)
        if (p.widths[static_cast<size_t>(c)] > 0) shown.push_back(c);
    if (shown.empty() || width_of(p, 1, p.columns()) <= room) return {shown};

    const std::vector<int> least = least_widths(p, dc, count);
    const std::vector<int> natural = p.widths;
    // The narrowed widths: each column at most `level`, at least its least width.
    const auto narrowed = [&](int level) {
        int total = 0;
        for (int c : shown) {
            const size_t k = static_cast<size_t>(c);
            total += std::max(least[k], std::min(natural[k], level));
        }
        return total;
    };
    int widest = 0;
    for (int c : shown) widest = std::max(widest, natural[static_cast<size_t>(c)]);
    if (narrowed(0) <= room) {
        int low = 0, high = widest;   // narrowed(low) fits, narrowed(high) does not
        while (high - low > 1) {
            const int mid = low + (high - low) / 2;
            (narrowed(mid) <= room ? low : high) = mid;
        }
        for (int c : shown) {
            const size_t k = static_cast<size_t>(c);
            p.widths[k] = std::max(least[k], std::min(natural[k], low));
        }
        return {shown};
    }

    // Tiers: the first column, then as many further ones as fit beside it.
    const int key = shown.front();
    const int key_width = p.widths[static_cast<size_t>(key)];
    const bool repeat_key = 2 * key_width <= room;
    const int tier_room = repeat_key ? room - key_width : room;
    std::vector<std::vector<int>> tiers{{key}};
    int used = key_width;
    for (size_t i = 1; i < shown.size();) {
        const int c = shown[i];
        // The columns that go together: a group's, when they fit a tier.
        int last = unit_last(p, c);
        if (width_of(p, c, last) > tier_room) last = c;
        const int unit = width_of(p, c, last);
        const bool begun = tiers.back().size() > (tiers.size() == 1 || repeat_key ? 1U : 0U);
        if (begun && used + unit > room) {
            tiers.push_back(repeat_key ? std::vector<int>{key} : std::vector<int>{});
            used = repeat_key ? key_width : 0;
        }
        for (; i < shown.size() && shown[i] <= last; ++i) {
            const size_t k = static_cast<size_t>(shown[i]);
            p.widths[k] = std::min(p.widths[k], room - used);   // a text wider than a tier wraps
            tiers.back().push_back(shown[i]);
            used += p.widths[k];
        }
    }
    return tiers;
}

// The width of the widest tier: the table's.
int table_width(const TablePrint& p, const std::vector<std::vector<int>>& tiers) {
    int widest = 0;
    for (const std::vector<int>& tier : tiers) {
        int width = 0;
        for (int c : tier) width += p.widths[static_cast<size_t>(c)];
        widest = std::max(widest, width);
    }
    return widest;
}

// A tier's columns from `left` on; its right rule at the table's right
// edge `right`, so that every tier stands in the table's outline.
TableCanvas tier_canvas(const TablePrint& p, const std::vector<int>& tier, Surface& s, int left, int right) {
    TableCanvas c;
    c.dc = &s;
    c.printing = true;
    c.line_height = gdi_line_height();
    c.padding = table_cell_padding(s);
    c.text_offset = std::max(0, (c.line_height - s.text_metrics().height) / 2);
    c.header_lines = p.header_lines;
    const size_t n = static_cast<size_t>(p.columns());
    c.left.assign(n + 2, 0);
    c.right.assign(n + 2, 0);
    c.shown.assign(n + 2, 0);
    int x = left;
    for (int col : tier) {
        const size_t k = static_cast<size_t>(col);
        c.left[k] = x;
        x += p.widths[k];
        c.right[k] = x;
        c.shown[k] = 1;
    }
    c.left[n + 1] = c.right[n + 1] = std::max(x, right);
    c.shown[n + 1] = 1;
    return c;
}

// A canvas whose one column is the table's outline, from `left` to
// `right`: the rules across the table.
TableCanvas outline_canvas(const TablePrint& p, Surface& s, int left, int right) {
    TableCanvas c;
    c.dc = &s;
    c.printing = true;
    const size_t n = static_cast<size_t>(p.columns());
    c.left.assign(n + 2, right);
    c.right.assign(n + 2, right);
    c.shown.assign(n + 2, 0);
    c.left[1] = left;
    c.shown[1] = 1;
    return c;
}

// A table laid out on the page: its tiers, a canvas for each and one of
// its outline.
struct PageTable {
    std::vector<std::vector<int>> tiers;
    std::vector<TableCanvas> canvases;
    TableCanvas outline;
};

// The column header of every tier at the current line, one under the
// other; moves below them.
void print_header(TablePrint& p, PageTable& table) {
    const std::vector<std::vector<int>>& tiers = table.tiers;
    Surface& s = gdi_surface();
    table.outline.dc = &s;
    int y = gdi_y();
    const int height = print_header_height(p.header_lines);
    s.set_text_color(BLACK);
    for (size_t t = 0; t < tiers.size(); ++t) {
        TableCanvas& c = table.canvases[t];
        c.dc = &s;
        c.header_top = y;
        for (int col : tiers[t]) {
            const size_t k = static_cast<size_t>(col);
            for (int line = 0; line < p.header_lines; ++line) {
                const std::string text = p.header_text(col, line);
                if (!text.empty()) text_out_centred(s, (c.left[k] + c.right[k]) / 2, c.header_line_y(line) + c.text_offset, text);
            }
        }
        c.in_header = true;
        c.top = y;
        c.bottom = y + height;
        p.draw_group_headings(c);
        for (int col : tiers[t]) p.draw_column_rule(c, col);
        p.draw_column_rule(c, p.columns() + 1);
        tprint_header_rule(table.outline, y);
        tprint_header_rule(table.outline, y + height);
        y += height;
    }
    gdi_set_y(y);
}

// One printed row: the texts of each tier's columns on each text line of
// the row, a text wider than its column in pieces broken at its blanks, one
// under the other in the column.
struct PrintedRow {
    struct Piece {
        size_t tier = 0;
        int column = 0;
        int line = 0;          // the printed line of the row it stands on
        int lines = 1;         // the printed lines from it to the end of its text line
        std::string text;
        bool inverted = false;
        bool first = false;    // the first piece of its cell (a highlight fills the cell from it)
    };
    int row = 0;
    std::vector<Piece> pieces;
    std::vector<int> tier_top;   // the first printed line of each tier, and the row's count after them
    std::vector<std::string> note;   // the lines of the row's note, under its tiers
    int lines() const { return (tier_top.empty() ? 0 : tier_top.back()) + static_cast<int>(note.size()); }
};

// How far a row's note stands in from the table's left edge, in characters.
constexpr const char* NOTE_INDENT = "MM";

// `plain` measures in the report font; a row of a font of its own is
// measured in that.
PrintedRow printed_row(TablePrint& p, const std::vector<std::vector<int>>& tiers, int row, int most_lines,
                       CellWidths& plain) {
    PrintedRow out;
    out.row = row;
    Surface& m = gdi_measure_surface();
    const std::optional<FontSpec> font = p.row_font(row);
    m.set_font(font ? *font : gdi_report_font());
    const int pad = table_cell_padding(m);
    std::optional<CellWidths> own;
    if (font) own.emplace(m);
    CellWidths& width = font ? *own : plain;
    const auto measure = [&width](std::string_view text) { return width(text); };
    p.marks = {};
    p.prepare_row(row);
    int line = 0;
    for (size_t t = 0; t < tiers.size(); ++t) {
        out.tier_top.push_back(line);
        for (int text_line = 0; text_line < p.text_lines; ++text_line) {
            const size_t first = out.pieces.size();
            int lines = 1;
            for (int col : tiers[t]) {
                p.marks.text_color.reset();
                const std::string text = p.cell_text(row, col, text_line);
                if (text.empty()) continue;
                const bool inverted = std::find(p.marks.highlighted.begin(), p.marks.highlighted.end(),
                                                std::pair<int, int>{col, text_line}) != p.marks.highlighted.end();
                const int room = p.widths[static_cast<size_t>(col)] - 2 * pad;
                std::vector<std::string> parts{text};
                if (width(text) > room) parts = wrapped_lines(text, room, room, measure);
                for (size_t i = 0; i < parts.size(); ++i)
                    out.pieces.push_back({t, col, line + static_cast<int>(i), 1, std::move(parts[i]), inverted, i == 0});
                lines = std::max(lines, static_cast<int>(parts.size()));
            }
            for (size_t i = first; i < out.pieces.size(); ++i) out.pieces[i].lines = line + lines - out.pieces[i].line;
            line += lines;
        }
    }
    out.tier_top.push_back(line);
    if (const std::string note = p.row_note(row); !note.empty()) {
        const int room = table_width(p, tiers) - 2 * pad - width(NOTE_INDENT);
        out.note = wrapped_lines(note, room, room, measure);
    }
    // Drawn column by column.
    std::stable_sort(out.pieces.begin(), out.pieces.end(), [](const PrintedRow::Piece& a, const PrintedRow::Piece& b) {
        return std::tie(a.tier, a.column, a.line) < std::tie(b.tier, b.column, b.line);
    });
    p.marks = {};
    gdi_select_report_font();
    // A row never reaches past a page: what a page cannot hold of a long
    // text is left out.
    if (line > most_lines) {
        std::erase_if(out.pieces, [most_lines](const PrintedRow::Piece& piece) { return piece.line >= most_lines; });
        for (PrintedRow::Piece& piece : out.pieces) piece.lines = std::min(piece.lines, most_lines - piece.line);
        for (int& top : out.tier_top) top = std::min(top, most_lines);
    }
    out.note.resize(static_cast<size_t>(std::clamp(most_lines - out.tier_top.back(), 0, static_cast<int>(out.note.size()))));
    return out;
}

// A row at the current line (room for it has been made); the closing rule
// under it when it is the last of its page.
void print_row(TablePrint& p, PageTable& table, const PrintedRow& r, bool last_on_page) {
    std::vector<TableCanvas>& canvases = table.canvases;
    Surface& s = gdi_surface();
    table.outline.dc = &s;
    const int y = gdi_y();
    const int lh = gdi_line_height();
    const std::optional<FontSpec> font = p.row_font(r.row);
    if (font) s.set_font(*font);
    for (const PrintedRow::Piece& piece : r.pieces) {
        TableCanvas& c = canvases[piece.tier];
        c.dc = &s;
        const int ly = y + piece.line * lh;
        const size_t k = static_cast<size_t>(piece.column);
        if (piece.inverted && piece.first)
            s.fill_rect(Rect{c.left[k], ly, c.right[k], ly + piece.lines * lh}, BLACK);
        s.set_text_color(piece.inverted ? WHITE : BLACK);
        table_draw_cell(c, p, piece.column, ly + c.text_offset, piece.text);
    }
    s.set_text_color(BLACK);
    // The note under the tiers, in from the table's left edge.
    const int note_x = table.outline.left[1] + table_cell_padding(s) + s.text_width(NOTE_INDENT);
    for (size_t i = 0; i < r.note.size(); ++i)
        s.text(note_x, y + (r.tier_top.back() + static_cast<int>(i)) * lh + canvases.front().text_offset, r.note[i]);
    if (font) gdi_select_report_font();
    const size_t tiers = canvases.size();
    for (size_t t = 0; t < tiers; ++t) {
        TableCanvas& c = canvases[t];
        c.dc = &s;
        c.in_header = false;
        c.top = y + r.tier_top[t] * lh;
        c.bottom = y + r.tier_top[t + 1] * lh;
        for (int col = 1; col <= p.columns(); ++col)
            if (c.drawn(col)) p.draw_column_rule(c, col);
        p.draw_column_rule(c, p.columns() + 1);
    }
    // The note's edges: the table's outline; the columns' rules stop above it.
    if (!r.note.empty()) {
        const int top = y + r.tier_top.back() * lh, end = top + static_cast<int>(r.note.size()) * lh;
        tprint_vline(table.outline, table.outline.left[1], top, end);
        tprint_vline(table.outline, table.outline.right[1], top, end);
    }
    const int bottom = y + r.lines() * lh;
    if (last_on_page) {
        tprint_header_rule(table.outline, bottom);
    } else if (const std::optional<Pen> pen = p.row_rule_pen(r.row)) {
        s.set_pen(*pen);
        s.line(table.outline.left[1], bottom, table.outline.right[1], bottom);
    } else if (tiers > 1) {
        tprint_header_rule(table.outline, bottom);   // the tiers of one row stand together
    }
    gdi_set_y(bottom);
}

bool numeric_text(const std::string& text) {
    double v = 0;
    return parse_c_double(text, v);
}

// The cells of a printout, gathered once: the columns shown, and per column
// its texts, width in characters and whether it holds numbers only.
struct TextTable {
    std::vector<int> columns;
    std::vector<int> rows;                       // table rows printed
    std::vector<std::vector<std::string>> cells; // per printed row: columns x lines
    std::vector<int> chars;                      // per column position
    std::vector<bool> numeric;
};

// With `shown` each text as the text report writes it (shown_controls), so
// that the columns are as wide as what is written in them.
TextTable gather(TablePrint& p, int count, bool shown) {
    TextTable t;
    {
        // Which columns the table shows: those its printer measuring does not hide.
        PrintScope keep(p);
        measure_printout(p, gdi_measure_surface());
        for (int c = 1; c <= p.columns(); ++c)
            if (p.widths[static_cast<size_t>(c)] > 0) t.columns.push_back(c);
    }
    const size_t nc = t.columns.size();
    const size_t lines = static_cast<size_t>(p.text_lines);
    t.chars.assign(nc, 0);
    t.numeric.assign(nc, true);
    std::vector<bool> any(nc, false);
    for (size_t i = 0; i < nc; ++i)
        for (int line = 0; line < p.header_lines; ++line)
            t.chars[i] = std::max(t.chars[i], utf8_length(p.header_text(t.columns[i], line)));
    for (int r = 1; r <= count; ++r) {
        if (!p.row_test(r)) continue;
        const int row = r + p.print_first_row;
        p.marks = {};
        p.prepare_row(row);
        std::vector<std::string> cells(nc * lines);
        for (size_t i = 0; i < nc; ++i)
            for (size_t line = 0; line < lines; ++line) {
                std::string text = p.cell_text(row, t.columns[i], static_cast<int>(line));
                if (shown && holds_controls(text)) text = shown_controls(text);
                trim_blanks(text);
                t.chars[i] = std::max(t.chars[i], utf8_length(text));
                if (!text.empty()) {
                    any[i] = true;
                    if (!numeric_text(text)) t.numeric[i] = false;
                }
                cells[i * lines + line] = std::move(text);
            }
        t.rows.push_back(row);
        t.cells.push_back(std::move(cells));
    }
    p.marks = {};
    for (size_t i = 0; i < nc; ++i)
        if (!any[i]) t.numeric[i] = false;
    return t;
}

// The columns of a text table within the page: positions into
// TextTable::columns and each one's first and last character column.
struct TextTier {
    std::vector<size_t> columns;
    std::vector<int> start, end;
};

// Columns two blanks apart from the report's left column. A table wider
// than the page goes on in tiers, each led by its first column again (the
// node) as the printed pages do; a column wider than a tier is narrowed to
// it, its texts broken at their blanks.
std::vector<TextTier> text_tiers(const TextTable& t) {
    constexpr int GAP = 2;
    const int room = REPORT_RIGHT_COLUMN - REPORT_LEFT_COLUMN + 1;
    const size_t nc = t.columns.size();
    std::vector<int> chars(nc);
    int total = -GAP;
    for (size_t i = 0; i < nc; ++i) {
        chars[i] = std::max(1, t.chars[i]);
        total += chars[i] + GAP;
    }
    const bool repeat_key = total > room && nc > 1 && 2 * (chars[0] + GAP) <= room;
    std::vector<TextTier> tiers(1);
    int column = REPORT_LEFT_COLUMN;
    const auto add = [&](size_t i, int width) {
        tiers.back().columns.push_back(i);
        tiers.back().start.push_back(column);
        tiers.back().end.push_back(column + width - 1);
        column += width + GAP;
    };
    for (size_t i = 0; i < nc; ++i) {
        const bool begun = tiers.back().columns.size() > (tiers.size() == 1 || repeat_key ? 1U : 0U);
        if (begun && column + chars[i] - 1 > REPORT_RIGHT_COLUMN) {
            tiers.emplace_back();
            column = REPORT_LEFT_COLUMN;
            if (repeat_key) add(0, chars[0]);
        }
        add(i, std::min(chars[i], REPORT_RIGHT_COLUMN - column + 1));
    }
    return tiers;
}

// The table on graphic pages under `heading`: in a title bar above its
// column header unless the caller drew its own heading (bar_first false),
// and above the column header of every following page.
void print_table_pages(TablePrint& p, const std::string& heading, int count, bool bar_first) {
    if (!gdi_active()) return;
    count = std::max(0, count);
    p.print_rows = count;
    PrintScope scope(p);
    Surface& m = gdi_measure_surface();
    m.set_font(gdi_report_font());
    measure_printout(p, m);

    const Rect body = gdi_printable_rect();
    const std::vector<std::vector<int>> tiers = page_tiers(p, m, body.width(), count);
    const int lh = std::max(1, gdi_line_height());
    const int page_lines = std::max(1, (body.height() - static_cast<int>(tiers.size()) * print_header_height(p.header_lines)) / lh - 2);
    PageTable layout;
    layout.tiers = tiers;
    const int right = body.left + table_width(p, tiers);
    for (const std::vector<int>& tier : tiers) layout.canvases.push_back(tier_canvas(p, tier, m, body.left, right));
    layout.outline = outline_canvas(p, m, body.left, right);
    const int header_lines = static_cast<int>(tiers.size()) * p.header_lines;

    CellWidths plain(m);
    // The rows printed, each made once, two ahead of the one drawn: a row
    // is the last of its page when the next (the last one with the notes)
    // does not fit under it.
    int next = 0;
    const auto advance = [&]() -> std::optional<PrintedRow> {
        while (++next <= count)
            if (p.row_test(next)) return printed_row(p, tiers, next + p.print_first_row, page_lines, plain);
        return std::nullopt;
    };
    // The notes under the rows go on the page of the last row.
    const std::vector<std::string> notes = p.notes_under_rows();
    int note_lines = 0;
    const auto measure = [&m](std::string_view text) { return m.text_width(std::string(text)); };
    for (const std::string& note : notes)
        note_lines += static_cast<int>(wrapped_lines(note, body.width(), body.width(), measure).size());
    const auto kept = [&](const PrintedRow& r, bool last) {
        return last ? std::min(page_lines, r.lines() + note_lines) : r.lines();
    };
    std::optional<PrintedRow> row = advance();
    std::optional<PrintedRow> after = row ? advance() : std::nullopt;
    auto title_bar = [&heading] {
        gdi_print_title_bar(heading);
        gdi_next_line();
        gdi_quarter_line();
    };
    // The title, the header and the first row together.
    const bool new_page = gdi_ensure_lines(header_lines + (bar_first ? 2 : 0) + (row ? kept(*row, !after) : 1));
    p.contents_entry();
    // Under the caller's own heading on its page the header alone.
    if (!bar_first && !new_page) print_header(p, layout);
    ReportTable table(
        [&p, &layout, &title_bar] {
            title_bar();
            print_header(p, layout);
        },
        1, bar_first || new_page);
    while (row) {
        gdi_ensure_lines(kept(*row, !after));
        std::optional<PrintedRow> later = after ? advance() : std::nullopt;
        const bool page_end = !after || gdi_lines_left() < row->lines() + kept(*after, !later);
        print_row(p, layout, *row, page_end);
        row = std::move(after);
        after = std::move(later);
    }
    for (const std::string& note : notes) gdi_print_line(note);
    table.end();
    gdi_half_line();
}

}  // namespace

// ===========================================================================
// Graphic pages

bool table_print_pages_or_csv(TablePrint& p, const std::string& title, int count,
                              const std::function<void()>& csv) {
    const ReportState& state = report_state();
    if (state.printing_pages) {
        table_print(p, title, count);
        return true;
    }
    if (state.csv_mode) {
        if (csv) csv();
        return true;
    }
    return false;
}

void table_print(TablePrint& p, const std::string& title, int count) {
    print_table_pages(p, counted_title(p, title, count), count, true);
}

void table_print_under(TablePrint& p, const std::string& title, int count) {
    print_table_pages(p, title, count, false);
}

// ===========================================================================
// Text report and CSV

void table_print_text(TablePrint& p, const std::string& title, int count) {
    const ReportState& state = report_state();
    if (!state.text_report || state.csv_mode) return;
    count = std::max(0, count);
    p.print_rows = count;
    const TextTable t = gather(p, count, true);
    const std::vector<TextTier> tiers = text_tiers(t);
    const std::string heading = counted_title(p, title, count);
    auto header = [&] {
        report_print_centred_page(heading);
        report_next_line();
        report_rule();
        for (const TextTier& tier : tiers)
            for (int line = 0; line < p.header_lines; ++line) {
                bool any = false;
                for (size_t k = 0; k < tier.columns.size(); ++k) {
                    const std::string text = p.header_text(t.columns[tier.columns[k]], line);
                    if (text.empty()) continue;
                    report_print_centred(text, tier.start[k], tier.end[k]);
                    any = true;
                }
                // Group headings centred over the columns of their range in the tier.
                for (const TableGroup& g : p.groups) {
                    if (g.line != line || g.text.empty()) continue;
                    int from = 0, to = 0;
                    for (size_t k = 0; k < tier.columns.size(); ++k) {
                        const int c = t.columns[tier.columns[k]];
                        if (c < g.first_column || c > g.last_column) continue;
                        if (from == 0) from = tier.start[k];
                        to = tier.end[k];
                    }
                    if (from == 0) continue;
                    report_print_centred(g.text, from, to);
                    any = true;
                }
                if (any) report_next_line();
            }
        report_rule();
    };
    // The lines of a row's texts in each tier, a text wider than its
    // column broken at its blanks over the lines under it.
    const size_t lines = static_cast<size_t>(p.text_lines);
    const auto row_lines = [&](const std::vector<std::string>& cells) {
        std::vector<std::vector<std::vector<std::string>>> out;   // tier, column, its lines (per text line)
        for (const TextTier& tier : tiers)
            for (size_t line = 0; line < lines; ++line) {
                std::vector<std::vector<std::string>> parts;
                for (size_t k = 0; k < tier.columns.size(); ++k) {
                    const std::string& text = cells[tier.columns[k] * lines + line];
                    const int room = tier.end[k] - tier.start[k] + 1;
                    parts.push_back(text.empty() ? std::vector<std::string>{} : report_column_lines(text, room));
                }
                out.push_back(std::move(parts));
            }
        return out;
    };
    const auto count_lines = [](const std::vector<std::vector<std::vector<std::string>>>& row) {
        int n = 0;
        for (const auto& line : row) {
            size_t most = 1;
            for (const auto& parts : line) most = std::max(most, parts.size());
            n += static_cast<int>(most);
        }
        return n;
    };
    ReportTable table(header, std::max(2, static_cast<int>(tiers.size() * lines)));
    p.contents_entry();
    // A row's note stands under it, in from the table's left edge as on
    // paper, broken at its blanks within the page, on the row's page.
    const int note_column = REPORT_LEFT_COLUMN + static_cast<int>(std::string_view(NOTE_INDENT).size());
    for (std::size_t i = 0; i < t.cells.size(); ++i) {
        const std::vector<std::string>& cells = t.cells[i];
        const auto row = row_lines(cells);
        const std::vector<std::string> note = report_wrapped_lines(p.row_note(t.rows[i]), note_column);
        table.keep(count_lines(row) + static_cast<int>(note.size()));
        for (size_t l = 0; l < row.size(); ++l) {
            const TextTier& tier = tiers[l / lines];
            size_t most = 1;
            for (const auto& parts : row[l]) most = std::max(most, parts.size());
            for (size_t at = 0; at < most; ++at) {
                for (size_t k = 0; k < tier.columns.size(); ++k) {
                    if (at >= row[l][k].size()) continue;
                    const std::string& text = row[l][k][at];
                    if (t.numeric[tier.columns[k]])
                        report_print_right(text, tier.end[k]);
                    else
                        report_print_at(text, tier.start[k]);
                }
                report_next_line();
            }
        }
        for (const std::string& line : note) {
            report_print_at(line, note_column);
            report_next_line();
        }
    }
    table.close();
}

void table_print_csv(TablePrint& p, const std::string& title, int count) {
    const ReportState& state = report_state();
    if (!state.text_report || !state.csv_mode) return;
    count = std::max(0, count);
    p.print_rows = count;
    const TextTable t = gather(p, count, false);
    const size_t nc = t.columns.size();
    csv_add_text(counted_title(p, title, count));
    report_next_line();
    for (int line = 0; line < p.header_lines; ++line) {
        std::vector<std::string> texts;
        bool any = false;
        for (size_t i = 0; i < nc; ++i) {
            texts.push_back(p.header_text(t.columns[i], line));
            // A group heading goes into the cell of the first column of its range.
            for (const TableGroup& g : p.groups)
                if (g.line == line && texts.back().empty() && t.columns[i] >= g.first_column &&
                    t.columns[i] <= g.last_column && (i == 0 || t.columns[i - 1] < g.first_column))
                    texts.back() = g.text;
            any = any || !texts.back().empty();
        }
        if (!any) continue;
        for (const std::string& text : texts) csv_add_text(text);
        report_next_line();
    }
    const size_t lines = static_cast<size_t>(p.text_lines);
    for (const std::vector<std::string>& cells : t.cells)
        for (size_t line = 0; line < lines; ++line) {
            for (size_t i = 0; i < nc; ++i) csv_add_text(cells[i * lines + line]);
            report_next_line();
        }
}

// ===========================================================================
// Report jobs

ReportJob table_report_job(TableWindow& t) {
    TableWindow* table = &t;
    return ReportJob{t.title, [table] { table->print(); }, false};
}

bool table_print_sheet(TableWindow& t, WindowId owner) {
    if (!table_end_edit(t)) return false;
    return print_sheet(owner, table_report_job(t));
}

std::string table_report_text(TableWindow& t, bool csv) { return report_render_text(table_report_job(t), csv); }

void table_screen_csv(TableWindow& t) {
    const ReportState& state = report_state();
    if (!state.text_report || !state.csv_mode) return;
    const std::string caption = t.frame && table_is_shown(t) ? trimmed(t.frame->title_text) : t.title;
    csv_add_text(caption.empty() ? t.title : caption);
    report_next_line();
    table_ensure_measured(t);
    std::vector<int> columns;
    for (int c = 1; c <= t.columns(); ++c)
        if (t.measure_needed || static_cast<size_t>(c) >= t.widths.size() || t.widths[static_cast<size_t>(c)] > 0)
            columns.push_back(c);
    // One line of cells; false (nothing written) when every cell is empty.
    const auto line_of = [](const std::vector<std::string>& cells) {
        if (std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); })) return false;
        for (const std::string& c : cells) csv_add_text(c);
        report_next_line();
        return true;
    };
    for (int line = 0; line < t.header_lines; ++line) {
        std::vector<std::string> cells;
        for (int c : columns) cells.push_back(trimmed(t.header_text(c, line)));
        for (const TableGroup& g : t.groups) {
            if (g.line != line || g.text.empty()) continue;
            // In the first cell under the group that shows nothing else.
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i] >= g.first_column && columns[i] <= g.last_column && cells[i].empty()) {
                    cells[i] = g.text;
                    break;
                }
        }
        line_of(cells);
    }
    for (int row = 1; row <= t.record_count(); ++row) {
        t.marks = {};
        t.prepare_row(row);
        for (int line = 0; line < t.text_lines; ++line) {
            std::vector<std::string> cells;
            for (int c : columns) cells.push_back(trimmed(t.cell_text(row, c, line)));
            if (line == 0)
                if (std::vector<std::string> painted = t.painted_cells(row); !painted.empty()) {
                    // The painted fields follow the texts of the cells.
                    while (!cells.empty() && cells.back().empty()) cells.pop_back();
                    for (std::string& text : painted) cells.push_back(trimmed(text));
                }
            if (!line_of(cells) && line == 0) report_next_line();
        }
    }
    t.marks = {};
}

bool table_export_csv(TableWindow& t, WindowId owner) {
    if (!table_end_edit(t)) return false;
    TableWindow* table = &t;
    return print_report_to(owner, ReportJob{t.title, [table] { table_screen_csv(*table); }, false},
                           PrintDestination::CsvFile);
}
