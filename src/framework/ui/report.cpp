// The text report, its CSV form, the screen lines and the report state.
#include "framework/ui/report.h"

#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/report_header.h"
#include "framework/units.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <utility>

namespace {

// The text report being written.
struct TextReport {
    bool csv = false;
    std::string out;             // finished lines
    std::string line;            // the current line (a row of cells in CSV)
    int line_no = REPORT_FIRST_LINE;
    int page = 1;
    bool header_pending = true;  // the header of `page` is not written yet
    bool first_page = true;      // no form feed in front of the first header
};

// The report being written, with the title and date of its headers and the
// lines shown on screen.
struct ReportSession {
    ReportState state;
    TextReport text;
    std::string date;
    std::vector<std::string> screen_lines;
};
ReportSession& report_session() { return session_part<ReportSession>(); }

constexpr const char* MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void rtrim(std::string& text) {
    size_t b = text.find_last_not_of(' ');
    text.erase(b == std::string::npos ? 0 : b + 1);
}

bool text_active() { return report_session().state.text_report; }
bool csv_active() { return report_session().state.text_report && report_session().state.csv_mode; }

// Puts the text into the line so that its first character is at the column.
// Columns count characters, not bytes, so that a name with accented letters
// neither runs into the next column nor has its bytes cut.
void place(std::string& line, const std::string& text, int column) {
    if (text.empty()) return;
    const int start = std::max(column, 1) - 1;
    // Plain ASCII (the numbers of the result tables): characters are bytes.
    auto ascii = [](const std::string& s) {
        return std::none_of(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
    };
    if (ascii(line) && ascii(text)) {
        const auto at = static_cast<size_t>(start);
        if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
        line.replace(at, text.size(), text);
        return;
    }
    const int width = utf8_length(text);
    const int have = utf8_length(line);
    if (have < start + width) line.append(static_cast<size_t>(start + width - have), ' ');
    const size_t from = utf8_offset(line, start);
    line.replace(from, utf8_offset(line, start + width) - from, text);
}

void append_cell(const std::string& cell_text) {
    report_session().text.line += cell_text;
    report_session().text.line += ',';
}

// The three header lines of a text page: each part of a line fits between
// the left column and the right column.
std::vector<std::string> text_page_header(int page) {
    constexpr int width = REPORT_RIGHT_COLUMN - REPORT_LEFT_COLUMN + 1;
    std::vector<std::string> lines;
    for (const PageHeaderLine& h :
         page_header_lines(page, width, 3, [](int, const std::string& text) { return utf8_length(text); })) {
        std::string line;
        place(line, h.left, REPORT_LEFT_COLUMN);
        place(line, h.right, REPORT_RIGHT_COLUMN - utf8_length(h.right) + 1);
        rtrim(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

// Ends the current line of a text page: the page header first when this is
// the first line of the page, then the line; after line 59 the next page.
void emit_text_line() {
    if (report_session().text.header_pending) {
        if (!report_session().text.first_page) report_session().text.out += '\f';
        for (const std::string& l : text_page_header(report_session().text.page)) {
            report_session().text.out += l;
            report_session().text.out += '\n';
        }
        report_session().text.header_pending = false;
        report_session().text.first_page = false;
    }
    rtrim(report_session().text.line);
    report_session().text.out += report_session().text.line;
    report_session().text.out += '\n';
    report_session().text.line.clear();
    if (++report_session().text.line_no > REPORT_LAST_LINE) {
        ++report_session().text.page;
        report_session().text.line_no = REPORT_FIRST_LINE;
        report_session().text.header_pending = true;
    }
}

void emit_csv_row() {
    report_session().text.out += report_session().text.line;
    report_session().text.out += '\n';
    report_session().text.line.clear();
    ++report_session().text.line_no;   // counts rows only; CSV has no pages
}

std::string rule_text() {
    std::string l;
    place(l, std::string(REPORT_RIGHT_COLUMN - REPORT_LEFT_COLUMN + 1, '-'), REPORT_LEFT_COLUMN);
    return l;
}

}  // namespace

// ---------------------------------------------------------------------------

ReportState& report_state() { return report_session().state; }

void reset_report_state() {
    report_session().state = ReportState{};
    report_session().text = TextReport{};
    report_session().date.clear();
    report_session().screen_lines.clear();
    report_contents().clear();
}

void set_report_date(const std::string& date) { report_session().date = date; }

std::string report_date() {
    if (!report_session().date.empty()) return report_session().date;
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return c_format("%d %s %04d", tm.tm_mday, MONTHS[tm.tm_mon % 12], tm.tm_year + 1900);
}

std::vector<std::string>& report_screen_lines() { return report_session().screen_lines; }
void report_clear_lines() { report_session().screen_lines.clear(); }

void report_line(const std::string& text) {
    if (report_session().state.printing_pages) {
        gdi_print_text(text);
        gdi_next_line();
    } else if (report_session().state.text_report) {
        if (report_session().state.csv_mode)
            csv_add_text(text);
        else
            report_print_at(text, REPORT_LEFT_COLUMN);
        report_next_line();
    } else {
        report_session().screen_lines.push_back(text);
    }
}

// ---------------------------------------------------------------------------
// Text report

void report_begin_text(bool csv, int first_page) {
    report_session().text = TextReport{};
    report_session().text.csv = csv;
    report_session().text.page = std::max(first_page, 1);
    report_session().state.text_report = true;
    report_session().state.csv_mode = csv;
}

std::string report_end_text() {
    if (report_session().state.text_report && !report_session().text.line.empty()) report_next_line();
    report_session().state.text_report = false;
    report_session().state.csv_mode = false;
    std::string out = std::move(report_session().text.out);
    report_session().text = TextReport{};
    return out;
}

const std::string& report_text() { return report_session().text.out; }

void report_print_first(const std::string& text) {
    if (!text_active()) return;
    if (csv_active())
        append_cell(csv_cell_text(text));
    else
        place(report_session().text.line, text, 1);
}

void report_print_at(const std::string& text, int column) {
    if (!text_active()) return;
    if (csv_active())
        append_cell(csv_cell_text(text));
    else
        place(report_session().text.line, text, column);
}

void report_print_right(const std::string& text, int end_column) {
    if (!text_active()) return;
    if (csv_active()) {
        append_cell(csv_cell_text(text));
        return;
    }
    place(report_session().text.line, text, end_column - utf8_length(text) + 1);
}

void report_print_decimal(const std::string& text, int column) {
    if (!text_active()) return;
    if (csv_active()) {
        append_cell(csv_cell_text(text));
        return;
    }
    std::string t = trimmed(text);
    size_t point = t.find('.');
    // Without a point the number ends just before the column.
    int before = utf8_length(point == std::string::npos ? t : t.substr(0, point));
    place(report_session().text.line, t, column - before);
}

void report_print_centred(const std::string& text, int from, int to) {
    if (!text_active()) return;
    if (csv_active()) {
        append_cell(csv_cell_text(text));
        return;
    }
    std::string t = trimmed(text);
    int width = to - from + 1;
    int len = utf8_length(t);
    int start = len >= width ? from : from + (width - len) / 2;
    place(report_session().text.line, t, start);
}

void report_print_centred_page(const std::string& text) {
    report_print_centred(text, REPORT_LEFT_COLUMN, REPORT_RIGHT_COLUMN);
}

void report_put_char(char ch, int column) {
    if (!text_active()) return;
    if (csv_active())
        append_cell(csv_cell_text(std::string(1, ch)));
    else
        place(report_session().text.line, std::string(1, ch), column);
}

void report_next_line() {
    if (!text_active()) return;
    if (csv_active())
        emit_csv_row();
    else
        emit_text_line();
}

void report_rule() {
    if (!text_active()) return;
    if (csv_active()) {
        if (!report_session().text.line.empty()) emit_csv_row();
        return;
    }
    if (!trimmed(report_session().text.line).empty()) emit_text_line();
    report_session().text.line = rule_text();
    emit_text_line();
}

void report_rule_at_line() {
    if (!text_active() || csv_active()) return;
    report_dashes(REPORT_LEFT_COLUMN, REPORT_RIGHT_COLUMN);
}

void report_dashes(int from, int to) {
    if (!text_active() || csv_active()) return;
    from = std::max(from, 1);
    if (to < from) return;
    place(report_session().text.line, std::string(static_cast<size_t>(to - from + 1), '-'), from);
}

int report_lines_left() {
    if (csv_active()) return INT_MAX / 2;   // a CSV file has no pages
    return REPORT_PAGE_LINES - report_session().text.line_no;
}

void report_break_full_page(const std::function<void()>& heading) {
    if (report_lines_left() < 1) {
        report_page_break();
        heading();
    }
}

int report_current_line() { return report_session().text.line_no; }
int report_page_number() { return report_session().text.page; }

void report_page_break() {
    if (!text_active() || csv_active()) return;
    if (!trimmed(report_session().text.line).empty()) emit_text_line();
    report_session().text.line.clear();
    if (report_session().text.line_no == REPORT_FIRST_LINE) return;   // still a fresh page
    ++report_session().text.page;
    report_session().text.line_no = REPORT_FIRST_LINE;
    report_session().text.header_pending = true;
}

void report_contents_line(const std::string& title) {
    if (!report_session().state.collecting_contents || !text_active() || csv_active()) return;
    report_contents().push_back(ContentsEntry{title, 0, report_session().text.page});
}

// ---------------------------------------------------------------------------
// CSV

std::string csv_cell_text(const std::string& text) {
    std::string t = trimmed(text);
    if (t.find_first_of(",\"\r\n") == std::string::npos) return t;
    std::string q = "\"";
    for (char c : t) {
        if (c == '"') q += '"';
        q += c;
    }
    q += '"';
    return q;
}

void csv_add_cell(const std::string& text) {
    if (!csv_active()) return;
    std::string t = trimmed(text);
    append_cell(t == "0" ? std::string() : csv_cell_text(t));
}

void csv_add_text(const std::string& text) {
    if (!csv_active()) return;
    append_cell(csv_cell_text(text));
}

void csv_add_unit_cell(int quantity) {
    if (!csv_active()) return;
    append_cell(csv_cell_text(unit_label(quantity)));
}

// ---------------------------------------------------------------------------
// Contents of a text report

namespace {
constexpr int CONTENTS_HEAD_LINES = 2;   // "Contents" and a rule
}

void report_print_contents_text(const std::vector<ContentsEntry>& entries) {
    if (!text_active() || csv_active() || entries.empty()) return;
    report_print_centred_page("Contents");
    report_next_line();
    report_rule();
    for (const ContentsEntry& e : entries) {
        int level = std::clamp(e.level, 0, 2);
        report_print_at(e.title, REPORT_LEFT_COLUMN + 2 * level);
        report_print_right(c_format("%d", e.page), REPORT_RIGHT_COLUMN);
        report_next_line();
    }
}

int report_contents_text_pages(size_t entry_count) {
    if (entry_count == 0) return 0;
    size_t per_page = static_cast<size_t>(REPORT_LAST_LINE - REPORT_FIRST_LINE + 1);
    size_t lines = entry_count + CONTENTS_HEAD_LINES;
    return static_cast<int>((lines + per_page - 1) / per_page);
}

// ---------------------------------------------------------------------------
// Whole reports

// Keeps the report state and any text report in progress (a report file
// that is open) around a whole-report run, and puts them back afterwards,
// also when a writer throws.
struct StateGuard {
    ReportState saved = report_session().state;
    TextReport saved_text = std::move(report_session().text);
    ~StateGuard() {
        if (report_session().state.printing_pages && !saved.printing_pages) gdi_end();
        report_session().text = std::move(saved_text);
        report_session().state = saved;
    }
};

std::string report_render_text(const ReportJob& job, bool csv) {
    StateGuard guard;
    std::vector<ContentsEntry> entries;
    if (job.with_contents && !csv) {
        report_contents().clear();
        report_session().state.collecting_contents = true;
        report_begin_text(false, 1);
        if (job.write) job.write();
        report_end_text();
        report_session().state.collecting_contents = false;
        entries = std::move(report_contents());
        report_contents().clear();
        int pages = report_contents_text_pages(entries.size());
        for (ContentsEntry& e : entries) e.page += pages;
    }
    report_begin_text(csv, 1);
    if (!entries.empty()) {
        report_print_contents_text(entries);
        report_page_break();
    }
    if (job.write) job.write();
    return report_end_text();
}

// ---------------------------------------------------------------------------
// Headings and details

void print_report_heading(const ReportHeading& h) {
    if (report_session().state.printing_pages) {
        gdi_print_title_bar(h.title);
        gdi_next_line();
        return;
    }
    if (!text_active()) return;
    if (csv_active()) {
        csv_add_text(h.title);
        report_next_line();
        for (const ReportHeadingEntry& e : h.entries) csv_add_text(e.text);
        report_next_line();
        if (!h.units.empty()) {
            for (const ReportUnitEntry& u : h.units) csv_add_unit_cell(u.quantity);
            report_next_line();
        }
        return;
    }
    int lines = std::max(h.heading_lines, 1);
    if (report_lines_left() < lines + 5) report_page_break();
    report_print_centred_page(h.title);
    report_next_line();
    report_rule();
    for (int l = 0; l < lines; ++l) {
        for (const ReportHeadingEntry& e : h.entries)
            if (e.line == l) report_print_at(e.text, e.column);
        for (const ReportUnitEntry& u : h.units)
            if (u.line == l) report_print_centred(unit_label(u.quantity), u.first_column, u.last_column);
        report_next_line();
    }
    report_rule();
}

void print_row_details(const std::vector<int>& rows, const RowDetailsWriter& writer) {
    if (rows.empty() || !writer) return;
    if (text_active() && !csv_active() && report_lines_left() < 3) report_page_break();
    report_line("Details");
    for (int row : rows) writer(row);
    report_rule();
}
