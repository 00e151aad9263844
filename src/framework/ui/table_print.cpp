// Printing a table: on graphic pages, as a text report and as CSV, and the
// report job through which the Print and Export commands reach a table.
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"

#include <algorithm>

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

// The width of the columns from `c` to the end of the group heading that
// begins there (just column c when none does): the columns a band keeps
// together, so that a group heading stands over all its columns.
int unit_width(const TablePrint& p, int c) {
    int last = c;
    for (const TableGroup& g : p.groups)
        if (g.first_column == c && !g.text.empty()) last = std::max(last, std::min(g.last_column, p.columns()));
    int width = 0;
    for (int k = c; k <= last; ++k) width += std::max(0, p.widths[static_cast<size_t>(k)]);
    return width;
}

// Columns that fit across the page, band by band; a band after the first
// starts with column 1 again when that leaves room, so that every band shows
// what its rows are. The columns under one group heading go into one band
// when they fit the page.
std::vector<std::vector<int>> column_bands(const TablePrint& p, int page_width) {
    std::vector<std::vector<int>> bands;
    std::vector<int> band;
    int used = 0;
    const int first_width = p.columns() >= 1 ? p.widths[1] : 0;
    for (int c = 1; c <= p.columns(); ++c) {
        const int w = p.widths[static_cast<size_t>(c)];
        if (w <= 0) continue;
        // The room the column needs: its group's, when the group fits a page.
        const int group = unit_width(p, c);
        const int need = group <= page_width ? std::max(w, group) : w;
        if (!band.empty() && used + need > page_width) {
            bands.push_back(std::move(band));
            band.clear();
            used = 0;
            if (first_width > 0 && first_width + need <= page_width) {
                band.push_back(1);
                used = first_width;
            }
        }
        band.push_back(c);
        used += w;
    }
    if (!band.empty()) bands.push_back(std::move(band));
    return bands;
}

TableCanvas band_canvas(const TablePrint& p, const std::vector<int>& band, Surface& s, int left) {
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
    for (int col : band) {
        const size_t k = static_cast<size_t>(col);
        c.left[k] = x;
        x += p.widths[k];
        c.right[k] = x;
        c.shown[k] = 1;
    }
    c.left[n + 1] = c.right[n + 1] = x;
    c.shown[n + 1] = 1;
    return c;
}

