// The text report, its CSV form, the screen lines and the report state.
#include "framework/ui/report.h"

#include "framework/number_text.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/report_header.h"
#include "framework/units.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

// Text that grows at its end in blocks that never move: a long report is
// never copied as it grows.
class BlockText {
public:
    static constexpr size_t BLOCK = size_t{1} << 20;

    void append(std::string_view piece) {
        if (blocks_.empty() || blocks_.back().size() + piece.size() > blocks_.back().capacity()) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max(BLOCK, piece.size()));
        }
        blocks_.back() += piece;
        size_ += piece.size();
    }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The text from `from` to `to` handed to `write`, block by block.
    void write_range(size_t from, size_t to, const std::function<void(std::string_view)>& write) const {
        size_t at = 0;
        for (const std::string& b : blocks_) {
            const size_t begin = std::max(from, at), end = std::min(to, at + b.size());
            if (begin < end) write(std::string_view(b).substr(begin - at, end - begin));
            at += b.size();
            if (at >= to) break;
        }
    }
    std::string joined() && {
        if (blocks_.size() == 1) return std::move(blocks_.front());
        std::string text;
        text.reserve(size_);
        for (const std::string& b : blocks_) text += b;
        return text;
    }

private:
    std::vector<std::string> blocks_;
    size_t size_ = 0;
};

// Where a page begins in the finished lines of a text report whose page
// headers are made when it is put together: in front of out[offset].
struct PageStart {
    size_t offset = 0;
    int page = 0;
};

// The page headers of one report: the model, the date and the
// quality-assurance block stay as they are while it is written, so the
// header of a page is that of another page whose number has as many digits,
// with its own number in the place of the other's.
class PageHeaders {
public:
    // The header of a page, with a form feed in front unless it is the first.
    void put(std::string& out, int page, bool first);

private:
    struct Pattern {
        std::string before, after;   // around the page number
        bool made = false;
    };
    std::array<Pattern, 12> by_digits_;
};

