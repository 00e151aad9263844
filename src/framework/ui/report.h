// Reports: the printing state that sends report lines to graphic pages, to a
// text report (or its CSV form) or to the on-screen list of report lines, the
// column-positioned text report with its page headers, the CSV cells, and the
// heading descriptor of a printed input table.
//
// Text report layout: columns are 1-based character positions in a line. A
// page holds 60 lines; lines 1 to 3 are the page header (report_header.h: the
// model, date and page number; the quality-assurance block, each line cut to
// fit columns 4 to 88) and the body runs from line 4 to
// line 59, after which the next page starts. A page starts with a form feed
// ("\f") in front of its header (not the first page). The header of a page is
// written only when something is written on that page, so a report never ends
// in an empty page. Lines end with "\n"; trailing blanks are dropped.
//
// CSV form (csv_mode inside a text report): every printed text becomes a cell
// followed by ","; report_next_line ends the row with "\n". There are no page
// headers, page breaks, rules or dashes in CSV: a rule only ends a row that
// holds cells. A cell that holds a comma, a double quote or a line end is
// quoted, with its quotes doubled, so that the file always reads back as the
// cells that were written. Cells are trimmed of blanks.
#pragma once

#include "framework/ui/report_header.h"
#include "framework/ui/report_pages.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ShownReal;

// ---------------------------------------------------------------------------
// Printing state

inline constexpr int REPORT_PAGE_LINES = 60;      // lines of a text page
inline constexpr int REPORT_LAST_LINE = 59;       // the page breaks after this line
inline constexpr int REPORT_FIRST_LINE = 4;       // the first line under a page header
inline constexpr int REPORT_LEFT_COLUMN = 4;      // report_line text, rules
inline constexpr int REPORT_RIGHT_COLUMN = 88;    // right end of rules, header and centred page text

struct ReportState {
    bool printing_pages = false;       // report lines go to graphic pages (report_pages.h)
    bool text_report = false;          // report lines go to the text report
    bool csv_mode = false;             // inside a text report: its CSV form
    bool collecting_contents = false;  // contents entries are being collected
};

ReportState& report_state();
// Ends any report, drops its text, the screen lines and the contents; the
// date goes back to today (tests).
void reset_report_state();

// The date printed in page headers: today ("12 Mar 2025") unless set; an
// empty text goes back to today. Tests set it for exact output.
void set_report_date(const std::string& date);
std::string report_date();

// ---------------------------------------------------------------------------
// Report lines for all destinations

// The on-screen list of report lines, used when neither graphic pages nor a
// text report are being printed; a results window shows it.
std::vector<std::string>& report_screen_lines();
void report_clear_lines();
// One line of text: on a graphic page at the left margin (broken at its
// blanks over the lines it needs to stay within the page), then the next line;
// in a text report at column 4, then the next line (in CSV: one cell and the
// row's end); otherwise appended to the screen lines.
void report_line(const std::string& text);
// A line that belongs with what follows it (a note over a table): it is
// held until the next text is written and then written in front of it, on
// the page that text goes on to, so that a table that begins on a new page
// under its heading and first rows takes the line along; in a text report
// it is broken at its blanks within the page as report_wrapped_lines
// breaks it. Its lines count among those the page must have room for
// (report_lines_left). CSV and the screen lines: as report_line.
void report_line_with_next(const std::string& text);

// ---------------------------------------------------------------------------
// Text report

// Starts a text report in memory (CSV form when csv is true); page 1 is the
// first page number (the contents pages come before it when there are any).
void report_begin_text(bool csv, int first_page = 1);
// Ends the text report (the current line is ended when it holds anything)
// and returns the whole text; the text-report flags are cleared.
std::string report_end_text();
// The text written so far, without the unfinished current line.
std::string report_text();