// The column header at the current line; moves below it.
void print_header(TablePrint& p, TableCanvas& c, const std::vector<int>& band) {
    Surface& s = gdi_surface();
    c.dc = &s;
    const int y = gdi_y();
    const int height = print_header_height(p.header_lines);
    c.header_top = y;
    s.set_text_color(BLACK);
    for (int col : band) {
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
    for (int col : band) p.draw_column_rule(c, col);
    p.draw_column_rule(c, p.columns() + 1);
    tprint_header_rule(c, y);
    tprint_header_rule(c, y + height);
    gdi_set_y(y + height);
}

// One row at the current line (room for it has been made).
void print_row(TablePrint& p, TableCanvas& c, const std::vector<int>& band, int row, bool last_on_page) {
    Surface& s = gdi_surface();
    c.dc = &s;
    const int y = gdi_y();
    const int lh = c.line_height;
    p.marks = {};
    p.prepare_row(row);
    const std::optional<FontSpec> font = p.row_font(row);
    if (font) s.set_font(*font);
    for (int col : band) {
        const size_t k = static_cast<size_t>(col);
        for (int line = 0; line < p.text_lines; ++line) {
            p.marks.text_color.reset();
            const std::string text = p.cell_text(row, col, line);
            const bool inverted = std::find(p.marks.highlighted.begin(), p.marks.highlighted.end(),
                                            std::pair<int, int>{col, line}) != p.marks.highlighted.end();
            const int ly = y + line * lh;
            if (inverted) s.fill_rect(Rect{c.left[k], ly, c.right[k], ly + lh}, BLACK);
            s.set_text_color(inverted ? WHITE : BLACK);
            table_draw_cell(c, p, col, ly + c.text_offset, text);
        }
    }
    s.set_text_color(BLACK);
    if (font) gdi_select_report_font();
    c.in_header = false;
    c.top = y;
    c.bottom = y + p.text_lines * lh;
    for (int col : band) p.draw_column_rule(c, col);
    p.draw_column_rule(c, p.columns() + 1);
    if (const std::optional<Pen> pen = p.row_rule_pen(row); pen && !last_on_page) {
        int x1 = 0, x2 = 0;
        if (c.span(1, p.columns(), x1, x2)) {
            s.set_pen(*pen);
            s.line(x1, c.bottom, x2, c.bottom);
        }
    }
    if (last_on_page) tprint_header_rule(c, c.bottom);
    for (int line = 0; line < p.text_lines; ++line) gdi_next_line();
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

TextTable gather(TablePrint& p, int count) {
    TextTable t;
    {
        // Which columns the table shows: those its printer measuring does not hide.
        PrintScope keep(p);
        p.measure_print(gdi_measure_surface());
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

// The table on graphic pages under `heading`: in a title bar above the first
// band unless the caller drew its own heading (bar_first false), and above
// the column header of every band and of every following page.
void print_table_pages(TablePrint& p, const std::string& heading, int count, bool bar_first) {
    if (!gdi_active()) return;
    count = std::max(0, count);
    p.print_rows = count;
    PrintScope scope(p);
    Surface& m = gdi_measure_surface();
    m.set_font(gdi_report_font());
    p.measure_print(m);

    const Rect body = gdi_printable_rect();
    // The last row printed gets the closing rule.
    int last = 0;
    for (int r = count; r >= 1 && last == 0; --r)
        if (p.row_test(r)) last = r;
    auto title_bar = [&heading] {
        gdi_print_title_bar(heading);
        gdi_next_line();
        gdi_quarter_line();
    };

    bool first_band = true;
    for (const std::vector<int>& band : column_bands(p, body.width())) {
        // The title, the header and a first row together.
        const bool bar = bar_first || !first_band;
        const bool new_page = gdi_ensure_lines(p.header_lines + (bar ? 2 : 0) + p.text_lines);
        if (first_band) p.contents_entry();
        first_band = false;
        TableCanvas c = band_canvas(p, band, gdi_measure_surface(), body.left);
        // Under the caller's own heading on its page the header alone.
        if (!bar && !new_page) print_header(p, c, band);
        ReportTable table(
            [&p, &c, &band, &title_bar] {
                title_bar();
                print_header(p, c, band);
            },
            1, bar || new_page);
        for (int r = 1; r <= count; ++r) {
            if (!p.row_test(r)) continue;
            gdi_ensure_lines(p.text_lines);
            // The last row of a page closes the table there.
            const bool page_end = gdi_lines_left() < 2 * p.text_lines;
            print_row(p, c, band, r + p.print_first_row, r == last || page_end);
        }
        table.end();
        gdi_half_line();
    }
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
    const TextTable t = gather(p, count);
    const size_t nc = t.columns.size();
    // Columns two blanks apart from the report's left column.
    std::vector<int> start(nc), end(nc);
    int column = REPORT_LEFT_COLUMN;
    for (size_t i = 0; i < nc; ++i) {
        start[i] = column;
        end[i] = column + std::max(1, t.chars[i]) - 1;
        column = end[i] + 3;
    }
    const std::string heading = counted_title(p, title, count);
    auto header = [&] {
        report_print_centred_page(heading);
        report_next_line();
        report_rule();
        for (int line = 0; line < p.header_lines; ++line) {
            bool any = false;
            for (size_t i = 0; i < nc; ++i) {
                const std::string text = p.header_text(t.columns[i], line);
                if (text.empty()) continue;
                report_print_centred(text, start[i], end[i]);
                any = true;
            }
            // Group headings centred over the columns of their range.
            for (const TableGroup& g : p.groups) {
                if (g.line != line || g.text.empty()) continue;
                int from = 0, to = 0;
                for (size_t i = 0; i < nc; ++i) {
                    if (t.columns[i] < g.first_column || t.columns[i] > g.last_column) continue;
                    if (from == 0) from = start[i];
                    to = end[i];
                }
                if (from == 0) continue;
                report_print_centred(g.text, from, to);
                any = true;
            }
            if (any) report_next_line();
        }
        report_rule();
    };
    ReportTable table(header, std::max(2, p.text_lines));
    p.contents_entry();
    const size_t lines = static_cast<size_t>(p.text_lines);
    for (const std::vector<std::string>& cells : t.cells) {
        table.keep(p.text_lines);
        for (size_t line = 0; line < lines; ++line) {
            for (size_t i = 0; i < nc; ++i) {
                const std::string& text = cells[i * lines + line];
                if (text.empty()) continue;
                if (t.numeric[i])
                    report_print_right(text, end[i]);
                else
                    report_print_at(text, start[i]);
            }
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
    const TextTable t = gather(p, count);
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