// The text report being written. A report with contents keeps its finished
// lines without their page headers, which are made when the text is put
// together: its lines are then written only once, in front of contents
// pages whose number is known only at the end.
struct TextReport {
    bool csv = false;
    bool headers_later = false;    // page headers are made when the text is put together
    BlockText out;                 // finished lines (with their page headers unless later)
    std::vector<PageStart> pages;  // with headers later: the pages begun, in order
    PageHeaders headers;
    std::string line;              // the current line (a row of cells in CSV)
    bool line_ascii = true;        // the current line is plain ASCII: a column is a byte
    int line_no = REPORT_FIRST_LINE;
    int page = 1;
    bool header_pending = true;    // nothing is written on `page` yet
    bool first_page = true;        // no form feed in front of the first header
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

bool ascii(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

// Puts the text into the line so that its first character is at the column.
// Columns count characters, not bytes, so that a name with accented letters
// neither runs into the next column nor has its bytes cut.
void place(std::string& line, std::string_view text, int column, bool line_ascii) {
    if (text.empty()) return;
    const int start = std::max(column, 1) - 1;
    // Plain ASCII (the numbers of the result tables): characters are bytes.
    if (line_ascii && ascii(text)) {
        const auto at = static_cast<size_t>(start);
        if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
        std::memcpy(line.data() + at, text.data(), text.size());
        return;
    }
    const int width = utf8_length(text);
    const int have = utf8_length(line);
    if (have < start + width) line.append(static_cast<size_t>(start + width - have), ' ');
    const size_t from = utf8_offset(line, start);
    line.replace(from, utf8_offset(line, start + width) - from, text);
}

void place(std::string& line, std::string_view text, int column) { place(line, text, column, ascii(line)); }

// The same on the current line of the text report.
void place(TextReport& t, std::string_view text, int column) {
    place(t.line, text, column, t.line_ascii);
    t.line_ascii = t.line_ascii && ascii(text);
}

// A text known to be plain ASCII (a number) on the current line.
void place_ascii(TextReport& t, std::string_view text, int column) {
    if (!t.line_ascii) {
        place(t.line, text, column, false);
        return;
    }
    const auto at = static_cast<size_t>(std::max(column, 1) - 1);
    if (t.line.size() < at + text.size()) t.line.resize(at + text.size(), ' ');
    std::memcpy(t.line.data() + at, text.data(), text.size());
}

void set_line(TextReport& t, std::string text) {
    t.line_ascii = ascii(text);
    t.line = std::move(text);
}

void clear_line(TextReport& t) {
    t.line.clear();
    t.line_ascii = true;
}

// The last column up to `column` that holds something other than a blank;
// 0 when there is none.
int last_filled_column(const TextReport& t, int column) {
    if (t.line_ascii) {
        for (size_t i = std::min(t.line.size(), static_cast<size_t>(std::max(column, 0))); i > 0; --i)
            if (t.line[i - 1] != ' ') return static_cast<int>(i);
        return 0;
    }
    int last = 0, at = 0;
    for (size_t i = 0; i < t.line.size() && at < column; ++i) {
        if ((static_cast<unsigned char>(t.line[i]) & 0xC0) == 0x80) continue;   // inside a character
        ++at;
        if (t.line[i] != ' ') last = at;
    }
    return last;
}

void append_cell(ReportSession& s, std::string_view cell_text) {
    s.text.line += cell_text;
    s.text.line += ',';
}

bool text_active(const ReportSession& s) { return s.state.text_report; }
bool csv_active(const ReportSession& s) { return s.state.text_report && s.state.csv_mode; }

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

void PageHeaders::put(std::string& out, int page, bool first) {
    if (!first) out += '\f';
    char number[24];
    const std::string_view digits(number, static_cast<size_t>(std::to_chars(number, number + sizeof number, page).ptr - number));
    if (page < 1 || digits.size() >= by_digits_.size()) {
        for (const std::string& l : text_page_header(page)) {
            out += l;
            out += '\n';
        }
        return;
    }
    Pattern& p = by_digits_[digits.size()];
    if (!p.made) {
        std::string text;
        for (const std::string& l : text_page_header(page)) {
            text += l;
            text += '\n';
        }
        // The number ends the first line; a header that does not show it so
        // is made afresh for every page.
        const size_t end = text.find('\n');
        if (end < digits.size() || text.compare(end - digits.size(), digits.size(), digits) != 0) {
            out += text;
            return;
        }
        p.before = text.substr(0, end - digits.size());
        p.after = text.substr(end);
        p.made = true;
    }
    out += p.before;
    out += digits;
    out += p.after;
}

// Ends the current line of a text page: the page header first when this is
// the first line of the page (or a mark where it goes), then the line;
// after line 59 the next page.
void emit_text_line(TextReport& t) {
    if (t.header_pending) {
        if (t.headers_later) {
            t.pages.push_back(PageStart{t.out.size(), t.page});
        } else {
            std::string header;
            t.headers.put(header, t.page, t.first_page);
            t.out.append(header);
        }
        t.header_pending = false;
        t.first_page = false;
    }
    rtrim(t.line);
    t.line += '\n';
    t.out.append(t.line);
    clear_line(t);
    if (++t.line_no > REPORT_LAST_LINE) {
        ++t.page;
        t.line_no = REPORT_FIRST_LINE;
        t.header_pending = true;
    }
}

void emit_csv_row(TextReport& t) {
    t.line += '\n';
    t.out.append(t.line);
    clear_line(t);
    ++t.line_no;   // counts rows only; CSV has no pages
}

void end_line(ReportSession& s) {
    if (csv_active(s))
        emit_csv_row(s.text);
    else
        emit_text_line(s.text);
}

std::string rule_text() {
    std::string l;
    place(l, std::string(REPORT_RIGHT_COLUMN - REPORT_LEFT_COLUMN + 1, '-'), REPORT_LEFT_COLUMN);
    return l;
}

using TextSink = std::function<void(std::string_view)>;

// The finished lines of a report, the pages of one whose headers were left
// for later with their headers in front, numbered `page_offset` more than
// they were written with, and a form feed before every header unless it is
// the first thing written.
void put_together(TextReport& t, int page_offset, bool first, const TextSink& write) {
    if (t.pages.empty()) {
        t.out.write_range(0, t.out.size(), write);
        return;
    }
    t.out.write_range(0, t.pages.front().offset, write);
    std::string header;
    for (size_t i = 0; i < t.pages.size(); ++i) {
        header.clear();
        t.headers.put(header, t.pages[i].page + page_offset, first);
        first = false;
        write(header);
        const size_t to = i + 1 < t.pages.size() ? t.pages[i + 1].offset : t.out.size();
        t.out.write_range(t.pages[i].offset, to, write);
    }
}

std::string joined(TextReport&& t) {
    if (t.pages.empty()) return std::move(t.out).joined();
    std::string text;
    text.reserve(t.out.size() + 256 * t.pages.size());
    put_together(t, 0, true, [&text](std::string_view piece) { text += piece; });
    return text;
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
    ReportSession& s = report_session();
    if (s.state.printing_pages) {
        gdi_print_text(text);
        gdi_next_line();
    } else if (s.state.text_report) {
        if (s.state.csv_mode)
            csv_add_text(text);
        else
            report_print_at(text, REPORT_LEFT_COLUMN);
        report_next_line();
    } else {
        s.screen_lines.push_back(text);
    }
}

// ---------------------------------------------------------------------------
// Text report

void report_begin_text(bool csv, int first_page) {
    ReportSession& s = report_session();
    s.text = TextReport{};
    s.text.csv = csv;
    s.text.page = std::max(first_page, 1);
    s.state.text_report = true;
    s.state.csv_mode = csv;
}

namespace {
// Ends the text report and hands over what it holds: the current line is
// ended when it holds anything.
TextReport end_text(ReportSession& s) {
    if (s.state.text_report && !s.text.line.empty()) end_line(s);
    s.state.text_report = false;
    s.state.csv_mode = false;
    return std::exchange(s.text, TextReport{});
}
}  // namespace

std::string report_end_text() { return joined(end_text(report_session())); }

std::string report_text() {
    TextReport& t = report_session().text;
    std::string text;
    put_together(t, 0, true, [&text](std::string_view piece) { text += piece; });
    return text;
}

void report_print_first(std::string_view text) { report_print_at(text, 1); }

void report_print_at(std::string_view text, int column) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s))
        append_cell(s, csv_cell_text(text));
    else
        place(s.text, text, column);
}

