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
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include <sys/mman.h>

namespace {

// A block of text memory. Its pages are given to it when it is made, in
// one call rather than one fault each as they are first written.
class TextBlock {
public:
    static constexpr size_t SIZE = size_t{1} << 20;
    static constexpr size_t FIRST_SIZE = size_t{1} << 16;   // the first block of a text

    explicit TextBlock(size_t capacity = SIZE) : capacity_(capacity) {
        void* p = ::mmap(nullptr, capacity_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        data_ = static_cast<char*>(p);
    }
    ~TextBlock() {
        if (data_) ::munmap(data_, capacity_);
    }
    TextBlock(TextBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    TextBlock& operator=(TextBlock&& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    TextBlock(const TextBlock& other) : TextBlock(other.capacity_) {
        std::memcpy(data_, other.data_, other.size_);
        size_ = other.size_;
    }
    TextBlock& operator=(const TextBlock& other) {
        if (this != &other) *this = TextBlock(other);
        return *this;
    }

    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    std::string_view text() const { return {data_, size_}; }
    void append(std::string_view piece) {
        std::memcpy(data_ + size_, piece.data(), piece.size());
        size_ += piece.size();
    }
    void clear() { size_ = 0; }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// The blocks of the reports written before, kept for the next: a report
// writes into memory that is in use already. A copy keeps none.
struct SpareTextBlocks {
    static constexpr size_t KEPT = 32;
    std::vector<TextBlock> blocks;
    SpareTextBlocks() = default;
    SpareTextBlocks(const SpareTextBlocks&) {}
    SpareTextBlocks& operator=(const SpareTextBlocks&) { return *this; }
};

// Text that grows at its end, in order: pieces copied into blocks that
// never move, and pieces of texts written elsewhere (rows written apart),
// which it keeps whole rather than copy. A long report is never copied as
// it grows.
class BlockText {
public:
    using Shared = std::shared_ptr<const std::string>;

    void append(std::string_view piece) {
        if (blocks_.empty() || blocks_.back().size() + piece.size() > blocks_.back().capacity()) {
            std::vector<TextBlock>& spare = session_part<SpareTextBlocks>().blocks;
            if (piece.size() <= TextBlock::SIZE && !spare.empty()) {
                blocks_.push_back(std::move(spare.back()));
                spare.pop_back();
            } else {
                blocks_.emplace_back(std::max(blocks_.empty() ? TextBlock::FIRST_SIZE : TextBlock::SIZE, piece.size()));
            }
        }
        const size_t from = blocks_.back().size();
        blocks_.back().append(piece);
        add(static_cast<int>(blocks_.size()) - 1, from, piece.size());
    }
    // A piece that lies in `text`, which is kept.
    void append_shared(const Shared& text, std::string_view piece) {
        if (shared_.empty() || shared_.back() != text) shared_.push_back(text);
        add(-static_cast<int>(shared_.size()), static_cast<size_t>(piece.data() - text->data()), piece.size());
    }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The text from `from` to `to` handed to `write`, piece by piece.
    void write_range(size_t from, size_t to, const std::function<void(std::string_view)>& write) const {
        auto s = std::upper_bound(segments_.begin(), segments_.end(), from,
                                  [](size_t at, const Segment& g) { return at < g.at; });
        if (s != segments_.begin()) --s;
        for (; s != segments_.end() && s->at < to; ++s) {
            const size_t begin = std::max(from, s->at), end = std::min(to, s->at + s->size);
            if (begin < end) write(std::string_view(data(*s) + (begin - s->at), end - begin));
        }
    }
    std::string joined() const {
        std::string text;
        text.reserve(size_);
        for (const Segment& g : segments_) text.append(data(g), g.size);
        return text;
    }
    // The blocks go to the spare blocks; the text is empty after.
    void give_back() {
        std::vector<TextBlock>& spare = session_part<SpareTextBlocks>().blocks;
        for (TextBlock& b : blocks_)
            if (b.capacity() == TextBlock::SIZE && spare.size() < SpareTextBlocks::KEPT) {
                b.clear();
                spare.push_back(std::move(b));
            }
        *this = BlockText{};
    }

private:
    // A piece of the text: from `at` on, `size` characters of a block
    // (source >= 0) or of a kept text (source -1 for the first).
    struct Segment {
        size_t at = 0;
        int source = 0;
        size_t from = 0;
        size_t size = 0;
    };
    const char* data(const Segment& g) const {
        return (g.source >= 0 ? blocks_[static_cast<size_t>(g.source)].text().data()
                              : shared_[static_cast<size_t>(-g.source - 1)]->data()) +
               g.from;
    }
    void add(int source, size_t from, size_t n) {
        if (n == 0) return;
        if (!segments_.empty() && segments_.back().source == source &&
            segments_.back().from + segments_.back().size == from)
            segments_.back().size += n;
        else
            segments_.push_back(Segment{size_, source, from, n});
        size_ += n;
    }
    std::vector<TextBlock> blocks_;
    std::vector<Shared> shared_;
    std::vector<Segment> segments_;
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
    std::string* rows_apart = nullptr;   // rows written apart: their finished lines go here, without pages
    int rows_apart_lines = 0;            // and their count
    std::vector<std::string> held; // finished lines that go with what follows them (report_line_with_next)
    // The lines under the current one that texts too wide for their column
    // go on in (report_print_within): each with its column, the lines in order.
    std::vector<std::pair<int, std::vector<std::string>>> row_rest;
    std::string line;              // the current line (a row of cells in CSV)
    bool line_ascii = true;        // the current line is plain ASCII: a column is a byte
    int crowded_texts = 0;         // texts written against or over text on their line
    int line_no = REPORT_FIRST_LINE;
    int page = 1;
    bool header_pending = true;    // nothing is written on `page` yet
    bool first_page = true;        // no form feed in front of the first header
    // The heading of the open table (ReportTable), its finished lines: the
    // top of every page begun while it is set.
    std::shared_ptr<const std::string> table_heading;
    int table_heading_lines = 0;
    int body_top = REPORT_FIRST_LINE;   // the line under the current page's repeated heading
};

// The report being written, with the title and date of its headers and the
// lines shown on screen.
struct ReportSession {
    ReportState state;
    TextReport text;
    std::string date;
    std::vector<std::string> screen_lines;
    int rows_apart_block = 0;   // rows of a block written apart; 0: the default
};
// A thread that writes rows apart (ReportRowsApart) writes into a report
// session of its own.
thread_local ReportSession* rows_apart_session = nullptr;
ReportSession& report_session() {
    return rows_apart_session ? *rows_apart_session : session_part<ReportSession>();
}

constexpr const char* MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void rtrim(std::string& text) {
    size_t b = text.find_last_not_of(' ');
    text.erase(b == std::string::npos ? 0 : b + 1);
}

bool ascii(std::string_view s) {
    return std::none_of(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

// A text of the report as the file holds it: the user's input (a title, a
// name, a file name) may hold what must not reach the file as it is, and is
// written as shown_controls writes it; any other text is taken as it is,
// without a copy. Every writer of a text takes it through this, before it
// measures it. A CSV cell keeps its line feeds, which its quotes hold.
class ShownText {
public:
    explicit ShownText(std::string_view text, bool keep_line_feeds = false) : text_(text) {
        if (holds_controls(text)) {
            own_ = shown_controls(text, keep_line_feeds);
            text_ = own_;
        }
    }
    ShownText(const ShownText&) = delete;
    ShownText& operator=(const ShownText&) = delete;
    std::string_view view() const { return text_; }
    std::string str() const { return std::string(text_); }

private:
    std::string own_;
    std::string_view text_;
};

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

// True when the text, put at the column, would lie against or over text
// already on the line: no blank between it and a character before or after
// it, or a character under it. Rules and dashes ('-') are written over and
// may be written over.
bool crowds(const std::string& line, bool line_ascii, std::string_view text, int column) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos || text.find_first_not_of('-') == std::string_view::npos) return false;
    const size_t last = text.find_last_not_of(' ');
    const int start = std::max(column, 1) - 1 + utf8_length(text.substr(0, first));
    const int end = start + utf8_length(text.substr(first, last + 1 - first));   // one past its last column
    const int length = line_ascii ? static_cast<int>(line.size()) : utf8_length(line);
    for (int at = std::max(start - 1, 0); at <= end && at < length; ++at) {
        const char c = line[line_ascii ? static_cast<size_t>(at) : utf8_offset(line, at)];
        if (c != ' ' && c != '-') return true;
    }
    return false;
}

int last_filled_column(const TextReport& t, int column);

// The column a text starts at one blank after the last text on the line.
int after_line(const TextReport& t, std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    const int leading = first == std::string_view::npos ? 0 : utf8_length(text.substr(0, first));
    return last_filled_column(t, INT_MAX) + 2 - leading;
}

// The same on the current line of the text report. A text that would run
// into the text before it (a node number or a name longer than its column)
// starts one blank after it instead: the row loses its alignment there but
// nothing of either text.
void place(TextReport& t, std::string_view text, int column) {
    if (crowds(t.line, t.line_ascii, text, column)) {
        // Text past the end of this one was written first: the row's texts
        // came out of order, and nothing can be moved.
        if (last_filled_column(t, INT_MAX) > std::max(column, 1) - 1 + utf8_length(text))
            ++t.crowded_texts;
        else
            column = after_line(t, text);
    }
    place(t.line, text, column, t.line_ascii);
    t.line_ascii = t.line_ascii && ascii(text);
}

// A text known to be plain ASCII (a number) on the current line.
void place_ascii(TextReport& t, std::string_view text, int column) {
    if (crowds(t.line, t.line_ascii, text, column)) ++t.crowded_texts;
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

// The page header of a page on which the first line is written (or a mark
// where it goes).
void begin_page(TextReport& t) {
    if (t.headers_later) {
        t.pages.push_back(PageStart{t.out.size(), t.page});
    } else {
        std::string header;
        t.headers.put(header, t.page, t.first_page);
        t.out.append(header);
    }
    t.header_pending = false;
    t.first_page = false;
    // The open table goes on under its heading.
    if (t.table_heading) {
        t.out.append_shared(t.table_heading, *t.table_heading);
        t.line_no += t.table_heading_lines;
    }
    t.body_top = t.line_no;
}

// After line 59 the next page.
void count_lines(TextReport& t, int lines) {
    t.line_no += lines;
    if (t.line_no > REPORT_LAST_LINE) {
        ++t.page;
        t.line_no = REPORT_FIRST_LINE;
        t.header_pending = true;
    }
}

// The lines held for what follows them, on the page that goes on to.
void release_held(TextReport& t) {
    for (const std::string& line : t.held) {
        if (t.header_pending) begin_page(t);
        t.out.append(line);
        count_lines(t, 1);
    }
    t.held.clear();
}

// Ends the current line of a text page: the page header first when this is
// the first line of the page, then the line; after line 59 the next page.
// Rows written apart keep their lines without pages.
void emit_text_line(TextReport& t) {
    rtrim(t.line);
    t.line += '\n';
    if (!t.held.empty() && !t.rows_apart) release_held(t);
    if (t.rows_apart) {
        *t.rows_apart += t.line;
        ++t.rows_apart_lines;
        clear_line(t);
        return;
    }
    if (t.header_pending) begin_page(t);
    t.out.append(t.line);
    clear_line(t);
    count_lines(t, 1);
}

// Ends the current line of a text page and writes the lines under it that
// the texts too wide for their columns go on in.
void end_text_line(TextReport& t) {
    emit_text_line(t);
    if (t.row_rest.empty()) return;
    const auto rest = std::exchange(t.row_rest, {});
    size_t lines = 0;
    for (const auto& [column, texts] : rest) lines = std::max(lines, texts.size());
    for (size_t i = 0; i < lines; ++i) {
        for (const auto& [column, texts] : rest)
            if (i < texts.size()) place(t, texts[i], column);
        emit_text_line(t);
    }
}

// Finished lines (each ending in "\n", `count` of them) of `text`, which
// the report keeps, as emit_text_line ends them, a page at a time.
void put_text_lines(TextReport& t, const BlockText::Shared& text, std::string_view lines, int count) {
    if (!t.held.empty()) release_held(t);
    if (count > 0 && !t.header_pending && t.line_no + count <= REPORT_LAST_LINE) {
        t.out.append_shared(text, lines);   // on this page, which goes on after them
        t.line_no += count;
        return;
    }
    while (!lines.empty()) {
        if (t.header_pending) begin_page(t);
        const int room = REPORT_LAST_LINE - t.line_no + 1;
        size_t end = 0;
        int n = 0;
        while (n < room && end < lines.size()) {
            const size_t next = lines.find('\n', end);
            end = next == std::string_view::npos ? lines.size() : next + 1;
            ++n;
        }
        t.out.append_shared(text, lines.substr(0, end));
        lines.remove_prefix(end);
        count_lines(t, n);
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
        end_text_line(s.text);
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
    if (t.pages.empty()) {
        std::string text = t.out.joined();
        t.out.give_back();
        return text;
    }
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
    clear_report_contents();
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
        gdi_print_line(text);
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

void report_line_with_next(const std::string& text) {
    ReportSession& s = report_session();
    if (s.state.printing_pages && !rows_apart_session) {
        gdi_hold_line(text);
        return;
    }
    if (!text_active(s) || csv_active(s) || rows_apart_session) {
        report_line(text);
        return;
    }
    if (!s.text.line.empty()) end_line(s);
    std::vector<std::string> parts = report_wrapped_lines(ShownText(text).str(), REPORT_LEFT_COLUMN);
    if (parts.empty()) parts.emplace_back();
    for (const std::string& part : parts) {
        std::string line;
        place(line, part, REPORT_LEFT_COLUMN);
        rtrim(line);
        s.text.held.push_back(line + '\n');
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
    if (s.state.text_report && (!s.text.line.empty() || !s.text.row_rest.empty())) end_line(s);
    if (!s.text.held.empty()) release_held(s.text);
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
        place(s.text, ShownText(text).view(), column);
}

void report_print_right(std::string_view text, int end_column) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    const ShownText shown(text);
    place(s.text, shown.view(), end_column - utf8_length(shown.view()) + 1);
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

void report_value_at(std::string_view value_text, double value, int column, int room) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(value_text));
        return;
    }
    const ShownText whole(value_text);
    const std::string_view text = whole.view();
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return;
    const std::string_view shown = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    // After a text before it that reaches into the column, one blank after
    // that text, with all its room: the row's later texts move on too.
    if (crowds(s.text.line, s.text.line_ascii, shown, column)) column = after_line(s.text, shown);
    room = std::max(room, 1);
    if (utf8_length(shown) <= room) {
        place(s.text, shown, column);
        return;
    }
    // As many decimals as there is room for: the fixed form only of a value
    // that fits with them, else the exponent form; a value that not even
    // that takes goes whole, the texts after it moving on.
    char fitted[NUMBER_TEXT_SIZE];
    char* end = write_real(fitted, value, room, room);
    if (end - fitted > room) {
        place(s.text, shown, column);
        return;
    }
    place_ascii(s.text, std::string_view(fitted, static_cast<size_t>(end - fitted)), column);
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
    std::string t = trimmed(ShownText(text).str());
    size_t point = t.find('.');
    // Without a point the number ends just before the column.
    int before = utf8_length(point == std::string::npos ? t : t.substr(0, point));
    place(s.text, t, column - before);
}

std::vector<std::string> report_column_lines(std::string_view text, int room) {
    return wrapped_lines(ShownText(text).str(), std::max(room, 1), std::max(room, 1),
                         [](std::string_view t) { return utf8_length(t); });
}

int report_lines_within(std::string_view text, int room) {
    return static_cast<int>(report_column_lines(text, room).size());
}

void report_print_within(std::string_view text, int column, int room) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    std::vector<std::string> lines = report_column_lines(text, room);
    place(s.text, lines.front(), column);
    if (lines.size() > 1)
        s.text.row_rest.emplace_back(column, std::vector<std::string>(lines.begin() + 1, lines.end()));
}

void report_print_centred(const std::string& text, int from, int to) {
    ReportSession& s = report_session();
    if (!text_active(s)) return;
    if (csv_active(s)) {
        append_cell(s, csv_cell_text(text));
        return;
    }
    std::string t = trimmed(ShownText(text).str());
    int width = to - from + 1;
    int len = utf8_length(t);
    int start = len >= width ? from : from + (width - len) / 2;
    place(s.text, t, start);
}

void report_print_centred_page(const std::string& text) {
    // A title wider than the page (one naming a long description) goes on
    // on the lines under it, within the page.
    constexpr int page = REPORT_RIGHT_COLUMN - REPORT_LEFT_COLUMN + 1;
    const ReportSession& s = report_session();
    if (text_active(s) && !csv_active(s) && utf8_length(ShownText(text).view()) > page)
        report_print_within(text, REPORT_LEFT_COLUMN, page);
    else
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
    if (!trimmed(s.text.line).empty() || !s.text.row_rest.empty()) end_text_line(s.text);
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

std::vector<std::string> report_wrapped_lines(const std::string& text, int column) {
    if (text.empty()) return {};
    const int room = std::max(1, REPORT_RIGHT_COLUMN - column + 1);
    return wrapped_lines(text, room, room, [](std::string_view t) { return utf8_length(t); });
}

int report_lines_left() {
    const ReportSession& s = report_session();
    if (csv_active(s)) return INT_MAX / 2;   // a CSV file has no pages
    // A page still to begin begins with the open table's heading; lines
    // held for what follows go first.
    const int heading = s.text.header_pending && s.text.table_heading ? s.text.table_heading_lines : 0;
    return REPORT_PAGE_LINES - s.text.line_no - heading - static_cast<int>(s.text.held.size());
}

int report_current_line() { return report_session().text.line_no; }
int report_page_number() { return report_session().text.page; }

void report_page_break() {
    ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s)) return;
    TextReport& t = s.text;
    if (!trimmed(t.line).empty() || !t.row_rest.empty()) end_text_line(t);
    clear_line(t);
    // Still a fresh page: nothing on it, or only the open table's heading.
    if (t.header_pending || (t.table_heading && t.line_no == t.body_top)) return;
    ++t.page;
    t.line_no = REPORT_FIRST_LINE;
    t.header_pending = true;
}

void report_contents_line(const std::string& title, int level) {
    const ReportSession& s = report_session();
    if (!s.state.collecting_contents || !text_active(s) || csv_active(s)) return;
    append_contents_entry(ContentsEntry{title, level, s.text.page});
}

// ---------------------------------------------------------------------------
// Rows written apart

namespace {
constexpr int ROWS_APART_BLOCK = 256;
constexpr unsigned ROWS_APART_THREADS = 4;

// A report session of a text of its own: what is written there goes to
// its own text, without pages (rows written apart, a table's heading).
ReportSession own_text_session() {
    ReportSession own;
    own.state.text_report = true;
    return own;
}
}  // namespace

// The blocks of rows go round a ring of slots, two for each thread: a
// thread takes the next block when its slot is free, and the report's
// thread frees a slot when it has put the block's rows into the report.
struct ReportRowsApart::Work {
    struct Slot {
        int block = -1;                 // the block in the slot; -1: free
        bool done = false;
        std::shared_ptr<std::string> text;   // the block's finished lines, kept by the report
        std::vector<size_t> row_ends;   // the end of each row's lines in text
        std::vector<int> row_lines;     // and their count
        std::vector<int> row_crowded;   // and their crowded texts
        std::exception_ptr failure;
    };

    const std::function<void(int)>& write_row;
    const int count, block_rows, blocks;
    std::vector<Slot> slots;
    std::mutex mutex;
    std::condition_variable changed;
    int next_block = 1;   // block 0 is written on the report's thread
    bool stop = false;
    int current = 0;      // the block whose rows the report's thread puts
    std::vector<std::thread> threads;
    const unsigned thread_count;

    Work(const std::function<void(int)>& write, int rows, int block, unsigned workers)
        : write_row(write), count(rows), block_rows(block), blocks((rows + block - 1) / block),
          slots(2 * workers), thread_count(workers) {}
    // The threads start once the first block is written.
    void start() {
        for (unsigned i = 0; i < thread_count; ++i) threads.emplace_back([this] { run(); });
    }
    ~Work() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread& t : threads) t.join();
    }
    Slot& slot(int block) { return slots[static_cast<size_t>(block) % slots.size()]; }

    // A thread's own report session, which the rows it writes go to.
    static ReportSession rows_session() { return own_text_session(); }

    void run() {
        ReportSession own = rows_session();
        rows_apart_session = &own;
        for (;;) {
            int block = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait(lock, [this] { return stop || next_block >= blocks || slot(next_block).block < 0; });
                if (stop || next_block >= blocks) break;
                block = next_block++;
                slot(block).block = block;
            }
            write_block(block, own);
        }
        rows_apart_session = nullptr;
    }

