// Graphic report pages on a print document.
#include "framework/ui/report_pages.h"

#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/print_progress.h"
#include "framework/ui/report.h"
#include "framework/ui/report_header.h"
#include "framework/ui/shown_text_document.h"
#include "platform/null_surface.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

constexpr Color SHADE = rgb(217, 217, 217);
// The title of the contents pages, and the part of a print they are.
constexpr const char* CONTENTS_TITLE = "Contents";
constexpr Color INK = rgb(0, 0, 0);

struct PageState {
    std::unique_ptr<ShownTextDocument> shown;   // the document printed on, as the report draws on it
    PrintDocument* doc = nullptr;               // the same
    int page = 1;               // number of the current (or pending) page
    bool pending = true;        // the page `page` has not been started
    bool doc_page_used = false; // the document's current page holds a started page
    bool body_empty = true;     // nothing drawn on the current page below its header
    bool failed = false;        // the device failed to start a page
    bool stop_at_failure = false;   // a failure ends the report (report_render_pages)
    int y = 0;                  // top of the current line
    int line_height = 16;
    int body_top = 0;
    int body_bottom = 0;
    int left = 0;
    int right = 0;
    int pages_started = 0;
    PageStartHook hook;
    std::vector<std::string> held;   // lines drawn in front of the next drawing (gdi_hold_line)
};

// The pages being printed and the contents entries gathered for them.
struct PageSession {
    PageState pages;
    std::vector<ContentsEntry> contents;
    // A heading waiting for the first entry under it (add_contents_heading).
    std::optional<std::string> heading;
};
PageSession& page_session() { return session_part<PageSession>(); }

FontSpec report_font_spec() { return text_font(); }

Pen ink_pen(const Surface& s) { return Pen{INK, std::max(1, s.dpi_x() / 150), PenStyle::Solid}; }

void select_plain(Surface& s) {
    s.set_font(report_font_spec());
    s.set_text_color(INK);
    s.set_background(rgb(255, 255, 255), false);
}

// The page header: the model, the date and the page number; the two lines
// of the quality-assurance block; a rule under them. Each line fits between
// the margins.
void draw_page_header(Surface& s) {
    const PageState& p = page_session().pages;
    const int lh = p.line_height;
    s.set_text_color(INK);
    s.set_background(rgb(255, 255, 255), false);
    const int gap = s.text_width("   ");
    auto measure = [&s](int line, const std::string& text) {
        s.set_font(line == 0 ? gdi_bold_font() : report_font_spec());
        return s.text_width(text);
    };
    const std::vector<PageHeaderLine> lines = page_header_lines(p.page, p.right - p.left, gap, measure);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int y = static_cast<int>(i) * lh;
        s.set_font(i == 0 ? gdi_bold_font() : report_font_spec());
        if (!lines[i].left.empty()) s.text(p.left, y, lines[i].left);
        // On the first line only the model's name is bold.
        if (i == 0) s.set_font(report_font_spec());
        if (!lines[i].right.empty()) s.text(p.right, y, lines[i].right, TextAlign::Right);
    }
    select_plain(s);
    s.set_pen(ink_pen(s));
    int rule_y = 3 * lh + lh / 4;
    s.line(p.left, rule_y, p.right, rule_y);
}

// Thrown when the device fails to begin a page: the report stops there
// (report_render_pages), rather than drawing the rest on a device that
// takes nothing more.
struct PageDeviceFailed {};

// Starts the pending page: the document's next page (unless its current one
// is still unused), the header, the hook.
void start_page() {
    PageState& p = page_session().pages;
    if (!p.pending || !p.doc) return;
    if (p.doc_page_used && !p.failed && !p.doc->new_page()) {
        p.failed = true;
        if (p.stop_at_failure) throw PageDeviceFailed{};
    }
    p.doc_page_used = true;
    p.pending = false;
    p.body_empty = true;
    p.y = p.body_top;
    ++p.pages_started;
    Surface& s = p.doc->page();
    draw_page_header(s);
    select_plain(s);
    if (p.hook) {
        PageStartHook hook = p.hook;   // the hook may replace itself
        hook();
        p.body_empty = true;           // a repeated table header alone does not fill a page
    }
}

// The lines held for the next drawing, at the left margin, each on the
// page it reaches.
void release_held() {
    for (const std::string& line : std::exchange(page_session().pages.held, {})) gdi_print_line(line);
}