void report_print_right(std::string_view text, int end_column) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    place(s.text, text, end_column - utf8_length(text) + 1);
}

void report_real_right(double value, int width, int decimals, int end_column) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    char text[NUMBER_TEXT_SIZE];
    char* end = write_real(text, value, width, decimals);
    if (csv_active(s)) {
        // As csv_add_cell takes it: "0" is an empty cell.
        append_cell(s, end - text == 1 && text[0] == '0' ? std::string_view() : std::string_view(text, static_cast<size_t>(end - text)));
        return;
    }
    // One blank at least between the value and the text before it; a value
    // that has not that room takes the room there is: the exponent form that
    // fits, or stars.
    const int filled = last_filled_column(s.text, end_column);
    const int room = filled == 0 ? end_column : end_column - filled - 1;
    if (end - text > room) {
        end = room >= 1 ? write_real(text, value, room, decimals) : text;
        if (room < 1 || end - text > room)
            end = std::fill_n(text, room >= 1 ? room : std::min(1, end_column - filled), '*');
        if (end == text) return;   // the text before reaches the end column
    }
    place_ascii(s.text, std::string_view(text, static_cast<size_t>(end - text)), end_column - static_cast<int>(end - text) + 1);
}

void report_real_right(const ShownReal& value, int end_column) {
    report_real_right(value.value, value.width, value.decimals, end_column);
}

void report_print_decimal(const std::string& text, int column) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    std::string t = trimmed(text);
    size_t point = t.find('.');
    // Without a point the number ends just before the column.
    int before = utf8_length(point == std::string::npos ? t : t.substr(0, point));
    place(s.text, t, column - before);
}

void report_print_centred(const std::string& text, int from, int to) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    std::string t = trimmed(text);
    int width = to - from + 1;
    int len = utf8_length(t);
    int start = len >= width ? from : from + (width - len) / 2;
    place(s.text, t, start);
}

void report_print_centred_page(const std::string& text) {
    report_print_centred(text, REPORT_LEFT_COLUMN, REPORT_RIGHT_COLUMN);
}

void report_put_char(char ch, int column) { report_print_at(std::string(1, ch), column); }

void report_next_line() {
    ReportSession& s = report_session();
    if (text_active(s)) end_line(s);
}

void report_rule() {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        if (!s.text.line.empty()) emit_csv_row(s.text);
        return;
    }
    if (!trimmed(s.text.line).empty()) emit_text_line(s.text);
    set_line(s.text, rule_text());
    emit_text_line(s.text);
}