// Texts never run into the text before them on their line: one that would
// come closer than one blank starts one blank after it instead (a node
// number or a name longer than its column shifts the rest of its row).
void report_print_first(std::string_view text);                         // column 1; CSV: a cell
void report_print_at(std::string_view text, int column);
void report_print_right(std::string_view text, int end_column);         // last character at end_column
void report_print_decimal(const std::string& text, int column);         // the decimal point at column
// A number as format_real(value, width, decimals) writes it, written once
// straight into the line, right-aligned with its last character at
// end_column. It never runs into the text before it on the line: when it
// would come closer than one blank, it takes the room there is, as
// format_real(value, room, decimals) writes it (the exponent form that
// fits), or stars when not even that fits. CSV: a value cell, as
// csv_add_cell takes it.
void report_real_right(double value, int width, int decimals, int end_column);
void report_real_right(const ShownReal& value, int end_column);
// A value written left-aligned from `column` in at most `room` characters:
// `text` (its own form, such as format_soil_force's) where it fits, else the
// value (as shown, in its unit) in the exponent form that fits; text before
// it that reaches into the column moves it, with its room, one blank after
// that text. A value that does not fit even so is written whole. Give the
// room up to one blank before the next column's text. CSV: `text` whole as a
// cell, as report_print_at writes it.
void report_value_at(std::string_view text, double value, int column, int room);
// A text of the user's (a name, a description) in its column of a row:
// from `column`, within the `room` characters up to the next column's text,
// as shown_controls writes it. A text wider than its room goes on in its
// column on the lines under the row (report_column_lines), written there
// when the row's line ends, so that every column right of it stays where
// it is. CSV: the whole text as a cell. Every writer that places such a
// text at a fixed column before others places it through this.
void report_print_within(std::string_view text, int column, int room);
// The lines a text takes in its column, as report_print_within writes it:
// the shown text broken at its blanks within `room` characters (a word
// wider than the room is cut, never inside the code of a byte); one empty
// line for an empty text.
std::vector<std::string> report_column_lines(std::string_view text, int room);
// Their count: the lines a row with the text keeps together.
int report_lines_within(std::string_view text, int room);
void report_print_centred(const std::string& text, int from, int to);
// Between columns 4 and 88; a text wider than that from column 4 on as
// many lines as it needs (report_print_within).
void report_print_centred_page(const std::string& text);
void report_put_char(char ch, int column);
void report_next_line();
// A rule of '-' from column 4 to 88 on a line of its own (a current line that
// holds text is ended first).
void report_rule();
// Fills columns 4 to 88 of the current line with '-' and stays on the line.
void report_rule_at_line();
// The lines of a text from `column` on that end by column 88, broken at
// its blanks (wrapped_lines; a word longer than a line is cut): a note
// under a row, each line written at `column`. None of an empty text.
std::vector<std::string> report_wrapped_lines(const std::string& text, int column);
// '-' from column `from` to `to` of the current line; stays on the line.
void report_dashes(int from, int to);
// Lines left on the page from the current line on (56 on a fresh page).
int report_lines_left();
// The line the next text goes to: 4 on a fresh page.
int report_current_line();
int report_page_number();
// Starts a new page unless the current page is still fresh (nothing on it
// but the heading of the table that goes on there).
void report_page_break();
// When contents are being collected: an entry with the title at its level
// (0 to 2; each level further in by four columns) and the page the current
// line is on. Nothing otherwise.
void report_contents_line(const std::string& title, int level = 0);

// ---------------------------------------------------------------------------
// Tables

// A table of a report under its heading (its title and column headings):
// the heading is written where the table begins and again at the top of
// every page that the report goes on to while the table is open, whatever
// starts that page (a full page, report_page_break, rows written apart). A
// table never goes on to a page without its heading.
//
// Text report: the heading is written once into a text of its own and put
// in as written wherever it goes, so it must end every line it begins and
// must not ask for the page. When fewer lines are left than the heading
// and `keep` lines of rows, the table begins on a new page. A heading that
// would fill more than half a page is not repeated.
// Graphic pages: the heading is drawn now (unless `write_now` is false:
// the caller drew its own first heading) and under the page header of every
// page begun while the table is open.
// CSV and the screen lines: the heading once.
//
// Tables nest: the inner one's heading stands while it is open, the outer
// one's again after it ends.
class ReportTable {
public:
    explicit ReportTable(const std::function<void()>& heading, int keep = 1, bool write_now = true);
    ~ReportTable();
    ReportTable(const ReportTable&) = delete;
    ReportTable& operator=(const ReportTable&) = delete;
    // Before a row of `lines` lines: a new page (under the heading) when
    // fewer are left on this one, so that the row is not parted; a row
    // longer than a page under its heading is not kept whole.
    void keep(int lines) const;
    // Ends the table: the pages after it go on without its heading. The
    // destructor ends a table that is still open.
    void end();
    // Ends the table with a rule under its last row (text report), unless
    // its last row ended a page: a rule never stands alone at the top of
    // the next.
    void close();

private:
    enum class Kind { Once, Text, Pages };
    Kind kind_ = Kind::Once;
    bool open_ = false;
    std::shared_ptr<const std::string> outer_lines_;   // the heading of the table this one is in
    int outer_count_ = 0;
    PageStartHook outer_hook_;
    std::function<void()> heading_;
};

// ---------------------------------------------------------------------------
// Rows written apart

// The rows of a long table of a text report written on a few threads: the
// rows 1..count are written in blocks by `write_row` on worker threads, each
// into a text of its own (every report call of such a thread writes there),
// and write(row), called for every row in order on the report's thread, puts
// that row's finished lines into the report as report_next_line would have
// ended them, with the pages they reach. The report reads as if the rows had
// been written there one after the other.
//
// write_row must end every line it begins (report_next_line), must not ask
// for the page (report_lines_left, report_page_break...), must read only
// what exists once the first block is written and change nothing that
// another thread reads. The first block is written on the report's thread
// before any other starts, which makes whatever the rows reach for on first
// use; so is everything when the table is short, when the report is not a
// text report on its own thread, or when the machine has a single
// processor. The report's thread writes blocks further on itself while it
// waits for one.
class ReportRowsApart {
public:
    ReportRowsApart(int count, std::function<void(int row)> write_row);
    ~ReportRowsApart();
    ReportRowsApart(const ReportRowsApart&) = delete;
    ReportRowsApart& operator=(const ReportRowsApart&) = delete;
    // Writes a row: rows come in order from 1. A failure of write_row on
    // another thread is thrown here, at its row. Inside a ReportTable the
    // rows go under its heading on every page they reach.
    void write(int row);

private:
    struct Work;
    std::function<void(int)> write_row_;
    std::unique_ptr<Work> work_;
};
// The rows of a block of rows written apart (0: 256); tests make it small.
void set_report_rows_apart_block(int rows);