// Marks the current page as written on; starts it when pending.
Surface& draw_surface() {
    if (!page_session().pages.held.empty()) release_held();
    start_page();
    page_session().pages.body_empty = false;
    Surface& s = page_session().pages.doc->page();
    select_plain(s);
    return s;
}

void advance(int dy) {
    PageState& p = page_session().pages;
    if (!p.doc || p.pending) return;   // spacing at the top of a new page is dropped
    p.y += dy;
    if (p.y + p.line_height > p.body_bottom) {
        ++p.page;
        p.pending = true;
        p.y = p.body_top;
    }
}

// Pages laid out only to be counted; the count a print's progress shows
// goes on from the pages counted before.
class DryRunDocument : public PrintDocument {
public:
    explicit DryRunDocument(Surface& real, int counted_before = 0) : surface_(real), counted_before_(counted_before) {}
    Surface& page() override { return surface_; }
    bool new_page() override {
        ++pages_;
        print_progress_counted(counted_before_ + pages_);
        return true;
    }
    bool finish() override { return true; }
    void abort() override {}
    int page_number() const override { return pages_; }

private:
    MeasuringSurface surface_;
    int counted_before_;
    int pages_ = 1;
};

// Saves the page state around a nested dry run.
struct SavedPages {
    PageState saved = std::move(page_session().pages);
    bool flag = report_state().printing_pages;
    ~SavedPages() {
        page_session().pages = std::move(saved);
        report_state().printing_pages = flag;
    }
};

}  // namespace

std::vector<ContentsEntry>& report_contents() { return page_session().contents; }

void clear_report_contents() {
    page_session().contents.clear();
    page_session().heading.reset();
}

void add_contents_heading(const std::string& title) {
    if (report_state().collecting_contents) page_session().heading = title;
}

void append_contents_entry(const ContentsEntry& entry) {
    PageSession& s = page_session();
    if (s.heading) {
        s.contents.push_back(ContentsEntry{*s.heading, 0, entry.page});
        s.heading.reset();
    }
    // A title may name what the user typed (a support's tag).
    s.contents.push_back(ContentsEntry{shown_controls(entry.title), std::clamp(entry.level, 0, 2), entry.page});
}

// ---------------------------------------------------------------------------

void gdi_begin(PrintDocument& doc, int first_page) {
    PageState p;
    p.shown = std::make_unique<ShownTextDocument>(doc);
    p.doc = p.shown.get();
    p.page = std::max(first_page, 1);
    Surface& s = p.doc->page();
    s.set_font(report_font_spec());
    TextMetrics m = s.text_metrics();
    p.line_height = std::max(1, m.height + m.external_leading);
    p.left = 0;
    p.right = s.width();
    p.body_top = 3 * p.line_height + p.line_height / 2 + p.line_height / 4;
    p.body_bottom = s.height();
    // A page too small for its header still gets one line of body.
    if (p.body_bottom - p.body_top < p.line_height) p.body_bottom = p.body_top + p.line_height;
    p.y = p.body_top;
    p.hook = std::move(page_session().pages.hook);
    page_session().pages = std::move(p);
    report_state().printing_pages = true;
}

bool gdi_end() {
    if (page_session().pages.doc && !page_session().pages.held.empty()) release_held();
    bool ok = page_session().pages.doc && !page_session().pages.failed;
    PageStartHook hook = std::move(page_session().pages.hook);
    page_session().pages = PageState{};
    page_session().pages.hook = std::move(hook);
    report_state().printing_pages = false;
    return ok;
}

bool gdi_active() { return page_session().pages.doc != nullptr; }

void gdi_new_page() {
    PageState& p = page_session().pages;
    if (!p.doc || p.pending || p.body_empty) return;
    ++p.page;
    p.pending = true;
    p.y = p.body_top;
}

void gdi_next_line() { advance(page_session().pages.line_height); }
void gdi_half_line() { advance(page_session().pages.line_height / 2); }
void gdi_quarter_line() { advance(page_session().pages.line_height / 4); }

int gdi_lines_left() {
    const PageState& p = page_session().pages;
    if (!p.doc) return 0;
    int y = p.pending ? p.body_top : p.y;
    return (p.body_bottom - y) / p.line_height - static_cast<int>(p.held.size());
}

void gdi_hold_line(const std::string& text) {
    if (page_session().pages.doc) page_session().pages.held.push_back(text);
}

