// Graphic report pages: report lines drawn on the pages of a print document
// (a printer, a PDF, a preview or page images) in the report font, with the
// page header (report_header.h: the model, date and page number and the
// quality-assurance block, each line fitted between the margins) at the top
// of every page.
//
// Positions are device dots of the page's printable area. The body of a page
// is the printable area below the header. A page is started only when
// something is drawn on it, so moving past the bottom never leaves an empty
// page behind: after gdi_next_line at the bottom of a page (or gdi_new_page)
// the next page is pending, and the first drawing on it starts it.
//
// The table printer draws on gdi_surface() itself: it asks gdi_ensure_lines
// for room before each row (and repeats its column header when that started
// a new page), draws at gdi_y() from gdi_left_margin(), and moves on with
// gdi_next_line or gdi_set_y.
#pragma once

#include "platform/printing.h"
#include "platform/surface.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// An entry of the printed table of contents.
struct ContentsEntry {
    std::string title;
    int level = 0;     // 0 to 2
    int page = 0;
    bool operator==(const ContentsEntry&) const = default;
};

// Contents lines of a text report: each level further in by this many
// characters, the lines of a long title after its first a further two (on
// pages by the widths of "MMM" and "MM").
inline constexpr int CONTENTS_LEVEL_INDENT = 4;
inline constexpr int CONTENTS_WRAP_INDENT = 2;

// A text (a contents entry's title, a report line) on as many lines as it
// needs: the text itself when it is at most `room` wide, else as many words
// as fit on the first line and the rest on lines of `next_room`, each
// broken at a blank (a word wider than its line is cut there, but never
// inside the code of a byte, "\x1B", that shown_controls writes). Widths
// are measured by `width`.
std::vector<std::string> wrapped_lines(const std::string& text, int room, int next_room,
                                       const std::function<int(std::string_view)>& width);

// The entries collected so far (by add_contents_entry and report_contents_line).
std::vector<ContentsEntry>& report_contents();
// Forgets the entries collected and a heading still waiting for its first entry.
void clear_report_contents();
// The heading of the entries that follow (a part of a report whose tables
// enter the contents at level 1): it enters the contents at level 0 just
// before the next entry, with that entry's page, so that it names the page
// where its first table starts; a heading that no entry follows is dropped,
// as is one replaced by another before an entry came. Nothing when contents
// are not being collected.
void add_contents_heading(const std::string& title);
// Appends an entry (level clamped to 0..2), after the heading waiting for it.
void append_contents_entry(const ContentsEntry& entry);

// Starts graphic printing on the document (its first page exists); sets the
// graphic-page flag of the report state. Page numbers count from first_page.
void gdi_begin(PrintDocument& doc, int first_page = 1);
// Ends graphic printing (the flag is cleared); false when the device failed
// while pages were started. The caller finishes or aborts the document.
bool gdi_end();
bool gdi_active();

// Moves to a new page unless the current page is still empty below its header.
void gdi_new_page();
// The next line; at the bottom of the body the next page becomes pending.
void gdi_next_line();
void gdi_half_line();
void gdi_quarter_line();
// Whole lines left below the current one, counting the current line (a
// pending page counts as a fresh one), less the lines held.
int gdi_lines_left();
// A line at the left margin held until the next drawing on a page, and
// drawn there in front of it (report_line_with_next).
void gdi_hold_line(const std::string& text);
// A new page when fewer than n lines are left; true when one was started.
bool gdi_ensure_lines(int n);

// A shaded bar across the body on the current line with the text centred
// in bold (a new page first when fewer than 2 lines are left); the position
// stays on the line.
void gdi_print_title_bar(const std::string& text);
// Text on the current line: at the left margin, at x, ending at x, centred
// across the body. The position stays on the line.
void gdi_print_text(const std::string& text);
void gdi_print_text_at(int x, const std::string& text);
void gdi_print_text_right(int x, const std::string& text);
void gdi_print_text_centred(const std::string& text);
// A line of text at the left margin on as many lines as it needs, broken at
// its blanks within the page's width (wrapped_lines); moves below it.
void gdi_print_line(const std::string& text);

// When contents are being collected: {title, level 0 to 2, the page the
// current position is on} is appended to report_contents().
void add_contents_entry(const std::string& title, int level);

// The table of contents on pages of its own: "Contents" in a title bar (on
// every page of it), each entry indented by level with its page number at
// the right; a long title goes on over the next lines (wrapped_lines),
// the page number on its last. A print's progress names them "Contents".
void gdi_print_contents(const std::vector<ContentsEntry>& entries);
// How many pages gdi_print_contents needs on this document's pages. Its
// counting of them goes on from `counted_before` pages counted already.
int gdi_contents_pages(PrintDocument& doc, const std::vector<ContentsEntry>& entries, int counted_before = 0);

// --- for the table printer ---------------------------------------------------

// The current page's surface for drawing; starts a pending page. Outside
// graphic printing a surface that draws nothing.
Surface& gdi_surface();
// A surface for measuring text in the report font; starts no page.
Surface& gdi_measure_surface();
// Top of the current line, and setting it (a position past the body's
// bottom makes the next page pending).
int gdi_y();
void gdi_set_y(int y);
// The body of a page: the printable area below the page header.
Rect gdi_printable_rect();
int gdi_left_margin();
int gdi_line_height();
int gdi_page_number();
// The report font (the text font of tables and reports) and its bold form;
// gdi_select_report_font puts the plain one back on the surface.
FontSpec gdi_report_font();
FontSpec gdi_bold_font();
void gdi_select_report_font();
// Called after the page header of every page started while it is set (a
// table sets it after printing its column header, to repeat that header on
// the following pages, and clears it when done). Returns the hook it replaces.
// A table that uses the hook should not also repeat its header when
// gdi_ensure_lines answers true.
using PageStartHook = std::function<void()>;
PageStartHook gdi_set_page_start_hook(PageStartHook hook);