// How many texts of the text report being written still went against or
// over text on their line, rows written apart included: values run
// together, which the writers above avoid (a text starts one blank after
// the text before it; a number takes the room it has). What is left is a
// layout's own fault: a text written before one to its left, or a number
// squeezed to a star. A check of the layouts; 0 in CSV.
int report_crowded_texts();

// ---------------------------------------------------------------------------
// CSV cells (inside a CSV text report; otherwise ignored)

// A value cell: "" and "0" (after trimming blanks) give an empty cell.
void csv_add_cell(const std::string& text);
// A text cell: written as given (trimmed), "0" included.
void csv_add_text(const std::string& text);
// A value cell of format_real(value, width, decimals), as csv_add_cell takes it.
void csv_add_real(double value, int width, int decimals);
// The unit label of the quantity as a cell, such as "(inch)".
void csv_add_unit_cell(int quantity);
// The CSV form of one cell, without the following ",": trimmed, and quoted
// when it holds a comma, a double quote or a line end.
std::string csv_cell_text(std::string_view text);

// ---------------------------------------------------------------------------
// Contents

// ContentsEntry and report_contents() are declared in report_pages.h.

// The contents pages of a text report: "Contents" centred (again at the top
// of every page the contents go on to), then each entry with its title
// indented by level and its page number ending at column 88; a title too
// long for its line goes on over the next lines (wrapped_lines), the
// page number on its last, so that nothing is written over.
void report_print_contents_text(const std::vector<ContentsEntry>& entries);
// How many text pages report_print_contents_text needs.
int report_contents_text_pages(const std::vector<ContentsEntry>& entries);

// ---------------------------------------------------------------------------
// A whole report: the writer prints everything through the calls above and
// report_pages.h; the state flags tell it which destination is active.

struct ReportJob {
    std::string title;                 // document title and print job name
    std::function<void()> write;       // writes the report
    bool with_contents = false;        // a table of contents in front
};

// The text (or CSV) form of the report. The writer runs once; with contents
// the entries are collected as it writes, and the contents pages are put in
// front of what it wrote, whose page headers are made then, with the pages
// numbered after the contents.
std::string report_render_text(const ReportJob& job, bool csv);
// The same text handed to `write` piece by piece, in order, so that a file
// can take it without the whole text being held a second time.
void report_render_text_to(const ReportJob& job, bool csv, const std::function<void(std::string_view)>& write);
// The graphic form on a document; false when the device failed to begin a
// page (a PDF whose write failed): the report stops there, and the caller
// finishes or aborts the document, which says why. With contents, as for
// the text form.
bool report_render_pages(PrintDocument& doc, const ReportJob& job);

// ---------------------------------------------------------------------------
// Heading of a printed input table

struct ReportHeadingEntry {
    std::string text;
    int line = 0;        // heading line, 0-based
    int column = 0;      // report column
};

struct ReportUnitEntry {
    int quantity = 0;    // UnitQuantity
    int line = 0;        // heading line, 0-based
    int first_column = 0;
    int last_column = 0; // the unit label is centred between the two
};

struct ReportHeading {
    enum Kind { ELEMENT_ROWS = 1, DATA_ITEM_ROWS = 2 };
    int print_kind = ELEMENT_ROWS;
    int type_code = 0;                        // the element type or data-item type
    std::string title;
    std::vector<ReportHeadingEntry> entries;  // column headings
    int heading_lines = 1;
    std::vector<ReportUnitEntry> units;       // unit labels under the headings
    int row_count = 0;
    std::vector<int> rows;                    // the rows the table prints (layout rows)
    int flag = 0;
};

// Prints the heading: in text the title centred on the page, a rule, the
// heading lines with their unit labels and a rule; in CSV the title as a row
// and the headings as one row (entries in order, one cell each) followed by
// a row of the unit cells when there are any; on graphic pages the title in
// a title bar (table_print draws the columns there). A table's rows go
// under it as a ReportTable's heading.
void print_report_heading(const ReportHeading& heading);

// Writes the details lines of one row through the report calls.
using RowDetailsWriter = std::function<void(int row)>;
// The "Details" block of the listed rows: nothing for an empty list; else a
// "Details" line (at column 4 in text, a cell in CSV, at the left margin on a
// graphic page), the writer for each row in order, and a rule (text only).
void print_row_details(const std::vector<int>& rows, const RowDetailsWriter& writer);