bool gdi_ensure_lines(int n) {
    PageState& p = page_session().pages;
    if (!p.doc) return false;
    if (!p.pending && !p.body_empty && gdi_lines_left() < n) gdi_new_page();
    if (!p.pending) return false;
    start_page();
    return true;
}

void gdi_print_title_bar(const std::string& text) {
    if (!page_session().pages.doc) return;
    if (!page_session().pages.pending && !page_session().pages.body_empty && gdi_lines_left() < 2) gdi_new_page();
    Surface& s = draw_surface();
    const PageState& p = page_session().pages;
    s.fill_rect(Rect{p.left, p.y, p.right, p.y + p.line_height}, SHADE);
    s.set_font(gdi_bold_font());
    s.text((p.left + p.right) / 2, p.y, text, TextAlign::Center);
    select_plain(s);
}

void gdi_print_text(const std::string& text) { gdi_print_text_at(page_session().pages.left, text); }

void gdi_print_line(const std::string& text) {
    const PageState& p = page_session().pages;
    if (!p.doc) return;
    Surface& m = gdi_measure_surface();
    const auto width = [&m](std::string_view t) { return m.text_width(std::string(t)); };
    for (const std::string& piece : wrapped_lines(text, p.right - p.left, p.right - p.left, width)) {
        gdi_print_text(piece);
        gdi_next_line();
    }
}

void gdi_print_text_at(int x, const std::string& text) {
    if (!page_session().pages.doc) return;
    Surface& s = draw_surface();
    s.text(x, page_session().pages.y, text, TextAlign::Left);
}

void gdi_print_text_right(int x, const std::string& text) {
    if (!page_session().pages.doc) return;
    Surface& s = draw_surface();
    s.text(x, page_session().pages.y, text, TextAlign::Right);
}

void gdi_print_text_centred(const std::string& text) {
    if (!page_session().pages.doc) return;
    Surface& s = draw_surface();
    s.text((page_session().pages.left + page_session().pages.right) / 2, page_session().pages.y, text, TextAlign::Center);
}

void add_contents_entry(const std::string& title, int level) {
    print_progress_part(title);
    if (!report_state().collecting_contents) return;
    int page = page_session().pages.doc ? page_session().pages.page : report_page_number();
    append_contents_entry(ContentsEntry{title, level, page});
}