    // Writes the rows of a block taken into its slot.
    void write_block(int block, ReportSession& own) {
        Slot& s = slot(block);
        // A text of its own for every block, about as long as the last.
        const size_t last = s.text ? s.text->size() : 0;
        s.text = std::make_shared<std::string>();
        s.text->reserve(last + last / 4);
        s.row_ends.clear();
        s.row_lines.clear();
        s.row_crowded.clear();
        s.failure = nullptr;
        own.text = TextReport{};
        own.text.rows_apart = s.text.get();
        try {
            for (int row = block * block_rows + 1; row <= std::min(count, (block + 1) * block_rows); ++row) {
                own.text.rows_apart_lines = 0;
                own.text.crowded_texts = 0;
                write_row(row);
                s.row_ends.push_back(s.text->size());
                s.row_lines.push_back(own.text.rows_apart_lines);
                s.row_crowded.push_back(own.text.crowded_texts);
            }
        } catch (...) {
            s.failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            s.done = true;
        }
        changed.notify_all();
    }

    // The finished lines of a row of a block past the first, their count
    // and the texts in them that crowd others, once its block is done; a
    // failure of its block is thrown.
    std::string_view lines(int row, int& count, int& crowded, BlockText::Shared& text) {
        const int block = (row - 1) / block_rows;
        if (block != current) {
            std::unique_lock<std::mutex> lock(mutex);
            if (current > 0) {
                Slot& old = slot(current);
                old.block = -1;
                old.done = false;
                changed.notify_all();
            }
            current = block;
            // While the block is not done, the report's thread writes one
            // further on itself, when there is one to take.
            while (!(slot(block).block == block && slot(block).done) && next_block < blocks &&
                   slot(next_block).block < 0) {
                const int ahead = next_block++;
                slot(ahead).block = ahead;
                lock.unlock();
                ReportSession own = rows_session();
                rows_apart_session = &own;
                try {
                    write_block(ahead, own);
                } catch (...) {
                    rows_apart_session = nullptr;
                    throw;
                }
                rows_apart_session = nullptr;
                lock.lock();
            }
            changed.wait(lock, [this, block] { return slot(block).block == block && slot(block).done; });
        }
        Slot& s = slot(block);
        if (s.failure) std::rethrow_exception(s.failure);
        const auto i = static_cast<size_t>(row - 1 - block * block_rows);
        const size_t from = i == 0 ? 0 : s.row_ends[i - 1];
        count = s.row_lines[i];
        crowded = s.row_crowded[i];
        text = s.text;
        return std::string_view(*s.text).substr(from, s.row_ends[i] - from);
    }
};

ReportRowsApart::ReportRowsApart(int count, std::function<void(int row)> write_row)
    : write_row_(std::move(write_row)) {
    const ReportSession& s = report_session();
    const int block = s.rows_apart_block > 0 ? s.rows_apart_block : ROWS_APART_BLOCK;
    const unsigned threads = std::min(ROWS_APART_THREADS, std::max(1U, std::thread::hardware_concurrency()) - 1);
    if (rows_apart_session || !text_active(s) || csv_active(s) || count <= block || threads == 0) return;
    const auto blocks = static_cast<unsigned>((count + block - 1) / block) - 1;   // past the first
    work_ = std::make_unique<Work>(write_row_, count, block, std::min(threads, blocks));
}

ReportRowsApart::~ReportRowsApart() = default;

void ReportRowsApart::write(int row) {
    ReportSession& s = report_session();
    // The first block, and a row whose line is begun already, are written here.
    int count = 0, crowded = 0;
    BlockText::Shared text;
    if (work_ && row == work_->block_rows + 1) work_->start();
    if (!work_ || row <= work_->block_rows || !s.text.line.empty()) {
        if (work_ && row > work_->block_rows) (void)work_->lines(row, count, crowded, text);   // its block's failure first
        write_row_(row);
        return;
    }
    const std::string_view lines = work_->lines(row, count, crowded, text);
    put_text_lines(s.text, text, lines, count);
    s.text.crowded_texts += crowded;
}

// ---------------------------------------------------------------------------
// Tables

namespace {

// Most lines a heading may have to be repeated: half a page.
constexpr int REPEATED_HEADING_LINES = (REPORT_LAST_LINE - REPORT_FIRST_LINE + 1) / 2;

// The finished lines that `write` writes, in a text of their own (a line
// it leaves open is ended), and their count; the texts in them that crowd
// others count in the report's.
std::shared_ptr<const std::string> written_apart(const std::function<void()>& write, int& lines) {
    auto text = std::make_shared<std::string>();
    ReportSession& report = report_session();
    ReportSession own = own_text_session();
    own.text.rows_apart = text.get();
    rows_apart_session = &own;
    try {
        write();
        if (!own.text.line.empty() || !own.text.row_rest.empty()) end_text_line(own.text);
    } catch (...) {
        rows_apart_session = nullptr;
        throw;
    }
    rows_apart_session = nullptr;
    report.text.crowded_texts += own.text.crowded_texts;
    lines = own.text.rows_apart_lines;
    return text;
}

}  // namespace

ReportTable::ReportTable(const std::function<void()>& heading, int keep, bool write_now) {
    ReportSession& s = report_session();
    if (s.state.printing_pages && !rows_apart_session) {
        // Drawn now and by every page begun while the table is open.
        kind_ = Kind::Pages;
        heading_ = heading;
        if (write_now) heading();
        outer_hook_ = gdi_set_page_start_hook(heading_);
        open_ = true;
        return;
    }
    if (!text_active(s) || csv_active(s) || rows_apart_session) {
        if (write_now) heading();
        return;
    }
    kind_ = Kind::Text;
    int lines = 0;
    std::shared_ptr<const std::string> text = written_apart(heading, lines);
    if (write_now) {
        if (!s.text.line.empty()) end_line(s);
        // The heading and the first rows together.
        if (report_lines_left() < lines + std::max(keep, 0)) report_page_break();
        if (lines > 0) put_text_lines(s.text, text, *text, lines);
    }
    // At the top of a page the heading stands without the blank lines that
    // set it apart from the text before it.
    size_t blank = 0;
    while (blank < text->size() && (*text)[blank] == '\n') ++blank;
    const int repeated_lines = lines - static_cast<int>(blank);
    std::shared_ptr<const std::string> repeated_text = text;
    if (blank > 0) repeated_text = std::make_shared<const std::string>(text->substr(blank));
    const bool repeated = repeated_lines > 0 && repeated_lines <= REPEATED_HEADING_LINES;
    outer_lines_ = std::exchange(s.text.table_heading, repeated ? repeated_text : nullptr);
    outer_count_ = std::exchange(s.text.table_heading_lines, repeated ? repeated_lines : 0);
    open_ = true;
}

ReportTable::~ReportTable() { end(); }

void ReportTable::keep(int lines) const {
    if (!open_ || kind_ != Kind::Text) return;
    const TextReport& t = report_session().text;
    const int heading = t.table_heading ? t.table_heading_lines : 0;
    if (lines <= REPORT_LAST_LINE - REPORT_FIRST_LINE + 1 - heading && report_lines_left() < lines)
        report_page_break();
}

void ReportTable::close() {
    const bool text = open_ && kind_ == Kind::Text;
    end();
    if (text && !report_session().text.header_pending) report_rule();
}

void ReportTable::end() {
    if (!open_) return;
    open_ = false;
    if (kind_ == Kind::Pages) {
        gdi_set_page_start_hook(std::move(outer_hook_));
        return;
    }
    TextReport& t = report_session().text;
    t.table_heading = std::move(outer_lines_);
    t.table_heading_lines = outer_count_;
}

void set_report_rows_apart_block(int rows) { report_session().rows_apart_block = std::max(rows, 0); }

int report_crowded_texts() { return report_session().text.crowded_texts; }

// ---------------------------------------------------------------------------
// CSV

std::string csv_cell_text(std::string_view text) {
    std::string t = trimmed(ShownText(text, true).str());
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
// Room kept at the right of a contents line for its page number: two
// blanks and four digits.
constexpr int CONTENTS_NUMBER_ROOM = 6;
}  // namespace

void report_print_contents_text(const std::vector<ContentsEntry>& entries) {
    const ReportSession& s = report_session();
    if (!text_active(s) || csv_active(s) || entries.empty()) return;
    ReportTable table([] {
        report_print_centred_page("Contents");
        report_next_line();
        report_rule();
    });
    const auto width = [](std::string_view text) { return utf8_length(text); };
    for (const ContentsEntry& e : entries) {
        const int column = REPORT_LEFT_COLUMN + CONTENTS_LEVEL_INDENT * std::clamp(e.level, 0, 2);
        const int room = REPORT_RIGHT_COLUMN - CONTENTS_NUMBER_ROOM - column + 1;
        const std::vector<std::string> lines = wrapped_lines(e.title, room, room - CONTENTS_WRAP_INDENT, width);
        table.keep(static_cast<int>(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i) {
            report_print_at(lines[i], column + (i == 0 ? 0 : CONTENTS_WRAP_INDENT));
            if (i + 1 == lines.size()) report_print_right(c_format("%d", e.page), REPORT_RIGHT_COLUMN);
            report_next_line();
        }
    }
}

int report_contents_text_pages(const std::vector<ContentsEntry>& entries) {
    if (entries.empty()) return 0;
    // Written once aside, as the report will write them.
    ReportSession& s = report_session();
    const ReportState state = s.state;
    TextReport text = std::exchange(s.text, TextReport{});
    report_begin_text(false, 1);
    report_print_contents_text(entries);
    const int pages = s.text.header_pending ? s.text.page - 1 : s.text.page;
    s.text = std::move(text);
    s.state = state;
    return pages;
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
        clear_report_contents();
        s.state.collecting_contents = true;
    }
    report_begin_text(csv, 1);
    s.text.headers_later = contents;
    if (job.write) job.write();
    s.state.collecting_contents = false;
    TextReport body = end_text(s);
    if (!contents) {
        put_together(body, 0, true, write);
        body.out.give_back();
        return;
    }
    // The contents pages go in front of the body, whose pages move back by
    // as many.
    std::vector<ContentsEntry> entries = std::move(report_contents());
    clear_report_contents();
    const int pages = report_contents_text_pages(entries);
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
    front.out.give_back();
    body.out.give_back();
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