void report_rule_at_line() {
    const ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s)) return;
    report_dashes(REPORT_LEFT_COLUMN, REPORT_RIGHT_COLUMN);
}

void report_dashes(int from, int to) {
    ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s)) return;
    from = std::max(from, 1);
    if (to < from) return;
    place(s.text, std::string(static_cast<size_t>(to - from + 1), '-'), from);
}

int report_lines_left() {
    const ReportSession& s = report_session();
    if (csv_active(s)) return INT_MAX / 2;   // a CSV file has no pages
    return REPORT_PAGE_LINES - s.text.line_no;
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
    ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s)) return;
    TextReport& t = s.text;
    if (!trimmed(t.line).empty()) emit_text_line(t);
    clear_line(t);
    if (t.line_no == REPORT_FIRST_LINE) return;   // still a fresh page
    ++t.page;
    t.line_no = REPORT_FIRST_LINE;
    t.header_pending = true;
}

void report_contents_line(const std::string& title) {
    const ReportSession& s = report_session();
    if (!s.state.collecting_contents || !text_active(s) || csv_active(s)) return;
    report_contents().push_back(ContentsEntry{title, 0, s.text.page});
}

// ---------------------------------------------------------------------------
// CSV

std::string csv_cell_text(std::string_view text) {
    std::string t = trimmed(std::string(text));
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
    ReportSession& s = report_session();
    if (!csv_active(s)) return;
    std::string t = trimmed(text);
    append_cell(s, t == "0" ? std::string() : csv_cell_text(t));
}

void csv_add_text(const std::string& text) {
    ReportSession& s = report_session();
    if (!csv_active(s)) return;
    append_cell(s, csv_cell_text(text));
}

void csv_add_real(double value, int width, int decimals) {
    ReportSession& s = report_session();
    if (!csv_active(s)) return;
    char text[NUMBER_TEXT_SIZE];
    char* end = write_real(text, value, width, decimals);
    append_cell(s, end - text == 1 && text[0] == '0' ? std::string_view() : std::string_view(text, static_cast<size_t>(end - text)));
}

void csv_add_unit_cell(int quantity) {
    ReportSession& s = report_session();
    if (!csv_active(s)) return;
    append_cell(s, csv_cell_text(unit_label(quantity)));
}

// ---------------------------------------------------------------------------
// Contents of a text report

namespace {
constexpr int CONTENTS_HEAD_LINES = 2;   // "Contents" and a rule
}

void report_print_contents_text(const std::vector<ContentsEntry>& entries) {
    const ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s) || entries.empty()) return;
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

void report_render_text_to(const ReportJob& job, bool csv, const std::function<void(std::string_view)>& write) {
    StateGuard guard;
    ReportSession& s = report_session();
    const bool contents = job.with_contents && !csv;
    if (contents) {
        report_contents().clear();
        s.state.collecting_contents = true;
    }
    report_begin_text(csv, 1);
    s.text.headers_later = contents;
    if (job.write) job.write();
    s.state.collecting_contents = false;
    TextReport body = end_text(s);
    if (!contents) {
        put_together(body, 0, true, write);
        return;
    }
    // The contents pages go in front of the body, whose pages move back by
    // as many.
    std::vector<ContentsEntry> entries = std::move(report_contents());
    report_contents().clear();
    const int pages = report_contents_text_pages(entries.size());
    for (ContentsEntry& e : entries) e.page += pages;
    report_begin_text(false, 1);
    if (!entries.empty()) {
        report_print_contents_text(entries);
        report_page_break();
    }
    const int body_offset = s.text.page - 1;
    TextReport front = end_text(s);
    put_together(front, 0, true, write);
    put_together(body, body_offset, front.out.empty(), write);
}

std::string report_render_text(const ReportJob& job, bool csv) {
    std::string text;
    report_render_text_to(job, csv, [&text](std::string_view piece) { text += piece; });
    return text;
}

// ---------------------------------------------------------------------------
// Headings and details

void print_report_heading(const ReportHeading& h) {
    if (report_session().state.printing_pages) {
        gdi_print_title_bar(h.title);
        gdi_next_line();
        return;
    }
    if (!text_active(report_session())) return;
    if (csv_active(report_session())) {
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
    if (text_active(report_session()) && !csv_active(report_session()) && report_lines_left() < 3) report_page_break();
    report_line("Details");
    for (int row : rows) writer(row);
    report_rule();
}