std::vector<std::string> wrapped_lines(const std::string& text, int room, int next_room,
                                       const std::function<int(std::string_view)>& width) {
    std::vector<std::string> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const int line_room = std::max(1, lines.empty() ? room : next_room);
        if (width(rest) <= line_room) {
            lines.emplace_back(rest);
            break;
        }
        // The most words that fit; a first word too wide is cut where it reaches the end.
        size_t end = 0;
        for (size_t blank = rest.find(' '); blank != std::string_view::npos; blank = rest.find(' ', blank + 1)) {
            if (width(rest.substr(0, blank)) > line_room) break;
            end = blank;
        }
        if (end == 0) {
            // A word wider than the line: as many of its characters as fit, one at least.
            const int chars = utf8_length(rest);
            int n = 1;
            while (n < chars && width(rest.substr(0, utf8_offset(rest, n + 1))) <= line_room) ++n;
            end = utf8_offset(rest, n);
            // The code of a byte ("\x1B") stays whole on the next line.
            for (size_t back = 1; back <= 3 && back < end; ++back)
                if (rest.compare(end - back, 2, "\\x") == 0 && end - back + 4 <= rest.size() &&
                    std::isxdigit(static_cast<unsigned char>(rest[end - back + 2])) &&
                    std::isxdigit(static_cast<unsigned char>(rest[end - back + 3]))) {
                    end -= back;
                    break;
                }
        }
        std::string_view line = rest.substr(0, end);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        lines.emplace_back(line);
        rest.remove_prefix(end);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

void gdi_print_contents(const std::vector<ContentsEntry>& entries) {
    if (!page_session().pages.doc || entries.empty()) return;
    print_progress_part(CONTENTS_TITLE);
    ReportTable table([] {
        gdi_print_title_bar(CONTENTS_TITLE);
        gdi_next_line();
        gdi_half_line();
    });
    Surface& m = page_session().pages.doc->page();
    select_plain(m);
    const int indent = m.text_width("MMM");
    const int wrap_indent = m.text_width("MM");
    const int number_room = m.text_width("  9999");
    const auto width = [&m](std::string_view text) { return m.text_width(std::string(text)); };
    for (const ContentsEntry& e : entries) {
        const PageState& p = page_session().pages;
        const int x = p.left + indent * std::clamp(e.level, 0, 2);
        const int room = p.right - number_room - x;
        const std::vector<std::string> lines = wrapped_lines(e.title, room, room - wrap_indent, width);
        gdi_ensure_lines(static_cast<int>(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i) {
            gdi_print_text_at(x + (i == 0 ? 0 : wrap_indent), lines[i]);
            if (i + 1 == lines.size()) gdi_print_text_right(page_session().pages.right, c_format("%d", e.page));
            gdi_next_line();
        }
    }
}

int gdi_contents_pages(PrintDocument& doc, const std::vector<ContentsEntry>& entries, int counted_before) {
    if (entries.empty()) return 0;
    SavedPages keep;
    DryRunDocument dry(doc.page(), counted_before);
    gdi_begin(dry, 1);
    gdi_print_contents(entries);
    int pages = page_session().pages.pages_started;
    gdi_end();
    return pages;
}

bool report_render_pages(PrintDocument& doc, const ReportJob& job) {
    std::vector<ContentsEntry> entries;
    // The pages of a report with contents are known once it has been laid
    // out to number them.
    int written_pages = 0;
    if (job.with_contents) {
        SavedPages keep;
        bool collecting = report_state().collecting_contents;
        clear_report_contents();
        report_state().collecting_contents = true;
        print_progress_counted(1);
        DryRunDocument dry(doc.page());
        gdi_begin(dry, 1);
        try {
            if (job.write) job.write();
        } catch (...) {
            gdi_end();
            report_state().collecting_contents = collecting;
            clear_report_contents();
            throw;
        }
        written_pages = page_session().pages.pages_started;
        gdi_end();
        report_state().collecting_contents = collecting;
        entries = std::move(page_session().contents);
        clear_report_contents();
    }
    int contents_pages = gdi_contents_pages(doc, entries, written_pages);
    for (ContentsEntry& e : entries) e.page += contents_pages;
    if (written_pages > 0) print_progress_total(contents_pages + written_pages);

    gdi_begin(doc, 1);
    page_session().pages.stop_at_failure = true;
    try {
        if (!entries.empty()) {
            gdi_print_contents(entries);
            gdi_new_page();
            // What follows names itself; until it does, the print names the document.
            print_progress_part({});
        }
        if (job.write) job.write();
    } catch (const PageDeviceFailed&) {
        gdi_end();
        return false;
    } catch (...) {
        gdi_end();
        throw;
    }
    return gdi_end();
}

// ---------------------------------------------------------------------------

namespace {
struct NullSurfacePart {
    NullSurface value{};
};
}  // namespace

namespace {
// Without a document there is nothing to draw on; a surface that draws
// nothing keeps a careless caller safe.
Surface& null_surface() {
    return session_part<NullSurfacePart>().value;
}
}  // namespace

Surface& gdi_surface() {
    if (!page_session().pages.doc) return null_surface();
    return draw_surface();
}

Surface& gdi_measure_surface() {
    if (!page_session().pages.doc) return null_surface();
    Surface& s = page_session().pages.doc->page();
    select_plain(s);
    return s;
}

int gdi_y() { return page_session().pages.pending ? page_session().pages.body_top : page_session().pages.y; }

void gdi_set_y(int y) {
    PageState& p = page_session().pages;
    if (!p.doc) return;
    start_page();
    p.y = std::max(y, p.body_top);
    if (p.y + p.line_height > p.body_bottom) {
        ++p.page;
        p.pending = true;
        p.y = p.body_top;
    }
}

Rect gdi_printable_rect() { return Rect{page_session().pages.left, page_session().pages.body_top, page_session().pages.right, page_session().pages.body_bottom}; }
int gdi_left_margin() { return page_session().pages.left; }
int gdi_line_height() { return page_session().pages.line_height; }
int gdi_page_number() { return page_session().pages.page; }

FontSpec gdi_report_font() { return report_font_spec(); }

FontSpec gdi_bold_font() {
    FontSpec f = report_font_spec();
    f.weight = 700;
    return f;
}

void gdi_select_report_font() {
    if (page_session().pages.doc) select_plain(page_session().pages.doc->page());
}

PageStartHook gdi_set_page_start_hook(PageStartHook hook) { return std::exchange(page_session().pages.hook, std::move(hook)); }
